// The sales and purchase journals: each side adds its own orders, rows name the current
// partner, month steps cross year ends and an empty month says so. Each row and month total
// equal to the stored orders is shown on a generated ledger by the equality tests.
#include <gtest/gtest.h>

#include "tests/orders/OrdersFixture.h"

namespace {
class OrderJournal : public OrdersFixture {};
}  // namespace

TEST_F(OrderJournal, ThePurchaseJournalAddsPurchasesAndRowsNameThePartnerAsItIsNow) {
    start();
    seedHeader("111", "2015", "5", "Sale A", "1.00", "1", "10.00", "20150502100000");
    SSupplierOrCustomers c = partner("111");
    c.supplierOrCustomersName = "Renamed Client";
    ASSERT_TRUE(SSupplierOrCustomersDB().mergeWithSupplierOrCustomers_changeID(
        c, c.supplierOrCustomersUid));
    openJournal();
    ASSERT_TRUE(tap("jumpInItems1Event"));
    ASSERT_EQ(top()->className(), "INItemsViewController");
    EXPECT_TRUE(table("tableView").rows.empty());
    addOrder();
    saveAs("Restock");
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    const auto h = headers().at(0);
    EXPECT_EQ(join({h.orderName, h.orderSalesTagOrPurchaseTag, h.orderSalesAndPurchaseTags,
                    h.orderSalesAndPurchaseType, h.orderSupplierOrCustomerNameKey}),
              "Restock|000|11|Purchase|" + *partner("000").supplierOrCustomersNameKey);
    ASSERT_TRUE(tap("backSalesEvent"));
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    EXPECT_EQ(cell("tableView", 0, "showOrderNameValueText"), "Sale A");
    EXPECT_EQ(cell("tableView", 0, "showOrderSupAndCusValueText"), "Renamed Client");
}

TEST_F(OrderJournal, MonthStepsCrossYearEndsAndAnEmptyMonthSaysSo) {
    clock_->set(at(2015, 1, 15));
    start();
    seedHeader("111", "2014", "12", "December", "7.50", "4", "120.50");
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    // The month shown, its rows, and its quantity, items and amount totals.
    const auto shown = [&] {
        return labelText("YearsLbl") + "/" + labelText("MonthLbl") + " " +
               std::to_string(table("tableView").rows.size()) + " " +
               labelText("showProductQtyValueText") + "|" + labelText("showOrderItemsValueText") +
               "|" + labelText("showOrderTotalAmountValueText");
    };
    EXPECT_EQ(shown(), "2015/1 0 0.00|0.00|0.00");
    EXPECT_EQ(top()->lastToastText(), KL("KLNoData"));
    ASSERT_TRUE(tap("backwardEvent"));
    EXPECT_EQ(shown(), "2014/12 1 7.50|4.00|120.50");
    ASSERT_TRUE(tap("forwardEvent"));
    EXPECT_EQ(shown(), "2015/1 0 0.00|0.00|0.00");
}

TEST_F(OrderJournal, MonthTotalsAddTheMonthsOrdersASearchKeepsThemAndAnEmptyMonthSaysSo) {
    start();
    seedHeader("111", "2015", "5", "Big", "5.00", "3", "100.00");
    seedHeader("111", "2015", "5", "Small", "2.50", "1", "20.50");
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
