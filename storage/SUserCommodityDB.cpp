#include "storage/SUserCommodityDB.h"

#include "storage/NumberText.h"

bool SUserCommodityDB::createCommodDataBase() {
    return createTable(
        "CREATE TABLE SUserCommodity (uid INTEGER PRIMARY KEY AUTOINCREMENT NOT "
        "NULL,orderPrimaryKeyDate TEXT,orderSalesTagOrPurchaseTag TEXT,orderSupplierOrCustomerName "
        "TEXT,orderSupplierOrCustomerNameKey TEXT,orderSalesAndPurchaseType "
        "TEXT,orderSalesAndPurchaseTags TEXT,orderName TEXT,orderTotalCounts TEXT,orderTotalEntrys "
        "TEXT,orderTotalAmount TEXT,remarkNotes TEXT,recordeWeekInYearTime TEXT,recordeWeekTime "
        "TEXT,recordeDateTime TEXT,minutesTime TEXT,years TEXT,months TEXT,days TEXT)");
}

bool SUserCommodityDB::saveUserCommodity(const SUserCommodity& r) {
    return insert(r);
}

bool SUserCommodityDB::mergeWithUserCommodity_changeID(const SUserCommodity& r, const Text& uid) {
    return mergeById(r, uid);
}

bool SUserCommodityDB::deleteUserCommodityWithId(const Text& uid) {
    return updateRow("DELETE FROM SUserCommodity WHERE uid = ?", {uid});
}

bool SUserCommodityDB::deleteUserCommodityWithPrimaryKey(const Text& orderKey) {
    return update("DELETE FROM SUserCommodity WHERE orderPrimaryKeyDate = ?", {orderKey});
}

bool SUserCommodityDB::deleteUserCommodityWithSupplierOrCustomerNameKey(const Text& partnerKey) {
    return update("DELETE FROM SUserCommodity WHERE orderSupplierOrCustomerNameKey = ?",
                  {partnerKey});
}

bool SUserCommodityDB::deleteOrderWithId_primaryKey(const Text& uid, const Text& orderKey) {
    return inTransaction({
        {"DELETE FROM SUserCommodity WHERE uid = ?", {uid}, true},
        {"DELETE FROM SUserCommodityOrder WHERE orderItemPrimaryKeyDate = ?1 AND NOT EXISTS "
         "(SELECT 1 FROM SUserCommodity WHERE orderPrimaryKeyDate = ?1)",
         {orderKey}},
    });
}

bool SUserCommodityDB::mergeTotalsWithCounts_entrys_amount_changeID(const Text& counts,
                                                                    const Text& entrys,
                                                                    const Text& amount,
                                                                    const Text& uid) {
    return updateRow(
        "UPDATE SUserCommodity SET orderTotalCounts = ?, orderTotalEntrys = ?, "
        "orderTotalAmount = ? WHERE uid = ?",
        {counts, entrys, amount, uid});
}

SUserCommodityDB::List SUserCommodityDB::findWithUid_limit(const Text& uid, int limit) {
    return pagedList(uid, limit);
}

std::optional<SUserCommodity> SUserCommodityDB::orderWithUid(const Text& uid) {
    auto found = list("SELECT * FROM SUserCommodity WHERE uid = ?", {uid});
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

SUserCommodityDB::List SUserCommodityDB::
    findWithHomePageYearThingLike_findWithHomePageMonthThingLike_findWithHomePageUSER_INOrOUTTags(
        const Text& year, const Text& month, const Text& partnerSide) {
    return list(
        "SELECT * FROM SUserCommodity WHERE years = ? and months = ? and "
        "orderSalesTagOrPurchaseTag = ? ORDER BY uid DESC",
        {year, month, partnerSide});
}

SUserCommodityDB::List SUserCommodityDB::
    findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
        const Text& year, const Text& month, const Text& kind) {
    return list(
        "SELECT * FROM SUserCommodity where years =? and months =? and orderSalesAndPurchaseTags "
        "= ? ORDER BY uid DESC",
        {year, month, kind});
}

SUserCommodityDB::List SUserCommodityDB::
    findProfitWithYearThingLike_findProfitWithMonthThingLike_findWithThingToday_findProfitWithSalesAndPurchaseTagsLike(
        const Text& year, const Text& month, const Text& day, const Text& kind) {
    return list(
        "SELECT * FROM SUserCommodity where years =? and months =? and days =? and "
        "orderSalesAndPurchaseTags = ? ORDER BY uid DESC",
        {year, month, day, kind});
}

