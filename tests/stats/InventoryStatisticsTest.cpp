// Inventory statistics rows and one product's history, opened from the dashboard with the
// ledger written through the stores (pinned clock: Saturday 9 May 2015, Madrid).
#include <gtest/gtest.h>

#include "platform/UserDefaults.h"
#include "stats/ALLInventoryViewController.h"
#include "stats/OneProductViewController.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/support/AppHarness.h"

namespace {

void addProduct(const std::string& name, const std::string& key, const std::string& category,
                const std::string& price = "3.5") {
    SProductsNameSub p;
    p.productPrimaryKey = category;
    p.productTypeName = category;
    p.productSubName = name;
    p.productSubNameKey = key;
    p.productSubReferencePrice = price;
    ASSERT_TRUE(SProductsNameSubDB().saveProductNameSub(p));
}

void addLine(const std::string& productName, const std::string& productKey, const std::string& tag,
             const std::string& qty, const std::string& year = "2015",
             const std::string& month = "5") {
    SUserCommodityOrder l;
    l.orderItemPrimaryKeyDate = "20150509160250";
    l.orderItemSalesAndPurchaseTags = tag;
    l.orderItemProductName = productName;
    l.orderItemProductNameKey = productKey;
    l.orderItemQuantity = qty;
    l.orderItemUnit = "kg";
    l.orderItemUnitPrice = "2";
    l.orderItemTotalAmount = "8.00";
    l.orderItemModel = "M1";
    l.orderItemDateTime = "2015/05/09";
    l.orderItemMinutesTime = "16:02";
    l.orderItemYears = year;
    l.orderItemMonths = month;
    ASSERT_TRUE(SUserCommodityOrderDB().saveUserCommodityOrder(l));
}

class InventoryStatistics : public AppHarness {
  protected:
    ALLInventoryViewController* open() {
        start();
        EXPECT_TRUE(tap("showInventoryStatisticsEvent"));
        return topAs<ALLInventoryViewController>();
    }
    TableRow& row(int i) { return top()->get<TableView>("tableView")->rows.at(i); }
    std::string cell(int i, const std::string& name) {
        auto* f = row(i).field(name);
        return f ? f->text : "<no field " + name + ">";
    }
};

class ProductHistory : public InventoryStatistics {};

}  // namespace

TEST_F(InventoryStatistics, RowsSumEachProductsPurchasesAndSalesNewestProductFirst) {
    start();
    addProduct("Bolts", "P1", "Hardware", "1.25");
    addProduct("Nails", "P2", "Hardware");
    addLine("Nails", "P2", "11", "10");
    addLine("Nails", "P2", "11", "2.5");
    addLine("Nails", "P2", "21", "4");
    addLine("Nails", "P2", "12", "100");  // shown in the history, not a purchase quantity
    addLine("Nails", "P2", "11", "n/a");  // not a number: counts as 0

    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    auto* s = topAs<ALLInventoryViewController>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->title, "Stock overview(2)");
    EXPECT_EQ(labelText("showNameLbl"), "Name");
    EXPECT_EQ(labelText("showInventoryLbl"), "Stock");
    auto* table = s->get<TableView>("tableView");
    EXPECT_EQ(table->rowHeight, 90);
    ASSERT_EQ(table->rows.size(), 2u);
    EXPECT_EQ(row(0).layout, "InventoryCell");

    EXPECT_EQ(cell(0, "itemsNameLbl"), "Nails");
    EXPECT_EQ(cell(0, "itemsPurchaseCountsLbl"), "12.50");
    EXPECT_EQ(cell(0, "itemsSalesCountsLbl"), "4.00");
    EXPECT_EQ(cell(0, "itemsInventoryCountsLbl"), "8.50");
    EXPECT_EQ(cell(0, "itemsItemsLbl"), "Items:5");
    EXPECT_EQ(cell(0, "itemsRetailPriceValueLbl"), "Price:3.5");

    EXPECT_EQ(cell(1, "itemsNameLbl"), "Bolts");
    EXPECT_EQ(cell(1, "itemsPurchaseCountsLbl"), "0.00");
    EXPECT_EQ(cell(1, "itemsSalesCountsLbl"), "0.00");
    EXPECT_EQ(cell(1, "itemsInventoryCountsLbl"), "0.00");
    EXPECT_EQ(cell(1, "itemsItemsLbl"), "Items:0");
    EXPECT_EQ(cell(1, "itemsRetailPriceValueLbl"), "Price:1.25");
    EXPECT_EQ(s->categorysNameItemsArray, (std::vector<std::string>{"5", "0"}));
}

