// Operations that delete in several statements run as one transaction.
#include "tests/storage/StoreFixture.h"

namespace {
SProductsNameSub product(const std::string& key) {
    SProductsNameSub p;
    p.productSubNameKey = key;
    p.productSubName = "product " + key;
    return p;
}
SSupplierOrCustomers partner(const std::string& key, const std::string& tag) {
    SSupplierOrCustomers p;
    p.supplierOrCustomersName = "partner " + key;
    p.supplierOrCustomersNameKey = key;
    p.supplierOrCustomersTags = tag;
    return p;
}
}  // namespace

class Cascade : public StoreFixture {
  protected:
    void SetUp() override {
        StoreFixture::SetUp();
        ASSERT_TRUE(products.saveProductNameSub(product("p1")));
        ASSERT_TRUE(products.saveProductNameSub(product("p2")));
        ASSERT_TRUE(partners.saveSupplierOrCustomers(partner("c1", "111")));
        ASSERT_TRUE(partners.saveSupplierOrCustomers(partner("c2", "111")));
        auto a = header("A", "2015", "5", "9");
        a.orderSupplierOrCustomerNameKey = "c1";
        auto b = header("B", "2015", "5", "9");
        b.orderSupplierOrCustomerNameKey = "c2";
        ASSERT_TRUE(headers.saveUserCommodity(a));
        ASSERT_TRUE(headers.saveUserCommodity(b));
        ASSERT_TRUE(lines.saveUserCommodityOrder(line("A", "p1")));
        ASSERT_TRUE(lines.saveUserCommodityOrder(line("A", "p2")));
        ASSERT_TRUE(lines.saveUserCommodityOrder(line("B", "p1")));
    }
    size_t all(int which) {
        switch (which) {
            case 0:
                return products.findWithUid_limit(std::nullopt, 100).size();
            case 1:
                return partners.findWithUid_limit(std::nullopt, 100).size();
            case 2:
                return headers.findWithUid_limit(std::nullopt, 100).size();
            default:
                return lines.findWithSalesAndPurchaseUid_limit(std::nullopt, 100).size();
        }
    }
};

TEST_F(Cascade, ProductGoesWithItsLinesButHeadersStay) {
    EXPECT_TRUE(products.deleteProductAndItsLines("p1"));
    EXPECT_TRUE(products.findWithProductNameSubKeyDateLike("p1").empty());
    EXPECT_EQ(all(0), 1u);
    auto left = lines.findWithSalesAndPurchaseUid_limit(std::nullopt, 100);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].orderItemProductNameKey, "p2");
    EXPECT_EQ(all(2), 2u);
}

TEST_F(Cascade, ProductDeleteIsUndoneWhenLinesCannotGo) {
    failOn("DELETE", "SUserCommodityOrder");
    EXPECT_FALSE(products.deleteProductAndItsLines("p1"));
    EXPECT_EQ(all(0), 2u);
    EXPECT_EQ(all(3), 3u);
    EXPECT_FALSE(db->inTransaction());
}

TEST_F(Cascade, PartnerGoesWithItsHeadersButLinesStay) {
    EXPECT_TRUE(partners.deletePartnerAndItsOrders("c1"));
    EXPECT_TRUE(partners.findWithSupplierOrCustomersKeyLike("c1").empty());
    auto left = headers.findWithUid_limit(std::nullopt, 100);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].orderPrimaryKeyDate, "B");
    EXPECT_EQ(all(3), 3u);
}

TEST_F(Cascade, PartnerDeleteIsUndoneWhenHeadersCannotGo) {
    failOn("DELETE", "SUserCommodity");
    EXPECT_FALSE(partners.deletePartnerAndItsOrders("c1"));
    EXPECT_EQ(all(1), 2u);
    EXPECT_EQ(all(2), 2u);
}

TEST_F(Cascade, OrderGoesWithAllItsLinesOnly) {
    auto a = headers.findWithUid_limit(std::nullopt, 100).back();
    ASSERT_EQ(a.orderPrimaryKeyDate, "A");
    // A second header saved with the same order key goes too.
    ASSERT_TRUE(headers.saveUserCommodity(header("A", "2015", "5", "9")));
    EXPECT_TRUE(headers.deleteOrderWithId_primaryKey(a.uid, "A"));
    auto left = headers.findWithUid_limit(std::nullopt, 100);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].orderPrimaryKeyDate, "B");
    EXPECT_TRUE(lines.findWithSalesAndPurchasePrimaryKeyDateLike("A").empty());
    EXPECT_EQ(lines.findWithSalesAndPurchasePrimaryKeyDateLike("B").size(), 1u);
}

TEST_F(Cascade, OrderDeleteIsUndoneWhenLinesCannotGo) {
    failOn("DELETE", "SUserCommodityOrder");
    EXPECT_FALSE(headers.deleteOrderWithId_primaryKey("1", "A"));
    EXPECT_EQ(all(2), 2u);
    EXPECT_EQ(all(3), 3u);
}

TEST_F(Cascade, SingleDeletesRemoveEveryMatchingRowOnly) {
    EXPECT_TRUE(lines.deleteSalesAndPurchasePrimaryKeyDate("A"));
    EXPECT_EQ(lines.findWithSalesAndPurchasePrimaryKeyDateLike("B").size(), 1u);
    EXPECT_EQ(all(3), 1u);
    EXPECT_TRUE(headers.deleteUserCommodityWithSupplierOrCustomerNameKey("c2"));
    EXPECT_EQ(all(2), 1u);
    EXPECT_EQ(all(3), 1u);
    EXPECT_TRUE(products.deleteProductsNameSubWithId("1"));
    EXPECT_EQ(products.findWithUid_limit(std::nullopt, 10).at(0).productSubNameKey, "p2");
}
