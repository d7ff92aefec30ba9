// The category list and editor, reached from the More screen: uniqueness, renaming,
// deleting only empty categories, and what the list hands to the product list.
#include <gtest/gtest.h>

#include "catalogue/AddProductTypeViewController.h"
#include "catalogue/ProductListViewController.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
#include "tests/catalogue/CatalogueFixture.h"

namespace {

class Categories : public CatalogueHarness {};

std::vector<std::string> names(const std::vector<SProductsNameType>& list) {
    std::vector<std::string> out;
    for (const auto& c : list) out.push_back(orEmpty(c.productsTypeName));
    return out;
}

}  // namespace

TEST_F(Categories, EmptyListShowsCountZeroAndNewestFirstAfterAdding) {
    openCategories();
    EXPECT_EQ(top()->title, "Products(0)");
    EXPECT_EQ(rowCount(), 0u);

    addCategory("Tools");
    ASSERT_EQ(top()->className(), "ProductListViewController") << "the editor left the stack";
    clock_->advance(std::chrono::seconds(1));
    addCategory("Paint");
    EXPECT_EQ(top()->title, "Products(2)");
    ASSERT_EQ(rowCount(), 2u);
    EXPECT_EQ(cell(0, "showProductsNameCell"), "Paint");
    EXPECT_EQ(cell(1, "showProductsNameCell"), "Tools");
    auto* table = top()->get<TableView>("tableView");
    EXPECT_EQ(table->rowHeight, 60);
    EXPECT_EQ(table->rows[0].layout, "ProductsCell");
    auto* edit = table->rows[0].field("showProductsEditCell");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->action, "buttonPressedEditProductType");

    // The three keys of a new category are time keys of the moment it was added.
    auto stored = SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].productsTypePrimaryKey, "20150509160250");
    EXPECT_EQ(stored[1].productsTypeNameKey, "20150509160250");
    EXPECT_EQ(stored[1].productsTypeIndex, "20150509160250");
    EXPECT_EQ(stored[0].productsTypePrimaryKey, "20150509160251");
}

TEST_F(Categories, NewNameMustDifferExactlyButRenamingIsNotChecked) {
    openCategories();
    addCategory("Tools");
    const size_t depth = nav().depth();

    addCategory("Tools");
    ASSERT_EQ(top()->className(), "AddProductTypeViewController") << "a duplicate is refused";
    ASSERT_NE(lastToast(), nullptr);
    EXPECT_EQ(lastToast()->text, KL("KLExists"));
    EXPECT_DOUBLE_EQ(lastToast()->seconds, 1.0);
    EXPECT_EQ(fieldText("productNameText"), "Tools");
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(nav().depth(), depth);

    clock_->advance(std::chrono::seconds(1));
    addCategory("tools");  // other letter case is another name
    clock_->advance(std::chrono::seconds(1));
    addCategory("Tools ");  // so is a trailing blank
    EXPECT_EQ(top()->title, "Products(3)");

    // Rename "tools" (row 1) to "Tools": accepted, keys kept.
    ASSERT_EQ(cell(1, "showProductsNameCell"), "tools");
    auto before = topAs<ProductListViewController>()->productNameTypeListArray[1];
    clock_->advance(std::chrono::seconds(5));
    ASSERT_TRUE(tap("buttonPressedEditProductType", 1, "tableView"));
    ASSERT_EQ(top()->title, KL("KLEditProduct"));
    EXPECT_EQ(fieldText("productNameText"), "tools");
    ASSERT_TRUE(setText("productNameText", "Tools"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(top()->className(), "ProductListViewController");
    EXPECT_EQ(cell(1, "showProductsNameCell"), "Tools");

    auto same = SProductsNameTypeDB().findWithProductsNameTypeExistsLike("Tools");
    ASSERT_EQ(same.size(), 2u);
    auto renamed =
        SProductsNameTypeDB().findWithProductsNameTypeKeyLike(before.productsTypeNameKey);
    ASSERT_EQ(renamed.size(), 1u);
    EXPECT_EQ(renamed[0].productsTypeUid, before.productsTypeUid);
    EXPECT_EQ(renamed[0].productsTypePrimaryKey, before.productsTypePrimaryKey);
    EXPECT_EQ(renamed[0].productsTypeIndex, "20150509160257");
}

TEST_F(Categories, EmptyNameShakesWhileBlanksAndOddTextAreStoredUnchanged) {
    openCategories();
    ASSERT_TRUE(tap("addProductEvent"));
    EXPECT_EQ(top()->title, KL("KLNewProduct"));
    EXPECT_EQ(top()->get<Button>("deleteBtn"), nullptr) << "no delete button in new mode";
    EXPECT_EQ(top()->get<TextField>("productNameText")->placeholder, KL("KLName"));
    ASSERT_TRUE(tap("completeEvent"));
    EXPECT_EQ(shakes("productNameText"), 1);
    EXPECT_EQ(top()->className(), "AddProductTypeViewController");
    EXPECT_TRUE(SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10).empty());
    ASSERT_TRUE(tap("backEvent"));

    const std::string odd = "<b>\"Nails\", 'screws'</b> 🔩 " + std::string(2000, 'x');
    addCategory("   ");
    addCategory(odd);
    EXPECT_EQ(top()->title, "Products(2)");
    EXPECT_EQ(cell(0, "showProductsNameCell"), odd);
    EXPECT_EQ(cell(1, "showProductsNameCell"), "   ");
    EXPECT_EQ(names(SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10)),
              (std::vector<std::string>{odd, "   "}));
}

