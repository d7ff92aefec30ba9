// Categories and products: exact uniqueness of new names and none on rename, deleting only
// empty categories, default line values, edits that keep the key and line values, the
// reference price filter, deleting a product together with its order lines, and editors
// that stay open when a write fails.
#include <gtest/gtest.h>

#include "catalogue/ProductListViewController.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
#include "tests/catalogue/CatalogueFixture.h"

namespace {

std::vector<SProductsNameType> categories() {
    return SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10);
}
std::vector<SProductsNameSub> products() {
    return SProductsNameSubDB().findWithUid_limit(std::nullopt, 10);
}

using Categories = CatalogueHarness;

// The product list of a new category "Tools", a second after it was added.
class Products : public CatalogueHarness {
  protected:
    void SetUp() override {
        CatalogueHarness::SetUp();
        openList("");
        addCategory("Tools");
        ASSERT_TRUE(selectRow("tableView", 0));
        ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
        clock_->advance(std::chrono::seconds(1));
    }
};

}  // namespace

TEST_F(Categories, NewNamesMustDifferExactlyButRenamesAreNotChecked) {
    openList("");
    ASSERT_TRUE(tap("addProductEvent"));
    const auto* name = top()->get<TextField>("productNameText");
    EXPECT_TRUE(name->editing) << "the empty field has the focus";
    ASSERT_TRUE(pressReturn("productNameText"));  // Enter completes, as the done button
    EXPECT_EQ(shakes("productNameText"), 1) << "an empty name is refused";
    EXPECT_TRUE(name->refused);
    ASSERT_TRUE(tap("backEvent"));
    addCategory("Tools");
    addCategory("Tools");
    ASSERT_EQ(top()->className(), "AddProductTypeViewController") << "a duplicate is refused";
    expectToast("KLExists", 1.0);
    ASSERT_TRUE(tap("backEvent"));
    clock_->advance(std::chrono::seconds(1));
    addCategory("tools");  // other letter case is another name
    clock_->advance(std::chrono::seconds(1));
    addCategory("Tools ");  // so is a trailing blank
    EXPECT_EQ(top()->title, "Products(3)");

    // Rename "tools" (row 1) to "Tools": accepted, keys kept, index moved to now.
    ASSERT_EQ(cell(1, "showProductsNameCell"), "tools");
    auto before = topAs<ProductListViewController>()->productNameTypeListArray[1];
    clock_->advance(std::chrono::seconds(5));
    ASSERT_TRUE(tap("buttonPressedEditProductType", 1, "tableView"));
    ASSERT_TRUE(setText("productNameText", "Tools"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(top()->className(), "ProductListViewController");
    EXPECT_EQ(cell(1, "showProductsNameCell"), "Tools");
    EXPECT_EQ(SProductsNameTypeDB().findWithProductsNameTypeExistsLike("Tools").size(), 2u);
    auto renamed = categories().at(1);
    EXPECT_EQ(renamed.productsTypeUid, before.productsTypeUid);
    EXPECT_EQ(renamed.productsTypeNameKey, before.productsTypeNameKey);
    EXPECT_EQ(renamed.productsTypeIndex, "20150509160257");
}

// Made by an older version in consecutive seconds, "Empty"'s name key is "Full"'s primary
// key, under which "Full" files its product.
TEST_F(Categories, OnlyAnEmptyCategoryCanBeDeletedAndItTakesNothingElse) {
    start();
    exec(
        "INSERT INTO SProductsNameType (productsTypePrimaryKey, productsTypeName, "
        "productsTypeNameKey) VALUES ('20150509160249', 'Empty', '20150509160250'), "
        "('20150509160250', 'Full', '20150509160250')");
    exec(
        "INSERT INTO SProductsNameSub (productPrimaryKey, productSubName) "
        "VALUES ('20150509160250', 'Hammer')");
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    ASSERT_TRUE(selectRow("tableView", 0));

    ASSERT_TRUE(tap("buttonPressedEditProductType", 0, "tableView"));
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "AddProductTypeViewController");
    expectToast("KLTipDeleteProduct", 1.5);
    ASSERT_TRUE(tap("backEvent"));

    ASSERT_TRUE(tap("buttonPressedEditProductType", 1, "tableView"));
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(top()->title, "Products(1)");
    ASSERT_EQ(categories().size(), 1u);
    EXPECT_EQ(categories()[0].productsTypeName, "Full");
    EXPECT_EQ(products().size(), 1u);
}

TEST_F(Products, NewProductGetsDefaultLineValuesThatEditsKeep) {
    ASSERT_TRUE(tap("addProductSubItemEvent"));
    ASSERT_TRUE(setText("productNameText", "Hammer"));
    ASSERT_TRUE(tap("completeEvent"));
    EXPECT_EQ(shakes("productUnitsText"), 1) << "the unit is required too";
    ASSERT_TRUE(tap("backEvent"));

    addProduct("Hammer", "12.5", "H-1", "40");
    EXPECT_EQ(top()->title, "Product(1)");
    EXPECT_EQ(cell(0, "showReferencePriceCell"), "12.5 / H-1 / pcs");
    ASSERT_EQ(products().size(), 1u);
    const auto p = products()[0];
    // Category copies, keys and index of now, typed fields, then the default line values.
    EXPECT_EQ(
        (std::vector<Text>{p.productPrimaryKey, p.productTypeName, p.productTypeNameKey,
                           p.productSubNameKey, p.productSubIndex, p.productSubModel,
                           p.productSubReferencePrice, p.productSubInventoryQty, p.productSubQty,
                           p.productSubPrice, p.productSubTotalAmount, p.productSubDate}),
        (std::vector<Text>{"20150509160250", "Tools", "20150509160250", "20150509160251",
                           "20150509160251", "H-1", "12.5", "40", "1", "12.5", "12.5",
                           "2015/05/09"}));

    // A new reference price leaves the line values; the key stays, index and date move.
    clock_->set(at(2015, 6, 1, 9, 30, 0));
    ASSERT_TRUE(selectRow("tableView", 0));
    EXPECT_EQ(fieldText("referencePriceText"), "12.5");
    ASSERT_TRUE(setText("referencePriceText", "99"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(products().size(), 1u);
    const auto q = products()[0];
    EXPECT_EQ((std::vector<Text>{q.productSubUid, q.productSubNameKey, q.productSubIndex,
                                 q.productSubReferencePrice, q.productSubPrice,
                                 q.productSubTotalAmount, q.productSubDate}),
              (std::vector<Text>{p.productSubUid, p.productSubNameKey, "20150601093000", "99",
                                 "12.5", "12.5", "2015/06/01"}));
}

TEST_F(Products, SameNameIsRefusedOnlyInTheSameCategoryAndNotOnRename) {
    addProduct("Hammer", "1");
    clock_->advance(std::chrono::seconds(1));
    addProduct("Hammer", "2");
    ASSERT_EQ(top()->className(), "AddProductSubViewController");
    expectToast("KLExists", 1.0);
    ASSERT_TRUE(tap("backEvent"));
    addProduct("hammer", "2");
    EXPECT_EQ(top()->title, "Product(2)");

    ASSERT_TRUE(tap("backEvent"));
    clock_->advance(std::chrono::seconds(1));
    addCategory("Garden");
    ASSERT_TRUE(selectRow("tableView", 0));
    addProduct("Hammer", "4");
    EXPECT_EQ(top()->title, "Product(1)") << "another category may hold a Hammer too";
    ASSERT_TRUE(tap("backEvent"));

    // Back in "Tools": rename "hammer" (newest, row 0) to "Hammer".
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("productNameText", "Hammer"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
    EXPECT_EQ(cell(0, "showProductsSubNameCell"), "Hammer");
}

TEST_F(Products, DeletingAProductRemovesItsLinesFromEveryOrderButKeepsTheHeaders) {
    addProduct("Hammer", "5");
    clock_->advance(std::chrono::seconds(1));
    addProduct("Saw", "7");
    const std::string hammer = *products().at(1).productSubNameKey;
    exec("INSERT INTO SUserCommodity (orderPrimaryKeyDate) VALUES ('o1'), ('o2')");
    exec(
        "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate, orderItemProductNameKey) "
        "VALUES ('o1', '" +
        hammer + "'), ('o1', 'saw'), ('o2', '" + hammer + "')");
    ASSERT_TRUE(setText("searchText", "hAM"));  // the older product, shown alone
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_EQ(fieldText("productNameText"), "Hammer");
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
    EXPECT_EQ(top()->title, "Product(1)");
    EXPECT_EQ(count("SUserCommodityOrder WHERE orderItemProductNameKey = 'saw'"), 1);
    EXPECT_EQ(count("SUserCommodityOrder"), 1);
    EXPECT_EQ(count("SUserCommodity"), 2);
}

// The line editor's test lists the typing rule's cases; here, that the field has it, with two
// decimals.
TEST_F(Products, ReferencePriceTakesTwoDecimalsAndAChangeIsJudgedWhole) {
    struct Step {  // each change applies to the text the step before left
        long at, length;
        const char *text, *want;
    };
    const Step steps[] = {
        {0, 0, "12.5", "12.5"},          // a paste
        {4, 0, "67", "12.5"},            // a third decimal refuses the whole paste
        {0, 4, "2.5", "2.5"},            // select-all and paste
        {0, 1, "9999999999999", "2.5"},  // thirteen digits before the point
    };
    ASSERT_TRUE(tap("addProductSubItemEvent"));
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.text) + " at " + std::to_string(s.at));
        ASSERT_TRUE(change("referencePriceText", s.at, s.length, s.text));
        EXPECT_EQ(fieldText("referencePriceText"), s.want);
    }
}

TEST_F(Products, EveryEditorStaysOpenWithItsTextWhenAWriteFails) {
    addProduct("Hammer", "5");
    exec("PRAGMA query_only = ON");  // every later write fails while reads go on working
    ASSERT_TRUE(tap("addProductSubItemEvent"));
    ASSERT_TRUE(setText("productNameText", "Saw"));
    ASSERT_TRUE(setText("productUnitsText", "box"));
    expectEditorStays("completeEvent", "AddProductSubViewController", "productNameText", "Saw");
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_TRUE(selectRow("tableView", 0));
    expectEditorStays("deleteProductCurrentItemsEvent", "AddProductSubViewController");
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_TRUE(tap("backEvent"));

    ASSERT_TRUE(tap("addProductEvent"));
    ASSERT_TRUE(setText("productNameText", "Paint"));
    expectEditorStays("completeEvent", "AddProductTypeViewController", "productNameText", "Paint");
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_TRUE(tap("backEvent"));

    ASSERT_TRUE(tap("jumpSupplierEvent"));
    ASSERT_TRUE(tap("addCompanyEvent"));
    ASSERT_TRUE(setText("showNameText", "Acme"));
    expectEditorStays("completeOrEditEvent", "AddSupplierCustomersVC", "showNameText", "Acme");
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_TRUE(selectRow("tableView", 0));
    expectEditorStays("deleteSupplierCustomersItemsEvent", "AddSupplierCustomersVC");
}
