#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/Exception.h"

namespace vardak {
namespace {

TEST(FrameworkSysUtilsTest, IntegersInDecimalAndHex) {
    EXPECT_EQ(tryStrToInt("2147483647"), 2147483647);
    EXPECT_EQ(tryStrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(tryStrToInt("2147483648"), std::nullopt);
    EXPECT_EQ(tryStrToInt("+8"), 8);
    EXPECT_EQ(tryStrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(tryStrToInt("$100000000"), std::nullopt);
    EXPECT_EQ(tryStrToInt("-$10"), -16);
    EXPECT_EQ(tryStrToInt("0XfF"), 255);
    EXPECT_EQ(tryStrToInt("\t 5 \r"), 5);
}

TEST(FrameworkSysUtilsTest, TextThatIsNoIntegerIsRejected) {
    for (const char* text : {"", " ", "-", "$", "0x", "1 2", "1.0", "x1", "--1"}) {
        EXPECT_EQ(tryStrToInt(text), std::nullopt) << '"' << text << '"';
    }
    EXPECT_EQ(strToIntDef("oops", 3), 3);
    EXPECT_THROW(strToInt("oops"), EConvertError);
}

TEST(FrameworkSysUtilsTest, FloatsWithFifteenSignificantDigits) {
    EXPECT_EQ(floatToStr(0.1), "0.1");
    EXPECT_EQ(floatToStr(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(floatToStr(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(floatToStr(-2.5), "-2.5");
    EXPECT_EQ(floatToStr(100), "100");
    EXPECT_EQ(floatToStr(0), "0");
    EXPECT_EQ(floatToStr(999999999999999.0), "999999999999999");
    EXPECT_EQ(floatToStr(123456789012345678.0), "1.23456789012346E17");
}

TEST(FrameworkSysUtilsTest, FloatsSwitchToScientificOutsideTheFixedRange) {
    EXPECT_EQ(floatToStr(1e15), "1E15");
    EXPECT_EQ(floatToStr(1.5e20), "1.5E20");
    EXPECT_EQ(floatToStr(0.0001), "0.0001");
    EXPECT_EQ(floatToStr(0.00001), "1E-5");
    EXPECT_EQ(floatToStr(-1.25e-7), "-1.25E-7");
    EXPECT_EQ(floatToStr(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(floatToStr(std::nan("")), "NAN");
}

TEST(FrameworkSysUtilsTest, FloatsWithAnotherDecimalSeparator) {
    EXPECT_EQ(floatToStr(1.5, ','), "1,5");
    EXPECT_EQ(floatToStr(2.5e-9, ','), "2,5E-9");
    EXPECT_EQ(tryStrToFloat("1,5", ','), 1.5);
    EXPECT_EQ(tryStrToFloat("1.5", ','), std::nullopt);
}

TEST(FrameworkSysUtilsTest, ParsesFloats) {
    EXPECT_EQ(tryStrToFloat(" -1.5 "), -1.5);
    EXPECT_EQ(tryStrToFloat("2E3"), 2000.0);
    EXPECT_EQ(tryStrToFloat(".5"), 0.5);
    EXPECT_EQ(tryStrToFloat("5."), 5.0);
    for (const char* text : {"", ".", "E5", "1E", "1.2.3", "abc", "1e400"}) {
        EXPECT_EQ(tryStrToFloat(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(FrameworkSysUtilsTest, CaseFoldingCoversTheAnsiLetters) {
    EXPECT_TRUE(sameText("\xC6\xD8\xC5 Drive", "\xE6\xF8\xE5 DRIVE"));
    EXPECT_FALSE(sameText("\xD7", "\xF7"));  // multiplication and division signs
    EXPECT_EQ(ansiUpperCase("\x9A\xFF"), "\x8A\x9F");
    EXPECT_LT(compareText("apple", "Banana"), 0);
    EXPECT_GT(compareText("abc", "AB"), 0);
    EXPECT_EQ(trim("\t x y \r\n"), "x y");
}

}  // namespace
}  // namespace vardak
