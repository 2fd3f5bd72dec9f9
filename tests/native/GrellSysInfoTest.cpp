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
using Pose = std::function<void(FakePlatform&)>;
using Act = std::function<void(TGrellSysInfo&)>;
using Read = std::function<std::string(TGrellSysInfo&)>;

// An XP machine with a 1024x768 screen of 2 planes of 16 bits, posed further by the case,
// and the component on it (the form deletes it before the machine goes).
struct Rig {
    explicit Rig(const Pose& pose = [](FakePlatform&) {}) {
        machine.systemFake.poseAsWindowsXP();
        machine.displayFake.poseAsScreen(1024, 768, 16);
        machine.displayFake.capabilities[platform::DeviceCapability::Planes] = 2;
        machine.displayFake.capabilities[platform::DeviceCapability::LogPixelsY] = 96;
        machine.settingsFake.parameters = {{spi::kGetKeyboardDelay, 1}, {spi::kGetKeyboardSpeed, 31},
                                           {spi::kGetScreenSaveTimeout, 90}, {spi::kGetBeep, 1}};
        pose(machine);
        info = new TGrellSysInfo(&form, machine);
    }
    FakePlatform machine;
    TComponent form{nullptr};
    TGrellSysInfo* info;
};

Read text(int index) { return [index](TGrellSysInfo& i) { return i.GetString(index); }; }
Read number(int index) { return [index](TGrellSysInfo& i) { return std::to_string(i.GetInteger(index)); }; }
Read flag(int index) {
    return [index](TGrellSysInfo& i) { return std::string(i.GetBoolean(index) ? "True" : "False"); };
}
Read locale(int index) { return [index](TGrellSysInfo& i) { return i.GetLocale(index); }; }
void asIs(FakePlatform&) {}
void as98(FakePlatform& m) { m.systemFake.poseAsWindows98(); }
constexpr auto kOk = platform::FreeResourcesStatus::Ok;

TEST(SysInfoTest, ReadsTheValueAtItsIndex) {
    const struct { const char* label; Pose pose; Read read; std::string expected; } cases[] = {
        {"VersionOf98", as98, text(3), "4.10"},
        {"FreeUserOn98MaskedToSevenBits",
         [](FakePlatform& m) { as98(m); m.systemFake.freeResources = {{kOk, 70}, {kOk, 60}, {kOk, 0x80 | 55}}; },
         text(7), "55 %"},
        {"FreeSystemOn98WithoutThunk", as98, text(8), "0 %"},
        {"PlatformOf98", as98, text(10), "Windows 95"},
        {"UnknownUser", [](FakePlatform& m) { m.systemFake.user.clear(); }, text(0), "(Unknown)"},
        {"OwnerOf98", [](FakePlatform& m) {
             as98(m);
             m.loadRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
                            "\"RegisteredOwner\"=\"Ole\"\n");
         }, text(2), "Ole"},
        {"OtherType", [](FakePlatform& m) { m.systemFake.systemInfo.processorType = 8664; }, text(13), "8664"},
        // 3 GB in the legacy record of a system without the extended one, then 6 GB in the extended one.
        {"PhysicalMemoryAbove2GB",
         [](FakePlatform& m) { m.systemFake.memory.totalPhys = 3u << 30; m.systemFake.memoryEx.reset(); }, number(1),
         "3145728"},
        {"PhysicalMemoryAbove4GB", [](FakePlatform& m) { m.systemFake.memoryEx = {{50, 6ull << 30}}; }, number(1),
         "6291456"},
        {"ScreenSaverDelayOf90Seconds", asIs, number(7), "1"},
        {"BuildLowWord", as98, number(0), "1998"},
        {"TimeZoneDiff", asIs, number(9), "-60"},
        {"NumLockOn", [](FakePlatform& m) { m.systemFake.keys[144] = 0x81; }, flag(0), "True"},
        {"FontSmoothingOn98WithoutExtensions", [](FakePlatform& m) {
             as98(m);
             m.settingsFake.extensions = false;
             m.settingsFake.parameters[spi::kGetFontSmoothing] = 1;
         }, flag(6), "False"},
        {"SnapOn98", [](FakePlatform& m) { as98(m); m.settingsFake.parameters[spi::kGetSnapToDefaultButton] = 1; },
         flag(8), "False"},
        {"PlusOnNT", [](FakePlatform& m) { m.settingsFake.extensions = false; }, flag(9), "True"},
        {"AnimationRecordOff", [](FakePlatform& m) { m.settingsFake.animation = 0; }, flag(3), "False"},
        {"LocaleNotAnswered", asIs, locale(0), "Hallo"},
        {"ColorDepth", asIs, [](TGrellSysInfo& i) { return std::to_string(i.ColorDepth()); }, "32"},
        {"EnvironmentReadTwice", [](FakePlatform& m) { m.systemFake.environment = {"PATH=C:\\WINDOWS", "TEMP=C:\\T"}; },
         [](TGrellSysInfo& i) { i.Environment(); return i.Environment().commaText(); }, "PATH=C:\\WINDOWS,TEMP=C:\\T"},
        {"FontsSorted", [](FakePlatform& m) { m.settingsFake.fonts = {"Tahoma", "Arial", "Courier New"}; },
         [](TGrellSysInfo& i) { return i.AllFonts().commaText(); }, "Arial,\"Courier New\",Tahoma"}};
    for (const auto& c : cases) {
        Rig rig(c.pose);
        EXPECT_EQ(c.read(*rig.info), c.expected) << c.label;
    }
}