TEST_F(InventoryStatistics, OverSoldProductShowsANegativeStockAndAnEmptyCatalogueNoRows) {
    auto* s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->title, "Stock overview(0)");
    EXPECT_TRUE(s->get<TableView>("tableView")->rows.empty());
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(nav().depth(), 1u);

    addProduct("Glue", "G1", "Home");
    addLine("Glue", "G1", "11", "1.5");
    addLine("Glue", "G1", "21", "2");
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    EXPECT_EQ(cell(0, "itemsInventoryCountsLbl"), "-0.50");
}

TEST_F(InventoryStatistics, SameNameInTwoCategoriesKeepsItsOwnCountAndQuantities) {
    start();
    addProduct("Paint", "K1", "Indoor");
    addProduct("Paint", "K2", "Outdoor");
    addLine("Paint", "K1", "11", "3");
    addLine("Paint", "K2", "11", "7");
    addLine("Paint", "K2", "21", "1");
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    // Newest first: K2, then K1.
    EXPECT_EQ(cell(0, "itemsItemsLbl"), "Items:2");
    EXPECT_EQ(cell(0, "itemsPurchaseCountsLbl"), "7.00");
    EXPECT_EQ(cell(0, "itemsInventoryCountsLbl"), "6.00");
    EXPECT_EQ(cell(1, "itemsItemsLbl"), "Items:1");
    EXPECT_EQ(cell(1, "itemsPurchaseCountsLbl"), "3.00");
    EXPECT_EQ(cell(1, "itemsSalesCountsLbl"), "0.00");
}

TEST_F(InventoryStatistics, RowsAreComputedOncePerScreen) {
    start();
    addProduct("Tape", "T1", "Office");
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    addLine("Tape", "T1", "11", "5");
    // Coming back from the history does not recompute.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_NE(topAs<ALLInventoryViewController>(), nullptr);
    EXPECT_EQ(cell(0, "itemsPurchaseCountsLbl"), "0.00");
    // A new screen does.
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    EXPECT_EQ(cell(0, "itemsPurchaseCountsLbl"), "5.00");
    EXPECT_EQ(cell(0, "itemsItemsLbl"), "Items:1");
}

TEST_F(ProductHistory, ShowsTheRowsTotalsAndThisMonthsLinesOfThatProductOnly) {
    start();
    addProduct("Nails", "P2", "Hardware");
    addProduct("Nails", "P3", "Garden");
    addLine("Nails", "P2", "11", "10");
    addLine("Nails", "P2", "21", "4");
    addLine("Nails", "P2", "22", "1");
    addLine("Nails", "P2", "11", "9", "2015", "4");  // another month
    addLine("Nails", "P2", "11", "9", "2014", "5");  // same month, another year
    addLine("Nails", "P3", "11", "50");              // same name, other product
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    ASSERT_TRUE(selectRow("tableView", 1));  // P2 (older)
    auto* h = topAs<OneProductViewController>();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->itemProductNameUpdateKeyStr, "P2");
    EXPECT_EQ(labelText("showPurchaseLbl"), "Purchase");
    EXPECT_EQ(labelText("showPurchaseValueText"), "28.00");
    EXPECT_EQ(labelText("showSalesValueText"), "4.00");
    EXPECT_EQ(labelText("showInventoryValueText"), "24.00");
    EXPECT_EQ(labelText("YearsLbl"), "2015");
    EXPECT_EQ(labelText("MonthLbl"), "5");
    EXPECT_EQ(h->title, "Nails(3)");
    EXPECT_TRUE(h->toasts().empty());

    auto& rows = h->get<TableView>("tableView")->rows;
    EXPECT_EQ(h->get<TableView>("tableView")->rowHeight, 110);
    ASSERT_EQ(rows.size(), 3u);
    // Newest line first: the "22" sale, then the "21" sale, then the purchase.
    EXPECT_EQ(rows[0].layout, "OneProductCell");
    EXPECT_EQ(rows[0].field("showTypeCell")->text, "Sales");
    EXPECT_EQ(rows[0].field("showTypeCell")->color, "red");
    EXPECT_EQ(rows[1].field("showTypeCell")->color, "red");
    EXPECT_EQ(rows[2].field("showTypeCell")->text, "Purchase");
    EXPECT_EQ(rows[2].field("showTypeCell")->color, "green");
    EXPECT_EQ(rows[2].field("showModelCell")->text, "Model");
    EXPECT_EQ(rows[2].field("showModelValueCell")->text, "M1");
    EXPECT_EQ(rows[2].field("showTotalCell")->text, "Total");
    EXPECT_EQ(rows[2].field("showTotalValueCell")->text, "8.00 (10kg x 2)");
    EXPECT_EQ(rows[2].field("showDateTimeCell")->text, "2015/05/09,16:02");
}

