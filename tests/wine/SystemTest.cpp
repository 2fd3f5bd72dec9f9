// Operating-system facts read through the backend under Wine.
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/wine/WineHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace vardak::winetest {
namespace {

using testing::EndsWith;
using testing::HasSubstr;
using testing::StartsWith;

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// MemTotal of /proc/meminfo in bytes, or nothing where the line is missing or malformed.
std::optional<uint64_t> linuxMemTotal(const std::string& meminfo) {
    constexpr std::string_view kLabel = "MemTotal:";
    const size_t label = meminfo.find(kLabel);
    if (label == std::string::npos) {
        return std::nullopt;
    }
    size_t position = meminfo.find_first_not_of(' ', label + kLabel.size());
    uint64_t kilobytes = 0;
    size_t digits = 0;
    for (; position < meminfo.size() && meminfo[position] >= '0' && meminfo[position] <= '9' &&
           digits < 15;
         ++position, ++digits) {
        kilobytes = kilobytes * 10 + static_cast<uint64_t>(meminfo[position] - '0');
    }
    if (digits == 0 || meminfo.compare(position, 3, " kB") != 0) {
        return std::nullopt;
    }
    return kilobytes * 1024;
}

uint64_t parseNumber(const std::string& text) {
    return std::strtoull(text.c_str(), nullptr, 10);
}

class SystemTest : public testing::Test {
protected:
    win32::Win32System system_;
};

TEST_F(SystemTest, NamesTheComputerAndTheUser) {
    const std::string computer = system_.computerName();
    EXPECT_FALSE(computer.empty());
    EXPECT_LE(computer.size(), 15u);
    EXPECT_EQ(computer.find('\0'), std::string::npos);
    const std::string user = system_.userName();
    EXPECT_FALSE(user.empty());
    EXPECT_EQ(user.find('\0'), std::string::npos);
}

TEST_F(SystemTest, FindsTheWindowsSystemAndTemporaryFolders) {
    const std::string windows = system_.windowsDirectory();
    EXPECT_EQ(lowerCase(windows), "c:\\windows");
    EXPECT_EQ(lowerCase(system_.systemDirectory()), lowerCase(windows) + "\\system32");
    const std::string temp = system_.tempDirectory();
    EXPECT_THAT(temp, EndsWith("\\"));
    EXPECT_TRUE(isFolder(temp)) << temp;
}

TEST_F(SystemTest, KnowsItsOwnProgramPath) {
    const std::string path = system_.programPath();
    EXPECT_THAT(lowerCase(path), EndsWith("\\vardak_wine_tests.exe"));
    EXPECT_TRUE(win32::Win32FileSystem().fileExists(path)) << path;
}

TEST_F(SystemTest, CopiesTheWholeEnvironmentBlock) {
    ASSERT_TRUE(SetEnvironmentVariableA("VARDAK_WINE_PROBE", "forty two"));
    const std::string block = system_.environmentBlock();
    SetEnvironmentVariableA("VARDAK_WINE_PROBE", nullptr);
    EXPECT_THAT(block, HasSubstr(std::string("VARDAK_WINE_PROBE=forty two\0", 28)));
    ASSERT_GE(block.size(), 2u);
    EXPECT_EQ(block.substr(block.size() - 2), std::string(2, '\0'));
    // Exactly one empty entry: the one that ends the block.
    EXPECT_EQ(block.find(std::string(2, '\0')), block.size() - 2);
}

TEST_F(SystemTest, LegacyMemoryStatusIsConsistent) {
    const platform::MemoryStatus status = system_.memoryStatus();
    EXPECT_EQ(status.length, 32u);
    if (!wineRunsUnderCpuEmulation()) {
        // Wine computes the load from a total that emulation cuts to 32 bits.
        EXPECT_LE(status.memoryLoad, 100u);
    }
    EXPECT_GT(status.totalPhys, 0u);
    EXPECT_LE(status.availPhys, status.totalPhys);
    EXPECT_LE(status.availVirtual, status.totalVirtual);
}

TEST(MemoryStatusPosedTest, ExtendedQueryExistsOnXPAndMatchesTheHostMemory) {
    const std::optional<std::string> meminfo =
        win32::Win32FileSystem().readFile("Z:\\proc\\meminfo");
    ASSERT_TRUE(meminfo.has_value());
    const std::optional<uint64_t> hostTotal = linuxMemTotal(*meminfo);
    ASSERT_TRUE(hostTotal.has_value()) << *meminfo;

    const ProcessResult& child = posedReport(WindowsPose::WindowsXP);
    ASSERT_TRUE(child.started);
    ASSERT_EQ(child.exitCode, 0u) << child.output;
    const auto fields = parseFields(child.output);
    ASSERT_EQ(fields.at("extended"), "yes") << child.output;
    const uint64_t total = parseNumber(fields.at("extended.totalPhys"));
    if (wineRunsUnderCpuEmulation()) {
        // The emulator hands the kernel's memory figures to 32-bit programs in 32-bit
        // fields, so Wine sees the host's total modulo 4 GB.
        const uint64_t seen = *hostTotal % (uint64_t{1} << 32);
        EXPECT_NEAR(static_cast<double>(total), static_cast<double>(seen),
                    static_cast<double>(*hostTotal) / 100.0);
        return;
    }
    EXPECT_NEAR(static_cast<double>(total), static_cast<double>(*hostTotal),
                static_cast<double>(*hostTotal) / 100.0);
    EXPECT_LE(parseNumber(fields.at("extended.availPhys")), total);
    EXPECT_LE(parseNumber(fields.at("legacy.totalPhys")), total);
}

}  // namespace
}  // namespace vardak::winetest
