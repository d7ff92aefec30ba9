// The product list and editor: default line values, uniqueness within a category, edits
// that keep the key and line defaults, the reference price typing filter, and deleting a
// product together with its order lines.
#include <gtest/gtest.h>

#include "catalogue/AddProductSubViewController.h"
#include "catalogue/ProductSubItemListViewController.h"
#include "platform/Localisation.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/catalogue/CatalogueFixture.h"

namespace {

class Products : public CatalogueHarness {
  protected:
    // Start-up, More, category list, a new category "Tools", and its product list.
    void openProductsOfNewCategory() {
        openCategories();
        addCategory("Tools");
        ASSERT_TRUE(selectRow("tableView", 0));
        ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
        clock_->advance(std::chrono::seconds(1));
    }
    std::vector<SProductsNameSub> all() {
        return SProductsNameSubDB().findWithUid_limit(std::nullopt, 100);
    }
};

class ReferencePrice : public Products {
  protected:
    void SetUp() override {
        Products::SetUp();
        openProductsOfNewCategory();
        ASSERT_TRUE(tap("addProductSubItemEvent"));
    }
    std::string price() { return fieldText("referencePriceText"); }
};

}  // namespace

TEST_F(Products, NewProductGetsDefaultLineValuesAndCategoryCopies) {
    openProductsOfNewCategory();
    ASSERT_TRUE(tap("addProductSubItemEvent"));
    EXPECT_EQ(top()->title, KL("KLNewSubcategory"));
    EXPECT_EQ(top()->get<TextField>("productModelText")->caption, KL("KLModel"));
    EXPECT_EQ(top()->get<TextField>("referencePriceText")->caption, KL("KLRefPrice"));
    EXPECT_EQ(top()->get<TextField>("productUnitsText")->caption, KL("KLUnits"));
    EXPECT_EQ(top()->get<Button>("deleteBtn"), nullptr);
    ASSERT_TRUE(tap("backEvent"));

    addProduct("Hammer", "12.5", "pcs", "H-1", "40");
    ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
    EXPECT_EQ(top()->title, "Product(1)");
    EXPECT_EQ(cell(0, "showProductsSubNameCell"), "Hammer");
    EXPECT_EQ(cell(0, "showReferencePriceCell"), "12.5 / H-1 / pcs");
    auto* table = top()->get<TableView>("tableView");
    EXPECT_TRUE(table->rows[0].arrow);
    EXPECT_EQ(table->rows[0].layout, "ProductsSubItemCell");
    EXPECT_EQ(table->rowHeight, 60);

    auto stored = all();
    ASSERT_EQ(stored.size(), 1u);
    const auto& p = stored[0];
    EXPECT_EQ(p.productPrimaryKey, "20150509160250");
    EXPECT_EQ(p.productTypeName, "Tools");
    EXPECT_EQ(p.productTypeNameKey, "20150509160250");
    EXPECT_EQ(p.productSubNameKey, "20150509160251");
    EXPECT_EQ(p.productSubIndex, "20150509160251");
    EXPECT_EQ(p.productSubModel, "H-1");
    EXPECT_EQ(p.productSubReferencePrice, "12.5");
    EXPECT_EQ(p.productSubInventoryQty, "40");
    EXPECT_EQ(p.productSubQty, "1");
    EXPECT_EQ(p.productSubPrice, "12.5");
    EXPECT_EQ(p.productSubTotalAmount, "12.5");
    EXPECT_EQ(p.productSubDate, "2015/05/09");
}

TEST_F(Products, UnitIsCheckedBeforeNameAndOptionalFieldsStoreEmptyTexts) {
    openProductsOfNewCategory();
    ASSERT_TRUE(tap("addProductSubItemEvent"));
    ASSERT_TRUE(tap("completeEvent"));
    EXPECT_EQ(shakes("productUnitsText"), 1);
    EXPECT_EQ(shakes("productNameText"), 0) << "only the unit shakes while it is empty";
    ASSERT_TRUE(setText("productUnitsText", "kg"));
    ASSERT_TRUE(tap("completeEvent"));
    EXPECT_EQ(shakes("productNameText"), 1);
    EXPECT_TRUE(all().empty());

    ASSERT_TRUE(setText("productNameText", "Sand"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
    auto stored = all();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].productSubModel, "");
    EXPECT_EQ(stored[0].productSubReferencePrice, "");
    EXPECT_EQ(stored[0].productSubInventoryQty, "");
    EXPECT_EQ(stored[0].productSubPrice, "");
    EXPECT_EQ(cell(0, "showReferencePriceCell"), " /  / kg");
}

