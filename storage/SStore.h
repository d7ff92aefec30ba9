#pragma once
// The common store pattern shared by the five stores: create-if-missing, row mapping,
// paged list, insert of present fields, update by row id, delete. Every value is bound.
#include <memory>
#include <string>
#include <vector>

#include "Tools/SQL/SQLDatabase.h"
#include "storage/Records.h"

template <class R>
class SStore {
  public:
    SStore();
    explicit SStore(std::shared_ptr<SQLDatabase> db) : _db(std::move(db)) {}

    const std::shared_ptr<SQLDatabase>& db() const { return _db; }
    // Whether the last find could not be read whole (no connection, a statement that could
    // not be prepared, a failed step); its list is then empty rather than partial.
    bool readFailed() const { return _readFailed; }

  protected:
    // Runs "select count(*) from sqlite_master ..." and the CREATE TABLE when it is 0.
    bool createTable(const std::string& createStatement);
    // Maps every row of the query to a record, in row order; a failed query is empty and
    // sets readFailed(). A column the query does not select is logged as missing, unless
    // `only` says the query selects only some on purpose (those fields are then absent).
    enum class Columns { All, Selected };
    std::vector<R> list(const std::string& sql, const std::vector<SQLValue>& args = {},
                        Columns only = Columns::All);
    // SELECT * ... [WHERE uid > ?] ORDER BY uid DESC limit N
    std::vector<R> pagedList(const Text& uid, int limit);
    // INSERT INTO <table> (present columns) VALUES (?, ...)
    bool insert(const R& record);
    // One UPDATE per column, all inside one transaction; false when no row has the row id.
    bool mergeById(const R& record, const Text& uid);
    bool update(const std::string& sql, const std::vector<SQLValue>& args);
    // An update or delete by row id: false when it changed no row (the row is gone).
    bool updateRow(const std::string& sql, const std::vector<SQLValue>& args);

    struct Step {
        std::string sql;
        std::vector<SQLValue> args;
        bool mustChangeARow = false;  // a step that changes nothing fails the whole group
    };
    // Runs every statement inside one transaction: all of them or none.
    bool inTransaction(const std::vector<Step>& steps);

    std::shared_ptr<SQLDatabase> _db;
    bool _readFailed = false;
};
