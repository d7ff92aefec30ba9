// Every screen figure that is computed from columns or in one pass equals the straightforward
// computation: the store finds' record lists summed in list order. The ledger is a small
// generated one (pinned clock: Saturday 9 May 2015, Madrid) with a few hand-made oddities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "bench/LedgerGenerator.h"
#include "exchange/CSVExport.h"
#include "orders/CreateOrEditSalesAccountVC.h"
#include "stats/ALLInventoryViewController.h"
#include "stats/HomeStatisticsViewController.h"
#include "storage/LedgerFigures.h"
#include "storage/NumberText.h"
#include "storage/SDBManager.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/support/AppHarness.h"

namespace {

template <class List, class Field>
std::string sumText(const List& records, Field field) {
    float sum = 0;
    for (const auto& r : records) sum += floatValue(r.*field);
    return formatAmount(sum);
}

template <class List, class Field>
std::string reverseSumText(const List& records, Field field) {
    float sum = 0;
    for (auto it = records.rbegin(); it != records.rend(); ++it) sum += floatValue((*it).*field);
    return formatAmount(sum);
}

class FastPaths : public AppHarness {
  protected:
    // The generated ledger is made once and copied for each case.
    static std::string& templateDir() {
        static std::string dir;
        return dir;
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        if (!templateDir().empty()) std::filesystem::remove_all(templateDir(), ec);
        templateDir().clear();
    }

    void SetUp() override {
        AppHarness::SetUp();
        const std::string file = dataDir_ + "/voice.sqlite";
        if (templateDir().empty()) {
            // Enough orders that a month's single-precision sums depend on the order of
            // adding.
            LedgerParams p = LedgerParams::small();
            p.orders = 1500;
            p.days = 70;
            const auto lastDay = ConstParameterAndMethod::parse("2015/05/09", "yyyy/MM/dd");
            ASSERT_TRUE(lastDay);
            ASSERT_TRUE(LedgerGenerator(p).generate(*lastDay));
            SDBManager::close();
            char tmpl[] = "/tmp/mk-perf-ledger-XXXXXX";
            ASSERT_NE(mkdtemp(tmpl), nullptr);
            templateDir() = tmpl;
            std::filesystem::copy_file(file, templateDir() + "/voice.sqlite");
        } else {
            std::filesystem::copy_file(templateDir() + "/voice.sqlite", file);
        }
        addOddities();
        start();
    }

    // Rows a foreign or older writer may have left: texts that are not plain numbers, kinds
    // that only the history knows, absent keys, a product sharing another's name.
    void addOddities() {
        SUserCommodityOrderDB lines;
        auto products = SProductsNameSubDB().findWithUid_limit(std::nullopt, 100000);
        ASSERT_GE(products.size(), 2u);
        auto line = [&](Text key, Text tag, Text qty) {
            SUserCommodityOrder l;
            l.orderItemPrimaryKeyDate = "20150509100000";
            l.orderItemProductNameKey = key;
            l.orderItemProductName = "odd";
            l.orderItemSalesAndPurchaseTags = tag;
            l.orderItemQuantity = qty;
            l.orderItemYears = "2015";
            l.orderItemMonths = "5";
            ASSERT_TRUE(lines.saveUserCommodityOrder(l));
        };
        line(products[0].productSubNameKey, "11", "12kg");
        line(products[0].productSubNameKey, "21", " -3.25e1x");
        line(products[0].productSubNameKey, "12", "100");
        line(products[1].productSubNameKey, "22", "7");
        line(products[1].productSubNameKey, std::nullopt, "9");
        line(std::nullopt, "11", "5");
        line(products[1].productSubNameKey, "11", std::nullopt);

        SProductsNameSub twin = products[0];
        twin.productSubUid.reset();
        twin.productSubNameKey = "20150101000000";  // same name, own key, no lines
        ASSERT_TRUE(SProductsNameSubDB().saveProductNameSub(twin));
        SProductsNameSub keyless = products[1];
        keyless.productSubUid.reset();
        keyless.productSubNameKey.reset();
        ASSERT_TRUE(SProductsNameSubDB().saveProductNameSub(keyless));

        SUserCommodity h;
        h.years = "2015";
        h.months = "5";
        h.days = "9";
        h.recordeWeekInYearTime = "19";
        h.orderSalesAndPurchaseTags = "21";
        h.orderSalesTagOrPurchaseTag = "111";
        h.orderSupplierOrCustomerNameKey = "no such partner";
        h.orderSupplierOrCustomerName = "Gone Ltd";
        h.orderTotalAmount = "1e3";
        h.orderTotalCounts = "abc";
        h.orderTotalEntrys = "2";
        ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(h));
        h.months = "05";  // found by no month find
        ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(h));
    }

    std::vector<std::string> statisticsTotals() {
        return {labelText("showIncomeValueText"), labelText("showOrderTotalCountsValueText"),
                labelText("showOrderTotalEntrysValueText")};
    }
    static std::vector<std::string> expectedTotals(const SUserCommodityDB::List& orders) {
        return {sumText(orders, &SUserCommodity::orderTotalAmount),
                sumText(orders, &SUserCommodity::orderTotalCounts),
                sumText(orders, &SUserCommodity::orderTotalEntrys)};
    }
};

}  // namespace

