// The power-management probe on scripted power states: a desktop on mains, a laptop
// on battery, states the platform does not know and a failing query.
#include "probes/hardware/Vesk_APM.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

using platform::PowerStatus;
using ::testing::ElementsAre;
using testing::FakePlatform;

std::vector<std::string> linesOf(const TStrings& list) {
    std::vector<std::string> lines;
    for (int index = 0; index < list.count(); ++index) {
        lines.push_back(list.strings(index));
    }
    return lines;
}

class APMTest : public ::testing::Test {
protected:
    std::vector<std::string> reportOf(const PowerStatus& status) {
        machine.powerFake.status = status;
        apm.GetInfo();
        TStringList report;
        apm.Report(report);
        return linesOf(report);
    }

    FakePlatform machine;
    TAPM apm{machine};
};

TEST_F(APMTest, ADesktopOnMainsWithoutBatteryHasNoLifeTimes) {
    EXPECT_THAT(reportOf({1, 128, 255, 0xFFFFFFFF, 0xFFFFFFFF}),
                ElementsAre("[Advanced Power Management]", "ACPowerStatus=Online",
                            "BatteryChargeStatus=No Battery"));
    EXPECT_EQ(apm.ACPowerStatus(), TPowerStatus::psOnline);
    EXPECT_EQ(apm.BatteryChargeStatus(), TBatteryStatus::bsNoBattery);
    EXPECT_EQ(apm.BatteryLifePercent(), TAPM::kUnknownPercent);
}

TEST_F(APMTest, ALaptopOnBatteryAt80PercentReportsBothLifeTimes) {
    EXPECT_THAT(reportOf({0, 1, 80, 5400, 10800}),
                ElementsAre("[Advanced Power Management]", "ACPowerStatus=Offline", "BatteryChargeStatus=High",
                            "BattreyLifeFullTime=3 Hours, 0 Minutes, 0 Seconds.",
                            "BatteryLifeTime=1 Hour, 30 Minutes, 0 Seconds."));
    EXPECT_EQ(apm.BatteryLifePercent(), 80);
    EXPECT_EQ(apm.BatteryLifeTime(), 5400u);
    EXPECT_EQ(apm.BatteryLifeFullTime(), 10800u);
}

TEST_F(APMTest, AnUnknownPercentageLeavesTheLifeTimesOut) {
    // Charging at a high level combines two flags: not a known state.
    EXPECT_THAT(reportOf({1, 9, 255, 3600, 7200}),
                ElementsAre("[Advanced Power Management]", "ACPowerStatus=Online", "BatteryChargeStatus=Unknown"));
    // The times are kept though they are not reported.
    EXPECT_EQ(apm.BatteryLifeTime(), 3600u);
}

TEST_F(APMTest, AnUnknownRemainingTimeIsStillFormattedAsSeconds) {
    EXPECT_THAT(reportOf({1, 8, 100, 0xFFFFFFFF, 0xFFFFFFFF}),
                ElementsAre("[Advanced Power Management]", "ACPowerStatus=Online", "BatteryChargeStatus=Charging",
                            "BattreyLifeFullTime=1 Century, 36 Years, 0 Months, 0 Weeks, 2 Days, 6 Hours, "
                            "28 Minutes, 15 Seconds.",
                            "BatteryLifeTime=1 Century, 36 Years, 0 Months, 0 Weeks, 2 Days, 6 Hours, "
                            "28 Minutes, 15 Seconds."));
    EXPECT_EQ(apm.BatteryLifeTime(), TAPM::kUnknownTime);
}

TEST_F(APMTest, PercentagesUpTo100AreKnown) {
    EXPECT_EQ(reportOf({0, 2, 0, 60, 7200}).size(), 5u);
    EXPECT_EQ(reportOf({0, 4, 100, 60, 7200}).size(), 5u);
    EXPECT_EQ(reportOf({0, 4, 101, 60, 7200}).size(), 3u);
}

TEST_F(APMTest, AFailingQueryReportsUnknownValuesNotMeasuredOnes) {
    reportOf({0, 1, 80, 5400, 10800});
    machine.powerFake.status.reset();
    apm.GetInfo();
    EXPECT_EQ(apm.ACPowerStatus(), TPowerStatus::psUnknown);
    EXPECT_EQ(apm.BatteryChargeStatus(), TBatteryStatus::bsUnknown);
    EXPECT_EQ(apm.BatteryLifePercent(), TAPM::kUnknownPercent);
    EXPECT_EQ(apm.BatteryLifeTime(), TAPM::kUnknownTime);
    EXPECT_EQ(apm.BatteryLifeFullTime(), TAPM::kUnknownTime);
    TStringList report;
    apm.Report(report);
    EXPECT_THAT(linesOf(report),
                ElementsAre("[Advanced Power Management]", "ACPowerStatus=Unknown", "BatteryChargeStatus=Unknown"));
}

TEST(APMStatusTest, LineStatusBytes) {
    EXPECT_EQ(PowerStatusOf(0), TPowerStatus::psOffline);
    EXPECT_EQ(PowerStatusOf(1), TPowerStatus::psOnline);
    EXPECT_EQ(PowerStatusOf(2), TPowerStatus::psUnknown);
    EXPECT_EQ(PowerStatusOf(255), TPowerStatus::psUnknown);
}

TEST(APMStatusTest, OnlySingleBatteryFlagsAreKnownStates) {
    EXPECT_EQ(BatteryStatusOf(0), TBatteryStatus::bsHigh);
    EXPECT_EQ(BatteryStatusOf(1), TBatteryStatus::bsHigh);
    EXPECT_EQ(BatteryStatusOf(2), TBatteryStatus::bsLow);
    EXPECT_EQ(BatteryStatusOf(4), TBatteryStatus::bsCritical);
    EXPECT_EQ(BatteryStatusOf(8), TBatteryStatus::bsCharging);
    EXPECT_EQ(BatteryStatusOf(128), TBatteryStatus::bsNoBattery);
    for (uint8_t combined : {3, 9, 10, 12, 16, 129, 255}) {
        EXPECT_EQ(BatteryStatusOf(combined), TBatteryStatus::bsUnknown) << int{combined};
    }
}

TEST(APMPropertiesTest, PublishesItsPropertiesInOrder) {
    FakePlatform machine;
    machine.powerFake.status = PowerStatus{0, 2, 15, 900, 10800};
    TAPM apm(machine);
    apm.GetInfo();
    const PropertyTable table = apm.publishedProperties();
    std::vector<std::string> names;
    std::vector<std::string> texts;
    for (const PublishedProperty& property : table.properties()) {
        names.push_back(property.name);
        texts.push_back(property.text);
    }
    EXPECT_THAT(names, ElementsAre("ACPowerStatus", "BatteryChargeStatus", "BatteryLifePercent", "BatteryLifeTime",
                                   "BatteryLifeFullTime"));
    EXPECT_THAT(texts, ElementsAre("psOffline", "bsLow", "15", "900", "10800"));
}

}  // namespace
}  // namespace vardak::probes
