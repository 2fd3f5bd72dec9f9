#include "probes/core/Vesk_GUI.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// What the probes of a root did, in order: "<class>.<call>".
std::vector<std::string>* journal = nullptr;
// The classes whose refresh fails.
std::vector<std::string> failing;

void record(std::string text) {
    if (journal != nullptr) journal->push_back(std::move(text));
}

template <size_t N>
struct ClassName {
    constexpr ClassName(const char (&text)[N]) { std::copy_n(text, N, value); }
    char value[N];
};

// A probe that writes down its life: made, refreshed, reported, given a mode, freed.
class RecordingProbe : public TPersistent {
public:
    explicit RecordingProbe(std::string_view name) : name_(name) { record(name_ + ".Create"); }
    ~RecordingProbe() override { record(name_ + ".Destroy"); }
    std::string_view className() const override { return name_; }

    void Report(TStrings& report) const {
        record(name_ + ".Report");
        addReportSection(report, name_);
    }
    TExceptionMode ExceptionMode() const { return mode_; }
    void setExceptionMode(TExceptionMode mode) {
        record(name_ + ".SetExceptionMode");
        mode_ = mode;
    }

protected:
    void refreshed(const std::string& call) {
        record(name_ + "." + call);
        if (std::ranges::find(failing, name_) != failing.end()) {
            throw Exception("no answer");
        }
    }

private:
    std::string name_;
    TExceptionMode mode_ = TExceptionMode::emMessage;
};

template <ClassName Name>
class FakeProbe : public RecordingProbe {
public:
    explicit FakeProbe(platform::Platform&) : RecordingProbe(Name.value) {}
    void GetInfo() { refreshed("GetInfo"); }
};

class FakeDisk : public FakeProbe<"TDisk"> {
public:
    using FakeProbe::FakeProbe;
    void SetDrive(const std::string& drive) { record("TDisk.SetDrive " + drive); }
};

class FakeMachine : public RecordingProbe {
public:
    explicit FakeMachine(platform::Platform&) : RecordingProbe("TMachine") {}
    void GetInfo(int32_t mode) { refreshed("GetInfo " + std::to_string(mode)); }
};

struct RecordingProbeSet {
    using CPU = FakeProbe<"TCPU">;
    using Memory = FakeProbe<"TMemory">;
    using OS = FakeProbe<"TOperatingSystem">;
    using Disk = FakeDisk;
    using Machine = FakeMachine;
    using Network = FakeProbe<"TNetwork">;
    using Display = FakeProbe<"TDisplay">;
    using Media = FakeProbe<"TMedia">;
    using Devices = FakeProbe<"TDevices">;
    using Engines = FakeProbe<"TEngines">;
    using APM = FakeProbe<"TAPM">;
    using Printers = FakeProbe<"TPrinters">;
    using Software = FakeProbe<"TSoftware">;
    using Startup = FakeProbe<"TStartup">;
};
using RecordingRoot = TOstrelSystemInfoOf<RecordingProbeSet>;

class RecordingSplash : public RefreshSplash {
public:
    RecordingSplash() { record("Splash.Show"); }
    ~RecordingSplash() override { record("Splash.Free"); }
};

// The calls of one kind (".GetInfo", ".Report", ...) in the journal, without it.
std::vector<std::string> callsOf(const std::vector<std::string>& calls, std::string_view kind) {
    std::vector<std::string> classes;
    for (const std::string& call : calls) {
        const size_t at = call.find(kind);
        if (at != std::string::npos && at + kind.size() == call.size()) {
            classes.push_back(call.substr(0, at));
        }
    }
    return classes;
}

const std::vector<std::string> kMadeAndFreed = {
    "TCPU", "TMemory", "TOperatingSystem", "TDisk", "TMachine", "TNetwork", "TDisplay",
    "TMedia", "TDevices", "TEngines", "TAPM", "TPrinters", "TSoftware", "TStartup"};

