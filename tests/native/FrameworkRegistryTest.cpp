#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"

namespace vardak {
namespace {

using platform::RootKey;
using platform::ValueType;

constexpr const char* kMachine =
    "REGEDIT4\n"
    "[HKEY_CURRENT_USER\\Software\\Vardak]\n"
    "\"Language\"=\"da\"\n"
    "\"Count\"=dword:0000002a\n"
    "\"Flag\"=dword:00000000\n"
    "[HKEY_CURRENT_USER\\Software\\Vardak\\Windows]\n"
    "\"Left\"=dword:ffffffff\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\n"
    "\"Where\"=\"other\"\n"
    "[HKEY_LOCAL_MACHINE\\Hardware\\Raw]\n"
    "\"NoNul\"=hex(1):41,42,43\n"
    "\"InnerNul\"=hex(1):41,00,42,00\n"
    "\"Expand\"=hex(2):25,57,49,4e,25,00\n"
    "\"Empty\"=hex(1):\n"
    "\"Multi\"=hex(7):41,00,42,43,00,00\n"
    "\"MultiOpen\"=hex(7):41,00,42\n"
    "\"MultiGap\"=hex(7):41,00,00,42,00,00\n"
    "\"Bytes\"=hex:01,02,03,04\n"
    "\"ShortDword\"=hex(4):01,02\n"
    "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n"
    "\"Dword\"=dword:0000002a\n";

class FrameworkRegistryTest : public ::testing::Test {
protected:
    FrameworkRegistryTest() { machine.loadRegistry(kMachine); }

    TRegistry& openRaw() {
        raw.setRootKey(RootKey::LocalMachine);
        EXPECT_TRUE(raw.openKeyReadOnly("Hardware\\Raw"));
        return raw;
    }

    testing::FakePlatform machine;
    TRegistry raw{machine.registry()};
};

void expectInvalidType(const std::function<void()>& read, const std::string& name) {
    try {
        read();
        ADD_FAILURE() << "no exception for " << name;
    } catch (const ERegistryException& error) {
        EXPECT_EQ(error.message(), "Invalid data type for '" + name + "'");
    }
}

TEST_F(FrameworkRegistryTest, StartsAtTheCurrentUserRoot) {
    TRegistry reg(machine.registry());
    EXPECT_EQ(reg.rootKey(), RootKey::CurrentUser);
    ASSERT_TRUE(reg.openKeyReadOnly("Software\\Vardak"));
    EXPECT_EQ(reg.readString("Language"), "da");
}

TEST_F(FrameworkRegistryTest, RelativePathsContinueFromTheOpenKey) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKeyReadOnly("\\Software"));
    EXPECT_EQ(reg.currentPath(), "Software");
    ASSERT_TRUE(reg.openKeyReadOnly("Vardak"));
    EXPECT_EQ(reg.currentPath(), "Software\\Vardak");
    EXPECT_TRUE(reg.keyExists("Windows"));
    EXPECT_FALSE(reg.keyExists("Other"));
    EXPECT_TRUE(reg.keyExists("\\Software\\Other"));

    ASSERT_TRUE(reg.openKeyReadOnly("\\Software\\Other"));
    EXPECT_EQ(reg.currentPath(), "Software\\Other");
    EXPECT_EQ(reg.readString("Where"), "other");
}

TEST_F(FrameworkRegistryTest, FailedOpenKeepsTheOpenKey) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKeyReadOnly("Software\\Vardak"));
    EXPECT_FALSE(reg.openKeyReadOnly("Missing"));
    EXPECT_FALSE(reg.openKey("Missing", false));
    EXPECT_EQ(reg.currentPath(), "Software\\Vardak");
    reg.closeKey();
    EXPECT_FALSE(reg.hasOpenKey());
    EXPECT_EQ(reg.currentPath(), "");
    EXPECT_FALSE(reg.valueExists("Language"));
}

TEST_F(FrameworkRegistryTest, ChangingTheRootClosesTheKey) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKeyReadOnly("Software\\Vardak"));
    reg.setRootKey(RootKey::LocalMachine);
    EXPECT_FALSE(reg.hasOpenKey());
    EXPECT_FALSE(reg.keyExists("Software\\Vardak"));
    EXPECT_TRUE(reg.keyExists("Hardware\\Raw"));
}

