// Connection lifecycle, the in-use flag, error logging, busy retry and transactions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

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
    if (!rs || !rs->next()) return -1;
    return rs->intForColumnIndex(0);
}

}  // namespace

TEST(SQLDatabaseOpen, OpeningTwiceKeepsTheSameHandle) {
    auto db = openMemory();
    sqlite3* handle = db->sqliteHandle();
    EXPECT_TRUE(db->open());
    EXPECT_EQ(db->sqliteHandle(), handle);
    EXPECT_TRUE(db->close());
    EXPECT_TRUE(db->close());
    EXPECT_EQ(db->sqliteHandle(), nullptr);
}

TEST(SQLDatabaseOpen, MissingDirectoryFailsWithLogLine) {
    ScratchDir dir;
    auto db = SQLDatabase::databaseWithPath(dir.file("no/such/dir/voice.sqlite"));
    CaptureStderr();
    EXPECT_FALSE(db->open());
    EXPECT_EQ(GetCapturedStderr(), "error opening!: 14\n");
    EXPECT_EQ(db->sqliteHandle(), nullptr);
}

TEST(SQLDatabaseOpen, FileThatIsNotADatabaseIsRefusedAndLeftUntouched) {
    ScratchDir dir;
    const std::string path = dir.file("voice.sqlite");
    std::string bytes = "my notes, not a ledger\n";
    bytes += std::string(5000, 'x');
    ScratchDir::write(path, bytes);

    auto db = SQLDatabase::databaseWithPath(path);
    CaptureStderr();
    EXPECT_FALSE(db->open());
    EXPECT_EQ(GetCapturedStderr(), "error opening!: 26\n");
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("CREATE TABLE t (a TEXT)"));
    EXPECT_THAT(GetCapturedStderr(), HasSubstr("is not open."));
    EXPECT_EQ(ScratchDir::read(path), bytes);
    EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
}

TEST(SQLDatabaseOpen, UnwritableLocationFails) {
    // /proc refuses new files even to root.
    auto db = SQLDatabase::databaseWithPath(std::string("/proc/voice.sqlite"));
    CaptureStderr();
    EXPECT_FALSE(db->open());
    EXPECT_THAT(GetCapturedStderr(), HasSubstr("error opening!: "));

    ScratchDir dir;
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access(dir.path().c_str(), W_OK) == 0) GTEST_SKIP() << "permissions not enforced";
    auto ro = SQLDatabase::databaseWithPath(dir.file("voice.sqlite"));
    CaptureStderr();
    EXPECT_FALSE(ro->open());
    EXPECT_THAT(GetCapturedStderr(), HasSubstr("error opening!: "));
    EXPECT_FALSE(std::filesystem::exists(dir.file("voice.sqlite")));
}

TEST(SQLDatabaseUse, ClosedConnectionRefusesStatements) {
    auto db = SQLDatabase::databaseWithPath(std::nullopt);
    CaptureStderr();
    EXPECT_FALSE(db->databaseExists());
    EXPECT_EQ(db->executeQuery("SELECT 1"), nullptr);
    EXPECT_FALSE(db->executeUpdate("CREATE TABLE t (a)"));
    const std::string line = "The SQLDatabase " + db->description() + " is not open.\n";
    EXPECT_EQ(GetCapturedStderr(), line + line + line);
}

TEST(SQLDatabaseUse, InUseFlagRefusesASecondStatement) {
    auto db = openMemory();
    db->setInUse(true);
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("CREATE TABLE t (a)"));
    EXPECT_EQ(db->executeQuery("SELECT 1"), nullptr);
    const std::string line = "The SQLDatabase " + db->description() + " is currently in use.\n";
    EXPECT_EQ(GetCapturedStderr(), line + line);
    // A refused statement must not clear someone else's flag.
    EXPECT_TRUE(db->isExecutingStatement());
    db->setInUse(false);
    EXPECT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
    EXPECT_FALSE(db->isExecutingStatement());
}

TEST(SQLDatabaseErrors, SyntaxErrorFailsSilentlyByDefault) {
    auto db = openMemory();
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("CREATE TABLE t (a"));
    EXPECT_EQ(db->executeQuery("SELEC 1"), nullptr);
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_FALSE(db->isExecutingStatement());
    EXPECT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));

    db->setLogsErrors(true);
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("SELEC 1"));
    EXPECT_EQ(
        GetCapturedStderr(),
        "DB Error: 1 \"near \"SELEC\": syntax error\"\nDB Query: SELEC 1\nDB Path: :memory:\n");
}

