// The product picker, the line editor with its typing filters, and the lines they store.
#include <gtest/gtest.h>

#include "orders/EditOrderItemsVC.h"
#include "orders/SelectProductsBackViewController.h"
#include "tests/orders/OrdersFixture.h"

namespace {
class ProductPicker : public OrdersFixture {};
class LineEditor : public OrdersFixture {};
class TypingFilter : public ::testing::Test {};
}  // namespace

TEST_F(ProductPicker, ListsCategoriesThenProductsAndStoresOneLinePerPick) {
    start();
    seedProduct("Tools", "Hammer", "1", "12.5", "12.5", "H1", "pcs");
    seedProduct("Paint", "White", "2", "4", "4.5", "W", "l");
    openPurchaseJournal();
    addOrder();
    ASSERT_TRUE(tap("tapJumpProductNameSelectEvent"));
    ASSERT_EQ(top()->className(), "SelectProductsBackViewController");
    EXPECT_EQ(top()->title, "Select product");
    auto& types = table("productTypeTableView");
    EXPECT_EQ(types.rowHeight, 50);
    ASSERT_EQ(types.rows.size(), 2u);
    // Newest category first; the add button shows, the product labels do not.
    EXPECT_EQ(cell("productTypeTableView", 0, "showProductNameFatCell"), "Paint");
    EXPECT_EQ(types.rows[0].layout, "SelectProductsCell");
    EXPECT_EQ(types.rows[0].field("showProductAddBtnCell")->action, "buttonPressedAddProductSub");
    EXPECT_TRUE(types.rows[0].field("showProductNameSubCell")->hidden);
    EXPECT_TRUE(table("productSubTableView").rows.empty());

    ASSERT_TRUE(selectRow("productTypeTableView", 1));
    auto& subs = table("productSubTableView");
    ASSERT_EQ(subs.rows.size(), 1u);
    EXPECT_EQ(cell("productSubTableView", 0, "showProductNameSubCell"), "Hammer");
    EXPECT_EQ(cell("productSubTableView", 0, "showProductPriceCell"), "12.5//H1//pcs");
    EXPECT_TRUE(subs.rows[0].field("showProductNameFatCell")->hidden);
    EXPECT_TRUE(subs.rows[0].field("showProductAddBtnCell")->hidden);

    clock_->set(at(2015, 5, 9, 18, 7, 0));
    ASSERT_TRUE(selectRow("productSubTableView", 0));
    ASSERT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    auto lines = linesOf("20150509160250");
    ASSERT_EQ(lines.size(), 1u);
    const SUserCommodityOrder& l = lines[0];
    EXPECT_EQ(l.orderItemSalesAndPurchaseType, "Purchase");
    EXPECT_EQ(l.orderItemSalesAndPurchaseTags, "11");
    EXPECT_EQ(l.orderItemProductTypeName, "Tools");
    EXPECT_EQ(l.orderItemProductTypeNameKey, "Tools-key");
    EXPECT_EQ(l.orderItemProductName, "Hammer");
    EXPECT_EQ(l.orderItemProductNameKey, "P-Hammer");
    EXPECT_EQ(l.orderItemModel, "H1");
    EXPECT_EQ(l.orderItemUnit, "pcs");
    EXPECT_EQ(l.orderItemReferencePrice, "12.5");
    EXPECT_EQ(l.orderItemInventoryQty, "0");
    EXPECT_EQ(l.orderItemQuantity, "1");
    EXPECT_EQ(l.orderItemUnitPrice, "12.5");
    EXPECT_EQ(l.orderItemTotalAmount, "12.50");
    EXPECT_EQ(l.orderItemDateTime, "2015/05/09");
    EXPECT_EQ(l.orderItemMinutesTime, "18:07");
    EXPECT_EQ(l.orderItemWeekInYearTime, "19");
    EXPECT_EQ(l.orderItemYears, "2015");
    EXPECT_EQ(l.orderItemMonths, "5");
    EXPECT_EQ(l.orderItemDays, "9");

    // The same product again is a second line; the total multiplies the product's price
    // (not its reference price) by its default quantity.
    pickProduct(1, 0);
    pickProduct(0, 0);
    lines = linesOf("20150509160250");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].orderItemProductName, "White");
    EXPECT_EQ(lines[0].orderItemUnitPrice, "4");
    EXPECT_EQ(lines[0].orderItemTotalAmount, "9.00");
    EXPECT_EQ(lines[1].orderItemProductName, "Hammer");
    EXPECT_NE(lines[1].orderItemUid, lines[2].orderItemUid);
}

