// The common store operations: insert, row mapping, update by row id, row ids.
#include "tests/storage/StoreFixture.h"

namespace {
SProductsNameType category(const std::string& name, const std::string& key) {
    SProductsNameType c;
    c.productsTypePrimaryKey = "P" + key;
    c.productsTypeName = name;
    c.productsTypeNameKey = key;
    c.productsTypeIndex = "20150509160250";
    return c;
}
}  // namespace

using StorePattern = StoreFixture;

TEST_F(StorePattern, HostileTextRoundTripsByteForByte) {
    const std::vector<std::string> names = {
        "O'Brien",
        "'; DROP TABLE SProductsNameType; --",
        "\xF0\x9F\x8D\xB5 th\xC3\xA9 \xE7\xB6\xA0",
        std::string(100 * 1024, 'z'),
        std::string("half\0hidden", 11),
        "",
    };
    for (size_t i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(categories.saveProductsNameType(category(names[i], std::to_string(i))));
    }
    auto all = categories.findWithUid_limit(std::nullopt, 10000);
    ASSERT_EQ(all.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(all[names.size() - 1 - i].productsTypeName, names[i]) << i;
        // Each text also works as a search value.
        EXPECT_EQ(categories.findWithProductsNameTypeExistsLike(names[i]).size(), 1u) << i;
    }
}

TEST_F(StorePattern, WritesByRowIdTouchOnlyThatRowAndFailWhenItIsGone) {
    ASSERT_TRUE(categories.saveProductsNameType(category("Tea", "1")));
    ASSERT_TRUE(categories.saveProductsNameType(category("Coffee", "2")));
    auto edited = category("O'Brien's", "1");
    edited.productsTypeUid = "2";  // ignored: the row id argument decides
    EXPECT_TRUE(categories.mergeWithProductsNameType_changeID(edited, "1"));
    auto all = categories.findWithUid_limit(std::nullopt, 10);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].productsTypeName, "O'Brien's");
    EXPECT_EQ(all[0], (SProductsNameType{"2", "P2", "Coffee", "2", "20150509160250"}));

    EXPECT_FALSE(categories.mergeWithProductsNameType_changeID(category("Mate", "1"), "3"));
    EXPECT_FALSE(headers.mergeTotalsWithCounts_entrys_amount_changeID("1", "1", "1", "3"));
    EXPECT_FALSE(categories.deleteCategoryWithId_primaryKey("3", "P1"));
    EXPECT_EQ(categories.findWithUid_limit(std::nullopt, 10).size(), 2u);
    EXPECT_FALSE(db->inTransaction());
}

TEST_F(StorePattern, AbsentFieldsAreNullNotEmptyAndMatchNothing) {
    SProductsNameSub p;
    p.productSubName = "Green";
    p.productSubModel = "";
    ASSERT_TRUE(products.saveProductNameSub(p));
    auto got = products.findWithUid_limit(std::nullopt, 10).at(0);
    EXPECT_EQ(got.productSubModel, "");
    EXPECT_EQ(got.productSubUnit, std::nullopt);
    // An absent value matches nothing, not even the NULL columns.
    EXPECT_TRUE(products.findWithProductPrimaryKeyLike(std::nullopt).empty());
}

TEST_F(StorePattern, MergeIsAllOrNothingUnlessTheCallerHoldsATransaction) {
    ASSERT_TRUE(categories.saveProductsNameType(category("Tea", "1")));
    failOn("UPDATE", "SProductsNameType", "productsTypeNameKey");
    // productsTypePrimaryKey and productsTypeName are updated before the refused column.
    EXPECT_FALSE(categories.mergeWithProductsNameType_changeID(category("Mate", "9"), "1"));
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(categories.findWithUid_limit(std::nullopt, 10).at(0),
              (SProductsNameType{"1", "P1", "Tea", "1", "20150509160250"}));

    // Inside the caller's transaction the caller decides.
    ASSERT_TRUE(db->executeUpdate("DROP TRIGGER fail_SProductsNameType"));
    ASSERT_TRUE(db->beginTransaction());
    EXPECT_TRUE(categories.mergeWithProductsNameType_changeID(category("Mate", "1"), "1"));
    ASSERT_TRUE(db->rollback());
    EXPECT_EQ(categories.findWithUid_limit(std::nullopt, 10).at(0).productsTypeName, "Tea");

    // A transaction begun by a plain statement counts as the caller's too.
    ASSERT_TRUE(db->executeUpdate("BEGIN"));
    EXPECT_TRUE(categories.deleteCategoryWithId_primaryKey("1", "P1"));
    EXPECT_EQ(sqlite3_get_autocommit(db->sqliteHandle()), 0);
    ASSERT_TRUE(db->executeUpdate("ROLLBACK"));
}