TEST_F(ProductHistory, MonthSteppingCrossesYearEndsThroughTheScratchKeys) {
    clock_->set(at(2015, 1, 20));
    start();
    addProduct("Nails", "P2", "Hardware");
    addLine("Nails", "P2", "11", "1", "2014", "12");
    addLine("Nails", "P2", "11", "1", "2015", "1");
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    ASSERT_TRUE(selectRow("tableView", 0));
    auto* h = topAs<OneProductViewController>();
    auto& d = UserDefaults::standardUserDefaults();

    ASSERT_TRUE(tap("backwardEvent"));
    EXPECT_EQ(labelText("YearsLbl"), "2014");
    EXPECT_EQ(labelText("MonthLbl"), "12");
    EXPECT_EQ(d.stringForKey("2014"), "2014");
    EXPECT_EQ(d.stringForKey("5"), "0");
    EXPECT_EQ(h->oneProductListArray.size(), 1u);
    EXPECT_EQ(h->title, "Nails(1)");

    ASSERT_TRUE(tap("backwardEvent"));
    EXPECT_EQ(labelText("MonthLbl"), "11");
    EXPECT_EQ(labelText("YearsLbl"), "2014");
    EXPECT_EQ(h->title, "Nails(0)");

    ASSERT_TRUE(tap("forwardEvent"));
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(labelText("MonthLbl"), "1");
    EXPECT_EQ(labelText("YearsLbl"), "2015");
    EXPECT_EQ(d.stringForKey("5"), "13");
    EXPECT_EQ(d.stringForKey("2014"), "2015");
    EXPECT_EQ(h->title, "Nails(1)");

    for (int i = 0; i < 11; ++i) ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(labelText("MonthLbl"), "12");
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(labelText("MonthLbl"), "1");
    EXPECT_EQ(labelText("YearsLbl"), "2016");
}

TEST_F(ProductHistory, EmptyMonthShowsCountZeroAndTheToastAndAppearingReturnsToToday) {
    open();
    EXPECT_FALSE(selectRow("tableView", 0));  // no products: no row to choose

    addProduct("Nails", "P2", "Hardware");
    addLine("Nails", "P2", "11", "1", "2015", "4");
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
    ASSERT_TRUE(selectRow("tableView", 0));
    auto* h = topAs<OneProductViewController>();
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(h->get<TableView>("tableView")->rows.empty());
    EXPECT_EQ(h->title, "Nails(0)");
    ASSERT_EQ(h->toasts().size(), 1u);
    EXPECT_EQ(h->toasts()[0].text, "No data");
    EXPECT_EQ(h->toasts()[0].seconds, 1.0);

    ASSERT_TRUE(tap("backwardEvent"));
    EXPECT_EQ(h->title, "Nails(1)");
    EXPECT_EQ(h->toasts().size(), 1u);

    // Another screen on top and back: the history shows this month again, read afresh.
    addLine("Nails", "P2", "21", "1", "2015", "5");
    nav().pushViewController(std::make_unique<ALLInventoryViewController>(), false);
    nav().popViewControllerAnimated(false);
    nav().drain();
    EXPECT_EQ(labelText("MonthLbl"), "5");
    EXPECT_EQ(h->title, "Nails(1)");
    EXPECT_EQ(h->oneProductListArray.at(0).orderItemSalesAndPurchaseTags, "21");
}
