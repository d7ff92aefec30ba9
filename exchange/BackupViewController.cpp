#include "exchange/BackupViewController.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>

#include "platform/BackgroundWork.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "storage/SDBManager.h"
#include "toolkit/Navigator.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

namespace {

// The app's backups; touched on the app's thread only.
struct Backups {
    std::function<void()> ledgerReplaced;
    unsigned run = 0;  // install() forgets the backup running: its outcome then goes nowhere
    bool running = false;
    std::optional<LedgerBackup::Outcome> outcome;  // until a screen tells it
    struct Follower {
        Screen* screen;
        std::weak_ptr<void> owner;
        std::function<void()> ended;
    };
    std::vector<Follower> followers;
};

Backups& appBackups() {
    static Backups b;
    return b;
}

// The backup has ended: its outcome is kept, and told at once on a follower shown on top.
void backupEnded(unsigned run, std::optional<LedgerBackup::Outcome> outcome) {
    Backups& b = appBackups();
    if (run != b.run) return;
    b.running = false;
    b.outcome = std::move(outcome);
    std::erase_if(b.followers, [](const Backups::Follower& f) { return f.owner.expired(); });
    for (const auto& f : b.followers) {
        const Navigator* nav = f.screen->navigationController();
        if (nav && nav->top() == f.screen) {
            const auto ended = f.ended;  // it may follow again
            ended();
            return;
        }
    }
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

void BackupViewController::install(std::function<void()> ledgerReplaced) {
    Backups& b = appBackups();
    b.ledgerReplaced = std::move(ledgerReplaced);
    ++b.run;
    b.running = false;
    b.outcome.reset();
    b.followers.clear();
}

bool BackupViewController::startBackup(LedgerBackup::Kind kind) {
    Backups& b = appBackups();
    if (b.running) return false;
    b.running = true;
    b.outcome.reset();
    // The stamps are taken here, on the app's thread: the work reads no clock.
    const auto now = Clock::current().now();
    std::optional<std::string> dueSince;
    if (kind == LedgerBackup::Kind::Automatic)
        dueSince = LedgerBackup::stampOf(now - std::chrono::hours(24));
    BackgroundWork::start([run = b.run, kind, dir = DocumentsDirectory::path(),
                           stamp = LedgerBackup::stampOf(now), dueSince] {
        LedgerBackup backup(dir);
        std::optional<LedgerBackup::Outcome> outcome;
        if (!dueSince || backup.automaticBackupDue(*dueSince))
            outcome = backup.makeBackup(kind, stamp);
        if (outcome && !outcome->ok)
            std::fprintf(stderr, "marrowkeeper: backup failed: %s\n", outcome->detail.c_str());
        return BackgroundWork::Completion(
            [run, outcome = std::move(outcome)] { backupEnded(run, outcome); });
    });
    return true;
}

bool BackupViewController::reportBackup(Screen& screen) {
    Backups& b = appBackups();
    if (const auto outcome = std::exchange(b.outcome, std::nullopt)) {
        if (!outcome->ok)
            screen.showPopup(KL(outcome->reasonKey), 2.0);
        else if (outcome->kind == LedgerBackup::Kind::Manual)
            screen.showToast(KL("KLBackupDone"), 1.5);
    }
    return b.running;
}

void BackupViewController::followBackups(Screen& screen, std::weak_ptr<void> owner,
                                         std::function<void()> ended) {
    // Screens come and go with every bar press: the list holds the living ones only.
    auto& followers = appBackups().followers;
    std::erase_if(followers, [](const Backups::Follower& f) { return f.owner.expired(); });
    followers.push_back({&screen, std::move(owner), std::move(ended)});
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

    followBackups(*this, alive_, [this] {
        backingUp_ = reportBackup(*this);
        reloadBackups();
    });
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
    const bool restoring = restoring_;
    auto* status = get<Label>("backupStatusLbl");
    status->hidden = !restoring && !backingUp_;
    status->text = KL(restoring ? "KLRestoring" : "KLBackingUp");
    get<Button>("backBtn")->hidden = restoring;
    get<Button>("backupNowBtn")->hidden = restoring || backingUp_;
    get<TableView>("backupTableView")->hidden = restoring;
    get<Label>("noBackupsLbl")->hidden = restoring || !backups.empty();
    get<FilePicker>("restoreFile")->hidden = restoring;
}

void BackupViewController::backupNowEvent() {
    if (!startBackup(LedgerBackup::Kind::Manual)) return;
    backingUp_ = true;
    showState();
}

void BackupViewController::showChoices(int row) {
    if (restoring_ || row < 0 || row >= static_cast<int>(backups.size())) return;
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
    if (restoring_ || !args.file) return;
    if (args.file->refused) {
        refuse("KLRestoreTooLarge", "the upload is larger than 2 GiB");
        return;
    }
    startRestore(args.file->path, args.file);
}

void BackupViewController::startRestore(const std::string& file,
                                        std::shared_ptr<UploadedFile> upload) {
    restoring_ = true;
    // The stamp is taken here: the work reads no clock.
    BackgroundWork::start([self = this, owner = std::weak_ptr<bool>(alive_),
                           dir = DocumentsDirectory::path(), file, stamp = LedgerBackup::nowStamp(),
                           upload = std::move(upload)]() mutable {
        auto prepared = std::make_shared<LedgerBackup::PreparedRestore>(
            LedgerBackup(dir).prepareRestore(file, stamp));
        upload.reset();  // staged: the upload is no longer needed
        // A restore nobody is left to finish removes what it staged.
        return BackgroundWork::Completion([self, owner, prepared] {
            if (!owner.expired()) self->finishRestore(std::move(*prepared));
        });
    });
    showState();
}

void BackupViewController::finishRestore(LedgerBackup::PreparedRestore prepared) {
    restoring_ = false;
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
    if (auto& replaced = appBackups().ledgerReplaced)
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
