#include "probes/core/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "framework/Exception.h"

namespace vardak::probes {
namespace {

TEST(FormatTest, IntegersWithPrecisionAreZeroPadded) {
    EXPECT_EQ(Format("%d", {42}), "42");
    EXPECT_EQ(Format("%2.2d:%2.2d", {5, 123}), "05:123");
    EXPECT_EQ(Format("%.3d", {-5}), "-005");
    EXPECT_EQ(Format("%d", {INT64_MIN}), "-9223372036854775808");
    EXPECT_EQ(Format("%d", {uint32_t{4000000000u}}), "4000000000");
}

TEST(FormatTest, GroupedNumbersSeparateEachThreeDigits) {
    struct Case {
        int64_t value;
        const char* separator;
        const char* text;
    };
    const Case cases[] = {
        {0, ".", "0"},
        {1000, ".", "1.000"},
        {1234567, ".", "1.234.567"},
        {3298534883328, ".", "3.298.534.883.328"},
        {-1234, ".", "-1.234"},
        {INT64_MIN, ".", "-9.223.372.036.854.775.808"},
        {1234567, "", "1234567"},
        {1234567, "\xA0", "1\xA0" "234\xA0" "567"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatGrouped(c.value, c.separator), c.text) << c.value;
    }
}

TEST(FormatTest, ZeroPrecisionStillPrintsTheDigitZero) {
    EXPECT_EQ(Format("%.0d", {0}), "0");
    EXPECT_EQ(Format("%.0d%s", {0, " Hours, "}), "0 Hours, ");
}

TEST(FormatTest, HexadecimalIsUpperCase) {
    EXPECT_EQ(Format("%x", {255}), "FF");
    EXPECT_EQ(Format("%.8x", {0x04E40409}), "04E40409");
    EXPECT_EQ(Format("%.4x-%.4x", {0x1A2B, 0xC3D}), "1A2B-0C3D");
    EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
    EXPECT_EQ(Format("%x", {int64_t{-0x100000000}}), "FFFFFFFF00000000");
}

TEST(FormatTest, FloatsRoundHalfAwayFromZero) {
    EXPECT_EQ(Format("%.2f", {0.125}), "0.13");
    EXPECT_EQ(Format("%.2f", {1.005}), "1.01");
    EXPECT_EQ(Format("%.2f", {-0.125}), "-0.13");
    EXPECT_EQ(Format("%.0f", {2.5}), "3");
    EXPECT_EQ(Format("%.0f", {0.49}), "0");
    EXPECT_EQ(Format("%.1f", {9.96}), "10.0");
    EXPECT_EQ(Format("%.2f", {0.004}), "0.00");
    EXPECT_EQ(Format("%.2f", {-0.004}), "0.00");
    EXPECT_EQ(Format("%f", {3.14159}), "3.14");
    EXPECT_EQ(Format("%.3f", {1e-7}), "0.000");
    EXPECT_EQ(Format("%.2f", {123456789012.0}), "123456789012.00");
}

TEST(FormatTest, FloatsUseTheChosenDecimalSeparator) {
    const FormatSettings nordic{','};
    EXPECT_EQ(Format("%1.1f GHz", {2.45}, nordic), "2,5 GHz");
    EXPECT_EQ(Format("%.2f", {5.0}, nordic), "5,00");
    EXPECT_EQ(Format("%.0f", {5.0}, nordic), "5");
}

TEST(FormatTest, SpecialFloatValues) {
    EXPECT_EQ(Format("%.2f", {std::numeric_limits<double>::infinity()}), "INF");
    EXPECT_EQ(Format("%.2f", {-std::numeric_limits<double>::infinity()}), "-INF");
    EXPECT_EQ(Format("%.2f", {std::nan("")}), "NAN");
}

TEST(FormatTest, TextsWidthsAndPercentSigns) {
    EXPECT_EQ(Format("[%s]", {"CPU"}), "[CPU]");
    EXPECT_EQ(Format("%.3s", {"Pentium"}), "Pen");
    EXPECT_EQ(Format("%5s|%-5s|", {"ab", "cd"}), "   ab|cd   |");
    EXPECT_EQ(Format("%4d%%", {50}), "  50%");
    EXPECT_EQ(Format("no conversions", {}), "no conversions");
    EXPECT_EQ(Format("%S %D %X", {"up", 1, 10}), "up 1 A");
}

TEST(FormatTest, ArgumentsAreTakenFromASpan) {
    const std::vector<FormatArg> args = {1, "two", 3.0};
    EXPECT_EQ(Format("%d %s %.1f", args), "1 two 3.0");
}

TEST(FormatTest, MismatchedOrMissingArgumentsRaise) {
    EXPECT_THROW(Format("%d", {1.5}), EConvertError);
    EXPECT_THROW(Format("%f", {1}), EConvertError);
    EXPECT_THROW(Format("%s", {1}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
    EXPECT_THROW(Format("ends in %", {1}), EConvertError);
    EXPECT_THROW(Format("%99999d", {1}), EConvertError);
    try {
        Format("%d", {"x"});
        FAIL() << "no exception";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.message(), "Format '%d' invalid or incompatible with argument");
    }
}

}  // namespace
}  // namespace vardak::probes
