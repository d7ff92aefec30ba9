// The finds select by exact text: periods as written ("5", never "05"), weeks with their year.
#include "tests/storage/StoreFixture.h"

namespace {
using V = std::vector<std::string>;
V keys(const std::vector<SUserCommodity>& rs) {
    V out;
    for (const auto& r : rs) out.push_back(orEmpty(r.orderPrimaryKeyDate));
    return out;
}
V keys(const std::vector<SUserCommodityOrder>& rs) {
    V out;
    for (const auto& r : rs) out.push_back(orEmpty(r.orderItemPrimaryKeyDate));
    return out;
}
struct Case {
    const char* what;
    V got, want;
};
void check(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got, c.want);
    }
}
}  // namespace

using Finds = StoreFixture;

TEST_F(Finds, HeadersByPeriodMatchTheMonthAsWritten) {
    ASSERT_TRUE(headers.saveUserCommodity(header("may", "2015", "5", "9")));
    ASSERT_TRUE(headers.saveUserCommodity(header("buy", "2015", "5", "9", "11")));  // purchase
    SUserCommodity bare;  // no period: only in the full list
    bare.orderPrimaryKeyDate = "bare";
    bare.orderSalesAndPurchaseTags = "21";
    ASSERT_TRUE(headers.saveUserCommodity(bare));
    auto& h = headers;
    check({
        {"05", keys(h.findWithYearThingLike_findWithMonthThingLike("2015", "05")), {}},
        {"5", keys(h.findWithYearThingLike_findWithMonthThingLike("2015", "5")), {"buy", "may"}},
        {"profit",
         keys(
             h.findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
                 "2015", "5", "21")),
         {"may"}},
        {"inventory", keys(h.findAllInventoryBySalesAndPurchaseTagsLike("21")), {"bare", "may"}},
    });
}

TEST_F(Finds, WeekIsSelectedWithItsIsoWeekYear) {
    // 31 December 2014 is stored with year 2014 but lies in week 1 of 2015, not of 2014.
    auto dec31 = header("dec31", "2014", "12", "31");
    auto jan2 = header("jan2", "2014", "1", "2");
    auto nextYear = header("next", "2015", "1", "2");
    for (auto* h : {&dec31, &jan2, &nextYear}) {
        h->recordeWeekInYearTime = "1";
        ASSERT_TRUE(headers.saveUserCommodity(*h));
    }
    EXPECT_EQ(
        keys(
            headers
                .findChartWithYearThingLike_findWithWeeksThingLike_findWithSalesAndPurchaseTagsLike(
                    "2014", "1", "21")),
        (V{"jan2"}));
}

TEST_F(Finds, LinesMatchTheMonthAsWritten) {
    auto o = line("o2", "p1");
    o.orderItemYears = "2014";
    o.orderItemMonths = "5";
    ASSERT_TRUE(lines.saveUserCommodityOrder(o));
    auto& l = lines;
    check({
        {"month 5",
         keys(
             l.findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
                 "2014", "5", "p1")),
         {"o2"}},
        {"month 05",
         keys(
             l.findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
                 "2014", "05", "p1")),
         {}},
    });
}
