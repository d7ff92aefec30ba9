#include "exchange/BackupViewController.h"

#include <chrono>
#include <cstdio>
#include <utility>

#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "storage/SDBManager.h"
#include "toolkit/Navigator.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

namespace {

BackupWorker*& installedWorker() {
    static BackupWorker* worker = nullptr;
    return worker;
}

std::function<void()>& ledgerReplacedHandler() {
    static std::function<void()> handler;
    return handler;
}

// "yyyy/MM/dd HH:mm:ss" of a stamp "yyyyMMddHHmmss": the local time it was taken.
std::string stampText(const std::string& s) {
    return s.substr(0, 4) + "/" + s.substr(4, 2) + "/" + s.substr(6, 2) + " " + s.substr(8, 2) +
           ":" + s.substr(10, 2) + ":" + s.substr(12, 2);
}

std::string sizeText(uint64_t bytes) {
    char text[32];
    if (bytes >= 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    else
        std::snprintf(text, sizeof text, "%.0f KB", static_cast<double>(bytes) / 1024);
    return text;
}

const char* kindKey(LedgerBackup::Kind kind) {
    switch (kind) {
        case LedgerBackup::Kind::Manual:
            return "KLBackupManual";
        case LedgerBackup::Kind::BeforeRestore:
            return "KLBackupBeforeRestore";
        case LedgerBackup::Kind::Automatic:
            break;
    }
    return "KLBackupAutomatic";
}

}  // namespace

void BackupViewController::install(BackupWorker* worker, std::function<void()> ledgerReplaced) {
    installedWorker() = worker;
    ledgerReplacedHandler() = std::move(ledgerReplaced);
}

bool BackupViewController::reportBackup(Screen& screen) {
    BackupWorker* worker = installedWorker();
    if (!worker) return false;
    const bool running = worker->running();
    if (const auto outcome = worker->takeOutcome()) {
        if (!outcome->ok)
            screen.showPopup(KL(outcome->reasonKey), 2.0);
        else if (outcome->kind == LedgerBackup::Kind::Manual)
            screen.showToast(KL("KLBackupDone"), 1.5);
    }
    return running;
}

BackupViewController::BackupViewController() : Screen("BackupViewController", true) {}

void BackupViewController::viewDidLoad() {
    title = KL("KLBackup");
    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "backupNowBtn", "backupNowEvent", "").title =
        KL("KLBackupNow");
    on("backupNowEvent", [this](const ActionArgs&) { backupNowEvent(); });

    add<Label>("backupStatusLbl").hidden = true;
    auto& table = add<TableView>("backupTableView");
    table.rowHeight = 60;
    table.didSelectRow = [this](int row) { showChoices(row); };
    add<Label>("noBackupsLbl").text = KL("KLNoRecord");

    auto& file = add<FilePicker>("restoreFile");
    file.title = KL("KLRestoreFromFile");
    file.action = "restoreFromFileEvent";
    on("restoreFromFileEvent", [this](const ActionArgs& args) { restoreFromFileEvent(args); });
}

void BackupViewController::viewWillAppear() {
    backingUp_ = reportBackup(*this);
    reloadBackups();
}

void BackupViewController::reloadBackups() {
    backups = LedgerBackup(DocumentsDirectory::path()).list();
    auto* table = get<TableView>("backupTableView");
    table->rows.clear();
    for (const auto& b : backups) {
        TableRow row;
        row.layout = "BackupCell";
        row.add("showBackupDateCell", stampText(b.stamp));
        row.add("showBackupKindCell", KL(kindKey(b.kind)));
        row.add("showBackupSizeCell", sizeText(b.bytes));
        row.add("showBackupOrdersCell", b.orders ? std::to_string(*b.orders) + " " + KL("KLOrders")
                                                 : ScreenParts::kUnreadFigure);
        table->rows.push_back(std::move(row));
    }
    table->reloadData();
    showState();
}

