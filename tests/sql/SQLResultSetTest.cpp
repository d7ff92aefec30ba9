// Binding every kind of argument and reading rows back.
#include <gtest/gtest.h>

#include "Tools/SQL/SQLDatabase.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class SQLRows : public testing::Test {
  protected:
    void SetUp() override {
        db = SQLDatabase::databaseWithPath(std::nullopt);
        ASSERT_TRUE(db->open());
        ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (id INTEGER PRIMARY KEY, v)"));
    }
    // Stores one value and returns typeof(v) and v as text.
    std::pair<std::string, std::optional<std::string>> roundTrip(const SQLValue& value) {
        EXPECT_TRUE(db->executeUpdate("DELETE FROM t"));
        EXPECT_TRUE(db->executeUpdate("INSERT INTO t (v) VALUES (?)", {value}));
        auto rs = db->executeQuery("SELECT typeof(v), v FROM t");
        EXPECT_TRUE(rs && rs->next());
        auto out = std::make_pair(*rs->stringForColumnIndex(0), rs->stringForColumnIndex(1));
        rs->close();
        return out;
    }
    std::shared_ptr<SQLDatabase> db;
};

TEST_F(SQLRows, BindingRules) {
    using P = std::pair<std::string, std::optional<std::string>>;
    EXPECT_EQ(roundTrip(SQLValue()), P("null", std::nullopt));
    EXPECT_EQ(roundTrip(SQLValue(std::optional<std::string>())), P("null", std::nullopt));
    EXPECT_EQ(roundTrip(SQLNull{}), P("null", std::nullopt));
    EXPECT_EQ(roundTrip(SQLBytes{{'a', 0, 'b'}}), P("blob", std::string("a\0b", 3)));
    EXPECT_EQ(roundTrip(SQLBytes{}), P("blob", ""));
    EXPECT_EQ(roundTrip(true), P("integer", "1"));
    EXPECT_EQ(roundTrip(false), P("integer", "0"));
    EXPECT_EQ(roundTrip(int64_t{-9000000000}), P("integer", "-9000000000"));
    EXPECT_EQ(roundTrip(uint64_t{UINT64_MAX}), P("integer", "-1"));
    EXPECT_EQ(roundTrip(2.5f), P("real", "2.5"));
    EXPECT_EQ(roundTrip(0.25), P("real", "0.25"));
    EXPECT_EQ(roundTrip("12"), P("text", "12"));
    EXPECT_EQ(roundTrip(std::string()), P("text", ""));

    const auto t = std::chrono::system_clock::time_point(std::chrono::milliseconds(1431187370500));
    EXPECT_EQ(roundTrip(t), P("real", "1431187370.5"));
}

TEST_F(SQLRows, FloatIsWidenedNotRounded) {
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t (v) VALUES (?)", {0.1f}));
    auto rs = db->executeQuery("SELECT v = ?, v = ? FROM t", {static_cast<double>(0.1f), 0.1});
    ASSERT_TRUE(rs && rs->next());
    EXPECT_EQ(rs->intForColumnIndex(0), 1);
    EXPECT_EQ(rs->intForColumnIndex(1), 0);
}

TEST_F(SQLRows, TextKeepsEveryByte) {
    const std::string nul("before\0after", 12);
    const std::string emoji = "caf\xC3\xA9 \xF0\x9F\x93\xA6";
    const std::string big(100 * 1024, 'q');
    for (const std::string& s : {nul, emoji, big, std::string("O'Brien")}) {
        auto [type, value] = roundTrip(s);
        EXPECT_EQ(type, "text");
        EXPECT_EQ(value, s);
    }
}

TEST_F(SQLRows, ReadingColumns) {
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t (id, v) VALUES (17, ?)", {"12kg"}));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t (id, v) VALUES (18, ?)", {"abc"}));
    auto rs = db->executeQuery("SELECT id, v FROM t ORDER BY id");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->columnCount(), 2);
    // No row yet.
    EXPECT_EQ(rs->stringForColumnIndex(0), std::nullopt);
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->stringForColumn("ID"), "17");
    EXPECT_EQ(rs->columnIndexForName("V"), 1);
    EXPECT_EQ(rs->intForColumnIndex(1), 12);
    EXPECT_EQ(rs->stringForColumnIndex(-1), std::nullopt);
    EXPECT_EQ(rs->stringForColumnIndex(2), std::nullopt);
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->intForColumnIndex(1), 0);

    CaptureStderr();
    EXPECT_EQ(rs->stringForColumn("NoSuch"), std::nullopt);
    EXPECT_EQ(GetCapturedStderr(), "Warning: I could not find the column named 'nosuch'.\n");

    EXPECT_FALSE(rs->next());
    EXPECT_TRUE(rs->isClosed());
    EXPECT_EQ(db->openResultSetCount(), 0u);
    EXPECT_EQ(rs->stringForColumn("v"), std::nullopt);
    rs->close();
    EXPECT_FALSE(rs->next());
}

TEST_F(SQLRows, NullIsNotEmptyText) {
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t (id, v) VALUES (1, ?), (2, ?)",
                                  {std::nullopt, std::string()}));
    auto rs = db->executeQuery("SELECT v FROM t ORDER BY id");
    ASSERT_TRUE(rs && rs->next());
    EXPECT_EQ(rs->stringForColumnIndex(0), std::nullopt);
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->stringForColumnIndex(0), std::string());
}

TEST_F(SQLRows, ExtraArgumentsAreIgnored) {
    EXPECT_TRUE(db->executeUpdate_withArgumentsInArray("INSERT INTO t (v) VALUES (?)",
                                                       {"first", "second", "third"}));
    auto rs = db->executeQuery("SELECT v FROM t WHERE v = ?", {"first", "ignored"});
    ASSERT_TRUE(rs && rs->next());
    EXPECT_EQ(rs->stringForColumnIndex(0), "first");
    EXPECT_FALSE(rs->next());
}

TEST_F(SQLRows, DroppedResultSetReleasesItsStatement) {
    {
        auto rs = db->executeQuery("SELECT * FROM t");
        ASSERT_TRUE(rs);
        EXPECT_EQ(db->openResultSetCount(), 1u);
    }
    EXPECT_EQ(db->openResultSetCount(), 0u);
    EXPECT_EQ(sqlite3_next_stmt(db->sqliteHandle(), nullptr), nullptr);
}