TEST(SQLDatabaseErrors, ConstraintViolationLogsStepAndFinalize) {
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

TEST(SQLDatabaseErrors, TraceLogsStatementAndArguments) {
    auto db = openMemory();
    db->setTraceExecution(true);
    CaptureStderr();
    EXPECT_TRUE(db->executeUpdate("CREATE TABLE t (a, b)"));
    EXPECT_TRUE(db->executeUpdate("INSERT INTO t VALUES (?, ?)", {"x", 5}));
    const std::string d = db->description();
    EXPECT_EQ(GetCapturedStderr(),
              d + " executeUpdate: CREATE TABLE t (a, b)\n" + d +
                  " executeUpdate: INSERT INTO t VALUES (?, ?)\nobj: x\nobj: 5\n");
}

TEST(SQLDatabaseClose, OpenResultSetsAreClosedWithTheConnection) {
    auto db = openMemory();
    ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t VALUES ('x'), ('y')"));
    auto rs = db->executeQuery("SELECT a FROM t");
    ASSERT_TRUE(rs && rs->next());
    EXPECT_EQ(db->openResultSetCount(), 1u);
    EXPECT_TRUE(db->close());
    EXPECT_EQ(db->openResultSetCount(), 0u);
    EXPECT_EQ(rs->stringForColumnIndex(0), std::nullopt);
    EXPECT_EQ(rs->intForColumnIndex(0), 0);
    EXPECT_EQ(rs->columnCount(), 0);
    EXPECT_FALSE(rs->next());
    rs->close();
}

TEST(SQLDatabaseClose, ResultSetKeepsItsConnectionAliveUntilClosed) {
    auto db = openMemory();
    ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t VALUES ('x')"));
    auto rs = db->executeQuery("SELECT a FROM t");
    std::weak_ptr<SQLDatabase> weak = db;
    db.reset();
    ASSERT_FALSE(weak.expired());
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->stringForColumn("a"), "x");
    rs->close();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(rs->stringForColumnIndex(0), std::nullopt);
}

TEST(SQLDatabaseClose, LeakedStatementsAreFinalized) {
    auto db = openMemory();
    sqlite3_stmt* leaked = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db->sqliteHandle(), "SELECT 1", -1, &leaked, nullptr), SQLITE_OK);
    CaptureStderr();
    EXPECT_TRUE(db->close());
    EXPECT_EQ(GetCapturedStderr(), "Closing leaked statement\n");
    EXPECT_EQ(db->sqliteHandle(), nullptr);
}

class SQLDatabaseBusy : public testing::Test {
  protected:
    void SetUp() override {
        path = dir.file("busy.sqlite");
        db = SQLDatabase::databaseWithPath(path);
        ASSERT_TRUE(db->open());
        ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
        ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    void TearDown() override { sqlite3_close(other); }

    ScratchDir dir;
    std::string path;
    std::shared_ptr<SQLDatabase> db;
    sqlite3* other = nullptr;
};

TEST_F(SQLDatabaseBusy, UpdateWaitsForAnotherWriter) {
    const auto start = std::chrono::steady_clock::now();
    std::thread releaser([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    CaptureStderr();
    const bool ok = db->executeUpdate("INSERT INTO t VALUES (?)", {"late"});
    releaser.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
    EXPECT_EQ(countRows(*db, "t"), 1);
}

TEST_F(SQLDatabaseBusy, LimitedRetryGivesUp) {
    db->setBusyRetryTimeout(3);
    CaptureStderr();
    EXPECT_FALSE(db->executeUpdate("INSERT INTO t VALUES (?)", {"late"}));
    const std::string log = GetCapturedStderr();
    EXPECT_THAT(log, HasSubstr("Database busy (" + path + ")\nDatabase busy\n"));
    EXPECT_FALSE(db->isExecutingStatement());
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    EXPECT_TRUE(db->executeUpdate("INSERT INTO t VALUES (?)", {"now"}));
}

TEST(SQLDatabaseTransaction, RollbackDiscardsAndCommitKeeps) {
    auto db = openMemory();
    ASSERT_TRUE(db->executeUpdate("CREATE TABLE t (a)"));
    ASSERT_TRUE(db->beginTransaction());
    EXPECT_TRUE(db->inTransaction());
    EXPECT_FALSE(db->beginTransaction());
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t VALUES (1)"));
    EXPECT_TRUE(db->rollback());
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(countRows(*db, "t"), 0);

    ASSERT_TRUE(db->beginTransaction());
    ASSERT_TRUE(db->executeUpdate("INSERT INTO t VALUES (1)"));
    EXPECT_TRUE(db->commit());
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(countRows(*db, "t"), 1);
}