class RootComponentTest : public ::testing::Test {
protected:
    RootComponentTest() {
        journal = &calls_;
        failing.clear();
        platform_.systemFake.windowsFolder = "D:\\WINNT";
    }
    ~RootComponentTest() override { journal = nullptr; }

    std::vector<std::string> calls_;
    testing::FakePlatform platform_;
};

TEST_F(RootComponentTest, ProbesAreMadeAndFreedInTheSameOrder) {
    {
        RecordingRoot root(nullptr, platform_);
        EXPECT_EQ(callsOf(calls_, ".Create"), kMadeAndFreed);
        // Made without passing a mode on.
        EXPECT_TRUE(callsOf(calls_, ".SetExceptionMode").empty());
        EXPECT_EQ(root.ExceptionMode(), TExceptionMode::emMessage);
        calls_.clear();
    }
    EXPECT_EQ(callsOf(calls_, ".Destroy"), kMadeAndFreed);
}

TEST_F(RootComponentTest, RefreshAllRunsTheProbesInItsOrderUnderTheSplash) {
    RecordingRoot root(nullptr, platform_);
    root.setSplashMaker([] { return std::make_unique<RecordingSplash>(); });
    calls_.clear();
    root.RefreshAll();
    EXPECT_THAT(calls_, ElementsAre("Splash.Show", "TDevices.GetInfo", "TCPU.GetInfo", "TMemory.GetInfo",
                                    "TOperatingSystem.GetInfo", "TDisk.GetInfo", "TDisk.SetDrive D:",
                                    "TMachine.GetInfo 1", "TNetwork.GetInfo", "TDisplay.GetInfo",
                                    "TMedia.GetInfo", "TEngines.GetInfo", "TAPM.GetInfo", "TPrinters.GetInfo",
                                    "TSoftware.GetInfo", "TStartup.GetInfo", "Splash.Free"));
}

TEST_F(RootComponentTest, ShowOverviewRunsTheShowerOnTheComponentOnly) {
    RecordingRoot root(nullptr, platform_);
    calls_.clear();
    root.ShowOverview();  // without a shower: nothing
    EXPECT_TRUE(calls_.empty());
    std::vector<const RecordingRoot*> shownFor;
    root.setOverviewShower([&shownFor](RecordingRoot& shown) { shownFor.push_back(&shown); });
    root.ShowOverview();
    EXPECT_EQ(shownFor, std::vector<const RecordingRoot*>{&root});
    // Neither a refresh nor a report of its own: the window does that.
    EXPECT_TRUE(calls_.empty());
}

TEST_F(RootComponentTest, ReportAllAppendsAfterTheLinesThereBannerFirst) {
    RecordingRoot root(nullptr, platform_);
    TStringList report;
    report.add("[Earlier]");
    report.add("Kept=1");
    root.ReportAll(report);
    // Reporting does not refresh.
    EXPECT_TRUE(callsOf(calls_, ".GetInfo").empty());
    std::vector<std::string> lines;
    for (int index = 0; index < report.count(); ++index) lines.push_back(report.strings(index));
    EXPECT_THAT(lines, ElementsAre("[Earlier]", "Kept=1", ";" + std::string(kComponentAbout), "[TMachine]",
                                   "[TOperatingSystem]", "[TCPU]", "[TMemory]", "[TDisplay]", "[TAPM]",
                                   "[TMedia]", "[TNetwork]", "[TDevices]", "[TEngines]", "[TDisk]",
                                   "[TPrinters]", "[TSoftware]", "[TStartup]"));
}

TEST_F(RootComponentTest, AFailingDisplayUnderMessageShowsOneBoxAndTheRefreshGoesOn) {
    RecordingRoot root(nullptr, platform_);
    failing = {"TDisplay"};
    root.RefreshAll();
    ASSERT_EQ(platform_.uiFake.errors.size(), 1u);
    EXPECT_EQ(platform_.uiFake.errors[0].text, "TDisplay.GetInfo: no answer");
    const std::vector<std::string> refreshed = callsOf(calls_, ".GetInfo");
    const auto display = std::ranges::find(refreshed, "TDisplay");
    ASSERT_NE(display, refreshed.end());
    EXPECT_THAT(std::vector(display + 1, refreshed.end()),
                ElementsAre("TMedia", "TEngines", "TAPM", "TPrinters", "TSoftware", "TStartup"));
}

