#include "storage/SProductsNameSubDB.h"

bool SProductsNameSubDB::createProductNameDataBase() {
    return createTable(
        "CREATE TABLE SProductsNameSub (productSubUid INTEGER PRIMARY KEY AUTOINCREMENT NOT "
        "NULL,productPrimaryKey TEXT,productTypeName TEXT,productTypeNameKey TEXT,productSubName "
        "TEXT,productSubNameKey TEXT,productSubModel TEXT,productSubUnit "
        "TEXT,productSubReferencePrice TEXT,productSubInventoryQty TEXT,productSubQty "
        "TEXT,productSubPrice TEXT,productSubTotalAmount TEXT,productSubDate TEXT,productSubIndex "
        "TEXT)");
}

bool SProductsNameSubDB::saveProductNameSub(const SProductsNameSub& r) {
    return insert(r);
}

bool SProductsNameSubDB::mergeWithProductNameSub_changeID(const SProductsNameSub& r,
                                                          const Text& uid) {
    return mergeById(r, uid);
}

bool SProductsNameSubDB::deleteProductWithNameSubKeyDate(const Text& productKey) {
    return update("DELETE FROM SProductsNameSub WHERE productSubNameKey = ?", {productKey});
}

bool SProductsNameSubDB::deleteProductPrimaryKey(const Text& categoryKey) {
    return update("DELETE FROM SProductsNameSub WHERE productPrimaryKey = ?", {categoryKey});
}

bool SProductsNameSubDB::deleteProductsNameSubWithId(const Text& uid) {
    return updateRow("DELETE FROM SProductsNameSub WHERE productSubUid = ?", {uid});
}

bool SProductsNameSubDB::deleteProductWithId_nameKey(const Text& uid, const Text& productKey) {
    return inTransaction({
        {"DELETE FROM SProductsNameSub WHERE productSubUid = ?", {uid}, true},
        {"DELETE FROM SUserCommodityOrder WHERE orderItemProductNameKey = ?1 AND NOT EXISTS "
         "(SELECT 1 FROM SProductsNameSub WHERE productSubNameKey = ?1)",
         {productKey}},
    });
}

std::vector<SProductsNameSub> SProductsNameSubDB::findWithUid_limit(const Text& uid, int limit) {
    return pagedList(uid, limit);
}

std::vector<SProductsNameSub> SProductsNameSubDB::findOverviewWithLimit(int limit) {
    return list(
        "SELECT productSubUid, productSubName, productSubModel, productSubNameKey, "
        "productSubReferencePrice FROM "
        "SProductsNameSub ORDER BY productSubUid DESC limit " +
            std::to_string(limit),
        {}, Columns::Selected);
}

std::vector<SProductsNameSub> SProductsNameSubDB::findWithProductPrimaryKeyLike(
    const Text& categoryKey) {
    return list(
        "SELECT * FROM SProductsNameSub WHERE productPrimaryKey = ? ORDER BY productSubUid DESC",
        {categoryKey});
}

std::vector<SProductsNameSub>
SProductsNameSubDB::findWithProductNameSubExistsLike_findWithProductPrimaryKeyLike(
    const Text& name, const Text& categoryKey) {
    return list(
        "SELECT * FROM SProductsNameSub WHERE productSubName = ? and productPrimaryKey = ? ORDER "
        "BY productSubUid DESC",
        {name, categoryKey});
}

std::vector<SProductsNameSub> SProductsNameSubDB::findWithProductNameSubKeyDateLike(
    const Text& productKey) {
    return list(
        "SELECT * FROM SProductsNameSub WHERE productSubNameKey = ? ORDER BY productSubUid DESC",
        {productKey});
}
