#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <limits>

#include "storage/NumberText.h"

TEST(FloatValue, ReadsTheLeadingDecimalNumberLikeTheCLibrary) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* text;
        float want;
    } cases[] = {
        // clang-format off
        {"12kg", 12}, {" -3.5e2x", -350}, {".5", 0.5f}, {"abc", 0}, {"", 0}, {"5.", 5},
        {"+7.25", 7.25f}, {"\t\n 12.50", 12.5f}, {"1.5E-3", 0.0015f}, {"0012", 12},
        // An incomplete exponent is ignored.
        {"1e", 1}, {"1e+", 1}, {"2.5E-x", 2.5f},
        {"   ", 0}, {".", 0}, {"-", 0}, {"+.e5", 0}, {"e5", 0},
        // No hex, infinity or nan; a comma is not a decimal point.
        {"0x1A", 0}, {"inf", 0}, {"-infinity", 0}, {"nan", 0}, {"3,75", 3},
        {"1e39", inf}, {"-1e400", -inf}, {"1e99999999999999999999", inf}, {"1e-60", 0},
        {"3.4e38", 3.4e38f},
        // Single precision: 0.1 is the float nearest to it.
        {"0.1", 0.1f}, {"16777217", 16777216.0f},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(floatValue(std::string(c.text)), c.want) << '"' << c.text << '"';
    }
    EXPECT_EQ(floatValue(Text{}), 0.0f);
}

TEST(IntValue, ReadsTheLeadingIntegerClampedToInt) {
    const struct {
        const char* text;
        int want;
    } cases[] = {
        // clang-format off
        {"  -17abc", -17}, {"+5", 5}, {"3.9", 3}, {"007", 7}, {"abc", 0}, {"", 0}, {"- 5", 0},
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483649", INT_MIN},
        {"99999999999999999999999999", INT_MAX},
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_EQ(intValue(std::string(c.text)), c.want) << c.text;
    EXPECT_EQ(intValue(Text{}), 0);
}

TEST(FormatAmount, MatchesPrintfWithAPointAndNoGrouping) {
    // The test process runs in the "C" locale, so printf is the reference here.
    auto printf = [](const char* fmt, double v) {
        char buf[512];
        std::snprintf(buf, sizeof buf, fmt, v);
        return std::string(buf);
    };
    EXPECT_EQ(formatAmount(1234567.0), "1234567.00");
    EXPECT_EQ(formatAmount(0.005f), "0.00");  // 0.005f widened is just below 0.005
    const double samples[] = {0.125, 2.675,  -1.005, 0.045, 1e15 + 0.125, 123456789.987,
                              -1e-9, -0.001, 2.5,    3.5,   1e20};
    for (double v : samples) {
        EXPECT_EQ(formatAmount(v), printf("%.2f", v)) << v;
        EXPECT_EQ(formatOneDecimal(v), printf("%.1f", v)) << v;
        EXPECT_EQ(formatAmount(float(v)), printf("%.2f", double(float(v)))) << v;
    }
    for (int i = -2000; i <= 2000; ++i) {
        ASSERT_EQ(formatAmount(i * 0.0137f), printf("%.2f", double(i * 0.0137f))) << i;
    }
}

TEST(FormatCount, UnsignedWithoutLeadingZeros) {
    EXPECT_EQ(formatCount(0), "0");
    EXPECT_EQ(formatCount(2014), "2014");
    EXPECT_EQ(formatCount(-1), "18446744073709551615");  // wraps as "%lu" does
}
