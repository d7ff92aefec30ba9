#include "storage/SSupplierOrCustomersDB.h"

bool SSupplierOrCustomersDB::createSupplierOrCustomersDataBase() {
    return createTable(
        "CREATE TABLE SSupplierOrCustomers (supplierOrCustomersUid INTEGER PRIMARY KEY "
        "AUTOINCREMENT NOT NULL,supplierOrCustomersName TEXT,supplierOrCustomersNameKey "
        "TEXT,supplierOrCustomersTags TEXT,supplierOrCustomersTelphone "
        "TEXT,supplierOrCustomersAddress TEXT,supplierOrCustomersNotes "
        "TEXT,supplierOrCustomersIndex TEXT)");
}

bool SSupplierOrCustomersDB::saveSupplierOrCustomers(const SSupplierOrCustomers& r) {
    return insert(r);
}

bool SSupplierOrCustomersDB::mergeWithSupplierOrCustomers_changeID(const SSupplierOrCustomers& r,
                                                                   const Text& uid) {
    return mergeById(r, uid);
}

bool SSupplierOrCustomersDB::deleteSupplierOrCustomersKey(const Text& key) {
    return update("DELETE FROM SSupplierOrCustomers WHERE supplierOrCustomersNameKey = ?", {key});
}

bool SSupplierOrCustomersDB::deleteSupplierOrCustomersWithId(const Text& uid) {
    return updateRow("DELETE FROM SSupplierOrCustomers WHERE supplierOrCustomersUid = ?", {uid});
}

bool SSupplierOrCustomersDB::deletePartnerWithId_nameKey(const Text& uid, const Text& key) {
    return inTransaction({
        {"DELETE FROM SSupplierOrCustomers WHERE supplierOrCustomersUid = ?", {uid}, true},
        {"DELETE FROM SUserCommodity WHERE orderSupplierOrCustomerNameKey = ?1 AND NOT EXISTS "
         "(SELECT 1 FROM SSupplierOrCustomers WHERE supplierOrCustomersNameKey = ?1)",
         {key}},
    });
}

std::vector<SSupplierOrCustomers> SSupplierOrCustomersDB::findWithUid_limit(const Text& uid,
                                                                            int limit) {
    return pagedList(uid, limit);
}

std::vector<SSupplierOrCustomers> SSupplierOrCustomersDB::findWithSupplierOrCustomersKeyLike(
    const Text& key) {
    return list(
        "SELECT * FROM SSupplierOrCustomers WHERE supplierOrCustomersNameKey = ?  ORDER BY "
        "supplierOrCustomersUid DESC",
        {key});
}

std::vector<SSupplierOrCustomers> SSupplierOrCustomersDB::findWithSupplierOrCustomersTagsLike(
    const Text& tag) {
    return list(
        "SELECT * FROM SSupplierOrCustomers WHERE supplierOrCustomersTags = ?  ORDER BY "
        "supplierOrCustomersUid DESC",
        {tag});
}

std::vector<SSupplierOrCustomers> SSupplierOrCustomersDB::findWithSupplierOrCustomersExistsLike(
    const Text& name) {
    return list(
        "SELECT * FROM SSupplierOrCustomers WHERE supplierOrCustomersName = ? ORDER BY "
        "supplierOrCustomersUid DESC",
        {name});
}
