#include "app/MoreViewController.h"

#include <filesystem>
#include <utility>

#include "exchange/BackupViewController.h"
#include "exchange/MailOutcome.h"
#include "exchange/WorkbookExport.h"
#include "platform/BackgroundWork.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/LedgerFigures.h"
#include "storage/LedgerSnapshot.h"
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
    for (const char* key : {"KLProducts", "KLExportData", "KLExportSpreadsheet", "KLBackup",
                            "KLMailSettings", "KLAbout"}) {
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
        } else if (row >= 3 && row <= 5) {
            static const char* const screens[] = {
                "BackupViewController", "MailSettingsViewController", "AboutViewController"};
            if (auto s = createScreen(screens[row - 3]))
                navigationController()->pushViewController(std::move(s), true);
        }
    };

    exporting_ = &add<Label>("exportingLbl");
    exporting_->text = KL("KLExporting");
    exporting_->hidden = true;

    on("justCreateEvent", [this](const ActionArgs&) { justCreateEvent(); });
    on("CSVEcportEvent", [this](const ActionArgs&) { CSVEcportEvent(); });
    on("spreadsheetExportEvent", [this](const ActionArgs&) { spreadsheetExportEvent(); });

    MainBar::install(*this, MainBar::kMore);
    BackupViewController::followBackups(*this, alive_,
                                        [this] { BackupViewController::reportBackup(*this); });
}

void MoreViewController::viewWillAppear() {
    BackupViewController::reportBackup(*this);
}

void MoreViewController::jumpToPartners(const char* kind, const char* className) {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(kind, "000");
    defaults.synchronize();
    if (auto s = createScreen(className))
        navigationController()->pushViewController(std::move(s), true);
}

namespace {

bool ledgerHasNoOrders() {
    return LedgerFigures().countOrders() == 0;  // a count that fails is no answer
}

// The export's files from a copy of the ledger; nothing here touches the app.
bool writeFiles(const LedgerSnapshot& ledger, const std::string& header,
                const WorkbookExport::Texts& texts, bool withCSV) {
    if (withCSV) {
        const std::string path = CSVExport::filePath();
        const auto meant =
            MoreViewController::createFile(path)
                ? MoreViewController::exportCSV(path, header, LedgerFigures(ledger.database()))
                : std::nullopt;
        // A file that is not exactly what we meant to write is not worth mailing, and part of
        // the orders would pass for all of them: no such file is left behind.
        if (!meant || CSVExport::readBack(path) != meant) {
            std::error_code ec;
            std::filesystem::remove(path, ec);
            return false;
        }
    }
    // The workbook of the same orders travels with the file.
    return WorkbookExport::write(WorkbookExport::filePath(), LedgerFigures(ledger.database()),
                                 texts);
}

}  // namespace

void MoreViewController::justCreateEvent() {
    if (ledgerHasNoOrders()) {
        showToast(KL("KLNoRecord"), 1.0);
        return;
    }
    CSVEcportEvent();
}

bool MoreViewController::createFile(const std::string& path) {
    return CSVExport::createFile(path);
}

std::optional<CSVExport::Digest> MoreViewController::exportCSV(const std::string& path,
                                                               const std::string& header,
                                                               LedgerFigures figures) {
    return CSVExport::appendOrders(path, header, figures);
}

void MoreViewController::CSVEcportEvent() {
    exportInBackground(true);
}

void MoreViewController::spreadsheetExportEvent() {
    if (ledgerHasNoOrders()) {
        showToast(KL("KLNoRecord"), 1.0);
        return;
    }
    exportInBackground(false);
}

void MoreViewController::exportInBackground(bool mail) {
    if (export_) return;
    std::shared_ptr<LedgerSnapshot> ledger = LedgerSnapshot::take();
    if (!ledger) {
        showToast(KL("KLOperationFailed"), 1.5);
        return;
    }
    export_ = std::make_shared<bool>(true);
    exporting_->hidden = false;
    std::weak_ptr<bool> owner = export_;
    // The texts are looked up here, on the app's thread.
    BackgroundWork::start([self = this, owner, mail, ledger, header = CSVExport::headerLine(),
                           texts = WorkbookExport::texts()] {
        const bool written = writeFiles(*ledger, header, texts, mail);
        return BackgroundWork::Completion([self, owner, mail, written] {
            if (!owner.expired()) self->exportFinished(mail, written);
        });
    });
}

void MoreViewController::exportFinished(bool mail, bool written) {
    export_.reset();
    exporting_->hidden = true;
    if (!written) {
        showToast(KL("KLOperationFailed"), 1.5);
    } else if (!mail) {
        // Opening the document hands it to the user: the page downloads it.
        navigationController()->openURL(DocumentsDirectory::fileURL(WorkbookExport::kFileName));
    } else if (MailComposer::canSendMail()) {
        ComposerSheet::present(*this, CSVExport::mail(),
                               [this](MailResult result, MailError error) {
                                   mailComposeController_didFinishWithResult_error(result, error);
                               });
    }
}

void MoreViewController::mailComposeController_didFinishWithResult_error(MailResult result,
                                                                         MailError error) {
    reportMailOutcome(*this, result, error, 1.0);
}
