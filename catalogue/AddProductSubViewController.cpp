#include "catalogue/AddProductSubViewController.h"

#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/NumberText.h"
#include "storage/UniqueKeys.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

AddProductSubViewController::AddProductSubViewController()
    : Screen("AddProductSubViewController") {}

bool AddProductSubViewController::textField_shouldChangeCharactersInRange_replacementString(
    const std::string& current, long location, long length, const std::string& replacement) {
    return acceptsDecimalTyping(current, location, length, replacement, 2);
}

TextField& AddProductSubViewController::field(const char* id, const char* captionKey,
                                              bool withPlaceholder, const Text& editValue) {
    auto& f = add<TextField>(id);
    f.caption = KL(captionKey);
    if (withPlaceholder) f.placeholder = KL(captionKey);
    if (isEditMode()) f.text = orEmpty(editValue);
    f.onReturn = [this](TextField&) { endEditing(); };
    return f;
}

void AddProductSubViewController::viewDidLoad() {
    productsNameSubModelDB = std::make_unique<SProductsNameSubDB>();
    title = KL(isEditMode() ? "KLEditSubcategory" : "KLNewSubcategory");
    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "completeBtn", "completeEvent", "nav_done");

    name_ = &field("productNameText", "KLName", true, createItemProductName);
    model_ = &field("productModelText", "KLModel", true, createItemModel);
    price_ = &field("referencePriceText", "KLRefPrice", false, createItemReferencePrice);
    price_->keyboard = "decimal";
    price_->shouldChangeCharacters = [](TextField& f, long location, long length,
                                        const std::string& replacement) {
        return textField_shouldChangeCharactersInRange_replacementString(f.text, location, length,
                                                                         replacement);
    };
    qty_ = &field("productQtyText", "KLQty", false, createItemInventoryQty);
    unit_ = &field("productUnitsText", "KLUnits", false, createItemUnit);

    if (isEditMode()) ScreenParts::addDeleteButton(*this, "deleteProductCurrentItemsEvent");

    on("completeEvent", [this](const ActionArgs&) { completeEvent(); });
    on("deleteProductCurrentItemsEvent",
       [this](const ActionArgs&) { deleteProductCurrentItemsEvent(); });
    on("dissKeyBoardEvent", [this](const ActionArgs&) { endEditing(); });
    on("backgroundTap", [this](const ActionArgs&) { endEditing(); });
}

void AddProductSubViewController::completeEvent() {
    endEditing();
    // The unit is checked before the name.
    if (unit_->text.empty()) {
        unit_->shake();
        return;
    }
    if (name_->text.empty()) {
        name_->shake();
        return;
    }

    auto& defaults = UserDefaults::standardUserDefaults();
    SProductsNameSub product;
    product.productPrimaryKey = defaults.stringForKey("ProductsPrimaryKey");
    product.productTypeName = defaults.stringForKey("ProductsTypeName");
    product.productTypeNameKey = defaults.stringForKey("ProductsTypeNameKey");
    product.productSubName = name_->text;
    product.productSubModel = model_->text;
    product.productSubUnit = unit_->text;
    product.productSubReferencePrice = price_->text;
    product.productSubInventoryQty = qty_->text;
    product.productSubDate = ConstParameterAndMethod::getTimeNow();
    product.productSubIndex = ConstParameterAndMethod::getDateNowKeyFormatter();

    bool saved = false;
    if (isEditMode()) {
        // The key and the default line values stay as they were.
        product.productSubNameKey = createItemProductNameKey;
        product.productSubQty = createItemQty;
        product.productSubPrice = createItemPrice;
        product.productSubTotalAmount = createItemTotalAmount;
        saved =
            productsNameSubModelDB->mergeWithProductNameSub_changeID(product, createItemProductUid);
    } else {
        existProductNameArray =
            productsNameSubModelDB->findWithProductNameSubExistsLike_findWithProductPrimaryKeyLike(
                name_->text, product.productPrimaryKey);
        if (!existProductNameArray.empty()) {
            showToast(KL("KLExists"), 1.0);
            return;
        }
        product.productSubNameKey = UniqueKeys().newProductKey();
        product.productSubQty = "1";
        product.productSubPrice = price_->text;
        product.productSubTotalAmount = price_->text;
        saved = productsNameSubModelDB->saveProductNameSub(product);
    }
    if (!saved) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}

void AddProductSubViewController::deleteProductCurrentItemsEvent() {
    if (!isEditMode()) return;
    ScreenParts::confirmDeleteWithOK(*this,
                                     [this](int index) { didClickOnButtonDeleteIndex(index); });
}

void AddProductSubViewController::didClickOnButtonDeleteIndex(int index) {
    if (index != 0 || !isEditMode()) return;
    // The product and every order line of it go together; order headers keep their totals.
    if (!productsNameSubModelDB->deleteProductWithId_nameKey(createItemProductUid,
                                                             createItemProductNameKey)) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}
