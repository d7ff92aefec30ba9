#pragma once
// The partner editor: adds, edits or deletes a supplier or a customer; the kind comes from
// the user defaults key "000".
#include <memory>

#include "storage/SSupplierOrCustomersDB.h"
#include "toolkit/Screen.h"

class AddSupplierCustomersVC : public Screen {
  public:
    AddSupplierCustomersVC();
    void viewDidLoad() override;

    // Inputs set by the opener: "1" selects edit mode, and then the edited partner.
    Text createItemUpdateTag;
    Text createItemSupplierOrCustomersUid;
    Text createItemSupplierOrCustomersName;
    Text createItemSupplierOrCustomersNameKey;
    Text createItemSupplierOrCustomersTelphone;
    Text createItemSupplierOrCustomersAddress;
    Text createItemSupplierOrCustomersNotes;
    Text createItemSupplierOrCustomersIndex;

    std::unique_ptr<SSupplierOrCustomersDB> supplierCustomersModelDB;
    SSupplierOrCustomers supplierCustomersModel;

    bool isEditMode() const { return createItemUpdateTag == "1"; }
    void didClickOnButtonDeleteIndex(int index);

  private:
    void completeOrEditEvent();
    void deleteSupplierCustomersItemsEvent();
    TextField& field(const char* id, const char* key, const Text& editValue);
    TextField* name_ = nullptr;
    TextField* tel_ = nullptr;
    TextField* email_ = nullptr;
    TextField* notes_ = nullptr;
};
