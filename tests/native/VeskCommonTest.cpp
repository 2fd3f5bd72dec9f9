#include "probes/core/Vesk_Common.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/Exception.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/FakeUi.h"

namespace vardak::probes {
namespace {

using ::testing::ElementsAre;

// A probe whose refresh fails halfway, like a display probe that cannot read its adapter.
class TDisplayStub : public TPersistent {
public:
    void GetInfo() {
        adapter = "filled before the failure";
        throw EConvertError("adapter key unreadable");
    }
    void GetInfoWith(int32_t argument) {
        lastArgument = argument;
        if (argument != 0) {
            throw Exception("argument " + std::to_string(argument) + " refused");
        }
    }
    std::string adapter;
    int32_t lastArgument = -1;
};

// ---------------------------------------------------------------- CallGetInfo

class CallGetInfoTest : public ::testing::Test {
protected:
    testing::FakeUi ui_;
    TDisplayStub display_;
};

TEST_F(CallGetInfoTest, MessageModeShowsOneErrorBoxAndTheCallerGoesOn) {
    EXPECT_NO_THROW(CallGetInfo(ui_, "TDisplay.GetInfo", TExceptionMode::emMessage,
                                &TDisplayStub::GetInfo, display_));
    ASSERT_EQ(ui_.errors.size(), 1u);
    EXPECT_EQ(ui_.errors[0].caption, "Error");
    EXPECT_EQ(ui_.errors[0].text, "TDisplay.GetInfo: adapter key unreadable");
    EXPECT_TRUE(ui_.lines.empty());
    // The probe keeps what it had filled before the failure.
    EXPECT_EQ(display_.adapter, "filled before the failure");
}

TEST_F(CallGetInfoTest, MessageModeInAConsoleProgramWritesTheLineInstead) {
    ui_.console = true;
    CallGetInfo(ui_, "TDisplay.GetInfo", TExceptionMode::emMessage, &TDisplayStub::GetInfo, display_);
    EXPECT_TRUE(ui_.errors.empty());
    EXPECT_THAT(ui_.lines, ElementsAre("TDisplay.GetInfo: adapter key unreadable"));
}

TEST_F(CallGetInfoTest, RaiseModeRaisesANewGeneralExceptionWithTheNamedText) {
    try {
        CallGetInfo(ui_, "TDisplay.GetInfo", TExceptionMode::emRaise, &TDisplayStub::GetInfo, display_);
        FAIL() << "no exception reached the caller";
    } catch (const EConvertError&) {
        FAIL() << "the caught exception must not pass through";
    } catch (const Exception& raised) {
        EXPECT_EQ(raised.className(), "Exception");
        EXPECT_EQ(raised.message(), "TDisplay.GetInfo: adapter key unreadable");
    }
    EXPECT_TRUE(ui_.errors.empty());
    EXPECT_TRUE(ui_.lines.empty());
}

TEST_F(CallGetInfoTest, SilentModeDropsTheFailure) {
    EXPECT_NO_THROW(
        CallGetInfo(ui_, "TDisplay.GetInfo", TExceptionMode::emSilent, &TDisplayStub::GetInfo, display_));
    EXPECT_TRUE(ui_.errors.empty());
    EXPECT_TRUE(ui_.lines.empty());
    EXPECT_EQ(display_.adapter, "filled before the failure");
}

TEST_F(CallGetInfoTest, OtherThrownObjectsPassThroughUnchangedInEveryMode) {
    for (const TExceptionMode mode :
         {TExceptionMode::emRaise, TExceptionMode::emMessage, TExceptionMode::emSilent}) {
        EXPECT_THROW(CallGetInfo(ui_, "TCPU.GetInfo", mode,
                                 [] { throw std::runtime_error("not a framework exception"); }),
                     std::runtime_error);
        EXPECT_THROW(CallGetInfo(ui_, "TCPU.GetInfo", mode, [] { throw 42; }), int);
    }
    EXPECT_TRUE(ui_.errors.empty());
}

TEST_F(CallGetInfoTest, ASuccessfulRefreshReportsNothing) {
    CallGetInfo(ui_, 0, "TMachine.GetInfo", TExceptionMode::emRaise, &TDisplayStub::GetInfoWith,
                display_);
    EXPECT_EQ(display_.lastArgument, 0);
    EXPECT_TRUE(ui_.errors.empty());
}

TEST_F(CallGetInfoTest, TheSecondFormPassesItsArgumentToTheOperation) {
    CallGetInfo(ui_, 1, "TMachine.GetInfo", TExceptionMode::emMessage, &TDisplayStub::GetInfoWith,
                display_);
    EXPECT_EQ(display_.lastArgument, 1);
    ASSERT_EQ(ui_.errors.size(), 1u);
    EXPECT_EQ(ui_.errors[0].text, "TMachine.GetInfo: argument 1 refused");
}

// ---------------------------------------------------------------- AddListToReport

std::vector<std::string> linesOf(const TStrings& report) { return report.toVector(); }

TEST(AddListToReportTest, WritesTheCountThenNumberedItems) {
    TStringList adapters;
    adapters.add("Realtek RTL8139");
    adapters.add("3Com EtherLink III");
    TStringList report;
    AddListToReport(adapters, "Count", "Adapter", report);
    EXPECT_THAT(linesOf(report),
                ElementsAre("Count=2", "Adapter1=Realtek RTL8139", "Adapter2=3Com EtherLink III"));
}

TEST(AddListToReportTest, ZeroItemsGiveOnlyTheCountEntry) {
    TStringList none;
    TStringList report;
    AddListToReport(none, "Count", "Adapter", report);
    EXPECT_THAT(linesOf(report), ElementsAre("Count=0"));
}

TEST(AddListToReportTest, AnEmptyCountKeyGivesOnlyTheNumberedEntries) {
    const std::vector<std::string> printers = {"HP LaserJet 4", "Epson FX-80"};
    TStringList report;
    AddListToReport(printers, "", "Printer", report);
    EXPECT_THAT(linesOf(report), ElementsAre("Printer1=HP LaserJet 4", "Printer2=Epson FX-80"));
}

TEST(AddListToReportTest, NewLinesFollowTheLinesAlreadyThere) {
    TStringList report;
    report.add(";banner");
    report.add("[Network]");
    const std::vector<std::string> protocols = {"TCP/IP"};
    AddListToReport(protocols, "Protocols", "Protocol", report);
    EXPECT_THAT(linesOf(report), ElementsAre(";banner", "[Network]", "Protocols=1", "Protocol1=TCP/IP"));
}

TEST(AddListToReportTest, ItemsHoldingLineBreaksStayOnTheirLine) {
    const std::vector<std::string> items = {"first\r\nsecond", "a\nb\rc"};
    TStringList report;
    AddListToReport(items, "", "Item", report);
    EXPECT_THAT(linesOf(report), ElementsAre("Item1=first second", "Item2=a b c"));
}

TEST(AddListToReportTest, NumbersPastNineKeepCounting) {
    std::vector<std::string> items;
    for (int index = 1; index <= 12; ++index) {
        items.push_back("item " + std::to_string(index));
    }
    TStringList report;
    AddListToReport(items, "Count", "Item", report);
    ASSERT_EQ(report.count(), 13);
    EXPECT_EQ(report[0], "Count=12");
    EXPECT_EQ(report[10], "Item10=item 10");
    EXPECT_EQ(report[12], "Item12=item 12");
}

// ---------------------------------------------------------------- report lines and files

TEST(ReportFormatTest, SectionsEntriesAndCommentsHaveTheirShapes) {
    TStringList report;
    addReportComment(report, kComponentAbout);
    addReportSection(report, "CPU Features");
    addReportEntry(report, "Built-In FPU", true);
    addReportEntry(report, "Time Stamp Counter", false);
    addReportEntry(report, "Total", int64_t{5368709120});
    addReportEntry(report, "Delta", -3);
    addReportEntry(report, "VendorID", "Pentium III");
    addReportEntry(report, "Empty", "");
    EXPECT_THAT(linesOf(report),
                ElementsAre(";Ostrel System Information Component 7.61 - Vardak", "[CPU Features]",
                            "Built-In FPU=1", "Time Stamp Counter=0", "Total=5368709120", "Delta=-3",
                            "VendorID=Pentium III", "Empty="));
}

TEST(ReportFormatTest, ValuesWithLineBreaksAreWrittenWithSpaces) {
    TStringList report;
    addReportEntry(report, "Comment", "line one\r\nline two\nline three\r");
    EXPECT_THAT(linesOf(report), ElementsAre("Comment=line one line two line three "));
}

TEST(ReportFormatTest, ReportTextEndsEveryLineWithCrLf) {
    TStringList report;
    addReportSection(report, "Memory");
    addReportEntry(report, "Total", 64);
    EXPECT_EQ(reportText(report), "[Memory]\r\nTotal=64\r\n");
}

TEST(ReportFormatTest, ReportTextKeepsLinesAddedDirectlyOnOneLine) {
    TStringList report;
    report.add("[Software]");
    report.add("Name=two\nlines");
    EXPECT_EQ(reportText(report), "[Software]\r\nName=two lines\r\n");
}

TEST(ReportFormatTest, ReportTextKeepsAnsiBytes) {
    TStringList report;
    addReportEntry(report, "CodeName", "Katmai (0.25 \xB5m)");
    EXPECT_EQ(reportText(report), "CodeName=Katmai (0.25 \xB5m)\r\n");
}

TEST(ReportFormatTest, SaveReportWritesTheReportText) {
    testing::FakePlatform machine;
    TStringList report;
    addReportSection(report, "APM");
    addReportEntry(report, "Comment", "a\nb");
    saveReport(machine.files(), "C:\\report.txt", report);
    EXPECT_EQ(machine.files().readFile("C:\\report.txt"), std::optional<std::string>("[APM]\r\nComment=a b\r\n"));
}

}  // namespace
}  // namespace vardak::probes
