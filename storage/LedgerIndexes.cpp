#include "storage/LedgerIndexes.h"

namespace {
const char* const kIndexes[] = {
    // Stock and history of one product (by key, and by key and kind); deleting a product.
    "CREATE INDEX IF NOT EXISTS SUserCommodityOrder_productKey ON SUserCommodityOrder "
    "(orderItemProductNameKey, orderItemSalesAndPurchaseTags)",
    // The lines of one order: the order editor; deleting an order.
    "CREATE INDEX IF NOT EXISTS SUserCommodityOrder_orderKey ON SUserCommodityOrder "
    "(orderItemPrimaryKeyDate)",
    // Headers of a year, a month or a day: journals, dashboard, statistics.
    "CREATE INDEX IF NOT EXISTS SUserCommodity_period ON SUserCommodity (years, months, days)",
    // Headers of a year and kind, in row order: the statistics chart and year totals.
    "CREATE INDEX IF NOT EXISTS SUserCommodity_yearKind ON SUserCommodity "
    "(years, orderSalesAndPurchaseTags)",
    // Headers of a week of a year: statistics.
    "CREATE INDEX IF NOT EXISTS SUserCommodity_week ON SUserCommodity "
    "(years, recordeWeekInYearTime)",
    // Deleting an order by key, and a partner's orders.
    "CREATE INDEX IF NOT EXISTS SUserCommodity_orderKey ON SUserCommodity (orderPrimaryKeyDate)",
    "CREATE INDEX IF NOT EXISTS SUserCommodity_partnerKey ON SUserCommodity "
    "(orderSupplierOrCustomerNameKey)",
    // A partner by key: every row of a journal.
    "CREATE INDEX IF NOT EXISTS SSupplierOrCustomers_key ON SSupplierOrCustomers "
    "(supplierOrCustomersNameKey)",
    // The products of a category.
    "CREATE INDEX IF NOT EXISTS SProductsNameSub_category ON SProductsNameSub "
    "(productPrimaryKey)",
};
}  // namespace

bool createLedgerIndexes(SQLDatabase& db) {
    bool ok = true;
    for (const char* sql : kIndexes) ok = db.executeUpdate(sql) && ok;
    return ok;
}
