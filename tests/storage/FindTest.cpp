// The finds select by exact text: codes, periods and keys.
#include "tests/storage/StoreFixture.h"

namespace {
SSupplierOrCustomers partner(const std::string& name, const std::string& tag) {
    SSupplierOrCustomers p;
    p.supplierOrCustomersName = name;
    p.supplierOrCustomersNameKey = "key-" + name;
    p.supplierOrCustomersTags = tag;
    return p;
}

template <class R, class F>
std::vector<std::string> pick(const std::vector<R>& rs, F field) {
    std::vector<std::string> out;
    for (const auto& r : rs) out.push_back(orEmpty(r.*field));
    return out;
}
using V = std::vector<std::string>;
}  // namespace

using Finds = StoreFixture;

TEST_F(Finds, PartnerTagsMatchExactly) {
    ASSERT_TRUE(partners.saveSupplierOrCustomers(partner("s1", "000")));
    ASSERT_TRUE(partners.saveSupplierOrCustomers(partner("c1", "111")));
    ASSERT_TRUE(partners.saveSupplierOrCustomers(partner("zero", "0")));
    ASSERT_TRUE(partners.saveSupplierOrCustomers(partner("blank", " 000")));
    ASSERT_TRUE(partners.saveSupplierOrCustomers(partner("s2", "000")));
    const auto name = &SSupplierOrCustomers::supplierOrCustomersName;
    EXPECT_EQ(pick(partners.findWithSupplierOrCustomersTagsLike("000"), name), (V{"s2", "s1"}));
    EXPECT_EQ(pick(partners.findWithSupplierOrCustomersTagsLike("0"), name), (V{"zero"}));
    EXPECT_TRUE(partners.findWithSupplierOrCustomersTagsLike("222").empty());
    EXPECT_EQ(pick(partners.findWithSupplierOrCustomersKeyLike("key-c1"), name), (V{"c1"}));
    EXPECT_TRUE(partners.findWithSupplierOrCustomersKeyLike("key-nobody").empty());
    EXPECT_EQ(partners.findWithSupplierOrCustomersExistsLike("blank").size(), 1u);
}

TEST_F(Finds, MonthIsMatchedAsWrittenWithoutLeadingZero) {
    ASSERT_TRUE(headers.saveUserCommodity(header("may", "2015", "5", "9")));
    ASSERT_TRUE(headers.saveUserCommodity(header("buy", "2015", "5", "9", "11")));
    const auto key = &SUserCommodity::orderPrimaryKeyDate;
    EXPECT_TRUE(headers.findWithYearThingLike_findWithMonthThingLike("2015", "05").empty());
    EXPECT_EQ(pick(headers.findWithYearThingLike_findWithMonthThingLike("2015", "5"), key),
              (V{"buy", "may"}));
    EXPECT_EQ(pick(headers.findChartWithYearThingLike_findWithMonthThingLike("2015", "5"), key),
              (V{"buy", "may"}));
    EXPECT_EQ(
        pick(
            headers
                .findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
                    "2015", "5", "21"),
            key),
        (V{"may"}));
    EXPECT_EQ(
        pick(
            headers
                .findWithHomePageYearThingLike_findWithHomePageMonthThingLike_findWithHomePageUSER_INOrOUTTags(
                    "2015", "5", "000"),
            key),
        (V{"buy"}));
    EXPECT_EQ(
        pick(
            headers
                .findProfitWithYearThingLike_findProfitWithMonthThingLike_findWithThingToday_findProfitWithSalesAndPurchaseTagsLike(
                    "2015", "5", "9", "11"),
            key),
        (V{"buy"}));
    EXPECT_TRUE(
        headers
            .findChartWithYearThingLike_findWithMonthThingLike_findWithThingToday_findWithSalesAndPurchaseTagsLike(
                "2015", "5", "09", "11")
            .empty());
    EXPECT_EQ(
        headers.findWithYearThingLike_findWithMonthThingLike_findWithThingToday("2015", "5", "9")
            .size(),
        2u);
    EXPECT_EQ(pick(headers.findWithYearThingLike_findWithMonthThingLike_findWithSalesCategoryCounts(
                       "2015", "5", "Purchase"),
                   key),
              (V{"buy"}));
    EXPECT_EQ(pick(headers.exportCSVDataForPurchaseOrReturn("Sale"), key), (V{"may"}));
    EXPECT_EQ(pick(headers.findAllInventoryBySalesAndPurchaseTagsLike("11"), key), (V{"buy"}));
    EXPECT_EQ(
        pick(headers.findChartWithYearsLike_findProfitWithSalesAndPurchaseTagsLike("2015", "21"),
             key),
        (V{"may"}));
}

TEST_F(Finds, HeaderWithoutPeriodIsOnlyInTheFullList) {
    SUserCommodity bare;
    bare.orderPrimaryKeyDate = "bare";
    bare.orderSalesAndPurchaseTags = "21";
    ASSERT_TRUE(headers.saveUserCommodity(bare));
    EXPECT_TRUE(
        headers.findChartWithYearsLike_findProfitWithSalesAndPurchaseTagsLike(std::nullopt, "21")
            .empty());
    EXPECT_TRUE(
        headers.findWithYearThingLike_findWithMonthThingLike(std::nullopt, std::nullopt).empty());
    EXPECT_TRUE(headers.findWithYearThingLike_findWithMonthThingLike("", "").empty());
    EXPECT_EQ(headers.findAllInventoryBySalesAndPurchaseTagsLike("21").size(), 1u);
    EXPECT_EQ(headers.findWithUid_limit(std::nullopt, 10000).size(), 1u);
}

