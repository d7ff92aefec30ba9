// The sales and purchase journals: the month's orders of one side, totals, month steps,
// and the hand-over to the order editor.
#include <gtest/gtest.h>

#include "orders/INItemsViewController.h"
#include "orders/OUTItemsViewController.h"
#include "tests/orders/OrdersFixture.h"

namespace {
class OrderJournal : public OrdersFixture {};
}  // namespace

TEST_F(OrderJournal, EachJournalShowsOnlyItsSideAndMarksItInTheDefaults) {
    start();
    seedHeader("111", "2015", "5", "Sale A", "1.00", "1", "10.00", "20150502100000");
    seedHeader("000", "2015", "5", "Buy A", "2.00", "1", "20.00", "20150503100000");
    seedHeader("111", "2015", "4", "Sale April");
    seedHeader("111", "2015", "5", "Sale B", "1.00", "1", "5.00", "20150504100000");

    ASSERT_TRUE(tap("jumpOutItems2Event"));
    auto* sales = topAs<OUTItemsViewController>();
    ASSERT_NE(sales, nullptr);
    EXPECT_EQ(sales->title, "Sales & Order");
    EXPECT_EQ(defaultsValue("INAndOUTTags"), "111");
    EXPECT_EQ(labelText("YearsLbl"), "2015");
    EXPECT_EQ(labelText("MonthLbl"), "5");
    auto& rows = table("tableView").rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(table("tableView").rowHeight, 140);
    EXPECT_EQ(rows[0].layout, "SalesAccountItemCell");
    EXPECT_EQ(cell("tableView", 0, "showOrderNameValueText"), "Sale B");
    EXPECT_EQ(cell("tableView", 1, "showOrderNameValueText"), "Sale A");
    EXPECT_EQ(cell("tableView", 0, "showOrderDateLbl"), "2015/05/09,10:00 Saturday");
    EXPECT_EQ(cell("tableView", 0, "showOrderNameLbl"), "Order");
    EXPECT_EQ(cell("tableView", 0, "showOrderSupAndCusLbl"), "Customer");
    EXPECT_EQ(cell("tableView", 0, "showOrderSupAndCusValueText"),
              *partner("111").supplierOrCustomersName);
    EXPECT_EQ(cell("tableView", 0, "showOrderEntryLbl"), "Items");
    EXPECT_EQ(cell("tableView", 0, "showOrderEntryValueText"), "1");
    EXPECT_EQ(cell("tableView", 0, "showOrderAmountLbl"), "Total");
    EXPECT_EQ(cell("tableView", 0, "showOrderAmountValueText"), "5.00");
    EXPECT_TRUE(rows[0].field("showOrderTypeLbl")->hidden);
    EXPECT_EQ(labelText("showOrderTotalAmountValueText"), "15.00");
    EXPECT_TRUE(sales->toasts().empty());

    ASSERT_TRUE(tap("jumpInItems1Event"));
    auto* purchases = topAs<INItemsViewController>();
    ASSERT_NE(purchases, nullptr);
    EXPECT_EQ(purchases->title, "Purchase & Order");
    EXPECT_EQ(defaultsValue("INAndOUTTags"), "000");
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    EXPECT_EQ(cell("tableView", 0, "showOrderNameValueText"), "Buy A");
    EXPECT_EQ(cell("tableView", 0, "showOrderSupAndCusLbl"), "Supplier");

    // Back to the sales journal: it marks its side again.
    ASSERT_TRUE(tap("backSalesEvent"));
    EXPECT_EQ(top(), sales);
    EXPECT_EQ(defaultsValue("INAndOUTTags"), "111");
}

