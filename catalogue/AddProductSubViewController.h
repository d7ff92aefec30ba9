#pragma once
// The product editor: adds a product to the category chosen last (user defaults
// "ProductsPrimaryKey", "ProductsTypeName", "ProductsTypeNameKey"), edits one, or deletes one
// together with its order lines.
#include <memory>
#include <string>
#include <vector>

#include "storage/SProductsNameSubDB.h"
#include "toolkit/Screen.h"

class AddProductSubViewController : public Screen {
  public:
    AddProductSubViewController();
    void viewDidLoad() override;

    // Inputs set by the opener: "1" selects edit mode, and then the edited product.
    Text createItemUpdateTag;
    Text createItemProductUid;
    Text createItemProductName;
    Text createItemProductNameKey;
    Text createItemModel;
    Text createItemUnit;
    Text createItemReferencePrice;
    Text createItemInventoryQty;
    Text createItemQty;
    Text createItemPrice;
    Text createItemTotalAmount;

    std::unique_ptr<SProductsNameSubDB> productsNameSubModelDB;
    std::vector<SProductsNameSub> existProductNameArray;

    bool isEditMode() const { return createItemUpdateTag == "1"; }
    void didClickOnButtonDeleteIndex(int index);

    // The reference price typing filter: the change of `length` code points at `location`
    // must leave a price with at most two decimals (acceptsDecimalTyping).
    static bool textField_shouldChangeCharactersInRange_replacementString(
        const std::string& current, long location, long length, const std::string& replacement);

  private:
    void completeEvent();
    void deleteProductCurrentItemsEvent();
    TextField& field(const char* id, const char* captionKey, bool withPlaceholder,
                     const Text& editValue);
    TextField* name_ = nullptr;
    TextField* model_ = nullptr;
    TextField* price_ = nullptr;
    TextField* qty_ = nullptr;
    TextField* unit_ = nullptr;
};
