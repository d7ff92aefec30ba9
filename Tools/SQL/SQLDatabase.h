#pragma once
// Thin layer over the SQLite C API: one connection, prepared statements, cursors.
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "Tools/SQL/SQLResultSet.h"
#include "Tools/SQL/SQLStatement.h"
#include "Tools/SQL/SQLValue.h"

class SQLDatabase : public std::enable_shared_from_this<SQLDatabase> {
public:
    // Absent path: an in-memory database (":memory:").
    static std::shared_ptr<SQLDatabase> databaseWithPath(const std::optional<std::string>& path);
    explicit SQLDatabase(const std::optional<std::string>& path);  // initWithPath:
    ~SQLDatabase();
    SQLDatabase(const SQLDatabase&) = delete;
    SQLDatabase& operator=(const SQLDatabase&) = delete;

    bool open();
    // Opens the file read-only: nothing run on this connection can change it.
    bool openReadOnly();
    bool close();
    bool databaseExists();

    // One argument per "?" placeholder; extra arguments are ignored.
    std::shared_ptr<SQLResultSet> executeQuery(const std::string& sql,
                                               const std::vector<SQLValue>& args = {});
    bool executeUpdate(const std::string& sql, const std::vector<SQLValue>& args = {});
    bool executeUpdate_withArgumentsInArray(const std::string& sql,
                                            const std::vector<SQLValue>& args) {
        return executeUpdate(sql, args);
    }

    // All-or-nothing groups of statements (merges, cascading deletes).
    bool beginTransaction();
    bool commit();
    bool rollback();
    bool inTransaction() const { return inTransaction_; }

    const std::optional<std::string>& databasePath() const { return _databasePath; }
    sqlite3* sqliteHandle() const { return _db; }
    std::string description() const;

    bool logsErrors() const { return _logsErrors; }
    void setLogsErrors(bool v) { _logsErrors = v; }
    bool traceExecution() const { return _traceExecution; }
    void setTraceExecution(bool v) { _traceExecution = v; }
    int32_t busyRetryTimeout() const { return _busyRetryTimeout; }
    void setBusyRetryTimeout(int32_t v) { _busyRetryTimeout = v; }
    // Busy retries also give up once a statement has waited this long (0: no time bound).
    // A statement that meets the lock again within this span after a give-up fails at
    // once, so a screen that runs many statements while another program holds the ledger
    // waits about this long in all, not once per statement.
    std::chrono::milliseconds busyTimeLimit() const { return _busyTimeLimit; }
    void setBusyTimeLimit(std::chrono::milliseconds v) { _busyTimeLimit = v; }
    // The SQLite result code of the last open (SQLITE_OK once open): tells a file locked
    // by another program (SQLITE_BUSY) from one that is not a database (SQLITE_NOTADB).
    int openResultCode() const { return _openResultCode; }
    bool isExecutingStatement() const { return _isExecutingStatement; }
    void setInUse(bool v) { _isExecutingStatement = v; }  // tests of the in-use flag
    size_t openResultSetCount() const { return _openResultSets.size(); }

    // Called by SQLResultSet.
    void resultSetDidClose(SQLResultSet* rs);

private:
    friend class SQLResultSet;
    // The busy retries of one statement (or one open).
    struct BusyRetry {
        int32_t count = 0;
        std::chrono::steady_clock::time_point firstBusy{};
    };
    // Called when a step or prepare met a busy or locked database: false, after logging
    // the give-up for `function`, when the retry limit or the time limit is reached.
    bool keepRetryingBusy(BusyRetry& retry, const char* function, int line);
    bool openWithFlags(int flags);
    sqlite3_stmt* prepareAndBind(const std::string& sql, const std::vector<SQLValue>& args,
                                 const char* operation, bool& ok);
    static void bindObject_toColumn_inStatement(const SQLValue& v, int idx, sqlite3_stmt* st);

    sqlite3* _db = nullptr;
    std::optional<std::string> _databasePath;
    bool _logsErrors = false;
    bool _traceExecution = false;
    bool _isExecutingStatement = false;
    int32_t _busyRetryTimeout = 0;
    std::chrono::milliseconds _busyTimeLimit{0};
    std::chrono::steady_clock::time_point _lastBusyGiveUp{};
    int _openResultCode = SQLITE_OK;
    std::set<SQLResultSet*> _openResultSets;
    bool inTransaction_ = false;
};