TEST(SysInfoTest, ListingReadsEveryValueInPublishedOrder) {
    Rig rig;
    const std::vector<std::string> all = propertyLines(*rig.info, false, PropertyFormat{'.'});
    // Name, Tag, About, 16 texts, 13 numbers, 10 switches, 28 locale items, 3 lists,
    // 4 values of its own and the 22 of ProcessorInfo.
    ASSERT_EQ(all.size(), 2u + 1 + 16 + 13 + 10 + 28 + 3 + 4 + 22);
    EXPECT_EQ(std::vector<std::string>(all.begin() + 3, all.begin() + 11),
              (std::vector<std::string>{"AllFonts = ", "AllPrinters = ", "CurrentUser = Tester",
                                        "RegisteredCompany = (Unknown)", "RegisteredOwner = (Unknown)",
                                        "ScreenSaverDelay = 1", "VersionWIN = 5.1", "WinPath = C:\\WINDOWS"}));
    EXPECT_EQ(all[29], "ProcessorInfo.IDString = ");
    EXPECT_EQ(all.back(), "SnapToDefaultButton = False");
}

// ---------------------------------------------------------------- writes

TEST(SysInfoTest, AWriteOfEachKindReachesTheSystemAndIsReadBack) {
    const struct { const char* label; Act write; Read read; std::string expected; } cases[] = {
        {"IntegerKeyboardDelay", [](auto& i) { i.SetKeyboardDelay(3); },
         [](auto& i) { return std::to_string(i.KeyboardDelay()); }, "3"},
        {"IntegerKeyboardSpeed", [](auto& i) { i.SetKeyboardSpeed(0); },
         [](auto& i) { return std::to_string(i.KeyboardSpeed()); }, "0"},
        {"BooleanWarningBeep", [](auto& i) { i.SetBoolean(4, false); }, flag(4), "False"},
        {"BooleanDragFullWindows", [](auto& i) { i.SetBoolean(7, true); }, flag(7), "True"},
        {"TextLocale", [](auto& i) { i.SetLocale(15, "."); }, locale(15), "."},
        {"RecordWindowAnimation", [](auto& i) { i.SetBoolean(3, false); }, flag(3), "False"}};
    for (const auto& c : cases) {
        Rig rig;
        c.write(*rig.info);
        EXPECT_EQ(c.read(*rig.info), c.expected) << c.label;
        EXPECT_FALSE(rig.machine.settingsFake.writes.empty()) << c.label;
    }
}

