// The shared manager on a real documents directory: first start, restart, a foreign file.
#include <gtest/gtest.h>

#include "platform/DocumentsDirectory.h"
#include "storage/SDBManager.h"
#include "tests/storage/StoreFixture.h"

namespace {

const char* const kSchema[][2] = {
    {"SProductsNameType",
     "CREATE TABLE SProductsNameType (productsTypeUid INTEGER PRIMARY KEY AUTOINCREMENT NOT "
     "NULL,productsTypePrimaryKey TEXT,productsTypeName TEXT,productsTypeNameKey "
     "TEXT,productsTypeIndex TEXT)"},
    {"SProductsNameSub",
     "CREATE TABLE SProductsNameSub (productSubUid INTEGER PRIMARY KEY AUTOINCREMENT NOT "
     "NULL,productPrimaryKey TEXT,productTypeName TEXT,productTypeNameKey TEXT,productSubName "
     "TEXT,productSubNameKey TEXT,productSubModel TEXT,productSubUnit "
     "TEXT,productSubReferencePrice "
     "TEXT,productSubInventoryQty TEXT,productSubQty TEXT,productSubPrice "
     "TEXT,productSubTotalAmount TEXT,productSubDate TEXT,productSubIndex TEXT)"},
    {"SSupplierOrCustomers",
     "CREATE TABLE SSupplierOrCustomers (supplierOrCustomersUid INTEGER PRIMARY KEY AUTOINCREMENT "
     "NOT NULL,supplierOrCustomersName TEXT,supplierOrCustomersNameKey "
     "TEXT,supplierOrCustomersTags TEXT,supplierOrCustomersTelphone "
     "TEXT,supplierOrCustomersAddress TEXT,supplierOrCustomersNotes TEXT,supplierOrCustomersIndex "
     "TEXT)"},
    {"SUserCommodity",
     "CREATE TABLE SUserCommodity (uid INTEGER PRIMARY KEY AUTOINCREMENT NOT "
     "NULL,orderPrimaryKeyDate TEXT,orderSalesTagOrPurchaseTag TEXT,orderSupplierOrCustomerName "
     "TEXT,orderSupplierOrCustomerNameKey TEXT,orderSalesAndPurchaseType "
     "TEXT,orderSalesAndPurchaseTags TEXT,orderName TEXT,orderTotalCounts TEXT,orderTotalEntrys "
     "TEXT,orderTotalAmount TEXT,remarkNotes TEXT,recordeWeekInYearTime TEXT,recordeWeekTime "
     "TEXT,recordeDateTime TEXT,minutesTime TEXT,years TEXT,months TEXT,days TEXT)"},
    {"SUserCommodityOrder",
     "CREATE TABLE SUserCommodityOrder (orderItemUid INTEGER PRIMARY KEY AUTOINCREMENT NOT "
     "NULL,orderItemPrimaryKeyDate TEXT,orderItemSalesAndPurchaseType "
     "TEXT,orderItemSalesAndPurchaseTags TEXT,orderItemProductTypeName "
     "TEXT,orderItemProductTypeNameKey TEXT,orderItemProductName TEXT,orderItemProductNameKey "
     "TEXT,orderItemModel TEXT,orderItemUnit TEXT,orderItemReferencePrice "
     "TEXT,orderItemInventoryQty TEXT,orderItemQuantity TEXT,orderItemUnitPrice "
     "TEXT,orderItemTotalAmount TEXT,orderItemDateTime TEXT,orderItemMinutesTime "
     "TEXT,orderItemWeekInYearTime TEXT,orderItemYears TEXT,orderItemMonths TEXT,orderItemDays "
     "TEXT)"},
};

// Start-up's order of table creation.
void createAll() {
    SUserCommodityDB().createCommodDataBase();
    SUserCommodityOrderDB().createUserCommodityOrderDataBase();
    SProductsNameTypeDB().createProductsNameTypeDataBase();
    SProductsNameSubDB().createProductNameDataBase();
    SSupplierOrCustomersDB().createSupplierOrCustomersDataBase();
}

class Manager : public testing::Test {
  protected:
    void SetUp() override {
        SDBManager::close();
        DocumentsDirectory::setPath(dir.path());
    }
    void TearDown() override { SDBManager::close(); }
    ScratchDir dir;
};

}  // namespace

TEST_F(Manager, FirstStartCreatesTheLedgerWithExactSchema) {
    SDBManager& m = SDBManager::defaultDBManager();
    EXPECT_EQ(m.name(), dir.path() + "/voice.sqlite");
    ASSERT_TRUE(m.isOpen());
    createAll();
    for (const auto& [table, sql] : kSchema) {
        auto rs = m.dataBase()->executeQuery(
            "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?", {table});
        ASSERT_TRUE(rs && rs->next()) << table;
        EXPECT_EQ(rs->stringForColumn("sql"), sql);
    }
}

TEST_F(Manager, RestartKeepsTablesAndRows) {
    createAll();
    SProductsNameTypeDB store;
    SProductsNameType c;
    c.productsTypeName = "Tea";
    ASSERT_TRUE(store.saveProductsNameType(c));
    SDBManager::close();
    // A store made before the manager was discarded no longer reaches a connection.
    EXPECT_TRUE(store.findWithUid_limit(std::nullopt, 10).empty());

    EXPECT_TRUE(SDBManager::defaultDBManager().initializeDBWithName("voice.sqlite"));
    createAll();
    auto all = SProductsNameTypeDB().findWithUid_limit(std::nullopt, 10);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].productsTypeName, "Tea");
}

TEST_F(Manager, ForeignFileIsNeverOverwritten) {
    const std::string path = dir.file("voice.sqlite");
    const std::string bytes = "PK\x03\x04 somebody's archive, not a ledger";
    ScratchDir::write(path, bytes);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SDBManager::defaultDBManager().isOpen());
    createAll();
    SSupplierOrCustomers p;
    p.supplierOrCustomersName = "X";
    EXPECT_FALSE(SSupplierOrCustomersDB().saveSupplierOrCustomers(p));
    EXPECT_TRUE(SSupplierOrCustomersDB().findWithSupplierOrCustomersTagsLike("000").empty());
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.rfind("error opening!: 26\n", 0), 0u) << log;
    EXPECT_EQ(ScratchDir::read(path), bytes);
}
