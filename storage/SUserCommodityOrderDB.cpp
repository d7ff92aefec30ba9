#include "storage/SUserCommodityOrderDB.h"

bool SUserCommodityOrderDB::createUserCommodityOrderDataBase() {
    return createTable(
        "CREATE TABLE SUserCommodityOrder (orderItemUid INTEGER PRIMARY KEY AUTOINCREMENT NOT "
        "NULL,orderItemPrimaryKeyDate TEXT,orderItemSalesAndPurchaseType "
        "TEXT,orderItemSalesAndPurchaseTags TEXT,orderItemProductTypeName "
        "TEXT,orderItemProductTypeNameKey TEXT,orderItemProductName TEXT,orderItemProductNameKey "
        "TEXT,orderItemModel TEXT,orderItemUnit TEXT,orderItemReferencePrice "
        "TEXT,orderItemInventoryQty TEXT,orderItemQuantity TEXT,orderItemUnitPrice "
        "TEXT,orderItemTotalAmount TEXT,orderItemDateTime TEXT,orderItemMinutesTime "
        "TEXT,orderItemWeekInYearTime TEXT,orderItemYears TEXT,orderItemMonths TEXT,orderItemDays "
        "TEXT)");
}

bool SUserCommodityOrderDB::saveUserCommodityOrder(const SUserCommodityOrder& r) {
    return insert(r);
}

bool SUserCommodityOrderDB::mergeWithSalesAndPurchase_changeUid(const SUserCommodityOrder& r,
                                                                const Text& uid) {
    return mergeById(r, uid);
}

bool SUserCommodityOrderDB::deleteSalesAndPurchaseWithUid(const Text& uid) {
    return updateRow("DELETE FROM SUserCommodityOrder WHERE orderItemUid = ?", {uid});
}

bool SUserCommodityOrderDB::deleteSalesAndPurchasePrimaryKeyDate(const Text& orderKey) {
    return update("DELETE FROM SUserCommodityOrder WHERE orderItemPrimaryKeyDate = ?", {orderKey});
}

bool SUserCommodityOrderDB::deleteSalesAndPurchasePrimaryKeyDateWithoutHeader(const Text& orderKey,
                                                                              int* removed) {
    const bool ok = update(
        "DELETE FROM SUserCommodityOrder WHERE orderItemPrimaryKeyDate = ?1 AND NOT EXISTS "
        "(SELECT 1 FROM SUserCommodity WHERE orderPrimaryKeyDate = ?1)",
        {orderKey});
    if (removed) *removed = ok ? sqlite3_changes(_db->sqliteHandle()) : 0;
    return ok;
}

bool SUserCommodityOrderDB::deleteOrderItemProductNameKey(const Text& productKey) {
    return update("DELETE FROM SUserCommodityOrder WHERE orderItemProductNameKey = ?",
                  {productKey});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::findWithSalesAndPurchaseUid_limit(
    const Text& uid, int limit) {
    return pagedList(uid, limit);
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::findWithSalesAndPurchasePrimaryKeyDateLike(
    const Text& orderKey) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemPrimaryKeyDate = ? ORDER BY "
        "orderItemUid DESC",
        {orderKey});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::findALLDataBySalesAndPurchaseTags(
    const Text& kind) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemSalesAndPurchaseTags = ? ORDER BY "
        "orderItemUid DESC",
        {kind});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::findWithOrderItemProductName(const Text& name) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemProductName = ? ORDER BY orderItemUid "
        "DESC",
        {name});
}

SUserCommodityOrderDB::List
SUserCommodityOrderDB::findWithOrderItemProductNameKey_findWithSalesAndPurchaseTags(
    const Text& productKey, const Text& kind) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemProductNameKey = ? and "
        "orderItemSalesAndPurchaseTags = ? ORDER BY orderItemUid DESC",
        {productKey, kind});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::
    findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
        const Text& year, const Text& month, const Text& productKey) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemYears = ? and orderItemMonths = ? and "
        "orderItemProductNameKey = ? ORDER BY orderItemUid DESC",
        {year, month, productKey});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::findWithExistOrderItemProductNameLike(
    const Text& name) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemProductName = ? ORDER BY orderItemUid "
        "DESC",
        {name});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::findWithSalesAndPurchaseNameUpdateKeyDateLike(
    const Text& productKey) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemProductNameKey = ? ORDER BY "
        "orderItemUid DESC",
        {productKey});
}

SUserCommodityOrderDB::List
SUserCommodityOrderDB::findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithSalesAndPurchaseTags(
    const Text& productKey, const Text& kind) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemProductNameKey = ? and "
        "orderItemSalesAndPurchaseTags = ? ORDER BY orderItemUid DESC",
        {productKey, kind});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::
    findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
        const Text& year, const Text& month, const Text& productKey, const Text& kindText) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemYears = ? and orderItemMonths = ? and "
        "orderItemProductNameKey = ? and orderItemSalesAndPurchaseType = ? ORDER BY orderItemUid "
        "DESC",
        {year, month, productKey, kindText});
}

SUserCommodityOrderDB::List
SUserCommodityOrderDB::findWithYearThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
    const Text& year, const Text& productKey) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemYears = ? and orderItemProductNameKey = "
        "? ORDER BY orderItemUid DESC",
        {year, productKey});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::
    findWithYearThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
        const Text& year, const Text& productKey, const Text& kindText) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemYears = ? and orderItemProductNameKey = "
        "? and orderItemSalesAndPurchaseType = ? ORDER BY orderItemUid DESC",
        {year, productKey, kindText});
}

SUserCommodityOrderDB::List
SUserCommodityOrderDB::findWithWeekThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
    const Text& week, const Text& productKey) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemWeekInYearTime = ? and "
        "orderItemProductNameKey = ? ORDER BY orderItemUid DESC",
        {week, productKey});
}

SUserCommodityOrderDB::List SUserCommodityOrderDB::
    findWithWeekThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
        const Text& week, const Text& productKey, const Text& kindText) {
    return list(
        "SELECT * FROM SUserCommodityOrder WHERE orderItemWeekInYearTime = ? and "
        "orderItemProductNameKey = ? and orderItemSalesAndPurchaseType = ? ORDER BY orderItemUid "
        "DESC",
        {week, productKey, kindText});
}