TEST_F(FrameworkRegistryTest, ReadsIntegersAndBooleans) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKeyReadOnly("Software\\Vardak"));
    EXPECT_EQ(reg.readInteger("Count"), 42);
    EXPECT_FALSE(reg.readBool("Flag"));
    ASSERT_TRUE(reg.openKeyReadOnly("Windows"));
    EXPECT_EQ(reg.readInteger("Left"), -1);
}

TEST_F(FrameworkRegistryTest, WrongTypesAndMissingIntegersRaise) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKeyReadOnly("Software\\Vardak"));
    expectInvalidType([&] { reg.readInteger("Language"); }, "Language");
    expectInvalidType([&] { reg.readInteger("Missing"); }, "Missing");
    expectInvalidType([&] { reg.readString("Count"); }, "Count");
    expectInvalidType([&] { reg.readMultiString("Language"); }, "Language");

    openRaw();
    expectInvalidType([&] { raw.readInteger("ShortDword"); }, "ShortDword");
    expectInvalidType([&] { raw.readInteger("Qword"); }, "Qword");
}

TEST_F(FrameworkRegistryTest, StringsEndAtTheirNulOrTheirData) {
    TRegistry& reg = openRaw();
    EXPECT_EQ(reg.readString("NoNul"), "ABC");
    EXPECT_EQ(reg.readString("InnerNul"), "A");
    EXPECT_EQ(reg.readString("Expand"), "%WIN%");
    EXPECT_EQ(reg.readString("Empty"), "");
    EXPECT_EQ(reg.readString("Missing"), "");
}

TEST_F(FrameworkRegistryTest, MultiStringsStopAtTheEndOfTheirData) {
    TRegistry& reg = openRaw();
    EXPECT_EQ(reg.readMultiString("Multi"), (std::vector<std::string>{"A", "BC"}));
    EXPECT_EQ(reg.readMultiString("MultiOpen"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(reg.readMultiString("MultiGap"), (std::vector<std::string>{"A"}));
    EXPECT_TRUE(reg.readMultiString("Missing").empty());
}

TEST_F(FrameworkRegistryTest, BinaryDataNeedsRoomInTheBuffer) {
    TRegistry& reg = openRaw();
    std::array<uint8_t, 4> exact{};
    EXPECT_EQ(reg.readBinaryData("Bytes", exact), 4u);
    EXPECT_EQ(exact, (std::array<uint8_t, 4>{1, 2, 3, 4}));

    std::array<uint8_t, 3> small{};
    expectInvalidType([&] { reg.readBinaryData("Bytes", small); }, "Bytes");
    expectInvalidType([&] { reg.readBinaryData("NoNul", exact); }, "NoNul");
    EXPECT_EQ(reg.readBinaryData("Missing", exact), 0u);

    std::array<uint8_t, 8> wide{};
    EXPECT_EQ(reg.readBinaryData("Qword", wide), 8u);  // types without a reader of their own
}

TEST_F(FrameworkRegistryTest, ProbeReadsGiveNothingForMissingValuesAndOtherKindsAndCutOnlyWhenAsked) {
    using Bytes = std::vector<uint8_t>;
    struct Case {
        const char* name;
        std::optional<std::string> text;
        std::optional<uint32_t> number;
        std::optional<Bytes> bytes;
    };
    const Case cases[] = {
        {"NoNul", "ABC", std::nullopt, Bytes{'A', 'B', 'C'}},
        {"InnerNul", "A", std::nullopt, Bytes{'A', 0, 'B', 0}},
        {"Expand", "%WIN%", std::nullopt, Bytes{'%', 'W', 'I', 'N', '%', 0}},
        {"Bytes", std::nullopt, std::nullopt, Bytes{1, 2, 3, 4}},
        {"ShortDword", std::nullopt, std::nullopt, Bytes{1, 2}},
        {"Dword", std::nullopt, 42u, Bytes{42, 0, 0, 0}},
        {"Missing", std::nullopt, std::nullopt, std::nullopt},
    };
    const TRegistry& reg = openRaw();
    for (const Case& c : cases) {
        EXPECT_EQ(reg.readText(c.name), c.text) << c.name;
        EXPECT_EQ(reg.readDWord(c.name), c.number) << c.name;
        EXPECT_EQ(reg.readBytes(c.name), c.bytes) << c.name;
    }
    EXPECT_EQ(reg.readText("NoNul", 2), "AB");
    EXPECT_EQ(reg.readBytes("Bytes", 3), (Bytes{1, 2, 3}));
    const auto opened = TRegistry::openReadOnly(machine.registry(), RootKey::LocalMachine, "\\Hardware\\Raw");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->readText("NoNul"), "ABC");
    EXPECT_EQ(TRegistry::openReadOnly(machine.registry(), RootKey::LocalMachine, "\\Hardware\\None"), nullptr);
}

TEST_F(FrameworkRegistryTest, DescribesValues) {
    TRegistry& reg = openRaw();
    EXPECT_EQ(reg.getDataSize("Bytes"), 4);
    EXPECT_EQ(reg.getDataSize("Empty"), 0);
    EXPECT_EQ(reg.getDataSize("Missing"), -1);
    EXPECT_EQ(reg.getDataType("NoNul"), TRegDataType::String);
    EXPECT_EQ(reg.getDataType("Expand"), TRegDataType::ExpandString);
    EXPECT_EQ(reg.getDataType("Bytes"), TRegDataType::Binary);
    EXPECT_EQ(reg.getDataType("Multi"), TRegDataType::Unknown);
    EXPECT_EQ(reg.getDataType("Missing"), TRegDataType::Unknown);
    EXPECT_EQ(reg.valueType("Multi"), ValueType::MultiString);
    EXPECT_TRUE(reg.valueExists("bytes"));
}

TEST_F(FrameworkRegistryTest, ListsSubkeysAndValues) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKeyReadOnly("Software"));
    TStringList names;
    reg.getKeyNames(names);
    EXPECT_EQ(names.toVector(), (std::vector<std::string>{"Vardak", "Other"}));
    EXPECT_TRUE(reg.hasSubKeys());

    ASSERT_TRUE(reg.openKeyReadOnly("Vardak\\Windows"));
    EXPECT_FALSE(reg.hasSubKeys());
    reg.getValueNames(names);
    EXPECT_EQ(names.toVector(), (std::vector<std::string>{"Left"}));
}

