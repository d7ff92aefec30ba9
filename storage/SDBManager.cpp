#include "storage/SDBManager.h"

#include <filesystem>

#include "platform/DocumentsDirectory.h"

namespace {
std::unique_ptr<SDBManager>& sharedManager() {
    static std::unique_ptr<SDBManager> instance;
    return instance;
}
}  // namespace

SDBManager::SDBManager(bool readOnly) : _readOnly(readOnly) {
    initializeDBWithName("voice.sqlite");
}

SDBManager& SDBManager::defaultDBManager() {
    auto& instance = sharedManager();
    if (!instance) instance.reset(new SDBManager());
    return *instance;
}

void SDBManager::close() {
    auto& instance = sharedManager();
    if (!instance) return;
    if (instance->_dataBase) instance->_dataBase->close();
    instance.reset();
}

SDBManager& SDBManager::openReadOnly() {
    close();
    sharedManager().reset(new SDBManager(true));
    return *sharedManager();
}

bool SDBManager::initializeDBWithName(const std::string& name) {
    _name = DocumentsDirectory::path() + "/" + name;
    std::error_code ec;
    const bool existed = std::filesystem::exists(_name, ec);
    connect();
    return existed;
}

void SDBManager::connect() {
    if (!_dataBase) {
        _dataBase = SQLDatabase::databaseWithPath(_name);
        _dataBase->setBusyTimeLimit(kBusyTimeLimit);
    }
    if (_readOnly) {
        _dataBase->openReadOnly();
    } else {
        _dataBase->open();
    }
}

bool SDBManager::isOpen() const {
    return _dataBase && _dataBase->sqliteHandle() != nullptr;
}

SDBManager::LedgerCheck SDBManager::checkLedger(const std::string& path, bool verifyPages,
                                                std::chrono::milliseconds wait) {
    SQLDatabase db(path);
    db.setBusyTimeLimit(wait);
    if (!db.open()) {
        switch (db.openResultCode()) {
            case SQLITE_BUSY:
            case SQLITE_LOCKED:
                return LedgerCheck::InUse;
            case SQLITE_NOTADB:
            case SQLITE_CORRUPT:
                return LedgerCheck::NotALedger;
            default:
                return LedgerCheck::CannotWrite;
        }
    }
    // Another program may hold the write lock while reads still pass.
    if (!db.beginTransaction()) {
        const int code = sqlite3_errcode(db.sqliteHandle());
        return code == SQLITE_BUSY || code == SQLITE_LOCKED ? LedgerCheck::InUse
                                                            : LedgerCheck::CannotWrite;
    }
    db.rollback();
    if (!verifyPages) return LedgerCheck::Sound;
    // One row "ok" when sound; anything else (rows naming damage, or a read that fails
    // on a damaged page) is damage.
    auto rs = db.executeQuery("PRAGMA quick_check");
    const bool sound = rs && rs->next() && rs->stringForColumnIndex(0) == "ok" && !rs->next();
    return sound ? LedgerCheck::Sound : LedgerCheck::Damaged;
}
