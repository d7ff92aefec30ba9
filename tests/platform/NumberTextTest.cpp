#include <gtest/gtest.h>

#include <limits>
#include <ranges>

#include "storage/DecimalSum.h"
#include "storage/NumberText.h"

// Both readings of a stored number take the same leading number: single precision for the
// typing screens, exact millionths for every sum.
TEST(LeadingNumber, ReadsTheSameNumberAsAFloatAndAsExactMillionths) {
    const float inf = std::numeric_limits<float>::infinity();
    const DecimalSum::Units e21 = DecimalSum::Units{1000000000000000} * 1000000;  // 10^15
    const std::string nines(400, '9');  // typed into a field before typing was limited
    const struct {
        const char* text;
        float asFloat;
        DecimalSum::Units millionths;
    } cases[] = {
        // clang-format off
        {"12kg", 12, 12000000}, {" -3.5e2x", -350, -350000000}, {".5", 0.5f, 500000}, {"", 0, 0},
        {"5.", 5, 5000000}, {"+7.25", 7.25f, 7250000}, {"\t\n 12.50", 12.5f, 12500000},
        {"1.5E-3", 0.0015f, 1500}, {"0012", 12, 12000000}, {"abc", 0, 0}, {"   ", 0, 0},
        // An incomplete exponent is ignored.
        {"1e", 1, 1000000}, {"1e+", 1, 1000000}, {"2.5E-x", 2.5f, 2500000},
        {".", 0, 0}, {"-", 0, 0}, {"+.e5", 0, 0}, {"e5", 0, 0},
        // No hex, infinity or nan; a comma is not a decimal point.
        {"0x1A", 0, 0}, {"inf", 0, 0}, {"-infinity", 0, 0}, {"nan", 0, 0}, {"3,75", 3, 3000000},
        // Beyond ±10^15 a sum takes 0; the float goes to infinity or stays large.
        {"1e39", inf, 0}, {"-1e400", -inf, 0}, {"1e99999999999999999999", inf, 0},
        {"3.4e38", 3.4e38f, 0}, {"1000000000000000.01", 1e15f, 0}, {"0.2e16", 2e15f, 0},
        {nines.c_str(), inf, 0},
        {"1e15", 1e15f, e21}, {"-0.001e18", -1e15f, -e21}, {"1e-60", 0, 0},
        // Single precision keeps 24 bits; millionths keep six decimals and drop the rest.
        {"0.1", 0.1f, 100000}, {"16777217", 16777216.0f, 16777217000000},
        {"0.0000009", 9e-7f, 0}, {"-2.0000019e0", -2.0000019f, -2000001},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE('"' + std::string(c.text) + '"');
        EXPECT_EQ(floatValue(std::string(c.text)), c.asFloat);
        EXPECT_TRUE(DecimalSum::unitsOf(c.text) == c.millionths);
    }
    EXPECT_EQ(floatValue(Text{}), 0.0f);
}

TEST(DecimalSum, AddsExactlyAndRoundsHalfAwayFromZeroToCents) {
    const std::pair<const char*, const char*> cases[] = {
        // addends separated by '|'
        // clang-format off
        {"", "0.00"}, {"0.005", "0.01"}, {"-0.005", "-0.01"}, {"0.0049999999", "0.00"},
        {"-0.004", "0.00"}, {"2.675", "2.68"},  // "%.2f" of the double 2.675 gives 2.67
        {"12.50|box|-0.25|inf|1e39", "12.25"}, {"1e15|1e15|1e15|0.01", "3000000000000000.01"},
        {"-1e15|-1e15|-1e15", "-3000000000000000.00"},
        // clang-format on
    };
    for (const auto& [texts, want] : cases) {
        DecimalSum sum;
        for (const auto part : std::views::split(std::string_view(texts), '|'))
            sum.add(std::string_view(part.begin(), part.end()));
        EXPECT_EQ(sum.text(), want) << texts;
    }
    DecimalSum tenThousand, threeThousand;  // as whole ledgers hold them
    for (int i = 0; i < 10000; ++i) tenThousand.add(Text("0.10"));
    for (int i = 0; i < 3000; ++i) threeThousand.add(TextView("5432.17"));
    EXPECT_EQ(tenThousand.text() + " " + threeThousand.text() + " " +
                  (tenThousand - threeThousand).text(),
              "1000.00 16296510.00 -16295510.00");
}
