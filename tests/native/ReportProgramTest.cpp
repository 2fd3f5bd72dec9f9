#include "app/ReportProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/support/FakePlatform.h"

namespace vardak::app {
namespace {

struct ProgramRun {
    int exitCode;
    std::string out;
    std::string err;
};

ProgramRun runWith(testing::FakePlatform& machine, std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = runReportProgram(machine, args, out, err);
    return {code, out.str(), err.str()};
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> sectionsOf(const std::string& text) {
    std::vector<std::string> sections;
    for (const std::string& line : linesOf(text)) {
        if (!line.empty() && line.front() == '[') {
            sections.push_back(line);
        }
    }
    return sections;
}

std::string sharedDump(const std::string& name) {
    std::ifstream stream(std::string(VARDAK_TESTDATA_DIR) + "/cpuid/" + name + ".txt", std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

TEST(ReportProgram, WritesTheBannerLineFirstWithCrLf) {
    testing::FakePlatform machine;
    const ProgramRun run = runWith(machine, {});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_TRUE(run.err.empty());
    EXPECT_EQ(run.out.rfind(";Ostrel System Information Component 7.61", 0), 0u);
    const size_t firstLineEnd = run.out.find("\r\n");
    ASSERT_NE(firstLineEnd, std::string::npos);
    // The banner is one line: no bare LF or CR inside it.
    EXPECT_EQ(run.out.substr(0, firstLineEnd).find_first_of("\r\n"), std::string::npos);
    // Nothing that is not a report line: no blank lines, no stray text.
    size_t lineStart = 0;
    while (lineStart < run.out.size()) {
        const size_t lineEnd = run.out.find("\r\n", lineStart);
        ASSERT_NE(lineEnd, std::string::npos) << "last line without CR LF";
        const std::string line = run.out.substr(lineStart, lineEnd - lineStart);
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        lineStart = lineEnd + 2;
    }
}

TEST(ReportProgram, MachineThenOperatingSystemThenCpuSectionsFollowTheBanner) {
    testing::FakePlatform machine;
    machine.processorFake.processorCount = 2;
    const ProgramRun run = runWith(machine, {});
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_GE(lines.size(), 2u);
    // The machine's sections come first, as the root component reports them.
    EXPECT_EQ(lines[1], "[Machine]");
    const auto cpu = std::find(lines.begin(), lines.end(), "[CPU]");
    ASSERT_NE(cpu, lines.end());
    EXPECT_EQ(*(cpu + 1), "Count=2");
    const std::vector<std::string> sections = sectionsOf(run.out);
    ASSERT_GE(sections.size(), 14u);
    EXPECT_EQ(std::vector<std::string>(sections.begin(), sections.begin() + 14),
              (std::vector<std::string>{"[Machine]", "[SMBIOS]", "[BIOS]", "[Operating System]", "[NT Specific]",
                                        "[Environment]", "[Folders]", "[Time Zone]", "[Internet]", "[Locale]",
                                        "[CPU]", "[CPUID_CPUSIGNATURE]", "[CPU Features]", "[CPU Cache]"}));
}

TEST(ReportProgram, MemoryFollowsTheCpuAndTheDevicesComeLater) {
    testing::FakePlatform machine;
    machine.loadRegistryFixture("devices-nt.reg");
    machine.systemFake.memoryEx = platform::MemoryStatusEx{};
    machine.systemFake.memoryEx->totalPhys = 6ull << 30;
    const ProgramRun run = runWith(machine, {});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_TRUE(machine.uiFake.lines.empty()) << machine.uiFake.lines.front();
    EXPECT_TRUE(machine.uiFake.errors.empty()) << machine.uiFake.errors.front().text;
    const std::vector<std::string> sections = sectionsOf(run.out);
    const auto at = [&](const std::string& name) {
        return std::find(sections.begin(), sections.end(), name) - sections.begin();
    };
    ASSERT_LT(at("[Devices]"), static_cast<long>(sections.size()));
    EXPECT_EQ(at("[Memory]"), at("[CPU Cache]") + 1);
    EXPECT_LT(at("[Memory]"), at("[Devices]"));
    // Each of the 17 devices opens its own section after [Devices].
    EXPECT_EQ(sections[static_cast<size_t>(at("[Devices]")) + 1], "[HL-DT-ST DVD-RAM GSA-H22N]");
    EXPECT_GE(sections.size(), static_cast<size_t>(at("[Devices]")) + 18);
    const std::vector<std::string> lines = linesOf(run.out);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "PhysMemTotal=6442450944"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Count=17"), lines.end());
}

TEST(ReportProgram, DisplayAndPowerFollowTheMemoryBeforeTheNetwork) {
    testing::FakePlatform machine;
    machine.loadRegistryFixture("display-xp.reg");
    machine.displayFake.poseAsScreen(1024, 768, 16);
    machine.displayFake.modes = {{1024, 768, 16, 60}};
    machine.powerFake.status = platform::PowerStatus{1, 128, 255, 0xFFFFFFFF, 0xFFFFFFFF};
    const ProgramRun run = runWith(machine, {});
    EXPECT_EQ(run.exitCode, kExitOk);
    const std::vector<std::string> sections = sectionsOf(run.out);
    const auto memory = std::find(sections.begin(), sections.end(), "[Memory]");
    ASSERT_NE(memory, sections.end());
    EXPECT_EQ(std::vector<std::string>(memory + 1, std::min(memory + 12, sections.end())),
              (std::vector<std::string>{"[Display]", "[Video Modes]", "[Curve Capabilities]", "[Line Capabilities]",
                                        "[Polygonal Capabilities]", "[Raster Capabilities]", "[Text Capabilities]",
                                        "[Advanced Power Management]", "[Media]", "[Sound]", "[Network]"}));
    const std::vector<std::string> lines = linesOf(run.out);
    for (const char* line : {"Adapter=NVIDIA GeForce2 MX/MX 400", "HorzRes=1024", "ColorDepth=16",
                             "Mode1=1024 x 768 - 16 bit", "BatteryChargeStatus=No Battery"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
}

TEST(ReportProgram, MediaAndNetworkFollowThePowerThenDevicesDisksPrintersSoftwareAndStartup) {
    testing::FakePlatform machine;
    machine.loadRegistryFixture("network-xp.reg");
    machine.loadRegistryFixture("media-nt.reg");
    machine.loadRegistryFixture("software-xp.reg");
    machine.networkFake.lanas = {testing::FakeLana{0, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1}}};
    machine.printersFake.installed = {{"HP LaserJet 4", "LPT1:"}};
    machine.printersFake.defaultName = "HP LaserJet 4";
    machine.multimediaFake.devices[platform::MultimediaKind::WaveOut] = {
        testing::FakeMultimedia::record(52, "SB Live! Wave Device", 0x050A)};
    testing::FakeDrive cdrom;
    cdrom.type = platform::DriveType::CDROM;
    cdrom.present = false;
    machine.filesFake.addDrive('D', cdrom);
    testing::FakeDrive system;
    system.geometry = platform::ClusterGeometry{8, 512, 1000, 5000};
    machine.filesFake.addDrive('C', system);
    const ProgramRun run = runWith(machine, {});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_TRUE(machine.uiFake.lines.empty()) << machine.uiFake.lines.front();
    const std::vector<std::string> sections = sectionsOf(run.out);
    const auto power = std::find(sections.begin(), sections.end(), "[Advanced Power Management]");
    ASSERT_NE(power, sections.end());
    EXPECT_EQ(std::vector<std::string>(power + 1, std::min(power + 7, sections.end())),
              (std::vector<std::string>{"[Media]", "[Sound]", "[Network]", "[Winsock]", "[TCP/IP]", "[Devices]"}));
    // Then the disks, each drive with its flags, the printers, the software and the startup entries.
    const auto disks = std::find(sections.begin(), sections.end(), "[Disks]");
    EXPECT_EQ(std::vector<std::string>(disks, sections.end()),
              (std::vector<std::string>{"[Disks]", "[DiskC:]", "[DiskC:_Flags]", "[DiskD:]", "[DiskD:_Flags]",
                                        "[Printers]", "[Installed Software]", "[User Startup]", "[Common Startup]",
                                        "[HKLM Run]", "[HKCU Run]", "[Run Once]"}));
    const std::vector<std::string> lines = linesOf(run.out);
    for (const char* line : {"Adapter1=Intel(R) PRO/1000 MT Network Connection", "MACAddress1=00:0c:29:3e:5a:c1",
                             "HP LaserJet 4 on LPT1:=1", "WaveOut1=SB Live! Wave Device v5.10", "Available=CD",
                             "Capacity=20.480.000", "Type=CDROM", "Item1=WinZip"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
}

TEST(ReportProgram, TheEnginesComeBetweenTheDevicesAndTheDisks) {
    testing::FakePlatform machine;
    machine.loadRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectX]\n\"Version\"=\"4.09.00.0904\"\n");
    const std::vector<std::string> sections = sectionsOf(runWith(machine, {}).out);
    const auto devices = std::find(sections.begin(), sections.end(), "[Devices]");
    const auto engines = std::find(sections.begin(), sections.end(), "[ODBC]");
    ASSERT_LT(devices, engines);
    EXPECT_EQ(std::vector<std::string>(engines, std::min(engines + 10, sections.end())),
              (std::vector<std::string>{"[ODBC]", "[BDE]", "[DAO]", "[ADO]", "[DirectX]", "[Direct3D]", "[DirectPlay]",
                                        "[DirectMusic]", "[ASPI32]", "[Disks]"}));
}

// A machine without a time zone: the operating-system probe fails partly. In a console
// program the failure is a line of standard output, or nothing with --silent; the report
// is whole either way.
struct FailureLineCase {
    std::vector<std::string> args;
    size_t failureLines;
};

TEST(ReportProgram, AFailingProbeIsALineUnlessSilent) {
    const FailureLineCase cases[] = {{{}, 1}, {{"--silent"}, 0}};
    for (const FailureLineCase& test : cases) {
        SCOPED_TRACE(test.args.empty() ? "no option" : test.args[0]);
        testing::FakePlatform machine;
        machine.uiFake.console = true;
        machine.localeFake.timeZone.reset();
        const ProgramRun run = runWith(machine, test.args);
        EXPECT_EQ(run.exitCode, kExitOk);
        EXPECT_TRUE(machine.uiFake.errors.empty());
        EXPECT_EQ(machine.uiFake.lines.size(), test.failureLines);
        EXPECT_EQ(static_cast<size_t>(std::count(machine.uiFake.lines.begin(), machine.uiFake.lines.end(),
                                                 "TTimeZone.GetInfo: The system gives no time zone")),
                  test.failureLines);
        EXPECT_EQ(sectionsOf(run.out).back(), "[Run Once]");
    }
}

// --output: the report in the file, standard output empty, an older file replaced only
// by a complete report, and never a partial file left behind.
enum class OutputTrouble { None, FullDisk, ReadOnlyTarget };
struct OutputCase {
    const char* name;
    OutputTrouble trouble;
    int exitCode;
};

TEST(ReportProgram, TheOutputFileIsReplacedOnlyByACompleteReport) {
    constexpr OutputCase kCases[] = {
        {"written", OutputTrouble::None, kExitOk},
        {"full disk", OutputTrouble::FullDisk, kExitFailure},
        {"read-only file", OutputTrouble::ReadOnlyTarget, kExitFailure},
    };
    const std::string path = "C:\\Reports\\machine.txt";
    for (const OutputCase& test : kCases) {
        SCOPED_TRACE(test.name);
        testing::FakePlatform machine;
        machine.filesFake.writeFile(path, "older report\r\n");
        if (test.trouble == OutputTrouble::FullDisk) machine.filesFake.limitWrites(40);
        if (test.trouble == OutputTrouble::ReadOnlyTarget) machine.filesFake.markReadOnly(path);
        const ProgramRun run = runWith(machine, {"--output", path});
        EXPECT_EQ(run.exitCode, test.exitCode);
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(machine.filesFake.filePaths().size(), 1u) << "a file was left beside the report";
        const std::string written = machine.filesFake.readFile(path).value_or("");
        if (test.exitCode == kExitOk) {
            EXPECT_TRUE(run.err.empty());
            EXPECT_EQ(written.rfind(";Ostrel System Information Component 7.61", 0), 0u);
            EXPECT_EQ(sectionsOf(written).back(), "[Run Once]");
            EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
        } else {
            EXPECT_EQ(run.err, "VardakReport: cannot write '" + path + "'\n");
            EXPECT_EQ(written, "older report\r\n");
        }
    }
}

TEST(ReportProgram, OptionsWithoutTheirFileAreUsageErrors) {
    for (const char* option : {"--output", "--smbios-dump"}) {
        testing::FakePlatform machine;
        const ProgramRun run = runWith(machine, {option});
        EXPECT_EQ(run.exitCode, kExitUsage) << option;
        EXPECT_NE(run.err.find(std::string(option) + " needs a file name"), std::string::npos) << run.err;
    }
}

TEST(ReportProgram, DecodesACpuidToolDumpIntoTheFourCpuSectionsOnly) {
    testing::FakePlatform machine;
    machine.processorFake.processorCount = 2;
    machine.filesFake.addFile("C:\\dumps\\katmai.txt", sharedDump("intel_ia-32_p6_intel-pentium-iii-katmai"));
    const ProgramRun run = runWith(machine, {"--cpuid-dump", "C:\\dumps\\katmai.txt"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 54u);
    EXPECT_EQ(lines[0], "[CPU]");
    // Nothing measured and no processors counted: the dump is not this machine.
    EXPECT_EQ(lines[1], "Count=0");
    EXPECT_EQ(lines[2], "Frequency=0");
    EXPECT_EQ(lines[3], "VendorID=Pentium III");
    EXPECT_EQ(lines[4], "Vendor=Intel");
    EXPECT_EQ(lines[10], "SerialNumber=0000-0673-0000-D043-8EF1-8AEE");
    EXPECT_EQ(lines[13], "EAX=00000673");
    EXPECT_EQ(lines[53], "Intel Cache Description: Data cache, 16K, 4-way set associative, 32 byte line size");
    EXPECT_EQ(run.out.substr(run.out.size() - 2), "\r\n");
}

TEST(ReportProgram, TheDumpOptionAlsoTakesItsFileAfterAnEqualsSign) {
    testing::FakePlatform machine;
    machine.filesFake.addFile("C:\\k6.txt", sharedDump("amd_k6_amd-k6"));
    const ProgramRun run = runWith(machine, {"--cpuid-dump=C:\\k6.txt"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(linesOf(run.out).at(3), "VendorID=K6");
}

TEST(ReportProgram, AMalformedDumpIsAClearErrorNamingTheLine) {
    testing::FakePlatform machine;
    std::string dump = sharedDump("amd_k6_amd-k6");
    dump.replace(dump.find("basic_cpuid[1]=00000562"), 23, "basic_cpuid[1]=0000O562");
    machine.filesFake.addFile("C:\\bad.txt", dump);
    const ProgramRun run = runWith(machine, {"--cpuid-dump", "C:\\bad.txt"});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("VardakReport: C:\\bad.txt: line 5: expected 'name[index]=EAX EBX ECX EDX'", 0), 0u)
        << run.err;
}

TEST(ReportProgram, ATruncatedDumpIsAClearError) {
    testing::FakePlatform machine;
    const std::string dump = sharedDump("amd_k6_amd-k6");
    machine.filesFake.addFile("C:\\cut.txt", dump.substr(0, dump.find("basic_cpuid[1]")));
    const ProgramRun run = runWith(machine, {"--cpuid-dump", "C:\\cut.txt"});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "VardakReport: C:\\cut.txt: line 5: the dump ends without basic_cpuid[1]; leaf 0x00000000 "
              "reports leaves up to 0x00000001\n");
}

TEST(ReportProgram, AMissingDumpFileIsAnError) {
    testing::FakePlatform machine;
    const ProgramRun run = runWith(machine, {"--cpuid-dump", "C:\\nowhere.txt"});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_EQ(run.err, "VardakReport: cannot read 'C:\\nowhere.txt'\n");
}

TEST(ReportProgram, TheDumpOptionWithoutAFileIsAUsageError) {
    testing::FakePlatform machine;
    const ProgramRun run = runWith(machine, {"--cpuid-dump"});
    EXPECT_EQ(run.exitCode, kExitUsage);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--cpuid-dump needs a file name"), std::string::npos);
}

TEST(ReportProgram, UnknownArgumentPrintsUsageToStandardErrorAndExits2) {
    testing::FakePlatform machine;
    const ProgramRun run = runWith(machine, {"--bogus"});
    EXPECT_EQ(run.exitCode, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("--bogus"), std::string::npos);
    EXPECT_NE(run.err.find("Usage: VardakReport"), std::string::npos);
}

TEST(ReportProgram, HelpGoesToStandardOutput) {
    testing::FakePlatform machine;
    const ProgramRun run = runWith(machine, {"--help"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_NE(run.out.find("Usage: VardakReport"), std::string::npos);
    EXPECT_TRUE(run.err.empty());
}

}  // namespace
}  // namespace vardak::app
