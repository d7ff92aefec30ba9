// Inventory statistics rows and one product's history, opened from the dashboard with rows
// written straight into the ledger (pinned clock: Saturday 9 May 2015, Madrid).
#include <gtest/gtest.h>

#include "platform/UserDefaults.h"
#include "stats/ALLInventoryViewController.h"
#include "stats/OneProductViewController.h"
#include "storage/SDBManager.h"
#include "tests/support/AppHarness.h"
#include "toolkit/TableView.h"

namespace {

void insert(const std::string& sql, const std::vector<SQLValue>& values) {
    ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate(sql, values));
}

void addProduct(const std::string& name, const std::string& key, const std::string& category,
                const std::string& price = "3.5") {
    insert(
        "INSERT INTO SProductsNameSub (productPrimaryKey, productTypeName, productSubName, "
        "productSubNameKey, productSubReferencePrice) VALUES (?1, ?1, ?2, ?3, ?4)",
        {category, name, key, price});
}

// A line of 2 a unit, 8.00 in all, model M1, made on 9 May 2015 at 16:02 and counted in the
// given month.
void addLine(const std::string& name, const std::string& key, const std::string& tag,
             const std::string& qty, const std::string& year = "2015",
             const std::string& month = "5") {
    insert(
        "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate, "
        "orderItemSalesAndPurchaseTags, orderItemProductName, orderItemProductNameKey, "
        "orderItemQuantity, orderItemUnit, orderItemUnitPrice, orderItemTotalAmount, "
        "orderItemModel, orderItemDateTime, orderItemMinutesTime, orderItemYears, "
        "orderItemMonths) VALUES ('20150509160250', ?, ?, ?, ?, 'kg', '2', '8.00', 'M1', "
        "'2015/05/09', '16:02', ?, ?)",
        {tag, name, key, qty, year, month});
}

class InventoryStatistics : public AppHarness {
  protected:
    std::string cell(int i, const std::string& name) {
        auto* f = top()->get<TableView>("tableView")->rows.at(i).field(name);
        return f ? f->text : "<no field " + name + ">";
    }
    std::string cells(int i, std::initializer_list<const char*> names) {
        std::string out;
        for (const char* n : names) out += (out.empty() ? "" : "|") + cell(i, n);
        return out;
    }
    OneProductViewController* openHistory(int row) {
        EXPECT_TRUE(tap("showInventoryStatisticsEvent"));
        EXPECT_TRUE(selectRow("tableView", row));
        return topAs<OneProductViewController>();
    }
};

}  // namespace

// Each row's sums over a generated ledger with odd rows are checked by the equality tests;
// here, what a row shows and in which order.
TEST_F(InventoryStatistics, EachRowShowsItsOwnProductsQuantitiesNewestProductFirst) {
    start();
    addProduct("Bolts", "P1", "Hardware", "1.25");
    addProduct("Paint", "K1", "Indoor");
    addProduct("Paint", "K2", "Outdoor");
    addLine("Paint", "K1", "11", "3");
    addLine("Paint", "K2", "11", "1.5");
    addLine("Paint", "K2", "21", "2");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the columns it skips are no fault
    EXPECT_EQ(top()->title, "Stock overview(3)");
    const char* const expected[] = {"Paint|1.50|2.00|-0.50|Items:2|Price:3.5",
                                    "Paint|3.00|0.00|3.00|Items:1|Price:3.5",
                                    "Bolts|0.00|0.00|0.00|Items:0|Price:1.25"};
    ASSERT_EQ(top()->get<TableView>("tableView")->rows.size(), std::size(expected));
    for (int i = 0; i < int(std::size(expected)); ++i)
        EXPECT_EQ(
            cells(i, {"itemsNameLbl", "itemsPurchaseCountsLbl", "itemsSalesCountsLbl",
                      "itemsInventoryCountsLbl", "itemsItemsLbl", "itemsRetailPriceValueLbl"}),
            expected[i]);
    // Negative stock in red; the search keeps the list's order, a row opens its own product.
    const auto& rows = top()->get<TableView>("tableView")->rows;
    EXPECT_EQ(rows[0].fields[3].color + "|" + rows[1].fields[3].color, "red|");
    ASSERT_TRUE(setText("searchText", " PAINT "));
    EXPECT_EQ(std::to_string(rows.size()) + " " + cells(0, {"itemsInventoryCountsLbl"}) + " " +
                  cells(1, {"itemsInventoryCountsLbl"}),
              "2 -0.50 3.00");
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(topAs<OneProductViewController>()->itemProductNameUpdateKeyStr, Text("K1"));
}

