#pragma once
#include "storage/SStore.h"

// Order lines.
class SUserCommodityOrderDB : public SStore<SUserCommodityOrder> {
public:
    using SStore::SStore;
    using List = std::vector<SUserCommodityOrder>;
    bool createUserCommodityOrderDataBase();
    bool saveUserCommodityOrder(const SUserCommodityOrder& r);
    bool mergeWithSalesAndPurchase_changeUid(const SUserCommodityOrder& r, const Text& uid);
    bool deleteSalesAndPurchaseWithUid(const Text& uid);
    bool deleteSalesAndPurchasePrimaryKeyDate(const Text& orderKey);
    // The lines of an order that was never saved: those of the key while no header holds
    // it. `removed`, when given, receives how many went.
    bool deleteSalesAndPurchasePrimaryKeyDateWithoutHeader(const Text& orderKey,
                                                           int* removed = nullptr);
    bool deleteOrderItemProductNameKey(const Text& productKey);
    List findWithSalesAndPurchaseUid_limit(const Text& uid, int limit);

    List findWithSalesAndPurchasePrimaryKeyDateLike(const Text& orderKey);
    List findALLDataBySalesAndPurchaseTags(const Text& kind);
    List findWithOrderItemProductName(const Text& name);
    List findWithOrderItemProductNameKey_findWithSalesAndPurchaseTags(const Text& productKey,
                                                                      const Text& kind);
    List findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(
        const Text& year, const Text& month, const Text& productKey);
    List findWithExistOrderItemProductNameLike(const Text& name);
    List findWithSalesAndPurchaseNameUpdateKeyDateLike(const Text& productKey);
    List findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithSalesAndPurchaseTags(
        const Text& productKey, const Text& kind);
    List findWithYearThingLike_findWithMonthThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
        const Text& year, const Text& month, const Text& productKey, const Text& kindText);
    List findWithYearThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(const Text& year,
                                                                              const Text& productKey);
    List findWithYearThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
        const Text& year, const Text& productKey, const Text& kindText);
    List findWithWeekThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike(const Text& week,
                                                                              const Text& productKey);
    List findWithWeekThingLike_findWithSalesAndPurchaseNameUpdateKeyDateLike_findWithPurchaseOrReturnsCounts(
        const Text& week, const Text& productKey, const Text& kindText);
};
