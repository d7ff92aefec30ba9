// New keys skip every second that a record of the same role already holds.
#include "platform/Clock.h"
#include "storage/UniqueKeys.h"
#include "tests/storage/StoreFixture.h"

namespace {
class Keys : public StoreFixture {
  protected:
    void SetUp() override {
        StoreFixture::SetUp();
        using namespace std::chrono;
        const auto now = sys_days{year{2015} / 12 / 31} + hours{23} + minutes{59} + seconds{58};
        Clock::install(std::make_shared<FixedClock>(now, "UTC"));
    }
    void TearDown() override { Clock::install(nullptr); }
    UniqueKeys keys{db};
};
}  // namespace

// Now is 20151231235958. Each role's key of now is taken in one of its tables and the key
// of the next second in the other, so the first free key lies in the next year.
TEST_F(Keys, EachRoleSkipsTheKeysItsOwnRecordsHold) {
    for (const char* sql : {
             "INSERT INTO SUserCommodity (orderPrimaryKeyDate, orderSupplierOrCustomerNameKey) "
             "VALUES ('20151231235958', 'Shop20151231235959')",
             "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate, orderItemProductNameKey) "
             "VALUES ('20151231235959', '20151231235958')",
             "INSERT INTO SProductsNameType (productsTypeNameKey) VALUES ('20151231235958')",
             "INSERT INTO SProductsNameSub (productPrimaryKey, productSubNameKey) "
             "VALUES ('20151231235959', '20151231235959')",
             "INSERT INTO SSupplierOrCustomers (supplierOrCustomersNameKey) "
             "VALUES ('Shop20151231235958')",
         })
        ASSERT_TRUE(db->executeUpdate(sql));
    EXPECT_EQ(keys.newOrderKey(), "20160101000000");
    EXPECT_EQ(keys.newCategoryKey(), "20160101000000");
    EXPECT_EQ(keys.newProductKey(), "20160101000000");
    EXPECT_EQ(keys.newPartnerKey("Shop"), "Shop20160101000000");
    EXPECT_EQ(keys.newPartnerKey(), "20151231235958") << "another prefix is another key";
}
