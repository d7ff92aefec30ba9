#include "catalogue/AddSupplierCustomersVC.h"

#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/UniqueKeys.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

AddSupplierCustomersVC::AddSupplierCustomersVC() : Screen("AddSupplierCustomersVC") {}

TextField& AddSupplierCustomersVC::field(const char* id, const char* key, const Text& editValue) {
    auto& f = add<TextField>(id);
    f.caption = KL(key);
    f.placeholder = KL(key);
    if (isEditMode()) f.text = orEmpty(editValue);
    f.onReturn = [this](TextField&) { endEditing(); };
    return f;
}

void AddSupplierCustomersVC::viewDidLoad() {
    supplierCustomersModelDB = std::make_unique<SSupplierOrCustomersDB>();
    const bool suppliers =
        UserDefaults::standardUserDefaults().stringForKey("000") == Codes::kSupplier;
    if (isEditMode())
        title = KL(suppliers ? "KLEditSupplier" : "KLEditCustomers");
    else
        title = KL(suppliers ? "KLAddSupplier" : "KLAddCustomers");
    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "completeOrEditBtn", "completeOrEditEvent", "nav_done");

    name_ = &field("showNameText", "KLName", createItemSupplierOrCustomersName);
    tel_ = &field("showTelText", "KLTelephone", createItemSupplierOrCustomersTelphone);
    tel_->keyboard = "phone";
    email_ = &field("showEmailText", "KLEmail", createItemSupplierOrCustomersAddress);
    email_->keyboard = "email";
    notes_ = &field("showNotesText", "KLNotes", createItemSupplierOrCustomersNotes);

    if (isEditMode()) ScreenParts::addDeleteButton(*this, "deleteSupplierCustomersItemsEvent");

    on("completeOrEditEvent", [this](const ActionArgs&) { completeOrEditEvent(); });
    on("deleteSupplierCustomersItemsEvent",
       [this](const ActionArgs&) { deleteSupplierCustomersItemsEvent(); });
    on("backgroundTap", [this](const ActionArgs&) { endEditing(); });
}

void AddSupplierCustomersVC::completeOrEditEvent() {
    endEditing();
    if (name_->text.empty()) {
        name_->shake();
        return;
    }
    supplierCustomersModel = SSupplierOrCustomers{};
    supplierCustomersModel.supplierOrCustomersName = name_->text;
    supplierCustomersModel.supplierOrCustomersTags =
        UserDefaults::standardUserDefaults().stringForKey("000");
    supplierCustomersModel.supplierOrCustomersTelphone = tel_->text;
    supplierCustomersModel.supplierOrCustomersAddress = email_->text;
    supplierCustomersModel.supplierOrCustomersNotes = notes_->text;

    bool saved = false;
    if (isEditMode()) {
        // The key stays, so the partner's orders stay linked to it.
        supplierCustomersModel.supplierOrCustomersNameKey = createItemSupplierOrCustomersNameKey;
        supplierCustomersModel.supplierOrCustomersIndex = createItemSupplierOrCustomersIndex;
        saved = supplierCustomersModelDB->mergeWithSupplierOrCustomers_changeID(
            supplierCustomersModel, createItemSupplierOrCustomersUid);
    } else {
        supplierCustomersModel.supplierOrCustomersNameKey = UniqueKeys().newPartnerKey();
        supplierCustomersModel.supplierOrCustomersIndex =
            ConstParameterAndMethod::getDateNowKeyFormatter();
        saved = supplierCustomersModelDB->saveSupplierOrCustomers(supplierCustomersModel);
    }
    if (!saved) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}

void AddSupplierCustomersVC::deleteSupplierCustomersItemsEvent() {
    if (!isEditMode()) return;
    endEditing();
    ActionSheet sheet;
    sheet.title = KL("KLRUWantToDelete");
    sheet.cancelTitle = KL("KLCancel");
    sheet.destructiveTitle = KL("KLDelete");
    sheet.onClick = [this](int index) { didClickOnButtonDeleteIndex(index); };
    showActionSheet(std::move(sheet));
}

void AddSupplierCustomersVC::didClickOnButtonDeleteIndex(int index) {
    if (index != 0 || !isEditMode()) return;
    // The partner and its order headers go together; the lines of those orders stay.
    if (!supplierCustomersModelDB->deletePartnerWithId_nameKey(
            createItemSupplierOrCustomersUid, createItemSupplierOrCustomersNameKey)) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}
