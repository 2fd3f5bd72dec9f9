// The display and power probes through the real backend under Wine: the adapter of
// the XP fixture seeded into the prefix, read through the registry's binary values,
// and the screen as Wine's own user interface library sees it. The screen sizes of
// real X screens are checked by run-display.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinHandles.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_APM.h"
#include "probes/hardware/Vesk_Display.h"
#include "tests/support/FakePlatform.h"
#include "tests/wine/WineHarness.h"

namespace vardak::winetest {
namespace {

using probes::TDisplay;

std::string fixtureText(const std::string& name) {
    std::ifstream stream(testing::fixturePath(name), std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

constexpr const char* kHardwareKeys = "[HKEY_LOCAL_MACHINE\\HARDWARE\\";
constexpr const char* kVideoKeys = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Video\\";
constexpr const char* kNvidiaVideoID =
    "SYSTEM\\CurrentControlSet\\Control\\Video\\{5D2D8B8C-2F7B-4A37-9A52-1D9E5B6B6C2E}";

// The .reg text without the sections whose headers start with `headerStart`.
std::string withoutSections(const std::string& regText, const std::string& headerStart) {
    std::string kept;
    bool skipping = false;
    std::istringstream lines(regText);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.front() == '[') {
            skipping = line.rfind(headerStart, 0) == 0;
        }
        if (!skipping) {
            kept += line + "\n";
        }
    }
    return kept;
}

// One key of a parsed .reg text copied into the registry as a volatile key, as Wine
// keeps Control\Video (a lasting key cannot be created below it). `owned`, the key
// itself or a parent that did not exist before, is deleted again.
class VolatileSeededKey {
public:
    VolatileSeededKey(testing::FakeRegistry& parsed, const std::string& path, std::string owned)
        : owned_(std::move(owned)) {
        win32::UniqueKey key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE,
                            nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
            return;
        }
        const auto source = parsed.openKey(platform::RootKey::LocalMachine, path, platform::KeyAccess::Read);
        if (!source) {
            return;
        }
        created_ = true;
        for (const std::string& name : source->valueNames()) {
            const std::optional<platform::RegValue> value = source->queryValue(name);
            created_ = created_ && value &&
                       RegSetValueExA(key.get(), name.c_str(), 0, static_cast<DWORD>(value->type),
                                      value->data.data(), static_cast<DWORD>(value->data.size())) == ERROR_SUCCESS;
        }
    }
    ~VolatileSeededKey() { deleteKeyTree(HKEY_LOCAL_MACHINE, owned_); }
    VolatileSeededKey(const VolatileSeededKey&) = delete;
    VolatileSeededKey& operator=(const VolatileSeededKey&) = delete;

    bool created() const { return created_; }

private:
    std::string owned_;
    bool created_ = false;
};

TEST(DisplayWineTest, TheSeededAdapterIsReadThroughTheRegistrysBinaryValues) {
    const std::string fixture = fixtureText("display-xp.reg");
    ASSERT_NE(fixture.find("HardwareInformation.ChipType"), std::string::npos);
    // Wine's own HARDWARE key would keep the values a seed wrote into it.
    const SeededRegistry seeded(withoutSections(withoutSections(fixture, kHardwareKeys), kVideoKeys));
    ASSERT_TRUE(seeded.imported());
    testing::FakeRegistry parsed;
    parsed.loadRegText(fixture, "display-xp.reg");
    ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kNvidiaVideoID));
    const VolatileSeededKey video(parsed, std::string(kNvidiaVideoID) + "\\0000", kNvidiaVideoID);
    ASSERT_TRUE(video.created());

    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession session(platform);
    TDisplay display(platform);
    display.GetInfo();
    EXPECT_EQ(display.Adapter(), "NVIDIA GeForce2 MX/MX 400");
    EXPECT_EQ(display.deviceParam(), "{5D2D8B8C-2F7B-4A37-9A52-1D9E5B6B6C2E}");
    EXPECT_EQ(display.Chipset(), "GeForce2 MX");
    EXPECT_EQ(display.DAC(), "Integrated RAMDAC");
    EXPECT_EQ(display.Memory(), 32 * 1024 * 1024);
}

TEST(DisplayWineTest, TheScreenValuesAreThoseOfTheUserInterfaceLibrary) {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession session(platform);
    TDisplay display(platform);
    display.GetInfo();
    EXPECT_EQ(display.HorzRes(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(display.VertRes(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(display.Technology(), "Raster Display");
    EXPECT_GT(display.FontResolution(), 0u);

    DEVMODEA current{};
    current.dmSize = sizeof(current);
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current)) {
        GTEST_SKIP() << "Wine reports no current display mode here";
    }
    const std::string currentMode = std::to_string(current.dmPelsWidth) + " x " +
                                    std::to_string(current.dmPelsHeight) + " - " +
                                    std::to_string(current.dmBitsPerPel) + " bit";
    EXPECT_GE(display.Modes().indexOf(currentMode), 0) << currentMode;
    EXPECT_EQ(static_cast<uint32_t>(display.ColorDepth()), current.dmBitsPerPel);
}

TEST(DisplayWineTest, ThePowerStatusIsWinesRecord) {
    SYSTEM_POWER_STATUS status{};
    ASSERT_TRUE(GetSystemPowerStatus(&status));
    win32::Win32Platform platform(/*console=*/true);
    probes::TAPM apm(platform);
    apm.GetInfo();
    EXPECT_EQ(apm.ACPowerStatus(), probes::PowerStatusOf(status.ACLineStatus));
    EXPECT_EQ(apm.BatteryChargeStatus(), probes::BatteryStatusOf(status.BatteryFlag));
    EXPECT_EQ(apm.BatteryLifePercent(), status.BatteryLifePercent);
    EXPECT_EQ(apm.BatteryLifeFullTime(), status.BatteryFullLifeTime);
}

}  // namespace
}  // namespace vardak::winetest
