#pragma once
// Cursor over the rows of one query. Owns its statement and keeps its connection alive
// until closed; reads after closing yield absent values and zeros.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class SQLDatabase;
class SQLStatement;

class SQLResultSet {
  public:
    SQLResultSet(std::unique_ptr<SQLStatement> statement, std::shared_ptr<SQLDatabase> db,
                 std::string query);
    ~SQLResultSet();
    SQLResultSet(const SQLResultSet&) = delete;
    SQLResultSet& operator=(const SQLResultSet&) = delete;

    // False at the end of the rows and on an error; failed() tells the two apart.
    bool next();
    void close();
    bool isClosed() const { return !_statement; }
    // True once next() stopped at an error (a failed step: damage, I/O, a busy database past
    // its retries) instead of at the end of the rows: what was read is not the whole result.
    bool failed() const { return _failed; }

    int32_t columnCount() const;
    int32_t intForColumnIndex(int idx) const;
    int32_t intForColumn(const std::string& name) {
        return intForColumnIndex(columnIndexForName(name));
    }
    int columnIndexForName(const std::string& name);
    // The same without the warning: -1 when the query did not select it, as a query that
    // selects only some columns means.
    int selectedColumnIndex(const std::string& name);
    std::optional<std::string> stringForColumnIndex(int idx) const;
    // The same text without a copy; it stays valid only until the next next() or close().
    std::optional<std::string_view> textViewForColumnIndex(int idx) const;
    std::optional<std::string> stringForColumn(const std::string& name) {
        return stringForColumnIndex(columnIndexForName(name));
    }
    const std::string& query() const { return _query; }

  private:
    friend class SQLDatabase;
    void detachFromDatabase();  // the connection is closing

    std::shared_ptr<SQLDatabase> _parentDB;
    std::unique_ptr<SQLStatement> _statement;
    std::string _query;
    std::map<std::string, int> _columnNameToIndexMap;
    bool _columnNamesSetup = false;
    bool _onRow = false;  // a row from the last next() is available to read
    bool _failed = false;
};
