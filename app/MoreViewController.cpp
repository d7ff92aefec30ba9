#include "app/MoreViewController.h"

#include <utility>

#include "exchange/MailOutcome.h"
#include "exchange/WorkbookExport.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/LedgerFigures.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenFactory.h"
#include "toolkit/TableView.h"
#include "widgets/MainBar.h"

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
    for (const char* key :
         {"KLProducts", "KLExportData", "KLExportSpreadsheet", "KLMailSettings", "KLAbout"}) {
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
            perform("spreadsheetExportEvent");
        } else if (row == 3) {
            if (auto s = createScreen("MailSettingsViewController"))
                navigationController()->pushViewController(std::move(s), true);
        } else if (row == 4) {
            if (auto s = createScreen("AboutViewController"))
                navigationController()->pushViewController(std::move(s), true);
        }
    };

    on("justCreateEvent", [this](const ActionArgs&) { justCreateEvent(); });
    on("CSVEcportEvent", [this](const ActionArgs&) { CSVEcportEvent(); });
    on("spreadsheetExportEvent", [this](const ActionArgs&) { spreadsheetExportEvent(); });

    MainBar::install(*this, MainBar::kMore);
}

void MoreViewController::jumpToPartners(const char* kind, const char* className) {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(kind, "000");
    defaults.synchronize();
    if (auto s = createScreen(className))
        navigationController()->pushViewController(std::move(s), true);
}

void MoreViewController::justCreateEvent() {
    const CSVExport::Snapshot orders = CSVExport::readSnapshot();
    if (orders.empty() && !orders.failed) {
        showToast(KL("KLNoRecord"), 1.0);
        return;
    }
    exportAndMail(orders);
}

bool MoreViewController::createFile(const std::string& path) {
    return CSVExport::createFile(path);
}

bool MoreViewController::exportCSV(const std::string& path, const CSVExport::Snapshot& orders) {
    return CSVExport::append(path, {CSVExport::headerLine(), orders.lines});
}

void MoreViewController::CSVEcportEvent() {
    exportAndMail(CSVExport::readSnapshot());
}

void MoreViewController::exportAndMail(const CSVExport::Snapshot& orders) {
    const std::string path = CSVExport::filePath();
    // An export of some of the orders would pass for all of them.
    if (orders.failed) {
        showToast(KL("KLOperationFailed"), 1.5);
        return;
    }
    // A file that is not exactly what we meant to write is not worth mailing.
    auto written =
        createFile(path) && exportCSV(path, orders) ? CSVExport::readBack(path) : std::nullopt;
    if (!written || !CSVExport::sameBytes(*written, {CSVExport::headerLine(), orders.lines})) {
        showToast(KL("KLOperationFailed"), 1.5);
        return;
    }
    // The workbook of the same orders travels with the file.
    auto workbook = WorkbookExport::write(WorkbookExport::filePath());
    if (!workbook) {
        showToast(KL("KLOperationFailed"), 1.5);
        return;
    }
    if (!MailComposer::canSendMail()) return;
    ComposerSheet::present(*this, CSVExport::mail(std::move(*written), std::move(*workbook)),
                           [this](MailResult result, MailError error) {
                               mailComposeController_didFinishWithResult_error(result, error);
                           });
}

void MoreViewController::spreadsheetExportEvent() {
    if (LedgerFigures().countOrders() == 0) {
        showToast(KL("KLNoRecord"), 1.0);
        return;
    }
    if (!WorkbookExport::write(WorkbookExport::filePath())) {
        showToast(KL("KLOperationFailed"), 1.5);
        return;
    }
    // Opening the document hands it to the user: the page downloads it.
    navigationController()->openURL(DocumentsDirectory::fileURL(WorkbookExport::kFileName));
}

void MoreViewController::mailComposeController_didFinishWithResult_error(MailResult result,
                                                                         MailError error) {
    reportMailOutcome(*this, result, error, 1.0);
}