TEST_F(OrderJournal, MonthTotalsAddTheMonthsOrdersAndAnEmptyMonthSaysSo) {
    start();
    seedHeader("111", "2015", "5", "Big", "5.00", "3", "100.00");
    seedHeader("111", "2015", "5", "Small", "2.50", "1", "20.50");
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    EXPECT_EQ(labelText("showProductQtyValueText"), "7.50");
    EXPECT_EQ(labelText("showOrderItemsValueText"), "4.00");
    EXPECT_EQ(labelText("showOrderTotalAmountValueText"), "120.50");
    EXPECT_EQ(top()->get<Label>("showProductQtyValueText")->caption, "Qty");
    EXPECT_EQ(top()->get<Label>("showOrderItemsValueText")->caption, "Items");
    EXPECT_EQ(top()->get<Label>("showOrderTotalAmountValueText")->caption, "Amount");

    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_TRUE(table("tableView").rows.empty());
    EXPECT_EQ(labelText("showProductQtyValueText"), "0.00");
    EXPECT_EQ(labelText("showOrderItemsValueText"), "0.00");
    EXPECT_EQ(labelText("showOrderTotalAmountValueText"), "0.00");
    ASSERT_FALSE(top()->toasts().empty());
    EXPECT_EQ(top()->lastToastText(), "No data");
    EXPECT_DOUBLE_EQ(top()->toasts().back().seconds, 1.0);
}

TEST_F(OrderJournal, MonthStepsCrossYearEndsThroughTheDefaults) {
    clock_->set(at(2015, 1, 15));
    start();
    seedHeader("111", "2014", "12", "December");
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    EXPECT_EQ(labelText("MonthLbl"), "1");
    ASSERT_TRUE(tap("backwardEvent"));
    EXPECT_EQ(labelText("MonthLbl"), "12");
    EXPECT_EQ(labelText("YearsLbl"), "2014");
    EXPECT_EQ(defaultsValue("5"), "0");
    EXPECT_EQ(defaultsValue("2014"), "2014");
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(defaultsValue("5"), "13");
    EXPECT_EQ(labelText("MonthLbl"), "1");
    EXPECT_EQ(labelText("YearsLbl"), "2015");
    EXPECT_EQ(defaultsValue("2014"), "2015");

    // Two steps back and forth within a year leave the year alone.
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(labelText("MonthLbl"), "2");
    EXPECT_EQ(defaultsValue("5"), "2");
    ASSERT_TRUE(tap("backwardEvent"));
    EXPECT_EQ(labelText("MonthLbl"), "1");
    EXPECT_EQ(labelText("YearsLbl"), "2015");

    // From December forward: January of the next year.
    clock_->set(at(2015, 12, 3));
    ASSERT_TRUE(tap("jumpOutItems1Event"));
    EXPECT_EQ(labelText("MonthLbl"), "12");
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(labelText("MonthLbl"), "1");
    EXPECT_EQ(labelText("YearsLbl"), "2016");
    EXPECT_EQ(defaultsValue("2014"), "2016");
}

TEST_F(OrderJournal, ComingBackResetsToThePresentMonth) {
    start();
    seedHeader("111", "2015", "3", "March", "1.00", "1", "3.00", "20150301100000");
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    ASSERT_TRUE(tap("backwardEvent"));
    ASSERT_TRUE(tap("backwardEvent"));
    ASSERT_EQ(labelText("MonthLbl"), "3");
    ASSERT_TRUE(selectRow("tableView", 0));
    EXPECT_EQ(defaultsValue("20150509160250"), "20150301100000");
    EXPECT_EQ(defaultsValue("SalesAndPurchaseTags"), "21");
    EXPECT_EQ(defaultsValue("SalesAndPurchaseType"), "Sales");
    ASSERT_TRUE(tap("saveToDoneEvent"));
    EXPECT_EQ(top()->className(), "OUTItemsViewController");
    EXPECT_EQ(labelText("MonthLbl"), "5");
    EXPECT_TRUE(table("tableView").rows.empty());
    // The saved March order stays in March.
    EXPECT_EQ(headers().at(0).months, "3");
}

TEST_F(OrderJournal, RowsShowThePartnersCurrentName) {
    start();
    seedHeader("111", "2015", "5", "Named");
    SSupplierOrCustomersDB partners;
    SSupplierOrCustomers c = partner("111");
    c.supplierOrCustomersName = "Renamed Client";
    ASSERT_TRUE(partners.mergeWithSupplierOrCustomers_changeID(c, c.supplierOrCustomersUid));
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    EXPECT_EQ(cell("tableView", 0, "showOrderSupAndCusValueText"), "Renamed Client");
    ASSERT_TRUE(selectRow("tableView", 0));
    EXPECT_EQ(labelText("showSupplierOrCustomerLbl"), "Renamed Client");
}
