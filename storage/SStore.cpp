#include "storage/SStore.h"

#include "storage/SDBManager.h"

namespace {

// The record field that receives the row id, read back as its decimal text.
template <class R>
constexpr Text R::*uidField();
template <>
constexpr Text SProductsNameType::*uidField<SProductsNameType>() {
    return &SProductsNameType::productsTypeUid;
}
template <>
constexpr Text SProductsNameSub::*uidField<SProductsNameSub>() {
    return &SProductsNameSub::productSubUid;
}
template <>
constexpr Text SSupplierOrCustomers::*uidField<SSupplierOrCustomers>() {
    return &SSupplierOrCustomers::supplierOrCustomersUid;
}
template <>
constexpr Text SUserCommodity::*uidField<SUserCommodity>() {
    return &SUserCommodity::uid;
}
template <>
constexpr Text SUserCommodityOrder::*uidField<SUserCommodityOrder>() {
    return &SUserCommodityOrder::orderItemUid;
}

}  // namespace

template <class R>
SStore<R>::SStore() : _db(SDBManager::defaultDBManager().dataBase()) {}

template <class R>
bool SStore<R>::createTable(const std::string& createStatement) {
    if (!_db) return false;
    int count = 0;
    if (auto rs =
            _db->executeQuery("select count(*) from sqlite_master where type ='table' and name = ?",
                              {std::string(R::tableName)})) {
        if (rs->next()) count = rs->intForColumnIndex(0);
        rs->close();
    }
    if (count != 0) return true;
    return _db->executeUpdate(createStatement);
}

template <class R>
std::vector<R> SStore<R>::list(const std::string& sql, const std::vector<SQLValue>& args,
                               Columns only) {
    std::vector<R> out;
    _readFailed = true;
    if (!_db) return out;
    auto rs = _db->executeQuery(sql, args);
    if (!rs) return out;

    // Resolve every column once per query rather than once per row.
    const auto index = [&](std::string_view name) {
        return only == Columns::All ? rs->columnIndexForName(std::string(name))
                                    : rs->selectedColumnIndex(std::string(name));
    };
    const int uidIndex = index(R::uidColumn);
    constexpr auto columns = R::columns();
    std::array<int, columns.size()> indices{};
    for (size_t i = 0; i < columns.size(); ++i) indices[i] = index(columns[i].name);
    while (rs->next()) {
        R r;
        r.*uidField<R>() = rs->stringForColumnIndex(uidIndex);
        for (size_t i = 0; i < columns.size(); ++i) {
            r.*(columns[i].field) = rs->stringForColumnIndex(indices[i]);
        }
        out.push_back(std::move(r));
    }
    if (rs->failed()) return {};
    rs->close();
    _readFailed = false;
    return out;
}

template <class R>
std::vector<R> SStore<R>::pagedList(const Text& uid, int limit) {
    const std::string table(R::tableName);
    const std::string u(R::uidColumn);
    const std::string tail = " ORDER BY " + u + " DESC limit " + std::to_string(limit);
    if (uid) return list("SELECT * FROM " + table + " WHERE " + u + " > ?" + tail, {*uid});
    return list("SELECT * FROM " + table + tail);
}

template <class R>
bool SStore<R>::insert(const R& record) {
    if (!_db) return false;
    std::string names;
    std::string marks;
    std::vector<SQLValue> values;
    for (const auto& column : R::columns()) {
        const Text& v = record.*(column.field);
        if (!v) continue;
        if (!values.empty()) {
            names += ",";
            marks += ",";
        }
        names += column.name;
        marks += "?";
        values.emplace_back(*v);
    }
    // Nothing to store: an empty column list is not a statement.
    if (values.empty()) return false;
    return _db->executeUpdate_withArgumentsInArray(
        "INSERT INTO " + std::string(R::tableName) + " (" + names + ") VALUES (" + marks + ")",
        values);
}

template <class R>
bool SStore<R>::mergeById(const R& record, const Text& uid) {
    std::vector<Step> steps;
    const std::string head = "UPDATE " + std::string(R::tableName) + " SET ";
    const std::string where = " = ? WHERE " + std::string(R::uidColumn) + " = ?";
    for (const auto& column : R::columns()) {
        // Every step matches the same row: checking the first is enough.
        steps.push_back({head + std::string(column.name) + where,
                         {SQLValue(record.*(column.field)), SQLValue(uid)},
                         steps.empty()});
    }
    return inTransaction(steps);
}

template <class R>
bool SStore<R>::update(const std::string& sql, const std::vector<SQLValue>& args) {
    if (!_db) return false;
    return _db->executeUpdate(sql, args);
}

template <class R>
bool SStore<R>::updateRow(const std::string& sql, const std::vector<SQLValue>& args) {
    return update(sql, args) && sqlite3_changes(_db->sqliteHandle()) > 0;
}

template <class R>
bool SStore<R>::inTransaction(const std::vector<Step>& steps) {
    if (!_db) return false;
    // Inside a caller's transaction the caller decides about commit and rollback.
    sqlite3* handle = _db->sqliteHandle();
    const bool own = !_db->inTransaction() && (!handle || sqlite3_get_autocommit(handle));
    if (own && !_db->beginTransaction()) return false;
    for (const auto& [sql, args, mustChangeARow] : steps) {
        // A write by row id that finds no row did not happen: an order deleted elsewhere
        // must not be reported as saved.
        if (!_db->executeUpdate(sql, args) ||
            (mustChangeARow && (!handle || sqlite3_changes(handle) == 0))) {
            if (own) _db->rollback();
            return false;
        }
    }
    if (own && !_db->commit()) {
        _db->rollback();
        return false;
    }
    return true;
}

template class SStore<SProductsNameType>;
template class SStore<SProductsNameSub>;
template class SStore<SSupplierOrCustomers>;
template class SStore<SUserCommodity>;
template class SStore<SUserCommodityOrder>;