TEST(SysInfoTest, LockKeysAreToggledOnNTOnlyWhenTheyDifferAndWrittenAsKeyStateOn98) {
    Rig nt;
    nt.info->SetBoolean(0, false);
    EXPECT_TRUE(nt.machine.settingsFake.toggledKeys.empty());
    nt.info->SetBoolean(0, true);
    EXPECT_EQ(nt.machine.settingsFake.toggledKeys, std::vector<uint8_t>{144});
    EXPECT_TRUE(nt.info->GetBoolean(0));
    Rig old([](FakePlatform& m) {
        as98(m);
        m.systemFake.keys[20] = 0x80;
    });
    old.info->SetBoolean(1, true);
    EXPECT_EQ(old.machine.settingsFake.keyboardStateWrites, 1);
    EXPECT_EQ(old.machine.systemFake.keys[20], 1);
    EXPECT_TRUE(old.machine.settingsFake.toggledKeys.empty());
}

void failing(FakePlatform& m) {
    m.settingsFake.failingActions = {spi::kSetKeyboardDelay, spi::kSetBeep, spi::kSetAnimation};
    m.settingsFake.failingLocaleItems = {0x0E};
}

TEST(SysInfoTest, ARefusedWriteRaisesAndChangesNothing) {
    // reachesTheSystem: the system is asked and refuses; otherwise the component refuses it first.
    const struct { const char* label; Pose pose; Act write; bool reachesTheSystem; } cases[] = {
        {"DelayAboveThree", asIs, [](auto& i) { i.SetKeyboardDelay(4); }, false},
        {"NegativeDelay", asIs, [](auto& i) { i.SetKeyboardDelay(-1); }, false},
        {"SpeedAbove31", asIs, [](auto& i) { i.SetKeyboardSpeed(32); }, false},
        {"LocaleIndexPastTheTable", asIs, [](auto& i) { i.SetLocale(28, "x"); }, false},
        {"NegativeLocaleIndex", asIs, [](auto& i) { i.SetLocale(-1, "x"); }, false},
        {"PlaceholderText", asIs, [](auto& i) { i.SetLocale(11, "Hallo"); }, false},
        {"PlaceholderReadBack", asIs, [](auto& i) { i.SetLocale(0, i.GetLocale(0)); }, false},
        {"SeparatorTooLong", asIs, [](auto& i) { i.SetLocale(15, "...."); }, false},
        {"EmptyText", asIs, [](auto& i) { i.SetLocale(15, ""); }, false},
        {"FontSmoothingWithoutExtensions", [](FakePlatform& m) { as98(m); m.settingsFake.extensions = false; },
         [](auto& i) { i.SetBoolean(6, true); }, false},
        {"SnapOn98", as98, [](auto& i) { i.SetBoolean(8, true); }, false},
        {"BooleanIndexPastTheGroup", asIs, [](auto& i) { i.SetBoolean(10, true); }, false},
        {"SystemRefusesTheDelay", failing, [](auto& i) { i.SetKeyboardDelay(2); }, true},
        {"SystemRefusesTheBeep", failing, [](auto& i) { i.SetBoolean(4, false); }, true},
        {"SystemRefusesTheAnimation", failing, [](auto& i) { i.SetBoolean(3, false); }, true},
        {"SystemRefusesTheLocale", failing, [](auto& i) { i.SetLocale(15, "."); }, true},
        {"SystemRefusesTheKeyState", [](FakePlatform& m) { as98(m); m.settingsFake.keyboardStateFails = true; },
         [](auto& i) { i.SetBoolean(2, true); }, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Rig rig(c.pose);
        FakePlatform& machine = rig.machine;
        machine.systemFake.errorTexts[5] = "Access is denied.";
        const auto before = machine.settingsFake.parameters;
        const auto localeBefore = machine.localeFake.items;
        try {
            c.write(*rig.info);
            ADD_FAILURE() << "the write was not refused";
        } catch (const EOSError& error) {
            EXPECT_TRUE(c.reachesTheSystem) << error.what();
            EXPECT_EQ(error.errorCode(), 5u);
            EXPECT_STREQ(error.what(), "Access is denied.");
        } catch (const Exception& error) {
            EXPECT_FALSE(c.reachesTheSystem) << error.what();
            EXPECT_TRUE(machine.settingsFake.writes.empty());
            EXPECT_EQ(machine.settingsFake.keyboardStateWrites, 0);
        }
        EXPECT_EQ(machine.settingsFake.parameters, before);
        EXPECT_EQ(machine.localeFake.items, localeBefore);
    }
}

}  // namespace
}  // namespace vardak::grell
