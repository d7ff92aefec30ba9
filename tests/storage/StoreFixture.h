#pragma once
// A ledger file in a scratch directory with all five tables.
#include <gtest/gtest.h>

#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/sql/ScratchDir.h"

class StoreFixture : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db->open());
        // Scratch data: no need to wait for the disk after every statement.
        ASSERT_TRUE(db->executeUpdate("PRAGMA synchronous = OFF"));
        ASSERT_TRUE(headers.createCommodDataBase());
        ASSERT_TRUE(lines.createUserCommodityOrderDataBase());
        ASSERT_TRUE(categories.createProductsNameTypeDataBase());
        ASSERT_TRUE(products.createProductNameDataBase());
        ASSERT_TRUE(partners.createSupplierOrCustomersDataBase());
    }

    // Makes a statement on `table` fail from now on, to see a group of statements undone.
    void failOn(const std::string& event, const std::string& table,
                const std::string& column = "") {
        const std::string of = column.empty() ? "" : " OF " + column;
        ASSERT_TRUE(db->executeUpdate("CREATE TRIGGER fail_" + table + " BEFORE " + event + of +
                                      " ON " + table +
                                      " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    }

    ScratchDir dir;
    std::shared_ptr<SQLDatabase> db = SQLDatabase::databaseWithPath(dir.file("voice.sqlite"));
    SUserCommodityDB headers{db};
    SUserCommodityOrderDB lines{db};
    SProductsNameTypeDB categories{db};
    SProductsNameSubDB products{db};
    SSupplierOrCustomersDB partners{db};
};
