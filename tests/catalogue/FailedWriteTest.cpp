// A save or delete whose write fails keeps the editor open with the user's input and says
// so; nothing is half-written.
#include <gtest/gtest.h>

#include "platform/Localisation.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/catalogue/CatalogueFixture.h"

namespace {

class FailedWrite : public CatalogueHarness {
  protected:
    void expectFailureToast() {
        const Toast* t = lastToast();
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->text, KL("KLOperationFailed"));
        EXPECT_DOUBLE_EQ(t->seconds, 1.5);
    }
};

}  // namespace

TEST_F(FailedWrite, CategoryEditorStaysOnSaveRenameAndDelete) {
    openCategories();
    addCategory("Tools");
    makeStoreReadOnly();
    const size_t depth = nav().depth();

    addCategory("Paint");
    ASSERT_EQ(top()->className(), "AddProductTypeViewController");
    EXPECT_EQ(nav().depth(), depth + 1);
    expectFailureToast();
    EXPECT_EQ(fieldText("productNameText"), "Paint");
    ASSERT_TRUE(tap("backEvent"));

    ASSERT_TRUE(tap("buttonPressedEditProductType", 0, "tableView"));
    ASSERT_TRUE(setText("productNameText", "Hand tools"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(top()->className(), "AddProductTypeViewController");
    expectFailureToast();
    EXPECT_EQ(fieldText("productNameText"), "Hand tools");

    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "AddProductTypeViewController");
    expectFailureToast();
    auto kept = SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].productsTypeName, "Tools");
}

TEST_F(FailedWrite, ProductEditorStaysAndKeepsLinesWhenDeleteFails) {
    openCategories();
    addCategory("Tools");
    ASSERT_TRUE(selectRow("tableView", 0));
    addProduct("Hammer", "5");
    const std::string key =
        *SProductsNameSubDB().findWithUid_limit(std::nullopt, 1).at(0).productSubNameKey;
    ASSERT_TRUE(SUserCommodityOrderDB().saveUserCommodityOrder(
        orderLine("20150501000001", key, "21", "1")));
    makeStoreReadOnly();

    addProduct("Saw", "7.25", "box", "S");
    ASSERT_EQ(top()->className(), "AddProductSubViewController");
    expectFailureToast();
    EXPECT_EQ(fieldText("productNameText"), "Saw");
    EXPECT_EQ(fieldText("referencePriceText"), "7.25");
    EXPECT_EQ(fieldText("productUnitsText"), "box");
    ASSERT_TRUE(tap("backEvent"));

    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("productUnitsText", "each"));
    ASSERT_TRUE(tap("completeEvent"));
    ASSERT_EQ(top()->className(), "AddProductSubViewController");
    expectFailureToast();
    EXPECT_EQ(fieldText("productUnitsText"), "each");

    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "AddProductSubViewController");
    expectFailureToast();
    EXPECT_EQ(SProductsNameSubDB().findWithUid_limit(std::nullopt, 10).size(), 1u);
    EXPECT_EQ(SUserCommodityOrderDB().findWithSalesAndPurchaseNameUpdateKeyDateLike(key).size(),
              1u);
}

TEST_F(FailedWrite, PartnerEditorStaysOnSaveEditAndDelete) {
    openPartners("000");
    makeStoreReadOnly();
    addPartner("Acme", "555", "x@y", "note");
    ASSERT_EQ(top()->className(), "AddSupplierCustomersVC");
    expectFailureToast();
    EXPECT_EQ(fieldText("showNameText"), "Acme");
    EXPECT_EQ(fieldText("showNotesText"), "note");
    ASSERT_TRUE(tap("backEvent"));

    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("showNameText", "Renamed"));
    ASSERT_TRUE(tap("completeOrEditEvent"));
    ASSERT_EQ(top()->className(), "AddSupplierCustomersVC");
    expectFailureToast();
    EXPECT_EQ(fieldText("showNameText"), "Renamed");

    ASSERT_TRUE(tap("deleteSupplierCustomersItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "AddSupplierCustomersVC");
    expectFailureToast();
    auto suppliers = SSupplierOrCustomersDB().findWithSupplierOrCustomersTagsLike("000");
    ASSERT_EQ(suppliers.size(), 1u);
    EXPECT_EQ(suppliers[0].supplierOrCustomersName, KL("KLDefaultSupplier"));
}