TEST_F(Products, SameNameIsRefusedOnlyInTheSameCategoryAndNotOnRename) {
    openProductsOfNewCategory();
    addProduct("Hammer", "1");
    clock_->advance(std::chrono::seconds(1));
    addProduct("Hammer", "2");
    ASSERT_EQ(top()->className(), "AddProductSubViewController");
    ASSERT_NE(lastToast(), nullptr);
    EXPECT_EQ(lastToast()->text, KL("KLExists"));
    EXPECT_DOUBLE_EQ(lastToast()->seconds, 1.0);
    ASSERT_TRUE(tap("backEvent"));
    addProduct("hammer", "2");
    clock_->advance(std::chrono::seconds(1));
    addProduct("Saw", "3");
    EXPECT_EQ(top()->title, "Product(3)");

    // Another category may hold a "Hammer" too.
    ASSERT_TRUE(tap("backEvent"));
    clock_->advance(std::chrono::seconds(1));
    addCategory("Garden");
    ASSERT_TRUE(selectRow("tableView", 0));
    addProduct("Hammer", "4");
    EXPECT_EQ(top()->title, "Product(1)");
    ASSERT_TRUE(tap("backEvent"));

    // Back in "Tools" (row 1): rename "Saw" (newest, row 0) to "Hammer".
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_EQ(cell(0, "showProductsSubNameCell"), "Saw");
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_EQ(top()->title, KL("KLEditSubcategory"));
    ASSERT_TRUE(setText("productNameText", "Hammer"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
    EXPECT_EQ(cell(0, "showProductsSubNameCell"), "Hammer");
    EXPECT_EQ(SProductsNameSubDB()
                  .findWithProductNameSubExistsLike_findWithProductPrimaryKeyLike("Hammer",
                                                                                  "20150509160250")
                  .size(),
              2u);
}

TEST_F(Products, EditingKeepsKeyAndLineDefaultsWhileReplacingTypedFields) {
    openProductsOfNewCategory();
    addProduct("Hammer", "12.50", "pcs", "H-1", "40");
    const auto before = all().at(0);

    clock_->set(at(2015, 6, 1, 9, 30, 0));
    ASSERT_TRUE(selectRow("tableView", 0));
    EXPECT_EQ(fieldText("productNameText"), "Hammer");
    EXPECT_EQ(fieldText("productModelText"), "H-1");
    EXPECT_EQ(fieldText("referencePriceText"), "12.50");
    EXPECT_EQ(fieldText("productQtyText"), "40");
    EXPECT_EQ(fieldText("productUnitsText"), "pcs");
    auto* del = top()->get<Button>("deleteBtn");
    ASSERT_NE(del, nullptr);
    EXPECT_EQ(del->style, "delete");
    EXPECT_EQ(del->image, "bookmark_white_delete");

    ASSERT_TRUE(setText("referencePriceText", "99"));
    ASSERT_TRUE(setText("productModelText", "H-2, \"big\""));
    ASSERT_TRUE(setText("productQtyText", "lots"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(top()->className(), "ProductSubItemListViewController");

    auto after = all();
    ASSERT_EQ(after.size(), 1u);
    const auto& p = after[0];
    EXPECT_EQ(p.productSubUid, before.productSubUid);
    EXPECT_EQ(p.productSubNameKey, before.productSubNameKey);
    EXPECT_EQ(p.productSubReferencePrice, "99");
    EXPECT_EQ(p.productSubModel, "H-2, \"big\"");
    EXPECT_EQ(p.productSubInventoryQty, "lots");
    EXPECT_EQ(p.productSubQty, "1");
    EXPECT_EQ(p.productSubPrice, "12.50") << "the default line price stays";
    EXPECT_EQ(p.productSubTotalAmount, "12.50");
    EXPECT_EQ(p.productSubDate, "2015/06/01");
    EXPECT_EQ(p.productSubIndex, "20150601093000");
    EXPECT_EQ(cell(0, "showReferencePriceCell"), "99 / H-2, \"big\" / pcs");
}

TEST_F(Products, DeletingAProductRemovesItsLinesFromEveryOrderButKeepsTheHeaders) {
    openProductsOfNewCategory();
    addProduct("Hammer", "5");
    clock_->advance(std::chrono::seconds(1));
    addProduct("Saw", "7");
    auto products = all();
    ASSERT_EQ(products.size(), 2u);
    const std::string saw = *products[0].productSubNameKey;
    const std::string hammer = *products[1].productSubNameKey;
    ASSERT_NE(saw, hammer);

    SUserCommodityDB headers;
    SUserCommodityOrderDB lines;
    ASSERT_TRUE(headers.saveUserCommodity(orderHeader("20150501100000", "c1", "21", "17.00")));
    ASSERT_TRUE(headers.saveUserCommodity(orderHeader("20150502100000", "s1", "11", "10.00")));
    ASSERT_TRUE(lines.saveUserCommodityOrder(orderLine("20150501100000", hammer, "21", "2")));
    ASSERT_TRUE(lines.saveUserCommodityOrder(orderLine("20150501100000", saw, "21", "1")));
    ASSERT_TRUE(lines.saveUserCommodityOrder(orderLine("20150502100000", hammer, "11", "2")));

    ASSERT_TRUE(selectRow("tableView", 1));  // Hammer
    ASSERT_EQ(fieldText("productNameText"), "Hammer");
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(top()->actionSheet().has_value());
    EXPECT_EQ(top()->actionSheet()->otherTitles, std::vector<std::string>{KL("KLOK")});
    EXPECT_TRUE(top()->actionSheet()->destructiveTitle.empty());
    ASSERT_TRUE(sheet(1));  // cancel
    EXPECT_EQ(lines.findWithSalesAndPurchaseNameUpdateKeyDateLike(hammer).size(), 2u);
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));

    ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
    EXPECT_EQ(top()->title, "Product(1)");
    EXPECT_EQ(cell(0, "showProductsSubNameCell"), "Saw");
    EXPECT_TRUE(lines.findWithSalesAndPurchaseNameUpdateKeyDateLike(hammer).empty());
    EXPECT_TRUE(lines.findWithSalesAndPurchasePrimaryKeyDateLike("20150502100000").empty());
    auto left = lines.findWithSalesAndPurchasePrimaryKeyDateLike("20150501100000");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].orderItemProductNameKey, saw);
    auto kept = headers.findWithUid_limit(std::nullopt, 10);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].orderTotalAmount, "10.00");
    EXPECT_EQ(kept[1].orderTotalAmount, "17.00");
}