TEST_F(ProductPicker, BackAddsNothingAndTheAddButtonHandsTheCategoryOver) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    openSalesJournal();
    addOrder();
    ASSERT_TRUE(tap("tapJumpProductNameSelectEvent"));
    ASSERT_TRUE(selectRow("productTypeTableView", 0));
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    EXPECT_TRUE(allLines().empty());

    ASSERT_TRUE(tap("tapJumpProductNameSelectEvent"));
    ASSERT_TRUE(tap("buttonPressedAddProductSub", 0, "productTypeTableView"));
    EXPECT_EQ(defaultsValue("ProductsPrimaryKey"), "T-Tools");
    EXPECT_EQ(defaultsValue("ProductsTypeName"), "Tools");
    EXPECT_EQ(defaultsValue("ProductsTypeNameKey"), "Tools-key");
    // A button of a row that does not exist does nothing.
    EXPECT_FALSE(tap("buttonPressedAddProductSub", 5, "productTypeTableView"));
}

TEST_F(ProductPicker, ComingBackRereadsCategoriesButKeepsTheLoadedProducts) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    openSalesJournal();
    addOrder();
    ASSERT_TRUE(tap("tapJumpProductNameSelectEvent"));
    ASSERT_TRUE(selectRow("productTypeTableView", 0));
    auto* picker = topAs<SelectProductsBackViewController>();
    ASSERT_NE(picker, nullptr);
    // A product and a category added meanwhile (as the catalogue editors would).
    seedProduct("Tools", "Saw", "1", "9", "9");
    seedProduct("Glue", "Epoxy", "1", "2", "2");
    nav().pushViewController(std::make_unique<EditOrderItemsVC>(), false);
    nav().popViewControllerAnimated(false);
    nav().drain();
    EXPECT_EQ(table("productTypeTableView").rows.size(), 2u);
    EXPECT_EQ(table("productSubTableView").rows.size(), 1u);
    ASSERT_TRUE(selectRow("productTypeTableView", 1));
    EXPECT_EQ(table("productSubTableView").rows.size(), 2u);
}

TEST_F(LineEditor, CompletingStoresQuantityPriceTotalAndTodayUnderTheSameUid) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5", "H1", "pcs");
    openSalesJournal();
    addOrder();
    pickProduct(0, 0);
    const Text uid = linesOf("20150509160250").at(0).orderItemUid;

    clock_->set(at(2015, 6, 2, 8, 15, 0));
    ASSERT_TRUE(selectRow("tableView", 0));
    auto* ed = topAs<EditOrderItemsVC>();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->title, "Edit line");
    EXPECT_EQ(ed->createUid, uid);
    EXPECT_EQ(labelText("showProductNameLbl"), "Hammer");
    EXPECT_EQ(labelText("showModelLbl"), "H1,pcs");
    EXPECT_EQ(fieldText("quantityText"), "1");
    EXPECT_EQ(fieldText("priceText"), "5");
    EXPECT_NE(ed->get<Button>("deleteBtn"), nullptr);
    EXPECT_EQ(ed->get<TextField>("quantityText")->caption, "Qty");
    EXPECT_EQ(ed->get<TextField>("priceText")->caption, "Price");

    // The whole text at once: a point at position 0 is refused.
    EXPECT_TRUE(setText("priceText", "2.5"));
    EXPECT_EQ(fieldText("priceText"), "5");
    typeInto("quantityText", "3");
    typeInto("priceText", "2.5");
    ASSERT_TRUE(tap("completeEvent"));
    auto lines = linesOf("20150509160250");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].orderItemUid, uid);
    EXPECT_EQ(lines[0].orderItemQuantity, "3");
    EXPECT_EQ(lines[0].orderItemUnitPrice, "2.5");
    EXPECT_EQ(lines[0].orderItemTotalAmount, "7.50");
    EXPECT_EQ(lines[0].orderItemProductName, "Hammer");
    EXPECT_EQ(lines[0].orderItemReferencePrice, "5");
    EXPECT_EQ(lines[0].orderItemSalesAndPurchaseTags, "21");
    EXPECT_EQ(lines[0].orderItemDateTime, "2015/06/02");
    EXPECT_EQ(lines[0].orderItemMinutesTime, "08:15");
    EXPECT_EQ(lines[0].orderItemWeekInYearTime, "23");
    EXPECT_EQ(lines[0].orderItemMonths, "6");
    EXPECT_EQ(lines[0].orderItemDays, "2");
    EXPECT_EQ(labelText("showTotalValueLbl"), "7.50");

    // Emptied fields store empty texts and a zero total.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("quantityText", ""));
    ASSERT_TRUE(tap("completeEvent"));
    lines = linesOf("20150509160250");
    EXPECT_EQ(lines[0].orderItemQuantity, "");
    EXPECT_EQ(lines[0].orderItemTotalAmount, "0.00");
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("quantityText", "2"));
    ASSERT_TRUE(setText("priceText", ""));
    ASSERT_TRUE(tap("completeEvent"));
    lines = linesOf("20150509160250");
    EXPECT_EQ(lines[0].orderItemUnitPrice, "");
    EXPECT_EQ(lines[0].orderItemTotalAmount, "0.00");

    // Back stores nothing.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("quantityText", "99"));
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(linesOf("20150509160250")[0].orderItemQuantity, "2");
}

