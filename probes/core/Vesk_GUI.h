// The root component of the probe library: one probe per area of the system, one
// operation that refreshes them all and one that writes the full report.
//
// The component is written once over a set of probe classes (`ProbeSet` names the
// fourteen types); `TOstrelSystemInfo` is it over the library's probes. Every probe
// class is made from the platform and offers GetInfo (Machine's with an argument),
// Report and className; Disk also offers SetDrive.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"
#include "probes/hardware/Vesk_APM.h"
#include "probes/hardware/Vesk_CPU.h"
#include "probes/hardware/Vesk_Devices.h"
#include "probes/hardware/Vesk_Disk.h"
#include "probes/hardware/Vesk_Display.h"
#include "probes/hardware/Vesk_Engines.h"
#include "probes/hardware/Vesk_Machine.h"
#include "probes/hardware/Vesk_Media.h"
#include "probes/hardware/Vesk_Memory.h"
#include "probes/software/Vesk_Network.h"
#include "probes/software/Vesk_OS.h"
#include "probes/software/Vesk_Printers.h"
#include "probes/software/Vesk_Software.h"
#include "probes/software/Vesk_Startup.h"

namespace vardak::probes {

// The window shown while RefreshAll collects: made (shown and painted at once) when the
// refresh starts, freed with the returned object when it ends, also on failure.
class RefreshSplash {
public:
    RefreshSplash() = default;
    RefreshSplash(const RefreshSplash&) = delete;
    RefreshSplash& operator=(const RefreshSplash&) = delete;
    virtual ~RefreshSplash() = default;
};

// Makes the splash window. A root without one (in a form designer, in a console program)
// refreshes without a window.
using RefreshSplashMaker = std::function<std::unique_ptr<RefreshSplash>()>;

template <class ProbeSet>
class TOstrelSystemInfoOf : public TComponent {
public:
    using TCPU = typename ProbeSet::CPU;
    using TMemory = typename ProbeSet::Memory;
    using TOperatingSystem = typename ProbeSet::OS;
    using TDisk = typename ProbeSet::Disk;
    using TMachine = typename ProbeSet::Machine;
    using TNetwork = typename ProbeSet::Network;
    using TDisplay = typename ProbeSet::Display;
    using TMedia = typename ProbeSet::Media;
    using TDevices = typename ProbeSet::Devices;
    using TEngines = typename ProbeSet::Engines;
    using TAPM = typename ProbeSet::APM;
    using TPrinters = typename ProbeSet::Printers;
    using TSoftware = typename ProbeSet::Software;
    using TStartup = typename ProbeSet::Startup;

    // The component's own mode starts as emMessage and is not passed on: probes keep
    // theirs until SetExceptionMode.
    TOstrelSystemInfoOf(TComponent* owner, platform::Platform& platform)
        : TComponent(owner), platform_(platform), about_(kComponentAbout) {
        cpu_ = std::make_unique<TCPU>(platform);
        memory_ = std::make_unique<TMemory>(platform);
        os_ = std::make_unique<TOperatingSystem>(platform);
        disk_ = std::make_unique<TDisk>(platform);
        machine_ = std::make_unique<TMachine>(platform);
        network_ = std::make_unique<TNetwork>(platform);
        display_ = std::make_unique<TDisplay>(platform);
        media_ = std::make_unique<TMedia>(platform);
        devices_ = std::make_unique<TDevices>(platform);
        engines_ = std::make_unique<TEngines>(platform);
        apm_ = std::make_unique<TAPM>(platform);
        printers_ = std::make_unique<TPrinters>(platform);
        software_ = std::make_unique<TSoftware>(platform);
        startup_ = std::make_unique<TStartup>(platform);
    }

    // The probes go in the order they were made, before the component itself.
    ~TOstrelSystemInfoOf() override {
        cpu_.reset();
        memory_.reset();
        os_.reset();
        disk_.reset();
        machine_.reset();
        network_.reset();
        display_.reset();
        media_.reset();
        devices_.reset();
        engines_.reset();
        apm_.reset();
        printers_.reset();
        software_.reset();
        startup_.reset();
    }

    std::string_view className() const override { return "TOstrelSystemInfo"; }

    void publishProperties(PropertyTable& table) const override {
        TComponent::publishProperties(table);
        table.string("About", about_)
            .enumeration("ExceptionMode", kExceptionModeTypeName, kExceptionModeNames, exceptionMode_)
            .object("CPU", cpu_.get())
            .object("Memory", memory_.get())
            .object("OS", os_.get())
            .object("Disk", disk_.get())
            .object("Machine", machine_.get())
            .object("Network", network_.get())
            .object("Display", display_.get())
            .object("Media", media_.get())
            .object("Devices", devices_.get())
            .object("Engines", engines_.get())
            .object("APM", apm_.get())
            .object("Printers", printers_.get())
            .object("Software", software_.get())
            .object("Startup", startup_.get());
    }

    const std::string& About() const { return about_; }
    TExceptionMode ExceptionMode() const { return exceptionMode_; }

