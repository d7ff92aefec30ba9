// Operations that delete in several statements run as one transaction: a refused statement
// undoes the whole operation, and once the refusal is lifted the same call succeeds.
#include <functional>

#include "tests/storage/StoreFixture.h"

class Cascade : public StoreFixture {
  protected:
    void SetUp() override {
        StoreFixture::SetUp();
        for (const char* sql : {
                 "INSERT INTO SProductsNameSub (productSubNameKey) VALUES ('p1'), ('p2')",
                 "INSERT INTO SSupplierOrCustomers (supplierOrCustomersNameKey) VALUES ('c1'), "
                 "('c2')",
                 "INSERT INTO SUserCommodity (orderPrimaryKeyDate, orderSupplierOrCustomerNameKey) "
                 "VALUES ('A', 'c1'), ('B', 'c2')",
                 "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate, "
                 "orderItemProductNameKey) "
                 "VALUES ('A', 'p1'), ('A', 'p2'), ('B', 'p1')",
             })
            ASSERT_TRUE(db->executeUpdate(sql));
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

TEST_F(Cascade, OrderTakesItsLinesProductItsLinesPartnerItsHeaders) {
    refusedThenDone("SUserCommodityOrder",
                    [&] { return headers.deleteOrderWithId_primaryKey("2", "B"); }, {2, 2, 1, 2});
    refusedThenDone("SUserCommodityOrder",
                    [&] { return products.deleteProductWithId_nameKey("1", "p1"); }, {1, 2, 1, 1});
    refusedThenDone("SUserCommodity",
                    [&] { return partners.deletePartnerWithId_nameKey("1", "c1"); }, {1, 1, 0, 1});
    // The line left is p2's in order A, whose header went with its partner.
    EXPECT_EQ(lines.findWithSalesAndPurchasePrimaryKeyDateLike("A").at(0).orderItemProductNameKey,
              "p2");
}

// An older version gave records made in the same second one key. Deleting one of two such
// records leaves what the other still refers to; the last one takes it along.
TEST_F(Cascade, AKeyTwoRecordsShareGoesOnlyWithTheLastOfThem) {
    struct Step {
        std::function<bool()> run;
        std::vector<size_t> after;  // products, partners, headers, lines
    };
    auto insert = [&](const char* sql) { return [this, sql] { return db->executeUpdate(sql); }; };
    const Step steps[] = {
        {insert("INSERT INTO SUserCommodity (orderPrimaryKeyDate, orderSupplierOrCustomerNameKey) "
                "VALUES ('A', 'c2')"),
         {2, 2, 3, 3}},
        {[&] { return headers.deleteOrderWithId_primaryKey("1", "A"); }, {2, 2, 2, 3}},
        {[&] { return headers.deleteOrderWithId_primaryKey("3", "A"); }, {2, 2, 1, 1}},
        {insert("INSERT INTO SSupplierOrCustomers (supplierOrCustomersNameKey) VALUES ('c2')"),
         {2, 3, 1, 1}},
        {[&] { return partners.deletePartnerWithId_nameKey("2", "c2"); }, {2, 2, 1, 1}},
        {[&] { return partners.deletePartnerWithId_nameKey("3", "c2"); }, {2, 1, 0, 1}},
        {insert("INSERT INTO SProductsNameSub (productSubNameKey) VALUES ('p1')"), {3, 1, 0, 1}},
        {[&] { return products.deleteProductWithId_nameKey("1", "p1"); }, {2, 1, 0, 1}},
        {[&] { return products.deleteProductWithId_nameKey("3", "p1"); }, {1, 1, 0, 0}},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_TRUE(steps[i].run()) << i;
        EXPECT_EQ(counts(), steps[i].after) << i;
    }
}
