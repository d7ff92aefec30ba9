// Operations that delete in several statements run as one transaction: a refused statement
// undoes the whole operation, and once the refusal is lifted the same call succeeds.
#include "tests/storage/StoreFixture.h"

class Cascade : public StoreFixture {
  protected:
    void SetUp() override {
        StoreFixture::SetUp();
        for (const char* key : {"p1", "p2"}) {
            SProductsNameSub p;
            p.productSubNameKey = key;
            ASSERT_TRUE(products.saveProductNameSub(p));
        }
        for (const char* key : {"c1", "c2"}) {
            SSupplierOrCustomers p;
            p.supplierOrCustomersNameKey = key;
            ASSERT_TRUE(partners.saveSupplierOrCustomers(p));
        }
        auto a = header("A", "2015", "5", "9");
        a.orderSupplierOrCustomerNameKey = "c1";
        auto b = header("B", "2015", "5", "9");
        b.orderSupplierOrCustomerNameKey = "c2";
        ASSERT_TRUE(headers.saveUserCommodity(a));
        ASSERT_TRUE(headers.saveUserCommodity(b));
        for (auto [order, product] : {std::pair{"A", "p1"}, {"A", "p2"}, {"B", "p1"}})
            ASSERT_TRUE(lines.saveUserCommodityOrder(line(order, product)));
    }
    // Rows left in products, partners, headers and lines.
    std::vector<size_t> counts() {
        return {products.findWithUid_limit(std::nullopt, 100).size(),
                partners.findWithUid_limit(std::nullopt, 100).size(),
                headers.findWithUid_limit(std::nullopt, 100).size(),
                lines.findWithSalesAndPurchaseUid_limit(std::nullopt, 100).size()};
    }
    template <class F>
    void refusedThenDone(const std::string& table, F run, std::vector<size_t> after) {
        const auto before = counts();
        failOn("DELETE", table);
        EXPECT_FALSE(run());
        EXPECT_FALSE(db->inTransaction());
        EXPECT_EQ(counts(), before);
        ASSERT_TRUE(db->executeUpdate("DROP TRIGGER fail_" + table));
        EXPECT_TRUE(run());
        EXPECT_EQ(counts(), after);
    }
};

TEST_F(Cascade, ProductGoesWithItsLinesButHeadersStay) {
    refusedThenDone("SUserCommodityOrder", [&] { return products.deleteProductAndItsLines("p1"); },
                    {1, 2, 2, 1});
    EXPECT_EQ(
        lines.findWithSalesAndPurchaseUid_limit(std::nullopt, 9).at(0).orderItemProductNameKey,
        "p2");
}

TEST_F(Cascade, PartnerGoesWithItsHeadersButLinesStay) {
    refusedThenDone("SUserCommodity", [&] { return partners.deletePartnerAndItsOrders("c1"); },
                    {2, 1, 1, 3});
    EXPECT_EQ(headers.findWithUid_limit(std::nullopt, 9).at(0).orderPrimaryKeyDate, "B");
}

TEST_F(Cascade, OrderGoesWithAllItsHeadersAndLinesOnly) {
    // A second header saved with the same order key goes too.
    ASSERT_TRUE(headers.saveUserCommodity(header("A", "2015", "5", "9")));
    refusedThenDone("SUserCommodityOrder",
                    [&] { return headers.deleteOrderWithId_primaryKey("1", "A"); }, {2, 2, 1, 1});
    EXPECT_EQ(lines.findWithSalesAndPurchasePrimaryKeyDateLike("B").size(), 1u);
}

TEST_F(Cascade, SingleDeletesRemoveEveryMatchingRowOnly) {
    EXPECT_TRUE(lines.deleteSalesAndPurchasePrimaryKeyDate("A"));
    EXPECT_TRUE(headers.deleteUserCommodityWithSupplierOrCustomerNameKey("c2"));
    EXPECT_TRUE(products.deleteProductsNameSubWithId("1"));
    EXPECT_EQ(counts(), (std::vector<size_t>{1, 2, 1, 1}));
    EXPECT_EQ(products.findWithUid_limit(std::nullopt, 10).at(0).productSubNameKey, "p2");
}
