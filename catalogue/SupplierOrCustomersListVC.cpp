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

    search_ = &add<SearchField>(SearchField::kId);
    search_->didChange = [this](TextField&) { showRows(); };
    table_ = &add<TableView>("tableView");
    table_->rowHeight = 70;
    table_->didSelectRow = [this](int row) { tableView_didSelectRowAtIndexPath(row); };

    on("addCompanyEvent", [this](const ActionArgs&) { addCompanyEvent(); });
}

void SupplierOrCustomersListVC::viewWillAppear() {
    companyModelDB = std::make_unique<SSupplierOrCustomersDB>();
    customersTypeListArray = companyModelDB->findWithSupplierOrCustomersTagsLike(kind_);
    rowSearch_.clear();
    for (const auto& partner : customersTypeListArray)
        rowSearch_.addRow({orEmpty(partner.supplierOrCustomersName)});
    showRows();
    ScreenParts::setListTitle(*this, KL(titleKey_), customersTypeListArray.size(),
                              companyModelDB->readFailed());
}

void SupplierOrCustomersListVC::showRows() {
    table_->rows.clear();
    for (size_t i : rowSearch_.filter(search_->text)) {
        TableRow row;
        row.layout = "SupplierOrCustomersCell";
        row.add("showNameCell", orEmpty(customersTypeListArray[i].supplierOrCustomersName));
        table_->rows.push_back(std::move(row));
    }
    table_->emptyText = rowSearch_.emptyText();
    table_->reloadData();
}

// The editor takes the kind from the user defaults for its title and the tag it saves.
void SupplierOrCustomersListVC::storeKind() {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(kind_, "000");
    defaults.synchronize();
}

void SupplierOrCustomersListVC::tableView_didSelectRowAtIndexPath(int row) {
    const long i = rowSearch_.positionOf(row);
    if (i < 0) return;
    const auto& p = customersTypeListArray[static_cast<size_t>(i)];
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