SUserCommodityDB::List
SUserCommodityDB::findChartWithYearsLike_findProfitWithSalesAndPurchaseTagsLike(const Text& year,
                                                                                const Text& kind) {
    return list(
        "SELECT * FROM SUserCommodity WHERE years = ? and orderSalesAndPurchaseTags = ? ORDER BY "
        "uid DESC",
        {year, kind});
}

SUserCommodityDB::List SUserCommodityDB::
    findChartWithYearThingLike_findWithWeeksThingLike_findWithSalesAndPurchaseTagsLike(
        const Text& year, const Text& week, const Text& kind) {
    const Condition c = weekCondition(year, week, kind);
    return list("SELECT * FROM SUserCommodity WHERE " + c.where + " ORDER BY uid DESC", c.args);
}

// Only the week index is offered to the planner ("+" keeps a column out of index choice):
// it finds a week's few rows at once, where the year-and-kind index would walk a whole year.
SUserCommodityDB::Condition SUserCommodityDB::weekCondition(const Text& weekYear, const Text& week,
                                                            const Text& kind) {
    const int w = intValue(week);
    const bool first = w == 1, last = w == 52 || w == 53;
    if (!first && !last) {
        return {"years = ? and recordeWeekInYearTime = ? and +orderSalesAndPurchaseTags = ?",
                {weekYear, week, kind}};
    }
    // Week 1 spills back into December, the last week forward into January.
    const int y = intValue(weekYear);
    return {
        "((years = ? and recordeWeekInYearTime = ? and +months = ?) or "
        "(years = ? and recordeWeekInYearTime = ? and +months = ?)) and "
        "+orderSalesAndPurchaseTags = ?",
        {weekYear, week, std::string(first ? "1" : "12"), formatCount(first ? y - 1 : y + 1), week,
         std::string(first ? "12" : "1"), kind}};
}

SUserCommodityDB::List SUserCommodityDB::
    findChartWithYearThingLike_findWithMonthThingLike_findWithThingToday_findWithSalesAndPurchaseTagsLike(
        const Text& year, const Text& month, const Text& day, const Text& kind) {
    return list(
        "SELECT * FROM SUserCommodity WHERE years = ? and months = ? and days = ? and "
        "orderSalesAndPurchaseTags = ? ORDER BY uid DESC",
        {year, month, day, kind});
}

SUserCommodityDB::List SUserCommodityDB::findWithYearThingLike_findWithMonthThingLike(
    const Text& year, const Text& month) {
    return list("SELECT * FROM SUserCommodity where years =? and months =? ORDER BY uid DESC",
                {year, month});
}

SUserCommodityDB::List
SUserCommodityDB::findWithYearThingLike_findWithMonthThingLike_findWithSalesCategoryCounts(
    const Text& year, const Text& month, const Text& kindText) {
    return list(
        "SELECT * FROM SUserCommodity WHERE years = ? and months = ? and "
        "orderSalesAndPurchaseType = ? ORDER BY uid DESC",
        {year, month, kindText});
}

SUserCommodityDB::List SUserCommodityDB::findChartWithYearThingLike_findWithMonthThingLike(
    const Text& year, const Text& month) {
    return list("SELECT * FROM SUserCommodity WHERE years = ? and months = ? ORDER BY uid DESC",
                {year, month});
}

SUserCommodityDB::List
SUserCommodityDB::findWithYearThingLike_findWithMonthThingLike_findWithThingToday(const Text& year,
                                                                                  const Text& month,
                                                                                  const Text& day) {
    return list(
        "SELECT * FROM SUserCommodity WHERE years = ? and months = ? and days = ? ORDER BY uid "
        "DESC",
        {year, month, day});
}

SUserCommodityDB::List SUserCommodityDB::findAllInventoryBySalesAndPurchaseTagsLike(
    const Text& kind) {
    return list(
        "SELECT * FROM SUserCommodity WHERE orderSalesAndPurchaseTags = ? ORDER BY uid DESC",
        {kind});
}

SUserCommodityDB::List SUserCommodityDB::exportCSVDataForPurchaseOrReturn(const Text& kindText) {
    return list(
        "SELECT * FROM SUserCommodity WHERE orderSalesAndPurchaseType = ? ORDER BY uid DESC",
        {kindText});
}
