#pragma once
// The category editor: adds a category with a name no other category has, renames one, or
// deletes one that has no products left.
#include <memory>
#include <vector>

#include "storage/SProductsNameTypeDB.h"
#include "toolkit/Screen.h"

class AddProductTypeViewController : public Screen {
  public:
    AddProductTypeViewController();
    void viewDidLoad() override;

    // Inputs set by the opener: "1" selects edit mode, and then the edited category.
    Text createItemUpdateTag;
    Text createItemProductUid;
    Text createItemPrimaryKey;
    Text createItemProductName;
    Text createItemProductNameKey;

    std::unique_ptr<SProductsNameTypeDB> productsNameTypeModelDB;
    SProductsNameType productsNameTypeModel;
    std::vector<SProductsNameType> existProductNameTypeArray;

    bool isEditMode() const { return createItemUpdateTag == "1"; }
    void didClickOnButtonDeleteIndex(int index);

  private:
    void completeEvent();
    void deleteProductCurrentItemsEvent();
    TextField* name_ = nullptr;
};
