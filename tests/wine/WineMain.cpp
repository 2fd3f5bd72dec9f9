// The Wine test program's entry. Started with `--child=NAME` it runs one child mode
// for a test that started it; otherwise it runs the tests. Defining main here keeps
// GoogleTest's own main (in its static library) out of the link.
#include "tests/wine/WineChildren.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string_view>

namespace {

// GoogleTest's console printer, except that a failure is only printed. The
// original also hands each failure to OutputDebugString, whose exception Wine
// under user-mode CPU emulation turns into a crash of the whole test program.
class FailurePrinter final : public testing::TestEventListener {
public:
    explicit FailurePrinter(testing::TestEventListener* printer) : printer_(printer) {}

    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (result.type() == testing::TestPartResult::kSuccess) {
            return;
        }
        const char* kind = result.skipped() ? "Skipped" : "Failure";
        if (result.file_name() != nullptr) {
            std::printf("%s:%d: %s\n%s\n", result.file_name(), result.line_number(), kind,
                        result.message());
        } else {
            std::printf("%s\n%s\n", kind, result.message());
        }
        std::fflush(stdout);
    }

    void OnTestProgramStart(const testing::UnitTest& test) override { printer_->OnTestProgramStart(test); }
    void OnTestIterationStart(const testing::UnitTest& test, int iteration) override {
        printer_->OnTestIterationStart(test, iteration);
    }
    void OnEnvironmentsSetUpStart(const testing::UnitTest& test) override {
        printer_->OnEnvironmentsSetUpStart(test);
    }
    void OnEnvironmentsSetUpEnd(const testing::UnitTest& test) override {
        printer_->OnEnvironmentsSetUpEnd(test);
    }
    void OnTestSuiteStart(const testing::TestSuite& suite) override { printer_->OnTestSuiteStart(suite); }
    void OnTestStart(const testing::TestInfo& info) override { printer_->OnTestStart(info); }
    void OnTestEnd(const testing::TestInfo& info) override { printer_->OnTestEnd(info); }
    void OnTestSuiteEnd(const testing::TestSuite& suite) override { printer_->OnTestSuiteEnd(suite); }
    void OnEnvironmentsTearDownStart(const testing::UnitTest& test) override {
        printer_->OnEnvironmentsTearDownStart(test);
    }
    void OnEnvironmentsTearDownEnd(const testing::UnitTest& test) override {
        printer_->OnEnvironmentsTearDownEnd(test);
    }
    void OnTestIterationEnd(const testing::UnitTest& test, int iteration) override {
        printer_->OnTestIterationEnd(test, iteration);
    }
    void OnTestProgramEnd(const testing::UnitTest& test) override { printer_->OnTestProgramEnd(test); }

private:
    std::unique_ptr<testing::TestEventListener> printer_;
};

void replaceResultPrinter() {
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    testing::TestEventListener* printer = listeners.Release(listeners.default_result_printer());
    if (printer != nullptr) {
        listeners.Append(new FailurePrinter(printer));
    }
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kChildOption = "--child=";
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument.substr(0, kChildOption.size()) == kChildOption) {
            const auto exitCode = vardak::winetest::runChildMode(argument.substr(kChildOption.size()));
            if (!exitCode) {
                std::fprintf(stderr, "unknown child mode: %s\n", argv[index]);
                return 2;
            }
            return *exitCode;
        }
    }
    testing::InitGoogleTest(&argc, argv);
    replaceResultPrinter();
    return RUN_ALL_TESTS();
}
