// The device probe against Wine's registry: the device tree of the XP fixture,
// seeded into the prefix, is listed by the real backend as the fake lists it.
// (Wine has no dynamic-data root: the 95/98 path is tested natively only.)
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/SysUtils.h"
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Devices.h"
#include "tests/support/FakePlatform.h"
#include "tests/wine/WineHarness.h"

namespace vardak::winetest {
namespace {

using probes::TDevice;
using probes::TDevices;

std::string fixtureText(const std::string& name) {
    std::ifstream stream(testing::fixturePath(name), std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

std::vector<TDevice> listOf(const TDevices& devices) {
    std::vector<TDevice> list;
    for (int index = 0; index < devices.Count(); ++index) {
        list.push_back(*devices.Device(index));
    }
    return list;
}

// The devices of the fixture as the in-memory registry gives them, on XP.
std::vector<TDevice> fakeDevices(const std::string& regText) {
    testing::FakePlatform machine;
    machine.loadRegistry(regText, "devices-nt.reg");
    const probes::OstrelRoutinesSession session(machine);
    TDevices devices(machine);
    devices.GetInfo();
    return listOf(devices);
}

std::vector<TDevice> realDevices() {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession session(platform);
    TDevices devices(platform);
    devices.GetInfo();
    return listOf(devices);
}

// Where a device of `expected` is in `list`, by its key (Wine keeps the case of the
// keys it had already: "ROOT" for the fixture's "Root"); -1 when it is not there.
int positionOf(const std::vector<TDevice>& list, const TDevice& expected) {
    for (size_t index = 0; index < list.size(); ++index) {
        if (sameText(list[index].RegKey, expected.RegKey)) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

TEST(DevicesWineTest, ASeededDeviceTreeIsListedAsTheFakeListsIt) {
    const std::string regText = fixtureText("devices-nt.reg");
    ASSERT_FALSE(regText.empty());
    const std::vector<TDevice> expected = fakeDevices(regText);
    ASSERT_EQ(expected.size(), 17u);

    // Wine rewrites the class and driver keys of its own display adapter and monitor
    // when a process first reaches the display: let that happen before the seed.
    DISPLAY_DEVICEA display{};
    display.cb = sizeof(display);
    EnumDisplayDevicesA(nullptr, 0, &display, 0);
    const SeededRegistry seeded(regText);
    ASSERT_TRUE(seeded.imported());
    const std::vector<TDevice> listed = realDevices();

    int previous = -1;
    for (const TDevice& device : expected) {
        const int position = positionOf(listed, device);
        ASSERT_GE(position, 0) << device.RegKey << " is not listed";
        // The same order: by class, and within a class in registry order.
        EXPECT_GT(position, previous) << device.RegKey;
        previous = position;
        TDevice real = listed[static_cast<size_t>(position)];
        EXPECT_TRUE(sameText(real.RegKey, device.RegKey));
        real.RegKey = device.RegKey;
        EXPECT_EQ(real, device) << device.RegKey << "\n  ClassName " << real.ClassName << "\n  ClassDesc "
                                << real.ClassDesc << "\n  Location " << real.Location << "\n  HardwareID "
                                << real.HardwareID << "\n  DeviceParam " << real.DeviceParam << "\n  Driver "
                                << real.Driver << " " << real.DriverDate << " " << real.DriverVersion << " "
                                << real.DriverProvider << "\n  Service " << real.ServiceName << " / "
                                << real.ServiceGroup << " / " << real.ServiceType;
    }
    // Wine's own devices have no "Control" subkey: nothing else is listed.
    EXPECT_EQ(listed.size(), expected.size());
}

TEST(DevicesWineTest, WithoutTheSeedTheFixturesDevicesAreGone) {
    const std::vector<TDevice> listed = realDevices();
    for (const TDevice& device : listed) {
        EXPECT_EQ(device.RegKey.find("VEN_10DE&DEV_0110"), std::string::npos) << device.RegKey;
    }
}

}  // namespace
}  // namespace vardak::winetest
