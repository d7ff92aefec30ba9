#pragma once
#include "storage/SStore.h"

// Order headers.
class SUserCommodityDB : public SStore<SUserCommodity> {
  public:
    using SStore::SStore;
    using List = std::vector<SUserCommodity>;
    bool createCommodDataBase();
    bool saveUserCommodity(const SUserCommodity& r);
    bool mergeWithUserCommodity_changeID(const SUserCommodity& r, const Text& uid);
    bool deleteUserCommodityWithId(const Text& uid);
    bool deleteUserCommodityWithPrimaryKey(const Text& orderKey);
    bool deleteUserCommodityWithSupplierOrCustomerNameKey(const Text& partnerKey);
    // The header by row id and, unless another header still holds the order key (two orders
    // saved with one key by an older version), every line of the key; one transaction.
    // False when no header has the row id.
    bool deleteOrderWithId_primaryKey(const Text& uid, const Text& orderKey);
    // Writes only the three totals of the header with this row id.
    bool mergeTotalsWithCounts_entrys_amount_changeID(const Text& counts, const Text& entrys,
                                                      const Text& amount, const Text& uid);
    List findWithUid_limit(const Text& uid, int limit);
    // The header with this row id, whole; absent when there is none.
    std::optional<SUserCommodity> orderWithUid(const Text& uid);

    List
    findWithHomePageYearThingLike_findWithHomePageMonthThingLike_findWithHomePageUSER_INOrOUTTags(
        const Text& year, const Text& month, const Text& partnerSide);
    List
    findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
        const Text& year, const Text& month, const Text& kind);
    List
    findProfitWithYearThingLike_findProfitWithMonthThingLike_findWithThingToday_findProfitWithSalesAndPurchaseTagsLike(
        const Text& year, const Text& month, const Text& day, const Text& kind);
    List findChartWithYearsLike_findProfitWithSalesAndPurchaseTagsLike(const Text& year,
                                                                       const Text& kind);
    // The headers dated in ISO week `week` of the ISO week-year `year` (see weekCondition).
    List findChartWithYearThingLike_findWithWeeksThingLike_findWithSalesAndPurchaseTagsLike(
        const Text& year, const Text& week, const Text& kind);
    List
    findChartWithYearThingLike_findWithMonthThingLike_findWithThingToday_findWithSalesAndPurchaseTagsLike(
        const Text& year, const Text& month, const Text& day, const Text& kind);
    List findWithYearThingLike_findWithMonthThingLike(const Text& year, const Text& month);
    List findWithYearThingLike_findWithMonthThingLike_findWithSalesCategoryCounts(
        const Text& year, const Text& month, const Text& kindText);
    List findChartWithYearThingLike_findWithMonthThingLike(const Text& year, const Text& month);
    List findWithYearThingLike_findWithMonthThingLike_findWithThingToday(const Text& year,
                                                                         const Text& month,
                                                                         const Text& day);
    List findAllInventoryBySalesAndPurchaseTagsLike(const Text& kind);

    // The condition, with its arguments, that selects the headers of a kind dated in ISO week
    // `week` of the ISO week-year `weekYear`. A header keeps the calendar year of its date
    // beside the week, so week 1 also takes the December days of the year before (stored with
    // that year), and weeks 52 and 53 the January days of the year after; the month tells
    // them from the same week number's days at the other end of the stored year.
    struct Condition {
        std::string where;
        std::vector<SQLValue> args;
    };
    static Condition weekCondition(const Text& weekYear, const Text& week, const Text& kind);
    List exportCSVDataForPurchaseOrReturn(const Text& kindText);
};
