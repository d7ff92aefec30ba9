// The sales and purchase journals: one side's orders of the month, totals and month steps.
#include <gtest/gtest.h>

#include "tests/orders/OrdersFixture.h"

namespace {
class OrderJournal : public OrdersFixture {};
}  // namespace

TEST_F(OrderJournal, EachJournalShowsOnlyItsSideWithThePartnersCurrentNameAndAddsOrders) {
    start();
    seedHeader(header("111", "2015", "5", "Sale A", "1.00", "1", "10.00", "20150502100000"));
    seedHeader(header("000", "2015", "5", "Buy A", "2.00", "1", "20.00", "20150503100000"));
    seedHeader(header("111", "2015", "4", "Sale April"));
    SSupplierOrCustomers c = partner("111");
    c.supplierOrCustomersName = "Renamed Client";  // the row looks the name up by key
    ASSERT_TRUE(SSupplierOrCustomersDB().mergeWithSupplierOrCustomers_changeID(
        c, c.supplierOrCustomersUid));
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    EXPECT_EQ(cell("tableView", 0, "showOrderNameValueText") + "|" +
                  cell("tableView", 0, "showOrderSupAndCusValueText"),
              "Sale A|Renamed Client");
    EXPECT_EQ(cell("tableView", 0, "showOrderDateLbl"), "2015/05/09,10:00 Saturday");

    ASSERT_TRUE(tap("jumpInItems1Event"));
    ASSERT_EQ(top()->className(), "INItemsViewController");
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    EXPECT_EQ(cell("tableView", 0, "showOrderNameValueText"), "Buy A");
    addOrder();
    saveAs("Restock");
    ASSERT_EQ(table("tableView").rows.size(), 2u);
    const auto h = headers().at(0);
    EXPECT_EQ(join({h.orderName, h.orderSalesTagOrPurchaseTag, h.orderSalesAndPurchaseTags,
                    h.orderSalesAndPurchaseType, h.orderSupplierOrCustomerNameKey}),
              "Restock|000|11|Purchase|" + *partner("000").supplierOrCustomersNameKey);
    ASSERT_TRUE(tap("backSalesEvent"));
    EXPECT_EQ(table("tableView").rows.size(), 1u);
}

TEST_F(OrderJournal, MonthTotalsAddTheMonthsOrdersASearchKeepsThemAndAnEmptyMonthSaysSo) {
    start();
    seedHeader(header("111", "2015", "5", "Big", "5.00", "3", "100.00"));
    seedHeader(header("111", "2015", "5", "Small", "2.50", "1", "20.50"));
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    const auto totals = [&] {
        return labelText("showProductQtyValueText") + "|" + labelText("showOrderItemsValueText") +
               "|" + labelText("showOrderTotalAmountValueText");
    };
    EXPECT_EQ(totals(), "7.50|4.00|120.50");
    // A search by order or partner name shows some orders; the totals stay the month's.
    for (const auto& [typed, shown] :
         {std::pair{"sMALL", "Small"}, {"default CUST", "Small Big"}, {"%", ""}}) {
        ASSERT_TRUE(setText("searchText", typed));
        std::string names;
        for (int i = 0; i < int(table("tableView").rows.size()); ++i)
            names += (i ? " " : "") + cell("tableView", i, "showOrderNameValueText");
        EXPECT_EQ(names, shown) << typed;
        EXPECT_EQ(totals(), "7.50|4.00|120.50");
    }
    EXPECT_EQ(table("tableView").emptyText, KL("KLNoMatches"));
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_TRUE(table("tableView").rows.empty());
    EXPECT_EQ(totals(), "0.00|0.00|0.00");
    EXPECT_EQ(top()->lastToastText(), KL("KLNoData"));
    EXPECT_EQ(table("tableView").emptyText, KL("KLNoOrdersInMonth"));
    ASSERT_TRUE(tap("backwardEvent"));
    ASSERT_TRUE(setText("searchText", "big"));
    ASSERT_TRUE(selectRow("tableView", 0));  // the shown row's own order
    EXPECT_EQ(topAs<CreateOrEditSalesAccountVC>()->createItemOrderName, Text("Big"));
}

TEST_F(OrderJournal, MonthStepsCrossYearEnds) {
    clock_->set(at(2015, 1, 15));
    start();
    seedHeader(header("111", "2014", "12", "December"));
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    const auto shown = [&] { return labelText("YearsLbl") + "/" + labelText("MonthLbl"); };
    EXPECT_EQ(shown(), "2015/1");
    ASSERT_TRUE(tap("backwardEvent"));
    EXPECT_EQ(shown(), "2014/12");
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(shown(), "2015/1");
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(shown(), "2015/2");
    clock_->set(at(2015, 12, 3));
    ASSERT_TRUE(tap("jumpOutItems1Event"));
    EXPECT_EQ(shown(), "2015/12");
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(shown(), "2016/1");
}
