#include "Tools/SQL/SQLDatabase.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "Tools/SQL/SQLLog.h"

namespace {

void busyWait() {
    std::this_thread::sleep_for(std::chrono::microseconds(20));
}

// Clears the in-use flag on every way out of an execute operation.
class InUseGuard {
  public:
    explicit InUseGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~InUseGuard() { flag_ = false; }
    InUseGuard(const InUseGuard&) = delete;
    InUseGuard& operator=(const InUseGuard&) = delete;

  private:
    bool& flag_;
};

bool isFilePath(const std::string& p) {
    return !p.empty() && p != ":memory:" && p.rfind("file:", 0) != 0;
}

}  // namespace

std::shared_ptr<SQLDatabase> SQLDatabase::databaseWithPath(const std::optional<std::string>& path) {
    return std::make_shared<SQLDatabase>(path);
}

SQLDatabase::SQLDatabase(const std::optional<std::string>& path) : _databasePath(path) {
    if (sqlite3_threadsafe() == 0) {
        // The connection may be touched from more than one thread; a single-threaded
        // build of the library would corrupt its state silently.
        sqllog::line("The SQLite library is not thread-safe.");
        std::abort();
    }
}

SQLDatabase::~SQLDatabase() {
    close();
}

std::string SQLDatabase::description() const {
    return "<SQLDatabase " + (_databasePath ? *_databasePath : std::string(":memory:")) + ">";
}

bool SQLDatabase::open() {
    return openWithFlags(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

bool SQLDatabase::openReadOnly() {
    return openWithFlags(SQLITE_OPEN_READONLY);
}

bool SQLDatabase::openWithFlags(int flags) {
    if (_db) return true;

    const std::string path = _databasePath ? *_databasePath : std::string(":memory:");
    const bool readOnly = (flags & SQLITE_OPEN_READONLY) != 0;
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    // Opening is lazy: a file that is not a database, or that another program has locked,
    // only shows at its first read.
    if (rc == SQLITE_OK) {
        BusyRetry busy;
        while ((rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                                  nullptr)) == SQLITE_BUSY ||
               rc == SQLITE_LOCKED) {
            if (!keepRetryingBusy(busy, __func__, __LINE__)) break;
            busyWait();
        }
    }
    if (!readOnly && rc == SQLITE_OK && sqlite3_db_readonly(handle, "main") == 1)
        rc = SQLITE_READONLY;
    if (!readOnly && rc == SQLITE_OK && isFilePath(path)) {
        // The journal lives next to the file: a directory we cannot write to makes every
        // later write fail, so refuse it now.
        std::filesystem::path dir = std::filesystem::path(path).parent_path();
        if (dir.empty()) dir = ".";
        if (::access(dir.c_str(), W_OK) != 0) rc = SQLITE_CANTOPEN;
    }
    _openResultCode = rc;
    if (rc != SQLITE_OK) {
        if (handle) sqlite3_close(handle);
        sqllog::line(sqllog::format("error opening!: %d", rc));
        return false;
    }
    _db = handle;
    return true;
}

bool SQLDatabase::close() {
    // A result set may hold the last owning reference; keep this connection alive meanwhile.
    auto keepAlive = weak_from_this().lock();

    std::set<SQLResultSet*> sets;
    sets.swap(_openResultSets);
    for (SQLResultSet* rs : sets) rs->detachFromDatabase();

    if (!_db) return true;

    int numberOfRetries = 0;
    bool triedFinalizingOpenStatements = false;
    int rc;
    do {
        rc = sqlite3_close(_db);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            busyWait();
            if (!triedFinalizingOpenStatements) {
                triedFinalizingOpenStatements = true;
                sqlite3_stmt* st;
                while ((st = sqlite3_next_stmt(_db, nullptr)) != nullptr) {
                    sqllog::line("Closing leaked statement");
                    sqlite3_finalize(st);
                }
            }
            if (_busyRetryTimeout > 0 && numberOfRetries++ > _busyRetryTimeout) {
                sqllog::line(sqllog::format("%s:%d", __func__, __LINE__));
                sqllog::line("Database busy, unable to close");
                return false;
            }
        } else if (rc != SQLITE_OK) {
            sqllog::line(sqllog::format("error closing!: %d", rc));
        }
    } while (rc == SQLITE_BUSY || rc == SQLITE_LOCKED);

    _db = nullptr;
    inTransaction_ = false;
    return true;
}