TEST_F(FastPaths, GeneratedLedgerIsLargeEnoughThatTheOrderOfAddingShows) {
    // Guards the other cases: on this ledger summing in the wrong order changes some text.
    SUserCommodityDB orders;
    bool differs = false;
    for (const char* month : {"3", "4", "5"}) {
        for (const char* kind : {"11", "21"}) {
            auto list =
                orders
                    .findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
                        "2015", month, kind);
            EXPECT_FALSE(list.empty());
            differs = differs || sumText(list, &SUserCommodity::orderTotalAmount) !=
                                     reverseSumText(list, &SUserCommodity::orderTotalAmount);
        }
    }
    auto sold = SUserCommodityOrderDB().findALLDataBySalesAndPurchaseTags("21");
    differs = differs || sumText(sold, &SUserCommodityOrder::orderItemQuantity) !=
                             reverseSumText(sold, &SUserCommodityOrder::orderItemQuantity);
    EXPECT_TRUE(differs);
}

TEST_F(FastPaths, DashboardFiguresEqualTheFindsSummed) {
    SUserCommodityDB orders;
    SUserCommodityOrderDB lines;
    auto day = [&](const char* kind) {
        return sumText(
            orders
                .findProfitWithYearThingLike_findProfitWithMonthThingLike_findWithThingToday_findProfitWithSalesAndPurchaseTagsLike(
                    "2015", "5", "9", kind),
            &SUserCommodity::orderTotalAmount);
    };
    auto month = [&](const char* kind) {
        return sumText(
            orders
                .findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
                    "2015", "5", kind),
            &SUserCommodity::orderTotalAmount);
    };
    float purchased = 0, sold = 0;
    for (const auto& l : lines.findALLDataBySalesAndPurchaseTags("11"))
        purchased += floatValue(l.orderItemQuantity);
    for (const auto& l : lines.findALLDataBySalesAndPurchaseTags("21"))
        sold += floatValue(l.orderItemQuantity);

    EXPECT_EQ(labelText("showTodayPurchaseValueText"), day("11"));
    EXPECT_EQ(labelText("showTodaySalesValueText"), day("21"));
    EXPECT_EQ(labelText("showMonthPurchaseValueText"), month("11"));
    EXPECT_EQ(labelText("showMonthSalesValueText"), month("21"));
    EXPECT_EQ(labelText("showMyOrderQtyValueText"),
              formatCount(static_cast<long>(orders.findWithUid_limit(std::nullopt, 10000).size())));
    EXPECT_EQ(labelText("showMyInventoryQtyValueText"), formatAmount(purchased - sold));
    EXPECT_NE(labelText("showTodaySalesValueText"), "0.00");
    EXPECT_NE(labelText("showMonthPurchaseValueText"), "0.00");
}