// Under each mode, a failing first probe: what reaches the user and how far the refresh gets.
struct FailureCase {
    TExceptionMode mode;
    size_t errorBoxes;
    bool raises;
    size_t probesRefreshed;
};
constexpr FailureCase kFailureCases[] = {
    {TExceptionMode::emMessage, 2, false, 14},
    {TExceptionMode::emSilent, 0, false, 14},
    {TExceptionMode::emRaise, 0, true, 1},
};

TEST_F(RootComponentTest, FailingRefreshesFollowTheComponentsMode) {
    for (const FailureCase& test : kFailureCases) {
        SCOPED_TRACE(kExceptionModeNames[static_cast<int>(test.mode)]);
        platform_.uiFake.errors.clear();
        RecordingRoot root(nullptr, platform_);
        root.SetExceptionMode(test.mode);
        root.setSplashMaker([] { return std::make_unique<RecordingSplash>(); });
        failing = {"TDevices", "TNetwork"};
        calls_.clear();
        if (test.raises) {
            try {
                root.RefreshAll();
                ADD_FAILURE() << "the failure did not reach the caller";
            } catch (const Exception& failure) {
                EXPECT_EQ(failure.message(), "TDevices.GetInfo: no answer");
            }
        } else {
            EXPECT_NO_THROW(root.RefreshAll());
        }
        EXPECT_EQ(platform_.uiFake.errors.size(), test.errorBoxes);
        EXPECT_EQ(callsOf(calls_, ".GetInfo").size() + callsOf(calls_, ".GetInfo 1").size(),
                  test.probesRefreshed);
        // The splash window goes in every case, last.
        EXPECT_EQ(calls_.back(), "Splash.Free");
    }
}

// The library's probes: a root made in code passes nothing on, so Engines keeps
// emRaise; a mode set later reaches the four probes and not Memory or Machine.
TEST_F(RootComponentTest, TheLibrarysProbesKeepOrFollowTheMode) {
    TOstrelSystemInfo root(nullptr, platform_);
    EXPECT_EQ(root.Engines().ExceptionMode(), TExceptionMode::emRaise);
    root.SetExceptionMode(TExceptionMode::emSilent);
    const TExceptionMode modes[] = {root.OS().ExceptionMode(), root.Network().ExceptionMode(),
                                    root.CPU().ExceptionMode(), root.Engines().ExceptionMode(),
                                    root.Memory().ExceptionMode(), root.Machine().ExceptionMode()};
    EXPECT_THAT(modes, ElementsAreArray({TExceptionMode::emSilent, TExceptionMode::emSilent,
                                         TExceptionMode::emSilent, TExceptionMode::emSilent,
                                         TExceptionMode::emMessage, TExceptionMode::emMessage}));
}

TEST_F(RootComponentTest, PublishesAboutAndModeThenTheProbes) {
    TOstrelSystemInfo root(nullptr, platform_);
    PropertyTable table;
    root.publishProperties(table);
    std::vector<std::string> names;
    for (const PublishedProperty& property : table.properties()) names.push_back(property.name);
    const std::vector<std::string> expected = {"About", "ExceptionMode", "CPU", "Memory", "OS", "Disk",
                                               "Machine", "Network", "Display", "Media", "Devices",
                                               "Engines", "APM", "Printers", "Software", "Startup"};
    ASSERT_GE(names.size(), expected.size());
    EXPECT_EQ(std::vector(names.end() - static_cast<long>(expected.size()), names.end()), expected);
    EXPECT_EQ(root.About().rfind("Ostrel System Information Component 7.61", 0), 0u);
}

}  // namespace
}  // namespace vardak::probes