bool SQLDatabase::databaseExists() {
    if (!_db) {
        sqllog::line(sqllog::format("The SQLDatabase %s is not open.", description().c_str()));
        return false;
    }
    return true;
}

void SQLDatabase::bindObject_toColumn_inStatement(const SQLValue& v, int idx, sqlite3_stmt* st) {
    struct Bind {
        int idx;
        sqlite3_stmt* st;
        void operator()(std::monostate) const { sqlite3_bind_null(st, idx); }
        void operator()(SQLNull) const { sqlite3_bind_null(st, idx); }
        void operator()(const SQLBytes& b) const {
            // A zero-length buffer still binds an (empty) BLOB, not NULL.
            static const uint8_t empty = 0;
            const void* data = b.bytes.empty() ? &empty : b.bytes.data();
            sqlite3_bind_blob64(st, idx, data, b.bytes.size(), SQLITE_TRANSIENT);
        }
        void operator()(const SQLValue::TimePoint& t) const {
            sqlite3_bind_double(st, idx,
                                std::chrono::duration<double>(t.time_since_epoch()).count());
        }
        void operator()(bool b) const { sqlite3_bind_int(st, idx, b ? 1 : 0); }
        void operator()(int64_t i) const { sqlite3_bind_int64(st, idx, i); }
        void operator()(uint64_t u) const {
            sqlite3_bind_int64(st, idx, static_cast<sqlite3_int64>(u));
        }
        void operator()(float f) const { sqlite3_bind_double(st, idx, static_cast<double>(f)); }
        void operator()(double d) const { sqlite3_bind_double(st, idx, d); }
        void operator()(const std::string& s) const {
            // Full byte length: an embedded NUL is stored, not a cut-off text.
            sqlite3_bind_text64(st, idx, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        }
    };
    std::visit(Bind{idx, st}, v.value());
}

sqlite3_stmt* SQLDatabase::prepareAndBind(const std::string& sql, const std::vector<SQLValue>& args,
                                          const char* operation, bool& ok) {
    ok = false;
    if (_traceExecution) {
        sqllog::line(sqllog::format("%s %s: %s", description().c_str(), operation, sql.c_str()));
    }

    sqlite3_stmt* st = nullptr;
    BusyRetry busy;
    int rc;
    for (;;) {
        rc = sqlite3_prepare_v2(_db, sql.c_str(), -1, &st, nullptr);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
        if (!keepRetryingBusy(busy, __func__, __LINE__)) {
            sqlite3_finalize(st);
            return nullptr;
        }
        busyWait();
    }
    if (rc != SQLITE_OK) {
        if (_logsErrors) {
            sqllog::line(
                sqllog::format("DB Error: %d \"%s\"", sqlite3_errcode(_db), sqlite3_errmsg(_db)));
            sqllog::line(sqllog::format("DB Query: %s", sql.c_str()));
            sqllog::line(
                sqllog::format("DB Path: %s", _databasePath ? _databasePath->c_str() : ":memory:"));
        }
        sqlite3_finalize(st);
        return nullptr;
    }
    if (!st) {
        // Only white space or a comment: nothing to run.
        return nullptr;
    }

    const int count = sqlite3_bind_parameter_count(st);
    for (int i = 0; i < count && static_cast<size_t>(i) < args.size(); ++i) {
        if (_traceExecution) {
            sqllog::line(sqllog::format("obj: %s", args[i].description().c_str()));
        }
        bindObject_toColumn_inStatement(args[i], i + 1, st);
    }
    ok = true;
    return st;
}

std::shared_ptr<SQLResultSet> SQLDatabase::executeQuery(const std::string& sql,
                                                        const std::vector<SQLValue>& args) {
    if (!databaseExists()) return nullptr;
    if (_isExecutingStatement) {
        sqllog::line(
            sqllog::format("The SQLDatabase %s is currently in use.", description().c_str()));
        return nullptr;
    }
    InUseGuard guard(_isExecutingStatement);

    bool ok = false;
    sqlite3_stmt* st = prepareAndBind(sql, args, "executeQuery", ok);
    if (!ok) return nullptr;

    auto statement = std::make_unique<SQLStatement>(st, sql);
    statement->setUseCount(1);

    std::shared_ptr<SQLDatabase> self = weak_from_this().lock();
    if (!self) {
        // Not owned by a shared_ptr: the result set only refers to it; the destructor's
        // close() detaches every open result set before the connection goes away.
        self = std::shared_ptr<SQLDatabase>(this, [](SQLDatabase*) {});
    }
    auto rs = std::make_shared<SQLResultSet>(std::move(statement), std::move(self), sql);
    _openResultSets.insert(rs.get());
    return rs;
}

bool SQLDatabase::executeUpdate(const std::string& sql, const std::vector<SQLValue>& args) {
    if (!databaseExists()) return false;
    if (_isExecutingStatement) {
        sqllog::line(
            sqllog::format("The SQLDatabase %s is currently in use.", description().c_str()));
        return false;
    }
    InUseGuard guard(_isExecutingStatement);

    bool ok = false;
    sqlite3_stmt* st = prepareAndBind(sql, args, "executeUpdate", ok);
    if (!ok) return false;

    BusyRetry busy;
    int rc;
    bool retry;
    do {
        retry = false;
        rc = sqlite3_step(st);
        if (rc == SQLITE_DONE) {
            // success
        } else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            retry = true;
            if (rc == SQLITE_LOCKED) {
                int resetRc = sqlite3_reset(st);
                if (resetRc != SQLITE_LOCKED) {
                    sqllog::line(
                        sqllog::format("Unexpected result from sqlite3_reset (%d) eu", resetRc));
                }
            }
            if (keepRetryingBusy(busy, __func__, __LINE__)) {
                busyWait();
            } else {
                retry = false;
            }
        } else if (rc == SQLITE_ERROR) {
            sqllog::line(sqllog::format("Error calling sqlite3_step (%d: %s) SQLITE_ERROR", rc,
                                        sqlite3_errmsg(_db)));
            sqllog::line(sqllog::format("DB Query: %s", sql.c_str()));
        } else if (rc == SQLITE_MISUSE) {
            sqllog::line(sqllog::format("Error calling sqlite3_step (%d: %s) SQLITE_MISUSE", rc,
                                        sqlite3_errmsg(_db)));
            sqllog::line(sqllog::format("DB Query: %s", sql.c_str()));
        } else {
            sqllog::line(sqllog::format("Unknown error calling sqlite3_step (%d: %s) eu", rc,
                                        sqlite3_errmsg(_db)));
            sqllog::line(sqllog::format("DB Query: %s", sql.c_str()));
        }
    } while (retry);

    int closeRc = sqlite3_finalize(st);
    if (closeRc != SQLITE_OK) {
        sqllog::line(sqllog::format("Unknown error finalizing or resetting statement (%d: %s)",
                                    closeRc, sqlite3_errmsg(_db)));
        sqllog::line(sqllog::format("DB Query: %s", sql.c_str()));
    }
    return rc == SQLITE_DONE || rc == SQLITE_OK;
}

