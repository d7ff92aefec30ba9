// The five tables as every store creates them: the statements older files hold too.
#include <sstream>

#include "tests/storage/StoreFixture.h"

namespace {

// Each table: its row id column, then its text columns in order.
const char* const kSchema[][3] = {
    {"SProductsNameType", "productsTypeUid",
     "productsTypePrimaryKey productsTypeName productsTypeNameKey productsTypeIndex"},
    {"SProductsNameSub", "productSubUid",
     "productPrimaryKey productTypeName productTypeNameKey productSubName productSubNameKey "
     "productSubModel productSubUnit productSubReferencePrice productSubInventoryQty productSubQty "
     "productSubPrice productSubTotalAmount productSubDate productSubIndex"},
    {"SSupplierOrCustomers", "supplierOrCustomersUid",
     "supplierOrCustomersName supplierOrCustomersNameKey supplierOrCustomersTags "
     "supplierOrCustomersTelphone supplierOrCustomersAddress supplierOrCustomersNotes "
     "supplierOrCustomersIndex"},
    {"SUserCommodity", "uid",
     "orderPrimaryKeyDate orderSalesTagOrPurchaseTag orderSupplierOrCustomerName "
     "orderSupplierOrCustomerNameKey orderSalesAndPurchaseType orderSalesAndPurchaseTags orderName "
     "orderTotalCounts orderTotalEntrys orderTotalAmount remarkNotes recordeWeekInYearTime "
     "recordeWeekTime recordeDateTime minutesTime years months days"},
    {"SUserCommodityOrder", "orderItemUid",
     "orderItemPrimaryKeyDate orderItemSalesAndPurchaseType orderItemSalesAndPurchaseTags "
     "orderItemProductTypeName orderItemProductTypeNameKey orderItemProductName "
     "orderItemProductNameKey orderItemModel orderItemUnit orderItemReferencePrice "
     "orderItemInventoryQty orderItemQuantity orderItemUnitPrice orderItemTotalAmount "
     "orderItemDateTime orderItemMinutesTime orderItemWeekInYearTime orderItemYears "
     "orderItemMonths orderItemDays"},
};

}  // namespace

using Schema = StoreFixture;

TEST_F(Schema, EachStoreCreatesItsTableWithTheExactStatement) {
    for (const auto& [table, id, columns] : kSchema) {
        std::string sql = std::string("CREATE TABLE ") + table + " (" + id +
                          " INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL,";
        std::istringstream words(columns);
        for (std::string c; words >> c;) sql += c + " TEXT,";
        sql.back() = ')';
        auto rs = db->executeQuery(
            "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?", {table});
        ASSERT_TRUE(rs && rs->next()) << table;
        EXPECT_EQ(rs->stringForColumn("sql"), sql);
    }
}
