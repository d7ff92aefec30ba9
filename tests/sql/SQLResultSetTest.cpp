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
    std::shared_ptr<SQLDatabase> db;
};

TEST_F(SQLRows, BindingRulesKeepNullApartFromEmptyText) {
    using P = std::pair<std::string, std::optional<std::string>>;
    const auto t = std::chrono::system_clock::time_point(std::chrono::milliseconds(1431187370500));
    const std::vector<std::pair<SQLValue, P>> cases = {
        {SQLValue(), {"null", std::nullopt}},
        {SQLValue(std::optional<std::string>()), {"null", std::nullopt}},
        {SQLNull{}, {"null", std::nullopt}},
        {std::string(), {"text", ""}},
        {SQLBytes{{'a', 0, 'b'}}, {"blob", std::string("a\0b", 3)}},
        {SQLBytes{}, {"blob", ""}},
        {true, {"integer", "1"}},
        {false, {"integer", "0"}},
        {int64_t{-9000000000}, {"integer", "-9000000000"}},
        {uint64_t{UINT64_MAX}, {"integer", "-1"}},
        {0.1f, {"real", "0.100000001490116"}},  // widened, not rounded
        {0.25, {"real", "0.25"}},
        {"12", {"text", "12"}},
        {t, {"real", "1431187370.5"}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(db->executeUpdate("DELETE FROM t"));
        ASSERT_TRUE(db->executeUpdate("INSERT INTO t (v) VALUES (?)", {cases[i].first}));
        auto rs = db->executeQuery("SELECT typeof(v), v FROM t");
        ASSERT_TRUE(rs && rs->next());
        EXPECT_EQ(P(*rs->stringForColumnIndex(0), rs->stringForColumnIndex(1)), cases[i].second);
        rs->close();
    }
}

TEST_F(SQLRows, ReadingColumnsAndIgnoringExtraArguments) {
    ASSERT_TRUE(db->executeUpdate_withArgumentsInArray("INSERT INTO t (id, v) VALUES (17, ?)",
                                                       {"12kg", "ignored"}));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t (id, v) VALUES (18, ?)", {"abc"}));
    auto rs = db->executeQuery("SELECT id, v FROM t WHERE id > ? ORDER BY id", {0, "ignored"});
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->columnCount(), 2);
    EXPECT_EQ(rs->stringForColumnIndex(0), std::nullopt);  // no row yet
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->stringForColumn("ID"), "17");
    EXPECT_EQ(rs->columnIndexForName("V"), 1);
    EXPECT_EQ(rs->intForColumnIndex(1), 12);
    EXPECT_EQ(rs->stringForColumnIndex(2), std::nullopt);
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->intForColumnIndex(1), 0);

    CaptureStderr();
    EXPECT_EQ(rs->stringForColumn("NoSuch"), std::nullopt);
    EXPECT_EQ(rs->selectedColumnIndex("NoSuch"), -1);  // asked on purpose: no warning
    EXPECT_EQ(GetCapturedStderr(), "Warning: I could not find the column named 'nosuch'.\n");

    EXPECT_FALSE(rs->next());
    EXPECT_TRUE(rs->isClosed());
    EXPECT_EQ(db->openResultSetCount(), 0u);
    EXPECT_EQ(sqlite3_next_stmt(db->sqliteHandle(), nullptr), nullptr);
    EXPECT_EQ(rs->stringForColumn("v"), std::nullopt);
}

TEST_F(SQLRows, AStepErrorEndsTheRowsAsAFailureNotAsTheirEnd) {
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t (v) VALUES (1), (2), (3)"));
    for (const bool broken : {false, true}) {
        // Row 3 fails as a damaged page would, after two rows were read.
        auto rs = db->executeQuery(broken ? "SELECT iif(v < 3, v, json(v || '{')) FROM t"
                                          : "SELECT v FROM t WHERE v > 3");
        ASSERT_TRUE(rs);
        int rows = 0;
        CaptureStderr();
        while (rs->next()) ++rows;
        EXPECT_EQ(GetCapturedStderr(),
                  broken ? "Error calling sqlite3_step (1: malformed JSON) rs\n" : "");
        EXPECT_EQ(rows, broken ? 2 : 0);
        EXPECT_EQ(rs->failed(), broken);
        EXPECT_TRUE(rs->isClosed());
    }
}