TEST_F(FastPaths, JournalMonthsEqualTheFindsSummedWithEachRowsPartner) {
    SSupplierOrCustomersDB partners;
    for (const char* bar : {"jumpOutItems2Event", "jumpInItems2Event"}) {
        ASSERT_TRUE(tap(bar));
        const std::string side = std::string(bar) == "jumpOutItems2Event" ? "111" : "000";
        for (const char* month : {"5", "4", "3"}) {
            ASSERT_EQ(labelText("MonthLbl"), month);
            auto list =
                SUserCommodityDB()
                    .findWithHomePageYearThingLike_findWithHomePageMonthThingLike_findWithHomePageUSER_INOrOUTTags(
                        "2015", month, side);
            ASSERT_FALSE(list.empty());
            EXPECT_EQ(labelText("showProductQtyValueText"),
                      sumText(list, &SUserCommodity::orderTotalCounts));
            EXPECT_EQ(labelText("showOrderItemsValueText"),
                      sumText(list, &SUserCommodity::orderTotalEntrys));
            EXPECT_EQ(labelText("showOrderTotalAmountValueText"),
                      sumText(list, &SUserCommodity::orderTotalAmount));
            const auto& rows = top()->get<TableView>("tableView")->rows;
            ASSERT_EQ(rows.size(), list.size());
            for (size_t i = 0; i < list.size(); ++i) {
                auto found = partners.findWithSupplierOrCustomersKeyLike(
                    list[i].orderSupplierOrCustomerNameKey);
                const Text name = found.empty() ? list[i].orderSupplierOrCustomerName
                                                : found.front().supplierOrCustomersName;
                const SUserCommodity& o = list[i];
                auto& row = const_cast<TableRow&>(rows[i]);
                EXPECT_EQ(row.field("showOrderDateLbl")->text, orEmpty(o.recordeDateTime) + "," +
                                                                   orEmpty(o.minutesTime) + " " +
                                                                   orEmpty(o.recordeWeekTime));
                EXPECT_EQ(row.field("showOrderNameValueText")->text, orEmpty(o.orderName));
                EXPECT_EQ(row.field("showOrderSupAndCusValueText")->text, orEmpty(name));
                EXPECT_EQ(row.field("showOrderEntryValueText")->text, orEmpty(o.orderTotalEntrys));
                EXPECT_EQ(row.field("showOrderAmountValueText")->text, orEmpty(o.orderTotalAmount));
                EXPECT_EQ(row.field("showOrderTypeLbl")->text,
                          orEmpty(o.orderSalesAndPurchaseType));
            }
            // The order opened from a row is that row's header, whole.
            const size_t pick = list.size() / 2;
            ASSERT_TRUE(selectRow("tableView", static_cast<int>(pick)));
            auto* editor = topAs<CreateOrEditSalesAccountVC>();
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->createItemUid, list[pick].uid);
            EXPECT_EQ(editor->createItemPrimaryKey, list[pick].orderPrimaryKeyDate);
            EXPECT_EQ(editor->createItemNotes, list[pick].remarkNotes);
            EXPECT_EQ(editor->createItemWeekInYearTime, list[pick].recordeWeekInYearTime);
            EXPECT_EQ(editor->createItemDayStr, list[pick].days);
            nav().popViewControllerAnimated(false);
            nav().drain();
            // Shown again, the journal is back at the present month: step to this one again.
            ASSERT_EQ(labelText("MonthLbl"), "5");
            for (int back = 0; labelText("MonthLbl") != month && back < 3; ++back)
                ASSERT_TRUE(tap("backwardEvent"));
            ASSERT_TRUE(tap("backwardEvent"));
        }
        ASSERT_TRUE(tap("backSalesEvent"));
    }
}

TEST_F(FastPaths, JournalRowOfAPartnerNoLongerStoredShowsTheCopiedName) {
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    const auto& rows = top()->get<TableView>("tableView")->rows;
    int gone = 0;
    for (const auto& row : rows) {
        auto& r = const_cast<TableRow&>(row);
        if (r.field("showOrderSupAndCusValueText")->text == "Gone Ltd") ++gone;
    }
    EXPECT_EQ(gone, 1);  // the order of month "05" is in no month
}

TEST_F(FastPaths, InventoryRowsEqualTheFindsByKeySummed) {
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    auto* screen = topAs<ALLInventoryViewController>();
    ASSERT_NE(screen, nullptr);
    SUserCommodityOrderDB lines;
    const auto& products = screen->categoryListArray;
    ASSERT_EQ(products.size(), SProductsNameSubDB().findWithUid_limit(std::nullopt, 100000).size());
    ASSERT_GT(products.size(), 30u);
    int withLines = 0;
    for (size_t i = 0; i < products.size(); ++i) {
        const Text& key = products[i].productSubNameKey;
        const auto all = lines.findWithSalesAndPurchaseNameUpdateKeyDateLike(key);
        const auto sold =
            lines.findWithOrderItemProductNameKey_findWithSalesAndPurchaseTags(key, "21");
        const auto bought =
            lines.findWithOrderItemProductNameKey_findWithSalesAndPurchaseTags(key, "11");
        float s = 0, b = 0;
        for (const auto& l : sold) s += floatValue(l.orderItemQuantity);
        for (const auto& l : bought) b += floatValue(l.orderItemQuantity);
        SCOPED_TRACE(orEmpty(products[i].productSubName));
        EXPECT_EQ(screen->categorysNameItemsArray[i], formatCount(static_cast<long>(all.size())));
        EXPECT_EQ(screen->userSalesCountsArray[i], formatAmount(s));
        EXPECT_EQ(screen->userPurchaseCountsArray[i], formatAmount(b));
        EXPECT_EQ(screen->userInventoryCountsArray[i], formatAmount(b - s));
        if (!all.empty()) ++withLines;
    }
    EXPECT_GT(withLines, 25);
}

