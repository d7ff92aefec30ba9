#include "catalogue/SupplierOrCustomersListVC.h"

#include "catalogue/AddSupplierCustomersVC.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

SupplierOrCustomersListVC::SupplierOrCustomersListVC(std::string className, std::string kind,
                                                     std::string titleKey)
    : Screen(std::move(className)), kind_(std::move(kind)), titleKey_(std::move(titleKey)) {}

void SupplierOrCustomersListVC::viewDidLoad() {
    title = KL(titleKey_);
    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "addCompanyBtn", "addCompanyEvent", "nav_add");

    table_ = &add<TableView>("tableView");
    table_->rowHeight = 70;
    table_->didSelectRow = [this](int row) { tableView_didSelectRowAtIndexPath(row); };

    on("addCompanyEvent", [this](const ActionArgs&) { addCompanyEvent(); });
}

void SupplierOrCustomersListVC::viewWillAppear() {
    companyModelDB = std::make_unique<SSupplierOrCustomersDB>();
    customersTypeListArray = companyModelDB->findWithSupplierOrCustomersTagsLike(kind_);

    table_->rows.clear();
    for (const auto& partner : customersTypeListArray) {
        TableRow row;
        row.layout = "SupplierOrCustomersCell";
        row.add("showNameCell", orEmpty(partner.supplierOrCustomersName));
        table_->rows.push_back(std::move(row));
    }
    table_->reloadData();
    ScreenParts::setListTitle(*this, KL(titleKey_), customersTypeListArray.size(),
                              companyModelDB->readFailed());
}

// The editor takes the kind from the user defaults for its title and the tag it saves.
void SupplierOrCustomersListVC::storeKind() {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(kind_, "000");
    defaults.synchronize();
}

void SupplierOrCustomersListVC::tableView_didSelectRowAtIndexPath(int row) {
    if (row < 0 || row >= static_cast<int>(customersTypeListArray.size())) return;
    const auto& p = customersTypeListArray[row];
    storeKind();
    auto editor = std::make_unique<AddSupplierCustomersVC>();
    editor->createItemUpdateTag = "1";
    editor->createItemSupplierOrCustomersUid = p.supplierOrCustomersUid;
    editor->createItemSupplierOrCustomersName = p.supplierOrCustomersName;
    editor->createItemSupplierOrCustomersNameKey = p.supplierOrCustomersNameKey;
    editor->createItemSupplierOrCustomersTelphone = p.supplierOrCustomersTelphone;
    editor->createItemSupplierOrCustomersAddress = p.supplierOrCustomersAddress;
    editor->createItemSupplierOrCustomersNotes = p.supplierOrCustomersNotes;
    editor->createItemSupplierOrCustomersIndex = p.supplierOrCustomersIndex;
    navigationController()->pushViewController(std::move(editor), true);
}

void SupplierOrCustomersListVC::addCompanyEvent() {
    storeKind();
    navigationController()->pushViewController(std::make_unique<AddSupplierCustomersVC>(), true);
}
