#pragma once
#include <sqlite3.h>

#include <cstdint>
#include <string>

class SQLStatement {
public:
    SQLStatement(sqlite3_stmt* st, std::string query) : _statement(st), _query(std::move(query)) {}
    ~SQLStatement() { close(); }
    SQLStatement(const SQLStatement&) = delete;
    SQLStatement& operator=(const SQLStatement&) = delete;

    void reset();
    void close();

    sqlite3_stmt* statement() const { return _statement; }
    const std::string& query() const { return _query; }
    int64_t useCount() const { return _useCount; }
    void setUseCount(int64_t n) { _useCount = n; }

private:
    sqlite3_stmt* _statement = nullptr;
    std::string _query;
    int64_t _useCount = 0;
};
