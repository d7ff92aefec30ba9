#include "Tools/SQL/SQLResultSet.h"

#include <algorithm>
#include <cctype>
#include <thread>

#include "Tools/SQL/SQLDatabase.h"
#include "Tools/SQL/SQLLog.h"
#include "Tools/SQL/SQLStatement.h"

namespace {
std::string lowercased(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
}  // namespace

SQLResultSet::SQLResultSet(std::unique_ptr<SQLStatement> statement, std::shared_ptr<SQLDatabase> db,
                           std::string query)
    : _parentDB(std::move(db)), _statement(std::move(statement)), _query(std::move(query)) {}

SQLResultSet::~SQLResultSet() {
    close();
}

bool SQLResultSet::next() {
    _onRow = false;
    if (!_statement || !_parentDB) return false;
    sqlite3_stmt* st = _statement->statement();

    SQLDatabase::BusyRetry busy;
    int rc;
    bool retry;
    do {
        retry = false;
        rc = sqlite3_step(st);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            retry = true;
            if (rc == SQLITE_LOCKED) {
                int resetRc = sqlite3_reset(st);
                if (resetRc != SQLITE_LOCKED) {
                    sqllog::line(
                        sqllog::format("Unexpected result from sqlite3_reset (%d) rs", resetRc));
                }
            }
            if (!_parentDB->keepRetryingBusy(busy, __func__, __LINE__)) {
                _failed = true;
                close();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        } else if (rc == SQLITE_ROW) {
            _onRow = true;
            return true;
        } else if (rc == SQLITE_DONE) {
            close();
            return false;
        } else if (rc == SQLITE_ERROR || rc == SQLITE_MISUSE) {
            sqllog::line(sqllog::format("Error calling sqlite3_step (%d: %s) rs", rc,
                                        sqlite3_errmsg(_parentDB->sqliteHandle())));
            _failed = true;
            close();
            return false;
        } else {
            sqllog::line(sqllog::format("Unknown error calling sqlite3_step (%d: %s) rs", rc,
                                        sqlite3_errmsg(_parentDB->sqliteHandle())));
            _failed = true;
            close();
            return false;
        }
    } while (retry);
    return false;
}

void SQLResultSet::close() {
    _onRow = false;
    if (_statement) {
        _statement->reset();
        _statement.reset();
    }
    // Release the connection last: this may drop its final owner.
    std::shared_ptr<SQLDatabase> db = std::move(_parentDB);
    _parentDB.reset();
    if (db) db->resultSetDidClose(this);
}

void SQLResultSet::detachFromDatabase() {
    // Still open when the connection closes: the rest of the rows are lost.
    _failed = true;
    _onRow = false;
    _statement.reset();  // finalizes, so the connection can close
    _parentDB.reset();
}

int32_t SQLResultSet::columnCount() const {
    if (!_statement) return 0;
    return sqlite3_column_count(_statement->statement());
}

int32_t SQLResultSet::intForColumnIndex(int idx) const {
    if (!_statement || !_onRow || idx < 0) return 0;
    return sqlite3_column_int(_statement->statement(), idx);
}

int SQLResultSet::columnIndexForName(const std::string& name) {
    const int index = selectedColumnIndex(name);
    if (index < 0 && _columnNamesSetup)  // a set closed before any lookup has no columns
        sqllog::line(sqllog::format("Warning: I could not find the column named '%s'.",
                                    lowercased(name).c_str()));
    return index;
}

int SQLResultSet::selectedColumnIndex(const std::string& name) {
    const std::string key = lowercased(name);
    if (!_columnNamesSetup) {
        if (!_statement) return -1;  // closed before any lookup: nothing to map
        sqlite3_stmt* st = _statement->statement();
        const int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) {
            const char* colName = sqlite3_column_name(st, i);
            if (colName) _columnNameToIndexMap.emplace(lowercased(colName), i);
        }
        _columnNamesSetup = true;
    }
    auto it = _columnNameToIndexMap.find(key);
    return it != _columnNameToIndexMap.end() ? it->second : -1;
}

std::optional<std::string> SQLResultSet::stringForColumnIndex(int idx) const {
    const auto view = textViewForColumnIndex(idx);
    if (!view) return std::nullopt;
    return std::string(*view);
}

std::optional<std::string_view> SQLResultSet::textViewForColumnIndex(int idx) const {
    if (!_statement || !_onRow || idx < 0) return std::nullopt;
    sqlite3_stmt* st = _statement->statement();
    if (idx >= sqlite3_column_count(st)) return std::nullopt;
    if (sqlite3_column_type(st, idx) == SQLITE_NULL) return std::nullopt;
    const unsigned char* text = sqlite3_column_text(st, idx);
    // Byte count after the text conversion, so an embedded NUL does not cut the value.
    const int bytes = sqlite3_column_bytes(st, idx);
    if (!text) return std::string_view();
    return std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(bytes));
}