bool SQLDatabase::beginTransaction() {
    if (inTransaction_) return false;
    bool ok = executeUpdate("BEGIN IMMEDIATE");
    if (ok) inTransaction_ = true;
    return ok;
}

bool SQLDatabase::commit() {
    bool ok = executeUpdate("COMMIT");
    if (ok) inTransaction_ = false;
    return ok;
}

bool SQLDatabase::rollback() {
    if (_db && sqlite3_get_autocommit(_db)) {
        // SQLite already ended the transaction (some errors roll back on their own).
        inTransaction_ = false;
        return true;
    }
    bool ok = executeUpdate("ROLLBACK");
    // Even a failed ROLLBACK leaves no transaction we could still finish.
    inTransaction_ = false;
    return ok;
}

bool SQLDatabase::keepRetryingBusy(BusyRetry& retry, const char* function, int line) {
    const auto now = std::chrono::steady_clock::now();
    if (retry.count == 0) retry.firstBusy = now;
    bool giveUp = _busyRetryTimeout > 0 && retry.count > _busyRetryTimeout;
    if (_busyTimeLimit.count() > 0) {
        const bool justGaveUp = _lastBusyGiveUp != std::chrono::steady_clock::time_point{} &&
                                retry.firstBusy - _lastBusyGiveUp < _busyTimeLimit;
        giveUp = giveUp || justGaveUp || now - retry.firstBusy >= _busyTimeLimit;
    }
    ++retry.count;
    if (!giveUp) return true;
    _lastBusyGiveUp = now;
    sqllog::line(sqllog::format("%s:%d Database busy (%s)", function, line,
                                _databasePath ? _databasePath->c_str() : ":memory:"));
    sqllog::line("Database busy");
    return false;
}

void SQLDatabase::resultSetDidClose(SQLResultSet* rs) {
    _openResultSets.erase(rs);
}