void BackupViewController::showState() {
    const bool restoring = restoring_.valid();
    auto* status = get<Label>("backupStatusLbl");
    status->hidden = !restoring && !backingUp_;
    status->text = KL(restoring ? "KLRestoring" : "KLBackingUp");
    get<Button>("backBtn")->hidden = restoring;
    get<Button>("backupNowBtn")->hidden = restoring || backingUp_;
    get<TableView>("backupTableView")->hidden = restoring;
    get<Label>("noBackupsLbl")->hidden = restoring || !backups.empty();
    get<FilePicker>("restoreFile")->hidden = restoring;
}

bool BackupViewController::checkBackgroundWork() {
    const bool wasBackingUp = backingUp_;
    backingUp_ = reportBackup(*this);
    if (restoring_.valid()) {
        if (restoring_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return true;
        finishRestore();  // a restore made replaces every screen
        return backingUp_;
    }
    if (wasBackingUp && !backingUp_) reloadBackups();
    return backingUp_;
}

void BackupViewController::backupNowEvent() {
    BackupWorker* worker = installedWorker();
    if (!worker || !worker->startManual()) return;
    backingUp_ = true;
    showState();
}

void BackupViewController::showChoices(int row) {
    if (restoring_.valid() || row < 0 || row >= static_cast<int>(backups.size())) return;
    const std::string name = backups[row].name;
    ActionSheet sheet;
    sheet.title = stampText(backups[row].stamp);
    sheet.otherTitles = {KL("KLRestore"), KL("KLDownload"), KL("KLDelete")};
    sheet.destructiveOther = 2;
    sheet.cancelTitle = KL("KLCancel");
    sheet.onClick = [this, name](int index) {
        LedgerBackup backup(DocumentsDirectory::path());
        if (index == 0) {
            if (const auto path = backup.pathOf(name))
                startRestore(*path, nullptr);
            else
                refuse("KLRestoreUnknownBackup", "no backup " + name);
        } else if (index == 1) {
            // The page downloads the file; only listed backups are served.
            navigationController()->openURL(
                DocumentsDirectory::fileURL(LedgerBackup::kFolderName + std::string("/") + name));
        } else if (index == 2) {
            if (!backup.remove(name)) ScreenParts::reportFailedWrite(*this);
            reloadBackups();
        }
    };
    showActionSheet(std::move(sheet));
}

void BackupViewController::restoreFromFileEvent(const ActionArgs& args) {
    if (restoring_.valid() || !args.file) return;
    if (args.file->refused) {
        refuse("KLRestoreTooLarge", "the upload is larger than 2 GiB");
        return;
    }
    startRestore(args.file->path, args.file);
}

void BackupViewController::startRestore(const std::string& file,
                                        std::shared_ptr<UploadedFile> upload) {
    // The stamp is taken here: the worker thread reads no clock.
    restoring_ = std::async(std::launch::async, [dir = DocumentsDirectory::path(), file,
                                                 stamp = LedgerBackup::nowStamp(),
                                                 upload = std::move(upload)]() mutable {
        auto prepared = LedgerBackup(dir).prepareRestore(file, stamp);
        upload.reset();  // staged: the upload is no longer needed
        return prepared;
    });
    showState();
}

void BackupViewController::finishRestore() {
    LedgerBackup::PreparedRestore prepared = restoring_.get();
    showState();
    if (!prepared.outcome().ok) {
        refuse(prepared.outcome().reasonKey, prepared.outcome().detail);
        return;
    }
    // The swap: with the app's connection closed, so that it is opened again on the new file.
    const bool readOnly = SDBManager::defaultDBManager().readOnly();
    SDBManager::close();
    const auto outcome = LedgerBackup(DocumentsDirectory::path()).commitRestore(prepared);
    if (!outcome.ok) {
        if (readOnly) SDBManager::openReadOnly();  // as it was: a damaged ledger stays unwritten
        refuse(outcome.reasonKey, outcome.detail);
        return;
    }
    Navigator* nav = navigationController();
    if (auto& replaced = ledgerReplacedHandler())
        replaced();  // removes this screen
    else
        reloadBackups();
    nav->top()->showToast(KL("KLRestoreDone"), 1.5);
}

void BackupViewController::refuse(const std::string& reasonKey, const std::string& detail) {
    std::fprintf(stderr, "marrowkeeper: restore refused: %s\n", detail.c_str());
    showToast(KL("KLRestoreRefused") + " " + KL(reasonKey), 2.0);
    reloadBackups();
}
