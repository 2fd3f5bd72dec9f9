#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vardak::platform::RegValue;
using vardak::platform::RootKey;
using vardak::platform::ValueType;
using vardak::testing::FakeRegistry;
using vardak::testing::RegFileError;

std::vector<uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

// A version 5 export as regedit writes it: UTF-16LE with a byte-order mark.
std::string utf16LeFile(std::u16string_view text) {
    std::string file = "\xFF\xFE";
    for (char16_t unit : text) {
        file.push_back(static_cast<char>(unit & 0xFF));
        file.push_back(static_cast<char>(unit >> 8));
    }
    return file;
}

class RegLoader : public ::testing::Test {
protected:
    void load(std::string_view text) { registry.loadRegText(text, "test.reg"); }

    RegValue valueAt(RootKey root, std::string_view path, std::string_view name) {
        std::optional<RegValue> value = registry.value(root, path, name);
        EXPECT_TRUE(value.has_value()) << path << " " << name;
        return value.value_or(RegValue{});
    }

    std::vector<uint8_t> dataAt(std::string_view path, std::string_view name) {
        return valueAt(RootKey::LocalMachine, path, name).data;
    }

    FakeRegistry registry;
};

// ------------------------------------------------------------------ REGEDIT4

TEST_F(RegLoader, Regedit4ReadsEveryValueKind) {
    load("REGEDIT4\n"
         "\n"
         "[HKEY_LOCAL_MACHINE\\Software\\Vardak]\n"
         "@=\"default text\"\n"
         "\"Plain\"=\"C:\\\\WINDOWS \\\"quoted\\\"\"\n"
         "\"Euro\"=\"\x80 5\"\n"
         "\"Count\"=dword:0000001f\n"
         "\"Short\"=dword:A\n"
         "\"Blob\"=hex:01,ab,FF\n"
         "\"Path\"=hex(2):25,57,49,4e,44,49,52,25,00\n"
         "\"List\"=hex(7):61,00,62,63,00,00\n"
         "\"Big\"=hex(b):08,07,06,05,04,03,02,01\n"
         "\"Nothing\"=hex(0):\n"
         "\"Odd\"=hex(100):aa\n");

    const std::string_view key = "Software\\Vardak";
    EXPECT_EQ(valueAt(RootKey::LocalMachine, key, "").type, ValueType::String);
    EXPECT_EQ(dataAt(key, ""), bytesOf(std::string_view("default text\0", 13)));
    EXPECT_EQ(dataAt(key, "Plain"), bytesOf(std::string_view("C:\\WINDOWS \"quoted\"\0", 20)));
    EXPECT_EQ(dataAt(key, "Euro"), bytesOf(std::string_view("\x80 5\0", 4)));

    EXPECT_EQ(valueAt(RootKey::LocalMachine, key, "Count").type, ValueType::DWord);
    EXPECT_EQ(dataAt(key, "Count"), (std::vector<uint8_t>{0x1F, 0, 0, 0}));
    EXPECT_EQ(dataAt(key, "Short"), (std::vector<uint8_t>{0x0A, 0, 0, 0}));

    EXPECT_EQ(valueAt(RootKey::LocalMachine, key, "Blob").type, ValueType::Binary);
    EXPECT_EQ(dataAt(key, "Blob"), (std::vector<uint8_t>{0x01, 0xAB, 0xFF}));

    EXPECT_EQ(valueAt(RootKey::LocalMachine, key, "Path").type, ValueType::ExpandString);
    EXPECT_EQ(dataAt(key, "Path"), bytesOf(std::string_view("%WINDIR%\0", 9)));
    EXPECT_EQ(valueAt(RootKey::LocalMachine, key, "List").type, ValueType::MultiString);
    EXPECT_EQ(dataAt(key, "List"), bytesOf(std::string_view("a\0bc\0\0", 6)));

    EXPECT_EQ(valueAt(RootKey::LocalMachine, key, "Big").type, ValueType::QWord);
    EXPECT_EQ(dataAt(key, "Big"), (std::vector<uint8_t>{8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(valueAt(RootKey::LocalMachine, key, "Nothing").type, ValueType::None);
    EXPECT_TRUE(dataAt(key, "Nothing").empty());
    EXPECT_EQ(static_cast<uint32_t>(valueAt(RootKey::LocalMachine, key, "Odd").type), 0x100u);
}

TEST_F(RegLoader, StringEscapesForControlCharacters) {
    load("REGEDIT4\n[HKLM\\S]\n\"Lines\"=\"a\\nb\\rc\\0d\"\n");
    EXPECT_EQ(dataAt("S", "Lines"), bytesOf(std::string_view("a\nb\rc\0d\0", 8)));
}

TEST_F(RegLoader, HexDataContinuesAfterTrailingBackslash) {
    load("REGEDIT4\r\n"
         "[HKLM\\S]\r\n"
         "\"Long\"=hex:01,02,\\\r\n"
         "  03,04,\\\r\n"
         "\t05\r\n"
         "\"After\"=dword:00000002\r\n");
    EXPECT_EQ(dataAt("S", "Long"), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(dataAt("S", "After"), (std::vector<uint8_t>{2, 0, 0, 0}));
}

TEST_F(RegLoader, CommentsAndBlankLinesAreSkipped) {
    load("REGEDIT4\n"
         "; whole-line comment\n"
         "   ; indented comment ending in a backslash \\\n"
         "\n"
         "[HKCU\\Software\\X]   ; after a key\n"
         "\"A\"=dword:00000001 ; after a dword\n"
         "\"B\"=\"semi;colon\" ; after a string\n"
         "\"C\"=hex:01,02 ;after hex\n"
         "\n");
    EXPECT_EQ(valueAt(RootKey::CurrentUser, "Software\\X", "A").data, (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(valueAt(RootKey::CurrentUser, "Software\\X", "B").data,
              bytesOf(std::string_view("semi;colon\0", 11)));
    EXPECT_EQ(valueAt(RootKey::CurrentUser, "Software\\X", "C").data, (std::vector<uint8_t>{1, 2}));
}

TEST_F(RegLoader, DeletesValuesAndWholeKeys) {
    load("REGEDIT4\n"
         "[HKLM\\Software\\A]\n"
         "\"Keep\"=\"1\"\n"
         "\"Drop\"=\"2\"\n"
         "[HKLM\\Software\\A\\B\\C]\n"
         "\"x\"=\"y\"\n"
         "[HKLM\\Software\\A]\n"
         "\"drop\"=-\n"
         "[-HKLM\\Software\\A\\B]\n"
         "[-HKLM\\Software\\NeverThere]\n");
    EXPECT_TRUE(registry.value(RootKey::LocalMachine, "Software\\A", "Keep").has_value());
    EXPECT_FALSE(registry.value(RootKey::LocalMachine, "Software\\A", "Drop").has_value());
    EXPECT_TRUE(registry.hasKey(RootKey::LocalMachine, "Software\\A"));
    EXPECT_FALSE(registry.hasKey(RootKey::LocalMachine, "Software\\A\\B"));
    EXPECT_FALSE(registry.hasKey(RootKey::LocalMachine, "Software\\A\\B\\C"));
}

TEST_F(RegLoader, EveryRootNameAndItsShortForm) {
    const std::pair<std::string_view, RootKey> roots[] = {
        {"HKEY_LOCAL_MACHINE", RootKey::LocalMachine}, {"HKLM", RootKey::LocalMachine},
        {"HKEY_CURRENT_USER", RootKey::CurrentUser},   {"HKCU", RootKey::CurrentUser},
        {"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},   {"HKCR", RootKey::ClassesRoot},
        {"HKEY_USERS", RootKey::Users},                {"HKU", RootKey::Users},
        {"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig}, {"HKEY_DYN_DATA", RootKey::DynData},
    };
    for (const auto& [name, root] : roots) {
        FakeRegistry fresh;
        fresh.loadRegText("REGEDIT4\n[" + std::string(name) + "\\Key]\n\"V\"=\"1\"\n", "roots.reg");
        EXPECT_TRUE(fresh.value(root, "Key", "V").has_value()) << name;
    }
}

TEST_F(RegLoader, NamesMatchWithoutCaseAndListInFileOrder) {
    load("REGEDIT4\n"
         "[HKLM\\Software\\Zeta]\n"
         "\"b\"=\"1\"\n"
         "\"a\"=\"2\"\n"
         "[HKLM\\Software\\Alpha]\n"
         "[hkey_local_machine\\SOFTWARE\\zeta]\n"
         "\"B\"=\"3\"\n"
         "\"Second\"=\"4\"\n");
    auto software = registry.openKey(RootKey::LocalMachine, "Software", vardak::platform::KeyAccess::Read);
    ASSERT_TRUE(software);
    EXPECT_EQ(software->subkeyNames(), (std::vector<std::string>{"Zeta", "Alpha"}));
    auto zeta = registry.openKey(RootKey::LocalMachine, "Software\\Zeta", vardak::platform::KeyAccess::Read);
    ASSERT_TRUE(zeta);
    EXPECT_EQ(zeta->valueNames(), (std::vector<std::string>{"b", "a", "Second"}));
    EXPECT_EQ(dataAt("Software\\Zeta", "b"), bytesOf(std::string_view("3\0", 2)));
}

TEST_F(RegLoader, LoadsFixtureFileWithCrLfAndContinuation) {
    registry.loadRegFile(vardak::testing::fixturePath("loader-sample.reg"));
    const std::string_view cpu = "Hardware\\Description\\System\\CentralProcessor\\0";
    EXPECT_EQ(dataAt(cpu, "VendorIdentifier"), bytesOf(std::string_view("GenuineIntel\0", 13)));
    EXPECT_EQ(dataAt(cpu, "FeatureSet"), (std::vector<uint8_t>{0xFF, 0xFB, 0x83, 0x03, 0, 0, 0, 0}));
    EXPECT_EQ(valueAt(RootKey::DynData, "PerfStats\\StatData", "KERNEL\\CPUUsage").data,
              (std::vector<uint8_t>{5, 0, 0, 0}));
}

TEST_F(RegLoader, MissingFileIsAnErrorNamingThePath) {
    try {
        registry.loadRegFile("/nonexistent/machine.reg");
        FAIL() << "no error";
    } catch (const RegFileError& error) {
        EXPECT_STREQ(error.what(), "/nonexistent/machine.reg: cannot open the file");
    }
}

// ------------------------------------------------------------------ version 5.00 and encodings

TEST_F(RegLoader, Version5Utf16FileBecomesAnsi) {
    load(utf16LeFile(u"Windows Registry Editor Version 5.00\r\n"
                     u"\r\n"
                     u"[HKEY_CURRENT_USER\\Software\\Vardak]\r\n"
                     u"\"By\"=\"K\u00f8benhavn \u20ac \u03a9 \U0001F600!\"\r\n"
                     u"\"\u00c5r\"=dword:00000001\r\n"));
    EXPECT_EQ(valueAt(RootKey::CurrentUser, "Software\\Vardak", "By").data,
              bytesOf(std::string_view("K\xF8" "benhavn \x80 ? ?!\0", 17)));
    EXPECT_TRUE(registry.value(RootKey::CurrentUser, "Software\\Vardak", "\xC5r").has_value());
}

TEST_F(RegLoader, Version5StringHexDataIsUtf16ConvertedToAnsi) {
    load(utf16LeFile(u"Windows Registry Editor Version 5.00\r\n"
                     u"[HKLM\\S]\r\n"
                     u"\"Path\"=hex(2):25,00,53,00,59,00,53,00,25,00,00,00\r\n"
                     u"\"List\"=hex(7):61,00,00,00,fc,00,ac,20,00,00,00,00\r\n"
                     u"\"Sz\"=hex(1):41,00,00,00\r\n"
                     u"\"Raw\"=hex:01,02,03\r\n"));
    EXPECT_EQ(valueAt(RootKey::LocalMachine, "S", "Path").type, ValueType::ExpandString);
    EXPECT_EQ(dataAt("S", "Path"), bytesOf(std::string_view("%SYS%\0", 6)));
    EXPECT_EQ(dataAt("S", "List"), bytesOf(std::string_view("a\0\xFC\x80\0\0", 6)));
    EXPECT_EQ(dataAt("S", "Sz"), bytesOf(std::string_view("A\0", 2)));
    EXPECT_EQ(dataAt("S", "Raw"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(RegLoader, Version5HeaderDecidesTheHexStringFormatEvenWithoutBom) {
    load("Windows Registry Editor Version 5.00\n[HKLM\\S]\n\"Path\"=hex(2):41,00,42,00,00,00\n");
    EXPECT_EQ(dataAt("S", "Path"), bytesOf(std::string_view("AB\0", 3)));
}

TEST_F(RegLoader, Utf8BomFileBecomesAnsi) {
    load("\xEF\xBB\xBFREGEDIT4\n[HKLM\\S]\n\"N\"=\"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\"\n");
    EXPECT_EQ(dataAt("S", "N"), bytesOf(std::string_view("\xE9t\xE9 \x80\0", 6)));
}

// ------------------------------------------------------------------ malformed input

struct BadInput {
    const char* what;
    std::string text;
    const char* message;
};

class RegLoaderRejects : public ::testing::TestWithParam<BadInput> {};

TEST_P(RegLoaderRejects, WithSourceAndLineInTheMessage) {
    FakeRegistry registry;
    try {
        registry.loadRegText(GetParam().text, "bad.reg");
        FAIL() << "accepted";
    } catch (const RegFileError& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RegLoader, RegLoaderRejects,
    ::testing::Values(
        BadInput{"NoHeader", "[HKLM\\A]\n\"V\"=\"1\"\n",
                 "bad.reg:1: missing \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\" header"},
        BadInput{"WrongHeaderAfterBlankLines", "\n\nREGEDIT5\n",
                 "bad.reg:3: missing \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\" header"},
        BadInput{"EmptyText", "", "bad.reg:1: missing \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\" header"},
        BadInput{"UnknownRoot", "REGEDIT4\n\n[HKEY_LOCAL_MACHIN\\Software]\n",
                 "bad.reg:3: unknown root key 'HKEY_LOCAL_MACHIN'"},
        BadInput{"MissingBracket", "REGEDIT4\n[HKLM\\Software\n", "bad.reg:2: missing ']' after the key name"},
        BadInput{"MissingQuoteInName", "REGEDIT4\n[HKLM\\A]\n\"Name=x\n", "bad.reg:3: missing closing quote"},
        BadInput{"MissingEquals", "REGEDIT4\n[HKLM\\A]\n\"Name\" \"x\"\n",
                 "bad.reg:3: missing '=' after the value name"},
        BadInput{"MissingQuoteInData", "REGEDIT4\n[HKLM\\A]\n\n\"Name\"=\"value\n",
                 "bad.reg:4: missing closing quote"},
        BadInput{"DwordTooLong", "REGEDIT4\n[HKLM\\A]\n\"D\"=dword:123456789\n", "bad.reg:3: bad dword value"},
        BadInput{"DwordNotHex", "REGEDIT4\n[HKLM\\A]\n\"D\"=dword:12g4\n", "bad.reg:3: bad dword value"},
        BadInput{"DwordEmpty", "REGEDIT4\n[HKLM\\A]\n\"D\"=dword:\n", "bad.reg:3: bad dword value"},
        BadInput{"DwordTrailingText", "REGEDIT4\n[HKLM\\A]\n\"D\"=dword:00000001 x\n",
                 "bad.reg:3: unexpected text after the value"},
        BadInput{"BadHexByte", "REGEDIT4\n[HKLM\\A]\n\"H\"=hex:01,zz\n", "bad.reg:3: bad hex byte 'zz'"},
        BadInput{"HexByteTooLong", "REGEDIT4\n[HKLM\\A]\n\"H\"=hex:01,123\n", "bad.reg:3: bad hex byte '123'"},
        BadInput{"BadHexByteOnContinuationLine",
                 "REGEDIT4\r\n[HKLM\\A]\r\n\"H\"=hex:01,02,\\\r\n  03,04,\\\r\n  0x,05\r\n",
                 "bad.reg:5: bad hex byte '0x'"},
        BadInput{"EmptyHexByte", "REGEDIT4\n[HKLM\\A]\n\"H\"=hex:01,,02\n", "bad.reg:3: missing hex byte"},
        BadInput{"BadValueType", "REGEDIT4\n[HKLM\\A]\n\"H\"=hex(zz):00\n", "bad.reg:3: bad value type"},
        BadInput{"ValueBeforeAnyKey", "REGEDIT4\n\n\"A\"=\"b\"\n",
                 "bad.reg:3: value line without a key section before it"},
        BadInput{"ValueAfterKeyDeletion", "REGEDIT4\n[HKLM\\A]\n[-HKLM\\A]\n\"A\"=\"b\"\n",
                 "bad.reg:4: value line without a key section before it"},
        BadInput{"SingleBackslashInString", "REGEDIT4\n[HKLM\\A]\n\"P\"=\"C:\\WINDOWS\"\n",
                 "bad.reg:3: unknown escape '\\W'"},
        BadInput{"UnrecognisedLine", "REGEDIT4\n[HKLM\\A]\nHKLM\\Software\n", "bad.reg:3: unrecognised line"},
        BadInput{"UnrecognisedData", "REGEDIT4\n[HKLM\\A]\n\"V\"=qword:1\n", "bad.reg:3: unrecognised value data"},
        BadInput{"DeletingARoot", "REGEDIT4\n[-HKCU]\n", "bad.reg:2: a root key cannot be deleted"},
        BadInput{"OddUtf16StringData",
                 "Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"P\"=hex(2):41,00,42\n",
                 "bad.reg:3: UTF-16 string data with an odd number of bytes"}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.what); });

TEST(RegFileError, CarriesTheLineNumber) {
    FakeRegistry registry;
    try {
        registry.loadRegText("REGEDIT4\n[HKLM\\A]\n\n\n\"D\"=dword:x\n", "machine.reg");
        FAIL() << "accepted";
    } catch (const RegFileError& error) {
        EXPECT_EQ(error.line(), 5);
    }
}

}  // namespace