    // Stores the mode and passes it on to the OS, Network, CPU and Engines probes;
    // Memory and Machine keep their own.
    void SetExceptionMode(TExceptionMode mode) {
        exceptionMode_ = mode;
        if (os_) os_->setExceptionMode(mode);
        if (network_) network_->setExceptionMode(mode);
        if (cpu_) cpu_->setExceptionMode(mode);
        if (engines_) engines_->setExceptionMode(mode);
    }

    // The splash window RefreshAll shows; none by default.
    void setSplashMaker(RefreshSplashMaker maker) { splashMaker_ = std::move(maker); }

    // What ShowOverview runs on the component: the overview window made, handed the
    // component, shown modally and freed. The window lives in the library above this
    // one, so a program that shows it gives it here; none by default.
    using OverviewShower = std::function<void(TOstrelSystemInfoOf&)>;
    void setOverviewShower(OverviewShower shower) { overviewShower_ = std::move(shower); }

    // Shows the overview window of the component's probes until the user closes it;
    // nothing without a shower.
    void ShowOverview() {
        if (overviewShower_) overviewShower_(*this);
    }

    // Refreshes every probe, each under the component's mode. Under emMessage and
    // emSilent a failing probe does not stop the others; under emRaise the first
    // failure ends the refresh and reaches the caller, the splash window freed.
    void RefreshAll() {
        const std::unique_ptr<RefreshSplash> splash = splashMaker_ ? splashMaker_() : nullptr;
        refresh(*devices_);
        refresh(*cpu_);
        refresh(*memory_);
        refresh(*os_);
        refresh(*disk_);
        disk_->SetDrive(GetWinDir(platform_).substr(0, 2));
        // Argument 1: the SMBIOS tables as well.
        CallGetInfo(platform_.ui(), getInfoName(*machine_), exceptionMode_, [this] { machine_->GetInfo(1); });
        refresh(*network_);
        refresh(*display_);
        refresh(*media_);
        refresh(*engines_);
        refresh(*apm_);
        refresh(*printers_);
        refresh(*software_);
        refresh(*startup_);
    }

    // Appends the banner and every probe's sections to `report`, after what it holds,
    // with the values of the last refresh.
    void ReportAll(TStrings& report) const {
        addReportComment(report, about_);
        machine_->Report(report);
        os_->Report(report);
        cpu_->Report(report);
        memory_->Report(report);
        display_->Report(report);
        apm_->Report(report);
        media_->Report(report);
        network_->Report(report);
        devices_->Report(report);
        engines_->Report(report);
        disk_->Report(report);
        printers_->Report(report);
        software_->Report(report);
        startup_->Report(report);
    }

    TCPU& CPU() const { return *cpu_; }
    TMemory& Memory() const { return *memory_; }
    TOperatingSystem& OS() const { return *os_; }
    TDisk& Disk() const { return *disk_; }
    TMachine& Machine() const { return *machine_; }
    TNetwork& Network() const { return *network_; }
    TDisplay& Display() const { return *display_; }
    TMedia& Media() const { return *media_; }
    TDevices& Devices() const { return *devices_; }
    TEngines& Engines() const { return *engines_; }
    TAPM& APM() const { return *apm_; }
    TPrinters& Printers() const { return *printers_; }
    TSoftware& Software() const { return *software_; }
    TStartup& Startup() const { return *startup_; }

private:
    template <class Probe>
    static std::string getInfoName(const Probe& probe) {
        return std::string(probe.className()) + ".GetInfo";
    }

    template <class Probe>
    void refresh(Probe& probe) {
        CallGetInfo(platform_.ui(), getInfoName(probe), exceptionMode_, [&probe] { probe.GetInfo(); });
    }

    platform::Platform& platform_;
    // In declared order; the banner sits between APM and Media.
    std::unique_ptr<TCPU> cpu_;
    std::unique_ptr<TMemory> memory_;
    std::unique_ptr<TOperatingSystem> os_;
    std::unique_ptr<TDisk> disk_;
    std::unique_ptr<TMachine> machine_;
    std::unique_ptr<TNetwork> network_;
    std::unique_ptr<TDisplay> display_;
    std::unique_ptr<TEngines> engines_;
    std::unique_ptr<TDevices> devices_;
    std::unique_ptr<TAPM> apm_;
    std::string about_;
    std::unique_ptr<TMedia> media_;
    std::unique_ptr<TPrinters> printers_;
    std::unique_ptr<TSoftware> software_;
    std::unique_ptr<TStartup> startup_;
    TExceptionMode exceptionMode_ = TExceptionMode::emMessage;
    RefreshSplashMaker splashMaker_;
    OverviewShower overviewShower_;
};

// The library's probes.
struct OstrelProbeSet {
    using CPU = probes::TCPU;
    using Memory = probes::TMemory;
    using OS = probes::TOperatingSystem;
    using Disk = probes::TDisk;
    using Machine = probes::TMachine;
    using Network = probes::TNetwork;
    using Display = probes::TDisplay;
    using Media = probes::TMedia;
    using Devices = probes::TDevices;
    using Engines = probes::TEngines;
    using APM = probes::TAPM;
    using Printers = probes::TPrinters;
    using Software = probes::TSoftware;
    using Startup = probes::TStartup;
};

extern template class TOstrelSystemInfoOf<OstrelProbeSet>;
using TOstrelSystemInfo = TOstrelSystemInfoOf<OstrelProbeSet>;

}  // namespace vardak::probes
