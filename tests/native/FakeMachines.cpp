#include "tests/native/FakeMachines.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "probes/hardware/CpuidDump.h"
#include "probes/hardware/SmbiosDump.h"

namespace vardak::testing {

namespace {

using platform::DriveType;
using platform::MultimediaKind;

std::string testDataFile(const std::string& name) {
    std::ifstream file(std::string(VARDAK_TESTDATA_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every leaf and sub-leaf the dump saved, as the fake processor's answers.
void loadCpuidDump(FakeProcessor& processor, const std::string& name) {
    const probes::CpuidDump dump = probes::CpuidDump::parse(testDataFile("cpuid/" + name + ".txt"));
    for (const uint32_t base : {0u, 0x80000000u}) {
        for (uint32_t leaf = base; leaf < base + 32; ++leaf) {
            for (uint32_t subleaf = 0; subleaf < 8; ++subleaf) {
                if (const auto registers = dump.registers(leaf, subleaf)) processor.setLeaf(leaf, *registers, subleaf);
            }
        }
    }
}

void loadSmbiosDump(FakeFirmware& firmware, const std::string& name) {
    const std::string bytes = testDataFile("smbios/" + name + ".bin");
    const probes::SMBIOSImage image =
        probes::ParseSMBIOSDump(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    firmware.setBiosArea({image.area.begin(), image.area.end()});
}

FakeDrive fixedDrive(uint64_t total, uint64_t free, std::string label) {
    constexpr uint64_t kClusterBytes = 8 * 512;
    FakeDrive drive;
    // The cluster counts of a 32-bit query top out at 2 TB of 4 KB clusters.
    drive.geometry = platform::ClusterGeometry{8, 512, static_cast<uint32_t>(std::min<uint64_t>(free / kClusterBytes, UINT32_MAX)),
                                               static_cast<uint32_t>(std::min<uint64_t>(total / kClusterBytes, UINT32_MAX))};
    drive.freeSpace = platform::FreeSpace{free, total, free};
    drive.volume = platform::VolumeInformation{std::move(label), "NTFS", 0x1234ABCD, 255, 0x3};
    return drive;
}

constexpr uint64_t kGB = 1024ull * 1024 * 1024;
constexpr uint64_t kMB = 1024ull * 1024;

// Enough measurements of a 1 MHz counter against the time-stamp counter for every
// refresh of a test: three timed runs of 1000 µs each, which agree.
void scriptClock(FakeProcessor& processor, uint64_t megahertz) {
    constexpr int kRuns = 3 * 40;
    processor.counterFrequency = 1'000'000;
    uint64_t counter = 5000;
    uint64_t cycles = 123456;
    for (int run = 0; run < kRuns; ++run) {
        processor.counterReadings.insert(processor.counterReadings.end(), {counter, counter + 50, counter + 1050});
        processor.timeStampReadings.insert(processor.timeStampReadings.end(), {cycles, cycles + megahertz * 1000});
        counter += 2000;
        cycles += megahertz * 3000;
    }
}

void addCommonParts(FakePlatform& machine) {
    machine.displayFake.capabilities[platform::DeviceCapability::HorzRes] = 1024;
    machine.displayFake.capabilities[platform::DeviceCapability::VertRes] = 768;
    machine.displayFake.capabilities[platform::DeviceCapability::BitsPixel] = 32;
    machine.displayFake.capabilities[platform::DeviceCapability::Planes] = 1;
    machine.multimediaFake.devices[MultimediaKind::WaveOut] = {FakeMultimedia::record(52, "SB Live! Wave Out", 0x050A)};
    machine.printersFake.installed = {{"HP LaserJet 4", "LPT1:"}, {"Epson Stylus", "USB001"}, {"Fax", "FAX:"}};
    machine.printersFake.defaultName = "Epson Stylus";
    machine.systemFake.ticks = 3 * 3600 * 1000 + 25 * 60 * 1000 + 7 * 1000 + 600;
    machine.filesFake.addDrive('C', fixedDrive(40 * kGB, 12 * kGB + 300 * kMB, "SYSTEM"));
    machine.filesFake.addDrive('D', fixedDrive(500 * kMB, 120 * kMB, ""));
    FakeDrive cdrom;
    cdrom.type = DriveType::CDROM;
    cdrom.present = false;
    machine.filesFake.addDrive('E', cdrom);
    FakeDrive share = fixedDrive(2048 * kGB, 1500 * kGB, "ARCHIVE");
    share.type = DriveType::Remote;
    share.networkPath = "\\\\server\\archive";
    machine.filesFake.addDrive('F', share);
    machine.loadRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectX]\n\"Version\"=\"4.09.00.0904\"\n");
}

}  // namespace

void setUpXpMachine(FakePlatform& machine) {
    machine.systemFake.poseAsWindowsXP(2);
    for (const char* fixture : {"os-xp.reg", "devices-nt.reg", "display-xp.reg", "network-xp.reg", "uninstall-xp.reg"}) {
        machine.loadRegistryFixture(fixture);
    }
    loadCpuidDump(machine.processorFake, "amd_k7_amd-athlon-xp-3200+");
    loadSmbiosDump(machine.firmwareFake, "gigabyte-ga-ma74gmt-s2");
    machine.firmwareFake.sectionStatus = platform::SectionReadStatus::Read;
    scriptClock(machine.processorFake, 2200);
    // 511.7 MB in all, 100.4 MB free.
    machine.systemFake.memoryEx = platform::MemoryStatusEx{40, 536555520, 105277440};
    addCommonParts(machine);
}

void setUpWindows98Machine(FakePlatform& machine) {
    machine.systemFake.poseAsWindows98(true);
    for (const char* fixture : {"os-98se.reg", "devices-9x.reg", "display-98.reg", "network-98.reg"}) {
        machine.loadRegistryFixture(fixture);
    }
    machine.loadRegistry(
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
        "\"ProductName\"=\"Microsoft Windows 98\"\n");
    loadCpuidDump(machine.processorFake, "intel_ia-32_netburst_intel-celeron-cpu-1.70ghz");
    loadSmbiosDump(machine.firmwareFake, "vmware-virtual-platform-2.7");
    machine.firmwareFake.lowMemoryReadable = true;
    scriptClock(machine.processorFake, 1700);
    // 255.9 MB in all, 64 MB free.
    machine.systemFake.memory.totalPhys = 268330598;
    machine.systemFake.memory.availPhys = 64 * 1024 * 1024;
    addCommonParts(machine);
}

}  // namespace vardak::testing
