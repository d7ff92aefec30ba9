// The product picker, the line editor with its typing filters, and the lines they store.
#include <gtest/gtest.h>

#include "orders/EditOrderItemsVC.h"
#include "tests/orders/OrdersFixture.h"

namespace {
class LineEditor : public OrdersFixture {};
}  // namespace

TEST_F(LineEditor, PickingStoresALineAndCompletingRewritesItUnderTheSameUid) {
    start();
    seedProduct("Tools", "Hammer", "2", "12.5", "4.5");
    openJournal("jumpInItems2Event");
    addOrder();
    clock_->set(at(2015, 5, 9, 18, 7, 0));
    pickProduct(0, 0);
    auto lines = linesOf(kFirstKey);
    ASSERT_EQ(lines.size(), 1u);
    const SUserCommodityOrder l = lines[0];
    // The line's price is the reference price, but its total is the product's price times
    // its default quantity.
    EXPECT_EQ(join({l.orderItemSalesAndPurchaseType, l.orderItemSalesAndPurchaseTags,
                    l.orderItemProductName, l.orderItemProductNameKey, l.orderItemReferencePrice,
                    l.orderItemQuantity, l.orderItemUnitPrice, l.orderItemTotalAmount,
                    l.orderItemDateTime, l.orderItemMinutesTime}),
              "Purchase|11|Hammer|P-Hammer|12.5|2|12.5|9.00|2015/05/09|18:07");

    ASSERT_TRUE(selectRow("tableView", 0));
    // A whole text with a leading point is refused by the field.
    EXPECT_TRUE(setText("priceText", ".5"));
    EXPECT_EQ(fieldText("priceText"), "12.5");
    typeInto("quantityText", "3");
    typeInto("priceText", "2.5");
    ASSERT_TRUE(tap("completeEvent"));
    lines = linesOf(kFirstKey);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].orderItemUid, l.orderItemUid);
    EXPECT_EQ(join({lines[0].orderItemQuantity, lines[0].orderItemUnitPrice,
                    lines[0].orderItemTotalAmount}),
              "3|2.5|7.50");

    // An emptied quantity stores an empty text and a zero total.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("quantityText", ""));
    ASSERT_TRUE(tap("completeEvent"));
    lines = linesOf(kFirstKey);
    EXPECT_EQ(join({lines[0].orderItemQuantity, lines[0].orderItemTotalAmount}), "|0.00");
    EXPECT_EQ(labelText("showTotalValueLbl"), "0.00");
}

TEST(TypingFilterRules, QuantityTakesThreeDecimalsAndPriceTwo) {
    struct Case {
        const char* text;
        long location;
        const char* replacement;
        long decimals;
        bool accepted;
    };
    const Case cases[] = {
        // Quantity: no point first nor twice, three decimals at most.
        {"", 0, ".", 3, false},
        {"1", 1, ".", 3, true},
        {"1.2", 3, ".", 3, false},
        {"1.23", 4, "4", 3, true},
        {"1.234", 5, "5", 3, false},
        // Price: two decimals, but digits in front of the point are free.
        {"1.2", 3, "3", 2, true},
        {"1.23", 4, "4", 2, false},
        {"1.23", 0, "9", 2, true},
        // Only ASCII digits, the point and the keyboard's return get through.
        {"12", 2, "a", 3, false},
        {"12", 2, "\n", 3, true},
        {"12", 2, "3a", 3, false},
        {"12", 1, "\xC2\xBD", 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "' @" + std::to_string(c.location) + " '" +
                     c.replacement + "' d" + std::to_string(c.decimals));
        EXPECT_EQ(
            EditOrderItemsVC::acceptsDecimalChange(c.text, c.location, c.replacement, c.decimals),
            c.accepted);
    }
}