TEST_F(Categories, OnlyAnEmptyCategoryCanBeDeleted) {
    openCategories();
    addCategory("Empty");
    clock_->advance(std::chrono::seconds(1));
    addCategory("Full");
    // Give "Full" (row 0) a product.
    ASSERT_TRUE(selectRow("tableView", 0));
    addProduct("Hammer", "9.50");
    ASSERT_TRUE(tap("backEvent"));

    ASSERT_TRUE(tap("buttonPressedEditProductType", 0, "tableView"));
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    const auto& shown = top()->actionSheet();
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->title, KL("KLRUWantToDelete"));
    EXPECT_EQ(shown->cancelTitle, KL("KLCancel"));
    EXPECT_TRUE(shown->destructiveTitle.empty());
    EXPECT_EQ(shown->otherTitles, std::vector<std::string>{KL("KLOK")});
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "AddProductTypeViewController");
    ASSERT_NE(lastToast(), nullptr);
    EXPECT_EQ(lastToast()->text, KL("KLTipDeleteProduct"));
    EXPECT_DOUBLE_EQ(lastToast()->seconds, 1.5);
    EXPECT_EQ(SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10).size(), 2u);
    EXPECT_EQ(SProductsNameSubDB().findWithUid_limit(std::nullopt, 10).size(), 1u);
    ASSERT_TRUE(tap("backEvent"));

    // Cancelling the sheet (index 1) changes nothing.
    ASSERT_TRUE(tap("buttonPressedEditProductType", 1, "tableView"));
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(1));
    EXPECT_EQ(top()->className(), "AddProductTypeViewController");
    EXPECT_EQ(SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10).size(), 2u);

    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "ProductListViewController");
    EXPECT_EQ(top()->title, "Products(1)");
    EXPECT_EQ(names(SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10)),
              std::vector<std::string>{"Full"});
}

TEST_F(Categories, ChoosingACategoryHandsItToItsProductList) {
    openCategories();
    addCategory("Tools");
    clock_->advance(std::chrono::seconds(1));
    addCategory("Paint");
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_EQ(top()->className(), "ProductSubItemListViewController");
    EXPECT_EQ(top()->title, "Product(0)");
    auto& d = UserDefaults::standardUserDefaults();
    EXPECT_EQ(d.stringForKey("ProductsPrimaryKey"), "20150509160250");
    EXPECT_EQ(d.stringForKey("ProductsTypeName"), "Tools");
    EXPECT_EQ(d.stringForKey("ProductsTypeNameKey"), "20150509160250");
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(top()->className(), "ProductListViewController");
    EXPECT_FALSE(tap("buttonPressedEditProductType", 2, "tableView")) << "no such row";
}
