#include "storage/LedgerSnapshot.h"

#include <unistd.h>

#include "storage/LedgerBackup.h"
#include "storage/SDBManager.h"

std::unique_ptr<LedgerSnapshot> LedgerSnapshot::take() {
    const auto& ledger = SDBManager::defaultDBManager().dataBase();
    if (!ledger || !ledger->sqliteHandle()) return nullptr;
    // Beside the ledger, where its disk has room for it (a temporary folder may be memory),
    // under the backups' temporary name, so a copy a crash leaves is cleared with theirs.
    const std::string path = LedgerBackup().temporaryPath();
    std::unique_ptr<LedgerSnapshot> snapshot(new LedgerSnapshot);
    snapshot->path_ = path;

    sqlite3* to = nullptr;
    bool copied = sqlite3_open_v2(path.c_str(), &to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                  nullptr) == SQLITE_OK;
    if (copied) {
        // A scratch file: no journal and no sync.
        sqlite3_exec(to, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr,
                     nullptr);
        sqlite3_backup* b = sqlite3_backup_init(to, "main", ledger->sqliteHandle(), "main");
        copied = b && sqlite3_backup_step(b, -1) == SQLITE_DONE;
        copied = b && sqlite3_backup_finish(b) == SQLITE_OK && copied;
    }
    copied = sqlite3_close(to) == SQLITE_OK && copied;
    if (!copied) return nullptr;
    snapshot->db_ = SQLDatabase::databaseWithPath(path);
    if (!snapshot->db_->openReadOnly()) return nullptr;
    // The open connection keeps the copy readable; its name goes at once, so nothing is left
    // however the program ends.
    if (::unlink(path.c_str()) == 0) snapshot->path_.clear();
    return snapshot;
}

LedgerSnapshot::~LedgerSnapshot() {
    if (db_) db_->close();
    if (!path_.empty()) ::unlink(path_.c_str());
}