TEST_F(LineEditor, DeletingALineRemovesOnlyThatLine) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    seedProduct("Tools", "Nails", "1", "3", "3");
    openSalesJournal();
    addOrder();
    pickProduct(0, 0);
    pickProduct(0, 1);
    // Products list newest first, so Nails was picked first and Hammer is the newest line.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_EQ(labelText("showProductNameLbl"), "Hammer");
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(top()->actionSheet().has_value());
    EXPECT_EQ(top()->actionSheet()->title, "Delete this item?");
    ASSERT_TRUE(sheet(1));
    EXPECT_EQ(linesOf("20150509160250").size(), 2u);
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    auto lines = linesOf("20150509160250");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].orderItemProductName, "Nails");
    EXPECT_EQ(table("tableView").rows.size(), 1u);
    EXPECT_EQ(labelText("showTotalValueLbl"), "3.00");
}

TEST_F(LineEditor, TypingIsFilteredThroughTheFields) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    openSalesJournal();
    addOrder();
    pickProduct(0, 0);
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("quantityText", ""));
    change("quantityText", 0, 0, ".");
    EXPECT_EQ(fieldText("quantityText"), "");
    for (const char* c : {"1", ".", "2", "3", "4", "5"}) typeAtEnd("quantityText", c);
    EXPECT_EQ(fieldText("quantityText"), "1.234");
    typeAtEnd("quantityText", "x");
    EXPECT_EQ(fieldText("quantityText"), "1.234");

    ASSERT_TRUE(setText("priceText", ""));
    for (const char* c : {"1", ".", "2", "3", "4", "."}) typeAtEnd("priceText", c);
    EXPECT_EQ(fieldText("priceText"), "1.23");
    // The keyboard's return is a character the filter lets through.
    pressReturn("priceText");
    EXPECT_FALSE(top()->get<TextField>("priceText")->editing);
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
        {"", 0, ".", 3, false},  // no point at the start
        {"", 0, "7", 3, true},
        {"1", 1, ".", 3, true},
        {"1.2", 3, ".", 3, false},    // no second point
        {"12", 0, ".", 3, false},     // nor in front of the digits
        {"1.23", 4, "4", 3, true},    // third decimal
        {"1.234", 5, "5", 3, false},  // fourth decimal
        {"1.2", 3, "3", 2, true},
        {"1.23", 4, "4", 2, false},
        {"1.23", 0, "9", 2, true},  // in front of the point is free
        {"1.23", 3, "", 2, true},
        {"12", 2, "a", 3, false},
        {"12", 2, "-", 3, false},
        {"12", 2, "\n", 3, true},
        {"12", 2, "34", 3, true},
        {"12", 2, "3a", 3, false},
        {"12", 1, "\xC2\xBD", 3, false},  // a non-ASCII digit-like character
        {"", 0, "", 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "' @" + std::to_string(c.location) + " '" +
                     c.replacement + "' d" + std::to_string(c.decimals));
        EXPECT_EQ(
            EditOrderItemsVC::acceptsDecimalChange(c.text, c.location, c.replacement, c.decimals),
            c.accepted);
    }
}
