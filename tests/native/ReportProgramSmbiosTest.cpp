// The report program's SMBIOS dump mode: a real dump in, its "[SMBIOS]" section out;
// a damaged file is an error message and a failing exit code.
#include "app/ReportProgram.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/FakePlatform.h"

namespace vardak::app {
namespace {

std::string sharedSmbiosDump(const std::string& name) {
    std::ifstream stream(std::string(VARDAK_TESTDATA_DIR) + "/smbios/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

struct DumpRun {
    int exitCode;
    std::string out;
    std::string err;
};

DumpRun runOn(testing::FakePlatform& machine, std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = runReportProgram(machine, args, out, err);
    return {code, out.str(), err.str()};
}

TEST(ReportProgramSmbiosDump, PrintsOnlyTheSMBIOSSectionOfTheDump) {
    testing::FakePlatform machine;
    const std::string dump = sharedSmbiosDump("lenovo-thinkpad-t440s.bin");
    ASSERT_FALSE(dump.empty());
    machine.filesFake.addFile("C:\\dumps\\t440s.bin", dump);
    const DumpRun run = runOn(machine, {"--smbios-dump", "C:\\dumps\\t440s.bin"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_EQ(run.out.rfind("[SMBIOS]\r\nVersion=2.7\r\nStart Address=F0000\r\n", 0), 0u) << run.out.substr(0, 200);
    EXPECT_EQ(run.out.find("[", 1), std::string::npos);
    EXPECT_NE(run.out.find("\r\nSystem Manufacturer=LENOVO\r\n"), std::string::npos);
    EXPECT_NE(run.out.find("\r\nBIOS Vendor=LENOVO\r\n"), std::string::npos);
    EXPECT_EQ(machine.firmwareFake.tableCalls + machine.firmwareFake.sectionCalls, 0);
}

TEST(ReportProgramSmbiosDump, ADamagedOrMissingFileIsAnErrorNotACrash) {
    testing::FakePlatform machine;
    std::string dump = sharedSmbiosDump("asus-ux305la.bin");
    ASSERT_GT(dump.size(), 8u);
    dump[7] = static_cast<char>(dump[7] + 1);
    machine.filesFake.addFile("C:\\bad.bin", dump);
    DumpRun run = runOn(machine, {"--smbios-dump", "C:\\bad.bin"});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("C:\\bad.bin: the _SM_ entry point has a wrong checksum"), std::string::npos) << run.err;

    machine.filesFake.addFile("C:\\text.bin", "plain text, no tables");
    run = runOn(machine, {"--smbios-dump", "C:\\text.bin"});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_NE(run.err.find("no SMBIOS entry point"), std::string::npos) << run.err;

    run = runOn(machine, {"--smbios-dump", "C:\\missing.bin"});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_NE(run.err.find("cannot read 'C:\\missing.bin'"), std::string::npos);

    run = runOn(machine, {"--smbios-dump"});
    EXPECT_EQ(run.exitCode, kExitUsage);
    EXPECT_NE(run.err.find("--smbios-dump needs a file name"), std::string::npos);
}

}  // namespace
}  // namespace vardak::app
