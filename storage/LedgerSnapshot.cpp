#include "storage/LedgerSnapshot.h"

#include <unistd.h>

#include <cstdlib>

#include "storage/SDBManager.h"

std::unique_ptr<LedgerSnapshot> LedgerSnapshot::take() {
    const auto& ledger = SDBManager::defaultDBManager().dataBase();
    if (!ledger || !ledger->sqliteHandle()) return nullptr;
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/marrowkeeper-ledger-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) return nullptr;
    ::close(fd);
    std::unique_ptr<LedgerSnapshot> snapshot(new LedgerSnapshot);
    snapshot->path_ = path;

    sqlite3* to = nullptr;
    bool copied = sqlite3_open_v2(path.c_str(), &to, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
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
    return snapshot;
}

LedgerSnapshot::~LedgerSnapshot() {
    if (db_) db_->close();
    if (!path_.empty()) ::unlink(path_.c_str());
}
