// The system-values component: reads of each group on scripted machines, a write of
// each kind of value (integer, Boolean, text, record) read back, and the writes it
// refuses before they reach the system or reports when the system refuses them.
#include "grell/system/GrellSysInfo.h"

#include <gtest/gtest.h>

#include <functional>

#include "grell/system/GrellExceptions.h"
#include "tests/support/FakePlatform.h"

namespace vardak::grell {
namespace {

namespace spi = platform::system_parameter;
using testing::FakePlatform;

class SysInfoTest : public ::testing::Test {
protected:
    SysInfoTest() {
        machine.systemFake.poseAsWindowsXP();
        machine.displayFake.poseAsScreen(1024, 768, 16);
        machine.displayFake.capabilities[platform::DeviceCapability::Planes] = 2;
        machine.displayFake.capabilities[platform::DeviceCapability::LogPixelsY] = 96;
        machine.settingsFake.parameters = {{spi::kGetKeyboardDelay, 1}, {spi::kGetKeyboardSpeed, 31},
                                           {spi::kGetScreenSaveTimeout, 90}, {spi::kGetBeep, 1}};
    }
    TGrellSysInfo& info() {
        if (!component_) component_ = new TGrellSysInfo(&form_, machine);
        return *component_;
    }

    FakePlatform machine;

private:
    TComponent form_{nullptr};
    TGrellSysInfo* component_ = nullptr;
};

// ---------------------------------------------------------------- reads

struct ReadCase {
    const char* label;
    std::function<void(FakePlatform&)> pose;
    std::function<std::string(TGrellSysInfo&)> read;
    std::string expected;
};

class SysInfoReadTest : public SysInfoTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SysInfoReadTest, ReadsTheValueAtItsIndex) {
    GetParam().pose(machine);
    EXPECT_EQ(GetParam().read(info()), GetParam().expected);
}

auto text(int index) {
    return [index](TGrellSysInfo& info) { return info.GetString(index); };
}
auto number(int index) {
    return [index](TGrellSysInfo& info) { return std::to_string(info.GetInteger(index)); };
}
auto flag(int index) {
    return [index](TGrellSysInfo& info) { return std::string(info.GetBoolean(index) ? "True" : "False"); };
}
void asIs(FakePlatform&) {}
void as98(FakePlatform& machine) { machine.systemFake.poseAsWindows98(); }

// 3 GB of memory in the legacy record of a system without the extended one.
void threeGigabytes(FakePlatform& machine) {
    machine.systemFake.memory.totalPhys = 3u << 30;
    machine.systemFake.memoryEx.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Values, SysInfoReadTest,
    ::testing::Values(
        ReadCase{"VersionOf98", as98, text(3), "4.10"},
        ReadCase{"VersionOfNT4", [](FakePlatform& m) { m.systemFake.poseAsNT4(); }, text(3), "4.0"},
        ReadCase{"FreeGdiOnNT", asIs, text(6), "0 %"},
        ReadCase{"FreeUserOn98MaskedToSevenBits",
                 [](FakePlatform& m) {
                     as98(m);
                     m.systemFake.freeResources = {{platform::FreeResourcesStatus::Ok, 70},
                                                   {platform::FreeResourcesStatus::Ok, 60},
                                                   {platform::FreeResourcesStatus::Ok, 0x80 | 55}};
                 },
                 text(7), "55 %"},
        ReadCase{"FreeSystemOn98WithoutThunk", as98, text(8), "0 %"},
        ReadCase{"PlatformOf98", as98, text(10), "Windows 95"},
        ReadCase{"UnknownUser", [](FakePlatform& m) { m.systemFake.user.clear(); }, text(0), "(Unknown)"},
        ReadCase{"OwnerWithoutKey", asIs, text(2), "(Unknown)"},
        ReadCase{"OwnerOf98",
                 [](FakePlatform& m) {
                     as98(m);
                     m.loadRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
                                    "\"RegisteredOwner\"=\"Ole\"\n");
                 },
                 text(2), "Ole"},
        ReadCase{"PentiumType", [](FakePlatform& m) { m.systemFake.systemInfo.processorType = 586; }, text(13),
                 "Intel Pentium"},
        ReadCase{"MipsType", [](FakePlatform& m) { m.systemFake.systemInfo.processorType = 4000; }, text(13),
                 "Mips R4000"},
        ReadCase{"OtherType", [](FakePlatform& m) { m.systemFake.systemInfo.processorType = 8664; }, text(13),
                 "8664"},
        ReadCase{"LanguageName", asIs, text(14), "Dansk"},
        ReadCase{"TimeZone", asIs, text(15), "Romance Standard Time"},
        ReadCase{"PhysicalMemoryAbove2GB", threeGigabytes, number(1), "3145728"},
        ReadCase{"PhysicalMemoryAbove4GB",
                 [](FakePlatform& m) { m.systemFake.memoryEx = platform::MemoryStatusEx{50, 6ull << 30}; },
                 number(1), "6291456"},
        ReadCase{"ScreenSaverDelayOf90Seconds", asIs, number(7), "1"},
        ReadCase{"BuildLowWord", as98, number(0), "1998"},
        ReadCase{"TimeZoneDiff", asIs, number(9), "-60"},
        ReadCase{"ScreenPPi", asIs, number(12), "96"},
        ReadCase{"NumLockOn", [](FakePlatform& m) { m.systemFake.keys[144] = 0x81; }, flag(0), "True"},
        ReadCase{"FontSmoothingOn98WithoutExtensions",
                 [](FakePlatform& m) {
                     as98(m);
                     m.settingsFake.extensions = false;
                     m.settingsFake.parameters[spi::kGetFontSmoothing] = 1;
                 },
                 flag(6), "False"},
        ReadCase{"SnapOn98", [](FakePlatform& m) {
                     as98(m);
                     m.settingsFake.parameters[spi::kGetSnapToDefaultButton] = 1;
                 },
                 flag(8), "False"},
        ReadCase{"PlusOnNT", [](FakePlatform& m) { m.settingsFake.extensions = false; }, flag(9), "True"},
        ReadCase{"AnimationRecordOff", [](FakePlatform& m) { m.settingsFake.animation = 0; }, flag(3), "False"},
        ReadCase{"LocaleNotAnswered", asIs, [](TGrellSysInfo& i) { return i.GetLocale(0); }, "Hallo"},
        ReadCase{"LocaleDecimalSeparator", asIs, [](TGrellSysInfo& i) { return i.GetLocale(15); }, ","},
        ReadCase{"ColorDepth", asIs, [](TGrellSysInfo& i) { return std::to_string(i.ColorDepth()); }, "32"},
        ReadCase{"FontsSorted",
                 [](FakePlatform& m) { m.settingsFake.fonts = {"Tahoma", "Arial", "Courier New"}; },
                 [](TGrellSysInfo& i) { return i.AllFonts().commaText(); }, "Arial,\"Courier New\",Tahoma"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SysInfoTest, TheEnvironmentReadsTheSameTwice) {
    machine.systemFake.environment = {"PATH=C:\\WINDOWS", "TEMP=C:\\TEMP"};
    const std::vector<std::string> first = info().Environment().toVector();
    EXPECT_EQ(info().Environment().toVector(), first);
    EXPECT_EQ(first, machine.systemFake.environment);
}

TEST_F(SysInfoTest, ListingReadsEveryValueInPublishedOrder) {
    TStringList lines;
    for (const std::string& line : propertyLines(info(), false, PropertyFormat{'.'})) lines.add(line);
    const std::vector<std::string> all = lines.toVector();
    // The component's Name and Tag, then About and the values: 16 texts, 13 numbers,
    // 10 switches, 28 locale items, 3 lists, 4 values of their own and the 22 of
    // ProcessorInfo.
    ASSERT_EQ(all.size(), 2u + 1 + 16 + 13 + 10 + 28 + 3 + 4 + 22);
    EXPECT_EQ(std::vector<std::string>(all.begin() + 3, all.begin() + 11),
              (std::vector<std::string>{"AllFonts = ", "AllPrinters = ", "CurrentUser = Tester",
                                        "RegisteredCompany = (Unknown)", "RegisteredOwner = (Unknown)",
                                        "ScreenSaverDelay = 1", "VersionWIN = 5.1", "WinPath = C:\\WINDOWS"}));
    EXPECT_EQ(all[29], "ProcessorInfo.IDString = ");
    EXPECT_EQ(all.back(), "SnapToDefaultButton = False");
}

// ---------------------------------------------------------------- writes

struct WriteCase {
    const char* label;
    std::function<void(TGrellSysInfo&)> write;
    std::function<std::string(TGrellSysInfo&)> read;
    std::string expected;
};

class SysInfoWriteTest : public SysInfoTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(SysInfoWriteTest, AWriteIsReadBack) {
    GetParam().write(info());
    EXPECT_EQ(GetParam().read(info()), GetParam().expected);
    EXPECT_FALSE(machine.settingsFake.writes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SysInfoWriteTest,
    ::testing::Values(
        WriteCase{"IntegerKeyboardDelay", [](TGrellSysInfo& i) { i.SetKeyboardDelay(3); },
                  [](TGrellSysInfo& i) { return std::to_string(i.KeyboardDelay()); }, "3"},
        WriteCase{"IntegerKeyboardSpeed", [](TGrellSysInfo& i) { i.SetKeyboardSpeed(0); },
                  [](TGrellSysInfo& i) { return std::to_string(i.KeyboardSpeed()); }, "0"},
        WriteCase{"BooleanWarningBeep", [](TGrellSysInfo& i) { i.SetBoolean(4, false); }, flag(4), "False"},
        WriteCase{"BooleanDragFullWindows", [](TGrellSysInfo& i) { i.SetBoolean(7, true); }, flag(7), "True"},
        WriteCase{"TextLocale", [](TGrellSysInfo& i) { i.SetLocale(15, "."); },
                  [](TGrellSysInfo& i) { return i.GetLocale(15); }, "."},
        WriteCase{"RecordWindowAnimation", [](TGrellSysInfo& i) { i.SetBoolean(3, false); }, flag(3), "False"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SysInfoTest, LockKeysOnNTAreToggledOnlyWhenTheyDiffer) {
    info().SetBoolean(0, false);
    EXPECT_TRUE(machine.settingsFake.toggledKeys.empty());
    info().SetBoolean(0, true);
    EXPECT_EQ(machine.settingsFake.toggledKeys, std::vector<uint8_t>{144});
    EXPECT_TRUE(info().GetBoolean(0));
}

TEST_F(SysInfoTest, LockKeysOn98WriteTheKeyState) {
    machine.systemFake.poseAsWindows98();
    machine.systemFake.keys[20] = 0x80;
    info().SetBoolean(1, true);
    EXPECT_EQ(machine.settingsFake.keyboardStateWrites, 1);
    EXPECT_EQ(machine.systemFake.keys[20], 1);
    EXPECT_TRUE(machine.settingsFake.toggledKeys.empty());
}

struct RefusedCase {
    const char* label;
    std::function<void(FakePlatform&)> pose;
    std::function<void(TGrellSysInfo&)> write;
    bool reachesTheSystem;  // and the system refuses it
};

class SysInfoRefusedTest : public SysInfoTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(SysInfoRefusedTest, ARefusedWriteRaisesAndChangesNothing) {
    GetParam().pose(machine);
    machine.systemFake.errorTexts[5] = "Access is denied.";
    const auto before = machine.settingsFake.parameters;
    const auto localeBefore = machine.localeFake.items;
    try {
        GetParam().write(info());
        FAIL() << "the write was not refused";
    } catch (const EOSError& error) {
        EXPECT_TRUE(GetParam().reachesTheSystem) << error.what();
        EXPECT_EQ(error.errorCode(), 5u);
        EXPECT_STREQ(error.what(), "Access is denied.");
    } catch (const Exception& error) {
        EXPECT_FALSE(GetParam().reachesTheSystem) << error.what();
        EXPECT_TRUE(machine.settingsFake.writes.empty());
        EXPECT_EQ(machine.settingsFake.keyboardStateWrites, 0);
    }
    EXPECT_EQ(machine.settingsFake.parameters, before);
    EXPECT_EQ(machine.localeFake.items, localeBefore);
}

void failing(FakePlatform& machine) {
    machine.settingsFake.failingActions = {spi::kSetKeyboardDelay, spi::kSetBeep, spi::kSetAnimation};
    machine.settingsFake.failingLocaleItems = {0x0E};
}

INSTANTIATE_TEST_SUITE_P(
    Writes, SysInfoRefusedTest,
    ::testing::Values(
        RefusedCase{"DelayAboveThree", asIs, [](TGrellSysInfo& i) { i.SetKeyboardDelay(4); }, false},
        RefusedCase{"NegativeDelay", asIs, [](TGrellSysInfo& i) { i.SetKeyboardDelay(-1); }, false},
        RefusedCase{"SpeedAbove31", asIs, [](TGrellSysInfo& i) { i.SetKeyboardSpeed(32); }, false},
        RefusedCase{"LocaleIndexPastTheTable", asIs, [](TGrellSysInfo& i) { i.SetLocale(28, "x"); }, false},
        RefusedCase{"NegativeLocaleIndex", asIs, [](TGrellSysInfo& i) { i.SetLocale(-1, "x"); }, false},
        RefusedCase{"PlaceholderText", asIs, [](TGrellSysInfo& i) { i.SetLocale(11, "Hallo"); }, false},
        RefusedCase{"PlaceholderReadBack", asIs, [](TGrellSysInfo& i) { i.SetLocale(0, i.GetLocale(0)); }, false},
        RefusedCase{"SeparatorTooLong", asIs, [](TGrellSysInfo& i) { i.SetLocale(15, "...."); }, false},
        RefusedCase{"EmptyText", asIs, [](TGrellSysInfo& i) { i.SetLocale(15, ""); }, false},
        RefusedCase{"FontSmoothingWithoutExtensions",
                    [](FakePlatform& m) {
                        as98(m);
                        m.settingsFake.extensions = false;
                    },
                    [](TGrellSysInfo& i) { i.SetBoolean(6, true); }, false},
        RefusedCase{"SnapOn98", as98, [](TGrellSysInfo& i) { i.SetBoolean(8, true); }, false},
        RefusedCase{"BooleanIndexPastTheGroup", asIs, [](TGrellSysInfo& i) { i.SetBoolean(10, true); }, false},
        RefusedCase{"SystemRefusesTheDelay", failing, [](TGrellSysInfo& i) { i.SetKeyboardDelay(2); }, true},
        RefusedCase{"SystemRefusesTheBeep", failing, [](TGrellSysInfo& i) { i.SetBoolean(4, false); }, true},
        RefusedCase{"SystemRefusesTheAnimation", failing, [](TGrellSysInfo& i) { i.SetBoolean(3, false); }, true},
        RefusedCase{"SystemRefusesTheLocale", failing, [](TGrellSysInfo& i) { i.SetLocale(15, "."); }, true},
        RefusedCase{"SystemRefusesTheKeyState",
                    [](FakePlatform& m) {
                        as98(m);
                        m.settingsFake.keyboardStateFails = true;
                    },
                    [](TGrellSysInfo& i) { i.SetBoolean(2, true); }, true}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace vardak::grell
