#include "storage/SProductsNameTypeDB.h"

bool SProductsNameTypeDB::createProductsNameTypeDataBase() {
    return createTable(
        "CREATE TABLE SProductsNameType (productsTypeUid INTEGER PRIMARY KEY AUTOINCREMENT NOT "
        "NULL,productsTypePrimaryKey TEXT,productsTypeName TEXT,productsTypeNameKey "
        "TEXT,productsTypeIndex TEXT)");
}

bool SProductsNameTypeDB::saveProductsNameType(const SProductsNameType& r) {
    return insert(r);
}

bool SProductsNameTypeDB::mergeWithProductsNameType_changeID(const SProductsNameType& r,
                                                             const Text& uid) {
    return mergeById(r, uid);
}

bool SProductsNameTypeDB::deleteProductsNameTypeKey(const Text& nameKey) {
    return update("DELETE FROM SProductsNameType WHERE productsTypeNameKey = ?", {nameKey});
}

bool SProductsNameTypeDB::deleteProductsNameTypeWithId(const Text& uid) {
    return updateRow("DELETE FROM SProductsNameType WHERE productsTypeUid = ?", {uid});
}

bool SProductsNameTypeDB::deleteCategoryWithId_primaryKey(const Text& uid, const Text& primaryKey) {
    return inTransaction({
        {"DELETE FROM SProductsNameType WHERE productsTypeUid = ?", {uid}, true},
        {"DELETE FROM SProductsNameSub WHERE productPrimaryKey = ?", {primaryKey}},
    });
}

std::vector<SProductsNameType> SProductsNameTypeDB::findWithUid_limit(const Text& uid, int limit) {
    return pagedList(uid, limit);
}

std::vector<SProductsNameType> SProductsNameTypeDB::findWithProductsNameTypeExistsLike(
    const Text& name) {
    return list(
        "SELECT * FROM SProductsNameType WHERE productsTypeName = ? ORDER BY productsTypeUid DESC",
        {name});
}

std::vector<SProductsNameType> SProductsNameTypeDB::findWithProductsNameTypeKeyLike(
    const Text& nameKey) {
    return list(
        "SELECT * FROM SProductsNameType WHERE productsTypeNameKey = ? ORDER BY productsTypeUid "
        "DESC",
        {nameKey});
}

std::vector<SProductsNameType> SProductsNameTypeDB::findWithProductsTypePrimaryKeyLike(
    const Text& primaryKey) {
    return list(
        "SELECT * FROM SProductsNameType WHERE productsTypePrimaryKey = ? ORDER BY "
        "productsTypeUid DESC",
        {primaryKey});
}