TEST_F(FastPaths, ProductHistoryRowsAreTheMonthFindsLines) {
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    auto* stats = topAs<ALLInventoryViewController>();
    const auto products = stats->categoryListArray;
    // The oldest generated product (last row) has lines in several months.
    const int row = static_cast<int>(products.size()) - 1;
    ASSERT_TRUE(selectRow("tableView", row));
    for (const char* month : {"5", "4", "3"}) {
        const auto expected =
            SUserCommodityOrderDB()
                .findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
                    "2015", month, products[static_cast<size_t>(row)].productSubNameKey);
        auto& rows = top()->get<TableView>("tableView")->rows;
        ASSERT_EQ(rows.size(), expected.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            const std::string tag = orEmpty(expected[i].orderItemSalesAndPurchaseTags);
            const bool bought = tag == "11" || tag == "12";
            EXPECT_EQ(rows[i].field("showTypeCell")->color, bought ? "green" : "red");
            EXPECT_EQ(rows[i].field("showModelValueCell")->text,
                      orEmpty(expected[i].orderItemModel));
            EXPECT_EQ(rows[i].field("showDateTimeCell")->text,
                      orEmpty(expected[i].orderItemDateTime) + "," +
                          orEmpty(expected[i].orderItemMinutesTime));
            EXPECT_EQ(rows[i].field("showTotalValueCell")->text,
                      orEmpty(expected[i].orderItemTotalAmount) + " (" +
                          orEmpty(expected[i].orderItemQuantity) +
                          orEmpty(expected[i].orderItemUnit) + " x " +
                          orEmpty(expected[i].orderItemUnitPrice) + ")");
        }
        ASSERT_TRUE(tap("backwardEvent"));
    }
}

TEST_F(FastPaths, StatisticsTotalsOfEveryKindAndTheMonthBucketsEqualTheFindsSummed) {
    SUserCommodityDB orders;
    auto segment = [&](int index) {
        UIEvent e;
        e.type = "segment";
        e.id = "segmentView";
        e.index = index;
        return send(e);
    };
    for (int chooser : {0, 1}) {
        ASSERT_TRUE(tap("showOrderStatisticsEvent"));
        auto* s = topAs<HomeStatisticsViewController>();
        ASSERT_NE(s, nullptr);
        ASSERT_TRUE(tap("choseEvent"));
        ASSERT_TRUE(sheet(chooser));
        const char* kind = chooser == 0 ? "21" : "11";

        ASSERT_TRUE(segment(0));
        EXPECT_EQ(
            statisticsTotals(),
            expectedTotals(
                orders
                    .findChartWithYearThingLike_findWithMonthThingLike_findWithThingToday_findWithSalesAndPurchaseTagsLike(
                        "2015", "5", "9", kind)));
        ASSERT_TRUE(segment(1));
        for (int step = 0; step < 3; ++step) {
            const std::string week = labelText("WeeksLbl");
            EXPECT_EQ(
                statisticsTotals(),
                expectedTotals(
                    orders
                        .findChartWithYearThingLike_findWithWeeksThingLike_findWithSalesAndPurchaseTagsLike(
                            "2015", week, kind)))
                << "week " << week;
            ASSERT_TRUE(tap("lastMonthDataEvent"));
        }
        ASSERT_TRUE(segment(2));
        for (const char* month : {"5", "4", "3"}) {
            EXPECT_EQ(labelText("oldMonthLbl"), month);
            EXPECT_EQ(
                statisticsTotals(),
                expectedTotals(
                    orders
                        .findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
                            "2015", month, kind)));
            ASSERT_TRUE(tap("lastMonthDataEvent"));
        }
        ASSERT_TRUE(segment(3));
        EXPECT_EQ(
            statisticsTotals(),
            expectedTotals(orders.findChartWithYearsLike_findProfitWithSalesAndPurchaseTagsLike(
                "2015", kind)));

        ASSERT_EQ(s->tempData.size(), 12u);
        for (int m = 1; m <= 12; ++m) {
            const auto list =
                orders
                    .findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
                        "2015", formatCount(m), kind);
            float bucket = 0;
            for (const auto& o : list) bucket += floatValue(o.orderTotalAmount);
            EXPECT_EQ(s->monthBuckets[static_cast<size_t>(m - 1)], bucket) << "month " << m;
            EXPECT_EQ(s->tempData[static_cast<size_t>(m - 1)].value,
                      floatValue(formatAmount(bucket)));
        }
        ASSERT_TRUE(tap("closeEvent"));
    }
}