TEST_F(Finds, WeekIsSelectedWithItsYear) {
    auto dec31 = header("dec31", "2014", "12", "31");
    dec31.recordeWeekInYearTime = "1";
    auto jan2 = header("jan2", "2014", "1", "2");
    jan2.recordeWeekInYearTime = "1";
    auto nextYear = header("next", "2015", "1", "2");
    nextYear.recordeWeekInYearTime = "1";
    for (const auto& h : {dec31, jan2, nextYear}) ASSERT_TRUE(headers.saveUserCommodity(h));
    EXPECT_EQ(
        pick(
            headers
                .findChartWithYearThingLike_findWithWeeksThingLike_findWithSalesAndPurchaseTagsLike(
                    "2014", "1", "21"),
            &SUserCommodity::orderPrimaryKeyDate),
        (V{"jan2", "dec31"}));
}

TEST_F(Finds, SameOrderKeySavedTwiceGivesTwoRows) {
    ASSERT_TRUE(headers.saveUserCommodity(header("20150509160250", "2015", "5", "9")));
    ASSERT_TRUE(headers.saveUserCommodity(header("20150509160250", "2015", "5", "9")));
    auto both = headers.findWithYearThingLike_findWithMonthThingLike("2015", "5");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(pick(both, &SUserCommodity::uid), (V{"2", "1"}));
}

TEST_F(Finds, LinesByOrderProductAndPeriod) {
    EXPECT_TRUE(lines.findWithSalesAndPurchasePrimaryKeyDateLike("new").empty());
    ASSERT_TRUE(lines.saveUserCommodityOrder(line("new", "p1")));
    EXPECT_EQ(lines.findWithSalesAndPurchasePrimaryKeyDateLike("new").size(), 1u);

    auto old = line("o2", "p1", "11");
    old.orderItemProductName = "Old name";
    old.orderItemYears = "2014";
    old.orderItemMonths = "5";
    old.orderItemWeekInYearTime = "19";
    ASSERT_TRUE(lines.saveUserCommodityOrder(old));
    auto other = line("o3", "p2", "11");
    other.orderItemYears = "2015";
    other.orderItemMonths = "5";
    other.orderItemWeekInYearTime = "19";
    ASSERT_TRUE(lines.saveUserCommodityOrder(other));

    const auto order = &SUserCommodityOrder::orderItemPrimaryKeyDate;
    EXPECT_EQ(pick(lines.findWithOrderItemProductName("name of p1"), order), (V{"new"}));
    EXPECT_EQ(pick(lines.findWithExistOrderItemProductNameLike("Old name"), order), (V{"o2"}));
    EXPECT_EQ(pick(lines.findWithSalesAndPurchaseNameUpdateKeyDateLike("p1"), order),
              (V{"o2", "new"}));
    EXPECT_EQ(
        pick(lines.findWithOrderItemProductNameKey_findWithSalesAndPurchaseTags("p1", "11"), order),
        (V{"o2"}));
    EXPECT_EQ(pick(lines.findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithSalesAndPurchaseTags(
                       "p1", "21"),
                   order),
              (V{"new"}));
    EXPECT_EQ(pick(lines.findALLDataBySalesAndPurchaseTags("11"), order), (V{"o3", "o2"}));
    EXPECT_EQ(
        pick(
            lines
                .findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
                    "2014", "5", "p1"),
            order),
        (V{"o2"}));
    EXPECT_TRUE(
        lines
            .findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
                "2014", "05", "p1")
            .empty());
    EXPECT_EQ(
        lines
            .findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
                "2014", "5", "p1", "Purchase")
            .size(),
        1u);
    EXPECT_EQ(
        lines.findWithYearThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike("2015", "p2")
            .size(),
        1u);
    EXPECT_TRUE(
        lines
            .findWithYearThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
                "2014", "p1", "Sale")
            .empty());
    // Week finds take no year.
    EXPECT_EQ(lines.findWithWeekThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike("19", "p1")
                  .size(),
              1u);
    EXPECT_EQ(
        lines
            .findWithWeekThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
                "19", "p2", "Purchase")
            .size(),
        1u);
}

TEST_F(Finds, ProductsAndCategoriesByKeyAndName) {
    SProductsNameSub p;
    p.productPrimaryKey = "cat1";
    p.productSubName = "Green";
    p.productSubNameKey = "k1";
    ASSERT_TRUE(products.saveProductNameSub(p));
    p.productPrimaryKey = "cat2";
    p.productSubNameKey = "k2";
    ASSERT_TRUE(products.saveProductNameSub(p));
    const auto key = &SProductsNameSub::productSubNameKey;
    EXPECT_EQ(pick(products.findWithProductNameSubExistsLike_findWithProductPrimaryKeyLike("Green",
                                                                                           "cat2"),
                   key),
              (V{"k2"}));
    EXPECT_EQ(pick(products.findWithProductPrimaryKeyLike("cat1"), key), (V{"k1"}));
    EXPECT_TRUE(products.deleteProductPrimaryKey("cat1"));
    EXPECT_TRUE(products.deleteProductWithNameSubKeyDate("k9"));
    EXPECT_EQ(pick(products.findWithUid_limit(std::nullopt, 10), key), (V{"k2"}));

    SProductsNameType c{std::nullopt, "PK", "Tea", "NK", "IX"};
    ASSERT_TRUE(categories.saveProductsNameType(c));
    EXPECT_EQ(categories.findWithProductsNameTypeKeyLike("NK").size(), 1u);
    EXPECT_EQ(categories.findWithProductsTypePrimaryKeyLike("PK").size(), 1u);
    EXPECT_TRUE(categories.deleteProductsNameTypeKey("NK"));
    EXPECT_TRUE(categories.findWithProductsTypePrimaryKeyLike("PK").empty());
}