TEST_F(FrameworkRegistryTest, ReadOnlyKeysRefuseWrites) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKeyReadOnly("Software\\Vardak"));
    EXPECT_THROW(reg.writeString("Language", "sv"), ERegistryException);
    EXPECT_THROW(reg.writeInteger("Count", 1), ERegistryException);
    EXPECT_FALSE(reg.deleteValue("Language"));
    EXPECT_EQ(reg.readString("Language"), "da");

    reg.closeKey();
    EXPECT_THROW(reg.writeBool("Flag", true), ERegistryException);
}

TEST_F(FrameworkRegistryTest, WritableKeysStoreEveryType) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKey("Software\\Vardak", false));
    reg.writeString("Language", "sv");
    reg.writeExpandString("Path", "%TEMP%");
    reg.writeInteger("Count", -2);
    reg.writeBool("Flag", true);
    const std::array<uint8_t, 2> bytes{9, 8};
    reg.writeBinaryData("Blob", bytes);

    const auto stored = [&](const char* name) {
        return machine.registryFake.value(RootKey::CurrentUser, "Software\\Vardak", name);
    };
    EXPECT_EQ(stored("Language")->data, (std::vector<uint8_t>{'s', 'v', 0}));
    EXPECT_EQ(stored("Path")->type, ValueType::ExpandString);
    EXPECT_EQ(reg.readInteger("Count"), -2);
    EXPECT_TRUE(reg.readBool("Flag"));
    EXPECT_EQ(stored("Blob")->data, (std::vector<uint8_t>{9, 8}));

    EXPECT_TRUE(reg.deleteValue("Blob"));
    EXPECT_FALSE(reg.valueExists("Blob"));
}

TEST_F(FrameworkRegistryTest, CreatesAndDeletesKeyTrees) {
    TRegistry reg(machine.registry());
    ASSERT_TRUE(reg.openKey("Software\\New\\Deep", true));
    EXPECT_EQ(reg.currentPath(), "Software\\New\\Deep");
    EXPECT_TRUE(reg.createKey("\\Software\\New\\Side"));
    reg.closeKey();

    EXPECT_TRUE(reg.deleteKey("Software\\Vardak"));
    EXPECT_FALSE(machine.registryFake.hasKey(RootKey::CurrentUser, "Software\\Vardak\\Windows"));
    EXPECT_FALSE(machine.registryFake.hasKey(RootKey::CurrentUser, "Software\\Vardak"));
    EXPECT_TRUE(machine.registryFake.hasKey(RootKey::CurrentUser, "Software\\New\\Side"));
    EXPECT_FALSE(reg.deleteKey("Software\\Missing"));
    EXPECT_FALSE(reg.deleteKey(""));
}

}  // namespace
}  // namespace vardak
