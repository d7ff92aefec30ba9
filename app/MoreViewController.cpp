#include "app/MoreViewController.h"

#include "app/MainBar.h"
#include "app/ScreenFactory.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/SUserCommodityDB.h"

MoreViewController::MoreViewController() : Screen("MoreViewController") {}

void MoreViewController::viewDidLoad() {
    title = KL("KLMore");

    auto& customers = add<Button>("jumpCustomersBtn");
    customers.title = KL("KLAllCustomers");
    customers.action = "jumpCustomersEvent";
    auto& suppliers = add<Button>("jumpSupplierBtn");
    suppliers.title = KL("KLAllSupplier");
    suppliers.action = "jumpSupplierEvent";
    on("jumpCustomersEvent",
       [this](const ActionArgs&) { jumpToPartners("111", "CustomersSettingsVC"); });
    on("jumpSupplierEvent",
       [this](const ActionArgs&) { jumpToPartners("000", "SupplierSettingsVC"); });

    auto& table = add<TableView>("tableView");
    table.rowHeight = 60;
    table.scrollEnabled = false;
    for (const char* key : {"KLProducts", "KLExportData", "KLAbout"}) {
        TableRow row;
        row.layout = "MoreCell";
        row.arrow = true;
        row.add("showNameCell", KL(key));
        table.rows.push_back(std::move(row));
    }
    table.didSelectRow = [this](int row) {
        if (row == 0) {
            if (auto s = createScreen("ProductListViewController"))
                navigationController()->pushViewController(std::move(s), true);
        } else if (row == 1) {
            perform("justCreateEvent");
        } else if (row == 2) {
            if (auto s = createScreen("AboutViewController"))
                navigationController()->pushViewController(std::move(s), true);
        }
    };

    exportDataArray = SUserCommodityDB().findWithUid_limit(std::nullopt, 10000);

    MainBar::install(*this, MainBar::kMore);
}

void MoreViewController::jumpToPartners(const char* kind, const char* className) {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(kind, "000");
    defaults.synchronize();
    if (auto s = createScreen(className)) navigationController()->pushViewController(std::move(s), true);
}
