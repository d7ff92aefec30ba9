// The product picker, the line editor with its typing filters, and the lines they store.
#include <gtest/gtest.h>

#include "orders/EditOrderItemsVC.h"
#include "orders/LineAmount.h"
#include "tests/orders/OrdersFixture.h"

namespace {
class LineEditor : public OrdersFixture {};
}  // namespace

TEST_F(LineEditor, APickedSearchResultStoresALineAndCompletingRewritesItUnderTheSameUid) {
    start();
    seedProduct("Tools", "Hammer", "2", "12.5", "4.5", "HX-1");
    seedProduct("Garden", "Rake", "1", "7", "7");
    openJournal("jumpInItems2Event");
    addOrder();
    clock_->set(at(2015, 5, 9, 18, 7, 0));
    // The search finds a product of any category by name or model, and no category is marked
    // meanwhile; a result is picked as a product row is.
    ASSERT_TRUE(tap("tapJumpProductNameSelectEvent"));
    ASSERT_TRUE(selectRow("productTypeTableView", 0));  // Garden, the newest
    EXPECT_TRUE(table("productTypeTableView").rows.at(0).selected);
    ASSERT_TRUE(setText("searchText", "hx-"));
    EXPECT_FALSE(table("productTypeTableView").rows.at(0).selected);
    ASSERT_EQ(table("productSubTableView").rows.size(), 1u);
    EXPECT_EQ(cell("productSubTableView", 0, "showProductNameFatCell"), "Tools");
    ASSERT_TRUE(selectRow("productSubTableView", 0));
    auto lines = linesOf(kFirstKey);
    ASSERT_EQ(lines.size(), 1u);
    const SUserCommodityOrder l = lines[0];
    // The line's price is the reference price, and its total that price times its quantity,
    // although the product's default line price (4.5) is still that of an older price.
    EXPECT_EQ(join({l.orderItemSalesAndPurchaseType, l.orderItemSalesAndPurchaseTags,
                    l.orderItemProductName, l.orderItemProductNameKey, l.orderItemReferencePrice,
                    l.orderItemQuantity, l.orderItemUnitPrice, l.orderItemTotalAmount,
                    l.orderItemDateTime, l.orderItemMinutesTime}),
              "Purchase|11|Hammer|P-Hammer|12.5|2|12.5|25.00|2015/05/09|18:07");

    pickProduct(1, 0);  // Tools, below the newer Garden
    editLine(1, "3", "2.5");  // the first line: newest first
    // The editor shows each line's amount and their sum, and saves the sums of its lines.
    EXPECT_EQ(cell("tableView", 1, "showProductAmountCell") + " " + labelText("showTotalValueLbl"),
              "7.50 32.50");
    saveAs("Two lines");
    const auto h = headers().at(0);
    EXPECT_EQ(join({h.orderTotalCounts, h.orderTotalEntrys, h.orderTotalAmount}), "5.00|2|32.50");
    lines = linesOf(kFirstKey);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].orderItemUid, l.orderItemUid);
    EXPECT_EQ(join({lines[1].orderItemQuantity, lines[1].orderItemUnitPrice,
                    lines[1].orderItemTotalAmount}),
              "3|2.5|7.50");
}

// Each field judges the text a change would leave: quantities take three decimals, prices
// two, both at most twelve digits before the point; a change is taken or refused whole.
TEST_F(LineEditor, FieldsJudgeTheTextAChangeWouldLeave) {
    struct Case {
        const char *field, *before;
        long at, length;
        const char *replacement, *after;
    };
    const Case cases[] = {
        {"quantityText", "1.23", 4, 0, "4", "1.234"},
        {"priceText", "1.23", 4, 0, "4", "1.23"},
        {"priceText", "1.2", 3, 0, "3", "1.23"},
        {"quantityText", "9", 1, 0, ".8765", "9"},  // a paste is refused whole
        {"priceText", "12.5", 0, 4, "2.5", "2.5"},  // select-all and paste
        {"quantityText", "12.5", 0, 4, ".5", "12.5"},
        {"priceText", "7", 1, 0, "1.2.3", "7"},
        {"priceText", "", 0, 0, "1234567890123", ""},
        {"quantityText", "", 0, 0, "123456789012.125", "123456789012.125"},
        {"priceText", "5", 0, 0, "\xC2\xBD", "5"},
        {"priceText", "2.5678", 5, 1, "", "2.567"},  // deleting always works
        {"priceText", "2.5678", 0, 0, "1", "2.5678"},
        {"quantityText", "12", 2, 0, "3\n", "123"},  // the line break only ends editing
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " '" + c.before + "' " + c.replacement);
        auto editor = std::make_unique<EditOrderItemsVC>();
        editor->createUpdateTag = "1";
        editor->createQuantity = editor->createUnitPrice = c.before;
        nav().pushViewController(std::move(editor), false);
        ASSERT_TRUE(change(c.field, c.at, c.length, c.replacement));
        EXPECT_EQ(fieldText(c.field), c.after);
        EXPECT_EQ(top()->get<TextField>(c.field)->editing, std::string(c.replacement) != "3\n");
        ASSERT_TRUE(tap("backEvent"));
    }
}

TEST(LineAmount, IsExactToTheCentRoundedHalfAwayFromZero) {
    for (const auto& [q, p, amount] : {std::tuple{"1.5", "0.01", "0.02"},
                                       {"0.125", "0.10", "0.01"},
                                       {"-1.005", "1", "-1.01"},
                                       {"3", "999999999999.99", "2999999999999.97"},
                                       {"2kg", "1e2", "200.00"},
                                       {"", "5", "0.00"}})  // an emptied quantity
        EXPECT_EQ(lineAmount(std::string(q), std::string(p)), amount) << q << " x " << p;
}
