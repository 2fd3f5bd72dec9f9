// A whole fake machine for tests: registry, OS facts, files and notifications in memory.
//
//   FakePlatform machine;
//   machine.systemFake.poseAsWindows98(true);
//   machine.loadRegistry("REGEDIT4\n[HKLM\\Software\\Vardak]\n\"Language\"=\"da\"\n");
//   SomeProbe probe(machine);
#pragma once

#include "platform/Platform.h"
#include "tests/support/FakeAspiLayer.h"
#include "tests/support/FakeAutomation.h"
#include "tests/support/FakeDisplay.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/FakeFirmware.h"
#include "tests/support/FakeLocale.h"
#include "tests/support/FakeNetwork.h"
#include "tests/support/FakeMultimedia.h"
#include "tests/support/FakePower.h"
#include "tests/support/FakePrinters.h"
#include "tests/support/FakeProcessor.h"
#include "tests/support/FakeRegistry.h"
#include "tests/support/FakeRuntimeLibraries.h"
#include "tests/support/FakeShell.h"
#include "tests/support/FakeSystem.h"
#include "tests/support/FakeUi.h"
#include "tests/support/FakeUserSettings.h"
#include "tests/support/RegFile.h"

#include <string>
#include <string_view>

namespace vardak::testing {

class FakePlatform : public platform::Platform {
public:
    FakePlatform() = default;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    platform::Registry& registry() override { return registryFake; }
    platform::System& system() override { return systemFake; }
    platform::FileSystem& files() override { return filesFake; }
    platform::UiNotifier& ui() override { return uiFake; }
    platform::Shell& shell() override { return shellFake; }
    platform::RuntimeLibraries& libraries() override { return librariesFake; }
    platform::Processor& processor() override { return processorFake; }
    platform::Firmware& firmware() override { return firmwareFake; }
    platform::Display& display() override { return displayFake; }
    platform::Power& power() override { return powerFake; }
    platform::Locale& locale() override { return localeFake; }
    platform::Network& network() override { return networkFake; }
    platform::Printers& printers() override { return printersFake; }
    platform::Multimedia& multimedia() override { return multimediaFake; }
    platform::Automation& automation() override { return automationFake; }
    platform::AspiRequests& aspi() override { return aspiFake; }
    platform::UserSettings& settings() override { return settingsFake; }

    // .reg text, REGEDIT4 or version 5.00; throws RegFileError on malformed input.
    void loadRegistry(std::string_view regText, std::string_view sourceName = "<registry text>") {
        registryFake.loadRegText(regText, sourceName);
    }
    // A file of tests/fixtures, by its name there.
    void loadRegistryFixture(std::string_view fixtureName);

    FakeRegistry registryFake;
    FakeSystem systemFake;
    FakeFileSystem filesFake{systemFake};
    FakeUi uiFake;
    FakeShell shellFake;
    FakeRuntimeLibraries librariesFake;
    FakeProcessor processorFake;
    FakeFirmware firmwareFake;
    FakeDisplay displayFake;
    FakePower powerFake;
    FakeLocale localeFake;
    FakeNetwork networkFake;
    FakePrinters printersFake;
    FakeMultimedia multimediaFake;
    FakeAutomation automationFake;
    FakeAspiLayer aspiFake;
    FakeUserSettings settingsFake{systemFake, localeFake};
};

// Full path of a file in tests/fixtures.
std::string fixturePath(std::string_view fixtureName);

}  // namespace vardak::testing