TEST_F(FastPaths, StartUpAddsTheIndexesToALedgerMadeWithoutThem) {
    auto db = SDBManager::defaultDBManager().dataBase();
    auto names = LedgerFigures(db).column(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name",
        {});
    EXPECT_EQ(names.size(), 9u);
    // The tables keep the statements they were made with.
    auto sql = LedgerFigures(db).column(
        "SELECT sql FROM sqlite_master WHERE name = 'SUserCommodityOrder'", {});
    ASSERT_EQ(sql.size(), 1u);
    EXPECT_EQ(sql[0]->find("INDEX"), std::string::npos);
    // The finds by product key and by period use them.
    auto detail = [&](const std::string& query) {
        std::string all;
        auto rs = db->executeQuery("EXPLAIN QUERY PLAN " + query, {});
        while (rs && rs->next()) all += orEmpty(rs->stringForColumnIndex(3)) + ";";
        return all;
    };
    EXPECT_NE(detail("SELECT * FROM SUserCommodityOrder WHERE orderItemProductNameKey = 'k' and "
                     "orderItemSalesAndPurchaseTags = '21' ORDER BY orderItemUid DESC")
                  .find("SUserCommodityOrder_productKey"),
              std::string::npos);
    EXPECT_NE(detail("SELECT * FROM SUserCommodity WHERE years = '2015' and months = '5' and "
                     "orderSalesTagOrPurchaseTag = '111' ORDER BY uid DESC")
                  .find("SUserCommodity_period"),
              std::string::npos);
    // The statistics chart's year of one kind.
    EXPECT_NE(detail("SELECT uid, months, orderTotalAmount FROM SUserCommodity WHERE years = "
                     "'2015' and orderSalesAndPurchaseTags = '21'")
                  .find("SUserCommodity_yearKind"),
              std::string::npos);
}

TEST_F(FastPaths, ExportSnapshotEqualsTheLinesOfTheFullRecords) {
    // Values an older writer may have stored: numbers rather than texts, NULLs, separators.
    auto db = SDBManager::defaultDBManager().dataBase();
    ASSERT_TRUE(db->executeUpdate(
        "INSERT INTO SUserCommodity (orderSalesAndPurchaseType, orderName, orderTotalCounts, "
        "orderTotalEntrys, orderTotalAmount, recordeDateTime, recordeWeekTime, remarkNotes) "
        "VALUES ('Sales', 'a, \"b\"\nc', 2.5, 3, 1e20, NULL, 'Satur\rday', X'C3A9')"));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO SUserCommodity (orderName) VALUES (NULL)"));

    const auto orders = SUserCommodityDB().findWithUid_limit(std::nullopt, INT32_MAX);
    std::string expected;
    for (const auto& o : orders) CSVExport::appendOrderLine(expected, CSVExport::orderFields(o));
    const auto snapshot = CSVExport::readSnapshot();
    EXPECT_EQ(snapshot.size(), orders.size());
    EXPECT_GT(snapshot.size(), 1500u);
    EXPECT_EQ(snapshot.lines, expected);
    EXPECT_TRUE(
        snapshot.lines.starts_with("\n ,,,,,,,\n Sales,\"a, \"\"b\"\"\nc\",2.5,3,1.0e+20,,"
                                   "\"Satur\rday\",\xC3\xA9\n "))
        << snapshot.lines.substr(0, 80);
}
