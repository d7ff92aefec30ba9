#include "catalogue/AddProductTypeViewController.h"

#include "platform/Localisation.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/UniqueKeys.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

AddProductTypeViewController::AddProductTypeViewController()
    : Screen("AddProductTypeViewController") {}

void AddProductTypeViewController::viewDidLoad() {
    productsNameTypeModelDB = std::make_unique<SProductsNameTypeDB>();
    title = KL(isEditMode() ? "KLEditProduct" : "KLNewProduct");
    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "completeBtn", "completeEvent", "nav_done");

    name_ = &add<TextField>("productNameText");
    name_->placeholder = KL("KLName");
    if (isEditMode()) name_->text = orEmpty(createItemProductName);
    name_->onReturn = [this](TextField&) { endEditing(); };

    if (isEditMode()) ScreenParts::addDeleteButton(*this, "deleteProductCurrentItemsEvent");

    on("completeEvent", [this](const ActionArgs&) { completeEvent(); });
    on("deleteProductCurrentItemsEvent",
       [this](const ActionArgs&) { deleteProductCurrentItemsEvent(); });
    on("backgroundTap", [this](const ActionArgs&) { endEditing(); });
}

void AddProductTypeViewController::completeEvent() {
    endEditing();
    const std::string name = name_->text;  // as typed: blanks count as a name
    if (name.empty()) {
        name_->shake();
        return;
    }

    bool saved = false;
    if (isEditMode()) {
        // A rename keeps the keys; products keep the name copied into them.
        productsNameTypeModel = SProductsNameType{};
        productsNameTypeModel.productsTypePrimaryKey = createItemPrimaryKey;
        productsNameTypeModel.productsTypeName = name;
        productsNameTypeModel.productsTypeNameKey = createItemProductNameKey;
        productsNameTypeModel.productsTypeIndex = ConstParameterAndMethod::getDateNowKeyFormatter();
        saved = productsNameTypeModelDB->mergeWithProductsNameType_changeID(productsNameTypeModel,
                                                                            createItemProductUid);
    } else {
        existProductNameTypeArray =
            productsNameTypeModelDB->findWithProductsNameTypeExistsLike(name);
        if (!existProductNameTypeArray.empty()) {
            showToast(KL("KLExists"), 1.0);
            return;
        }
        // One free key for both: a name key equal to another category's primary key could
        // reach that category's products.
        const std::string key = UniqueKeys().newCategoryKey();
        productsNameTypeModel = SProductsNameType{};
        productsNameTypeModel.productsTypePrimaryKey = key;
        productsNameTypeModel.productsTypeName = name;
        productsNameTypeModel.productsTypeNameKey = key;
        productsNameTypeModel.productsTypeIndex = ConstParameterAndMethod::getDateNowKeyFormatter();
        saved = productsNameTypeModelDB->saveProductsNameType(productsNameTypeModel);
    }
    if (!saved) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}

void AddProductTypeViewController::deleteProductCurrentItemsEvent() {
    if (!isEditMode()) return;
    ScreenParts::confirmDeleteWithOK(*this,
                                     [this](int index) { didClickOnButtonDeleteIndex(index); });
}

void AddProductTypeViewController::didClickOnButtonDeleteIndex(int index) {
    if (index != 0 || !isEditMode()) return;
    SProductsNameSubDB products;
    if (!products.findWithProductPrimaryKeyLike(createItemPrimaryKey).empty()) {
        showToast(KL("KLTipDeleteProduct"), 1.5);
        return;
    }
    // By row id, and the products by the primary key the check above used: another
    // category's primary key may equal this one's name key.
    if (!productsNameTypeModelDB->deleteCategoryWithId_primaryKey(createItemProductUid,
                                                                  createItemPrimaryKey)) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}