// The history shows one month of one product (by key, not name) under the product's totals,
// steps across year ends, says when a month is empty, and shows today's month again, read
// afresh, when it appears again.
TEST_F(InventoryStatistics, HistoryShowsOneMonthOfThatProductAndStepsAcrossYearEnds) {
    clock_->set(at(2015, 1, 20));
    start();
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    EXPECT_EQ(top()->title, "Stock overview(0)");
    EXPECT_FALSE(selectRow("tableView", 0));  // no products: no row to choose
    ASSERT_TRUE(tap("backEvent"));
    addProduct("Nails", "P2", "Hardware");
    addProduct("Nails", "P3", "Garden");
    addLine("Nails", "P2", "11", "10", "2015", "1");
    addLine("Nails", "P2", "21", "4", "2015", "1");
    addLine("Nails", "P2", "22", "1", "2015", "1");
    addLine("Nails", "P2", "11", "9", "2014", "12");  // last month
    addLine("Nails", "P2", "11", "9", "2014", "1");   // same month, another year
    addLine("Nails", "P3", "11", "50", "2015", "1");  // same name, other product
    auto* h = openHistory(1);                         // P2 (older)
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(labelText("showPurchaseValueText") + " " + labelText("showSalesValueText") + " " +
                  labelText("showInventoryValueText"),
              "28.00 4.00 24.00");
    EXPECT_EQ(h->title, "Nails(3)");
    EXPECT_TRUE(h->toasts().empty());
    // Newest line first: the "22" sale, the "21" sale, then the purchase.
    auto& rows = h->get<TableView>("tableView")->rows;
    EXPECT_EQ(cells(0, {"showTypeCell"}) + cells(1, {"showTypeCell"}), "SalesSales");
    EXPECT_EQ(rows.at(1).field("showTypeCell")->color, "red");
    EXPECT_EQ(rows.at(2).field("showTypeCell")->color, "green");
    EXPECT_EQ(
        cells(2, {"showTypeCell", "showModelValueCell", "showTotalValueCell", "showDateTimeCell"}),
        "Purchase|M1|8.00 (10kg x 2)|2015/05/09,16:02");

    // Each arrow: the month shown, the title, the month and year just stored (the month
    // before any wrap), and the toasts so far.
    auto& d = UserDefaults::standardUserDefaults();
    const char* const steps[][2] = {{"backwardEvent", "2014/12 Nails(1) 0 2014 0"},
                                    {"backwardEvent", "2014/11 Nails(0) 11 2014 1"},
                                    {"forwardEvent", "2014/12 Nails(1) 12 2014 1"},
                                    {"forwardEvent", "2015/1 Nails(3) 13 2015 1"},
                                    {"backwardEvent", "2014/12 Nails(1) 0 2014 1"}};
    for (const auto& [event, expected] : steps) {
        ASSERT_TRUE(tap(event));
        EXPECT_EQ(labelText("YearsLbl") + "/" + labelText("MonthLbl") + " " + h->title + " " +
                      orEmpty(d.stringForKey("5")) + " " + orEmpty(d.stringForKey("2014")) + " " +
                      std::to_string(h->toasts().size()),
                  expected);
    }
    EXPECT_EQ(h->toasts().at(0).text, "No data");
    EXPECT_EQ(h->toasts().at(0).seconds, 1.0);

    addLine("Nails", "P2", "21", "1", "2015", "1");
    nav().pushViewController(std::make_unique<ALLInventoryViewController>(), false);
    nav().popViewControllerAnimated(false);
    nav().drain();
    EXPECT_EQ(labelText("YearsLbl") + "/" + labelText("MonthLbl") + " " + h->title,
              "2015/1 Nails(4)");
    ASSERT_TRUE(tap("backEvent"));  // the rows were computed when the list opened
    EXPECT_EQ(cell(1, "itemsItemsLbl"), "Items:5");
}