TEST_F(ReferencePrice, TypingKeepsOnePointNotFirstAndTwoDecimals) {
    typeCharByChar("referencePriceText", "1.234");
    EXPECT_EQ(price(), "1.23");
    typeCharByChar("referencePriceText", ".5x");
    EXPECT_EQ(price(), "1.23") << "second point, third decimal and letters are ignored";

    ASSERT_TRUE(setText("referencePriceText", ""));
    typeCharByChar("referencePriceText", ".");
    EXPECT_EQ(price(), "") << "a leading point is ignored";
    typeCharByChar("referencePriceText", "a-1e5 ,٣7");
    EXPECT_EQ(price(), "157") << "only ASCII digits pass";
    ASSERT_TRUE(change("referencePriceText", 0, 0, "."));
    EXPECT_EQ(price(), "157") << "a point at position 0 is refused even with digits after";
    ASSERT_TRUE(change("referencePriceText", 1, 0, "."));
    EXPECT_EQ(price(), "1.57");
    ASSERT_TRUE(change("referencePriceText", 0, 0, "9"));
    EXPECT_EQ(price(), "91.57") << "digits before the point are free";
    ASSERT_TRUE(change("referencePriceText", 5, 0, "\n"));
    EXPECT_EQ(price(), "91.57") << "a line break past two decimals is still refused";
    ASSERT_TRUE(change("referencePriceText", 4, 0, "\n"));
    EXPECT_EQ(price(), "91.5\n7") << "line breaks count as allowed characters";
}

TEST_F(ReferencePrice, PastingIsCheckedAsAWhole) {
    ASSERT_TRUE(change("referencePriceText", 0, 0, "12.5"));
    EXPECT_EQ(price(), "") << "a pasted point at position 0";
    ASSERT_TRUE(change("referencePriceText", 0, 0, "12"));
    ASSERT_TRUE(change("referencePriceText", 2, 0, "1.2.3"));
    EXPECT_EQ(price(), "12") << "two points in one paste";
    ASSERT_TRUE(change("referencePriceText", 2, 0, ".25"));
    EXPECT_EQ(price(), "12.25");
    ASSERT_TRUE(change("referencePriceText", 0, 5, "7"));
    EXPECT_EQ(price(), "7") << "replacing the whole text is at position 0";
}

TEST_F(ReferencePrice, DeletingFollowsOnlyThePositionRule) {
    typeCharByChar("referencePriceText", "3.45");
    ASSERT_TRUE(change("referencePriceText", 3, 1, ""));
    EXPECT_EQ(price(), "3.4");
    ASSERT_TRUE(change("referencePriceText", 1, 1, ""));
    EXPECT_EQ(price(), "34") << "the point itself can be deleted";
    ASSERT_TRUE(change("referencePriceText", 1, 0, "."));
    EXPECT_EQ(price(), "3.4") << "and typed again once gone";
    ASSERT_TRUE(tap("backEvent"));

    // A stored price with more decimals than typing allows: deleting past the second
    // decimal is refused, nearer the point it is accepted.
    auto* list = topAs<ProductSubItemListViewController>();
    ASSERT_NE(list, nullptr);
    auto editor = std::make_unique<AddProductSubViewController>();
    editor->createItemUpdateTag = "1";
    editor->createItemReferencePrice = "2.5678";
    nav().pushViewController(std::move(editor), true);
    ASSERT_TRUE(change("referencePriceText", 5, 1, ""));
    EXPECT_EQ(price(), "2.5678");
    ASSERT_TRUE(change("referencePriceText", 3, 1, ""));
    EXPECT_EQ(price(), "2.578");
    ASSERT_TRUE(change("referencePriceText", 0, 5, ""));
    EXPECT_EQ(price(), "");
}

TEST_F(ReferencePrice, OtherFieldsTakeAnyText) {
    ASSERT_TRUE(typeAtEnd("productQtyText", ".x.1234"));
    ASSERT_TRUE(typeAtEnd("productModelText", ".😀,\"'"));
    EXPECT_EQ(fieldText("productQtyText"), ".x.1234");
    EXPECT_EQ(fieldText("productModelText"), ".😀,\"'");
}
