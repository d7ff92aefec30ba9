// Connection lifecycle, the in-use flag, error logging, busy retry and transactions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Tools/SQL/SQLDatabase.h"
#include "tests/sql/ScratchDir.h"

using testing::HasSubstr;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

std::shared_ptr<SQLDatabase> openMemory() {
    auto db = SQLDatabase::databaseWithPath(std::nullopt);
    EXPECT_TRUE(db->open());
    return db;
}

int64_t countRows(SQLDatabase& db, const std::string& table) {
    auto rs = db.executeQuery("SELECT count(*) FROM " + table);
    return rs && rs->next() ? rs->intForColumnIndex(0) : -1;
}

}  // namespace

TEST(SQLDatabase, RefusesStatementsWhenClosedOrInUse) {
    ScratchDir dir;
    auto db = SQLDatabase::databaseWithPath(dir.file("no/such/dir/voice.sqlite"));
    CaptureStderr();
    EXPECT_FALSE(db->open());
    EXPECT_EQ(GetCapturedStderr(), "error opening!: 14\n");
    db = SQLDatabase::databaseWithPath(std::nullopt);
    CaptureStderr();
    EXPECT_FALSE(db->databaseExists());
    EXPECT_EQ(db->executeQuery("SELECT 1"), nullptr);
    EXPECT_FALSE(db->executeUpdate("CREATE TABLE t (a)"));
    const std::string closed = "The SQLDatabase " + db->description() + " is not open.\n";
    EXPECT_EQ(GetCapturedStderr(), closed + closed + closed);

    ASSERT_TRUE(db->open());
    db->setInUse(true);
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("CREATE TABLE t (a)"));
    EXPECT_EQ(db->executeQuery("SELECT 1"), nullptr);
    const std::string busy = "The SQLDatabase " + db->description() + " is currently in use.\n";
    EXPECT_EQ(GetCapturedStderr(), busy + busy);
    // A refused statement must not clear someone else's flag.
    EXPECT_TRUE(db->isExecutingStatement());
    db->setInUse(false);
    EXPECT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
    EXPECT_FALSE(db->isExecutingStatement());
}

TEST(SQLDatabase, SyntaxErrorFailsSilentlyUnlessErrorsAreLogged) {
    auto db = openMemory();
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("CREATE TABLE t (a"));
    EXPECT_EQ(db->executeQuery("SELEC 1"), nullptr);
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_FALSE(db->isExecutingStatement());

    db->setLogsErrors(true);
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("SELEC 1"));
    EXPECT_EQ(
        GetCapturedStderr(),
        "DB Error: 1 \"near \"SELEC\": syntax error\"\nDB Query: SELEC 1\nDB Path: :memory:\n");
}

TEST(SQLDatabase, ConstraintViolationLogsStepAndFinalize) {
    auto db = openMemory();
    ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (name TEXT UNIQUE)"));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t (name) VALUES (?)", {"a"}));
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("INSERT INTO t (name) VALUES (?)", {"a"}));
    EXPECT_EQ(GetCapturedStderr(),
              "Unknown error calling sqlite3_step (19: UNIQUE constraint failed: t.name) eu\n"
              "DB Query: INSERT INTO t (name) VALUES (?)\n"
              "Unknown error finalizing or resetting statement (19: UNIQUE constraint failed: "
              "t.name)\n"
              "DB Query: INSERT INTO t (name) VALUES (?)\n");
    EXPECT_EQ(countRows(*db, "t"), 1);
}

TEST(SQLDatabase, ClosingEndsOpenResultSetsAndLeakedStatements) {
    auto db = openMemory();
    ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t VALUES ('x'), ('y')"));
    auto rs = db->executeQuery("SELECT a FROM t");
    ASSERT_TRUE(rs && rs->next());
    EXPECT_EQ(db->openResultSetCount(), 1u);
    sqlite3_stmt* leaked = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db->sqliteHandle(), "SELECT 1", -1, &leaked, nullptr), SQLITE_OK);
    CaptureStderr();
    EXPECT_TRUE(db->close());
    EXPECT_TRUE(db->close());
    EXPECT_EQ(GetCapturedStderr(), "Closing leaked statement\n");
    EXPECT_EQ(db->sqliteHandle(), nullptr);
    EXPECT_EQ(db->openResultSetCount(), 0u);
    EXPECT_EQ(rs->stringForColumnIndex(0), std::nullopt);
    EXPECT_EQ(rs->columnCount(), 0);
    EXPECT_FALSE(rs->next());
    rs->close();
}

TEST(SQLDatabase, ResultSetKeepsItsConnectionAliveUntilClosed) {
    auto db = openMemory();
    ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t VALUES ('x')"));
    auto rs = db->executeQuery("SELECT a FROM t");
    std::weak_ptr<SQLDatabase> weak = db;
    db.reset();  // the result set holds the only reference now
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->stringForColumn("a"), "x");
    rs->close();
    EXPECT_TRUE(weak.expired());
}

TEST(SQLDatabase, BusyRetryWaitsForAnotherWriterOrGivesUp) {
    ScratchDir dir;
    const std::string path = dir.file("busy.sqlite");
    auto db = SQLDatabase::databaseWithPath(path);
    ASSERT_TRUE(db->open());
    ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    auto lock = [&] { return sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr); };
    auto unlock = [&] { sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr); };

    ASSERT_EQ(lock(), SQLITE_OK);
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        unlock();
    });
    EXPECT_TRUE(db->executeUpdate("INSERT INTO t VALUES (?)", {"late"}));  // no limit: waits
    releaser.join();

    // Bounded by time: past it, the next statements that meet the lock fail at once (reads
    // too), so many statements wait about the limit in all.
    ASSERT_EQ(lock(), SQLITE_OK);
    db->setBusyTimeLimit(std::chrono::milliseconds(300));
    CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(db->executeUpdate("INSERT INTO t VALUES (?)", {"refused"}));
    const auto firstGaveUp = std::chrono::steady_clock::now();
    EXPECT_EQ(countRows(*db, "t"), -1);
    EXPECT_FALSE(db->executeUpdate("INSERT INTO t VALUES (?)", {"refused"}));
    EXPECT_LT(std::chrono::steady_clock::now() - firstGaveUp, std::chrono::milliseconds(300));
    EXPECT_GE(firstGaveUp - start, std::chrono::milliseconds(300));
    EXPECT_THAT(GetCapturedStderr(), HasSubstr("Database busy (" + path + ")\nDatabase busy\n"));
    EXPECT_FALSE(db->isExecutingStatement());
    unlock();
    EXPECT_TRUE(db->executeUpdate("INSERT INTO t VALUES (?)", {"now"}));
    EXPECT_EQ(countRows(*db, "t"), 2);
    sqlite3_close(other);
}
