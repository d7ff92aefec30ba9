#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>

#include "storage/NumberText.h"

TEST(FloatValue, ReadsTheLeadingDecimalNumber) {
    EXPECT_FLOAT_EQ(floatValue(std::string("12kg")), 12.0f);
    EXPECT_FLOAT_EQ(floatValue(std::string(".5")), 0.5f);
    EXPECT_FLOAT_EQ(floatValue(std::string(" -3.5e2x")), -350.0f);
    EXPECT_FLOAT_EQ(floatValue(std::string("5.")), 5.0f);
    EXPECT_FLOAT_EQ(floatValue(std::string("+7.25")), 7.25f);
    EXPECT_FLOAT_EQ(floatValue(std::string("\t\n 12.50")), 12.5f);
    EXPECT_FLOAT_EQ(floatValue(std::string("1.5E-3")), 0.0015f);
    EXPECT_FLOAT_EQ(floatValue(std::string("2e+2")), 200.0f);
    EXPECT_FLOAT_EQ(floatValue(std::string("0012")), 12.0f);
}

TEST(FloatValue, AnIncompleteExponentIsIgnored) {
    EXPECT_FLOAT_EQ(floatValue(std::string("1e")), 1.0f);
    EXPECT_FLOAT_EQ(floatValue(std::string("1e+")), 1.0f);
    EXPECT_FLOAT_EQ(floatValue(std::string("2.5E-x")), 2.5f);
}

TEST(FloatValue, TextWithoutANumberIsZero) {
    EXPECT_EQ(floatValue(std::string("abc")), 0.0f);
    EXPECT_EQ(floatValue(std::string("")), 0.0f);
    EXPECT_EQ(floatValue(std::string("   ")), 0.0f);
    EXPECT_EQ(floatValue(std::string(".")), 0.0f);
    EXPECT_EQ(floatValue(std::string("-")), 0.0f);
    EXPECT_EQ(floatValue(std::string("+.e5")), 0.0f);
    EXPECT_EQ(floatValue(std::string("e5")), 0.0f);
    EXPECT_EQ(floatValue(Text{}), 0.0f);
}

TEST(FloatValue, RejectsHexInfinityAndNan) {
    EXPECT_EQ(floatValue(std::string("0x1A")), 0.0f);  // the 0 before the x only
    EXPECT_EQ(floatValue(std::string("inf")), 0.0f);
    EXPECT_EQ(floatValue(std::string("-infinity")), 0.0f);
    EXPECT_EQ(floatValue(std::string("nan")), 0.0f);
}

TEST(FloatValue, CommaIsNotADecimalPoint) {
    EXPECT_FLOAT_EQ(floatValue(std::string("3,75")), 3.0f);
}

TEST(FloatValue, OutOfRangeBehavesLikeTheCLibrary) {
    EXPECT_EQ(floatValue(std::string("1e39")), std::numeric_limits<float>::infinity());
    EXPECT_EQ(floatValue(std::string("-1e400")), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(floatValue(std::string("99999999999999999999999999999999999999999")),
              std::numeric_limits<float>::infinity());
    EXPECT_EQ(floatValue(std::string("1e-60")), 0.0f);
    EXPECT_EQ(floatValue(std::string("0.0000001e-50")), 0.0f);
    EXPECT_EQ(floatValue(std::string("1e99999999999999999999")),
              std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(floatValue(std::string("3.4e38")), 3.4e38f);
}

TEST(FloatValue, RoundsLikeSinglePrecision) {
    // The sums of the system are single precision: 0.1 must be the float nearest to it.
    EXPECT_EQ(floatValue(std::string("0.1")), 0.1f);
    EXPECT_EQ(floatValue(std::string("16777217")), 16777216.0f);
}

TEST(IntValue, ReadsTheLeadingInteger) {
    EXPECT_EQ(intValue(std::string("42")), 42);
    EXPECT_EQ(intValue(std::string("  -17abc")), -17);
    EXPECT_EQ(intValue(std::string("+5")), 5);
    EXPECT_EQ(intValue(std::string("3.9")), 3);
    EXPECT_EQ(intValue(std::string("2014")), 2014);
    EXPECT_EQ(intValue(std::string("007")), 7);
    EXPECT_EQ(intValue(std::string("abc")), 0);
    EXPECT_EQ(intValue(std::string("")), 0);
    EXPECT_EQ(intValue(std::string("- 5")), 0);
    EXPECT_EQ(intValue(Text{}), 0);
    EXPECT_EQ(intValue(Text{"12"}), 12);
}

TEST(IntValue, ClampsToTheIntRange) {
    EXPECT_EQ(intValue(std::string("2147483647")), INT_MAX);
    EXPECT_EQ(intValue(std::string("2147483648")), INT_MAX);
    EXPECT_EQ(intValue(std::string("-2147483648")), INT_MIN);
    EXPECT_EQ(intValue(std::string("-2147483649")), INT_MIN);
    EXPECT_EQ(intValue(std::string("99999999999999999999999999")), INT_MAX);
}

namespace {
std::string printfFormat(const char* fmt, double v) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}
}  // namespace

TEST(FormatAmount, TwoDecimalsWithAPoint) {
    EXPECT_EQ(formatAmount(12.5f), "12.50");
    EXPECT_EQ(formatAmount(0.0f), "0.00");
    EXPECT_EQ(formatAmount(-3.0f), "-3.00");
    EXPECT_EQ(formatAmount(1234567.0), "1234567.00");  // no grouping
    EXPECT_EQ(formatAmount(-0.001), "-0.00");
    EXPECT_EQ(formatAmount(0.005), "0.01");
    // 0.005f widened is just below 0.005.
    EXPECT_EQ(formatAmount(0.005f), "0.00");
    EXPECT_EQ(formatAmount(1e20f), printfFormat("%.2f", double(1e20f)));
}

TEST(FormatAmount, MatchesPrintfOnAWideSpreadOfValues) {
    // The test process runs in the "C" locale, so printf is the reference here.
    const double samples[] = {0.125,         0.375,       2.675, 1.005, -1.005, 0.045, 1e15 + 0.125,
                              123456789.987, -98765.4321, 1e-9,  -1e-9, 5e-3,   2.5,   3.5};
    for (double v : samples) {
        EXPECT_EQ(formatAmount(v), printfFormat("%.2f", v)) << v;
        EXPECT_EQ(formatOneDecimal(v), printfFormat("%.1f", v)) << v;
        const float f = static_cast<float>(v);
        EXPECT_EQ(formatAmount(f), printfFormat("%.2f", double(f))) << v;
    }
    for (int i = -2000; i <= 2000; ++i) {
        const float f = i * 0.0137f;
        ASSERT_EQ(formatAmount(f), printfFormat("%.2f", double(f))) << i;
    }
}

TEST(FormatCount, UnsignedWithoutLeadingZeros) {
    EXPECT_EQ(formatCount(0), "0");
    EXPECT_EQ(formatCount(5), "5");
    EXPECT_EQ(formatCount(2014), "2014");
    // A negative value wraps as "%lu" does.
    EXPECT_EQ(formatCount(-1), "18446744073709551615");
}
