// Backups and restores on a small generated ledger in a scratch documents directory: copies
// equal the ledger, pruning spares manual backups, refused candidates change nothing, names
// from outside reach no file, and a restore killed at any moment leaves a whole ledger.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>

#include "bench/LedgerGenerator.h"
#include "platform/InstanceLock.h"
#include "storage/LedgerBackup.h"
#include "tests/sql/ScratchDir.h"

namespace fs = std::filesystem;
using Kind = LedgerBackup::Kind;

namespace {

// Runs SQL on a file (made when missing) and returns its rows, one line each with "|"
// between the columns. Opening rolls back a restore that a crash cut short.
std::string query(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    std::string out;
    auto row = [](void* to, int n, char** values, char**) {
        auto& text = *static_cast<std::string*>(to);
        for (int i = 0; i < n; ++i)
            text += (i ? "|" : "") + std::string(values[i] ? values[i] : "∅");
        text += "\n";
        return 0;
    };
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), row, &out, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    return out;
}

// Every row of every ledger table.
std::string contents(const std::string& file) {
    std::string sql;
    for (const char* table : {"SProductsNameType", "SProductsNameSub", "SSupplierOrCustomers",
                              "SUserCommodity", "SUserCommodityOrder"})
        sql += "SELECT '" + std::string(table) + "'; SELECT * FROM " + table + " ORDER BY rowid;";
    return query(file, sql);
}

class Backups : public testing::Test {
  protected:
    // The generated ledger is made once and copied for each case.
    static void SetUpTestSuite() {
        DocumentsDirectory::setPath(templateDir.path());
        SDBManager::close();
        const auto lastDay = ConstParameterAndMethod::parse("2015/05/09", "yyyy/MM/dd");
        ASSERT_TRUE(LedgerGenerator(LedgerParams::small()).generate(*lastDay));
        SDBManager::close();
    }
    void SetUp() override {
        fs::copy_file(templateDir.file("voice.sqlite"), dir.file("voice.sqlite"));
        DocumentsDirectory::setPath(dir.path());
    }
    void TearDown() override { SDBManager::close(); }

    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const auto& e : backup.list()) out.push_back(e.name);
        return out;
    }

    static inline ScratchDir templateDir;
    ScratchDir dir;
    LedgerBackup backup{dir.path()};
    std::string ledger = dir.file("voice.sqlite");
};

TEST_F(Backups, BackupEqualsTheLedgerAndTwoInOneSecondDoNotCollide) {
    const auto manual = backup.makeBackup(Kind::Manual, "20150509101500");
    const auto automatic = backup.makeBackup(Kind::Automatic, "20150509101500");
    ASSERT_TRUE(manual.ok && automatic.ok) << manual.detail << automatic.detail;
    EXPECT_EQ(manual.name, "voice-20150509-101500-manual.sqlite");
    EXPECT_EQ(automatic.name, "voice-20150509-101500-2.sqlite");

    const auto list = backup.list();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, automatic.name);  // newest first
    EXPECT_EQ(list[1].kind, Kind::Manual);
    EXPECT_EQ(list[1].stamp, "20150509101500");
    EXPECT_EQ(list[1].orders, LedgerParams::small().orders);
    EXPECT_EQ(list[1].bytes, fs::file_size(backup.folder() + "/" + manual.name));
    EXPECT_EQ(contents(*backup.pathOf(manual.name)), contents(ledger));
    EXPECT_GT(contents(ledger).size(), 10000u);
}

TEST_F(Backups, FifteenthAutomaticBackupRemovesTheOldestAutomaticOnly) {
    ASSERT_TRUE(backup.makeBackup(Kind::Manual, "20150101080000").ok);
    ASSERT_TRUE(backup.makeBackup(Kind::BeforeRestore, "20150101090000").ok);
    for (int day = 1; day <= 15; ++day) {
        char stamp[15];
        std::snprintf(stamp, sizeof stamp, "201502%02d120000", day);
        ASSERT_TRUE(backup.makeBackup(Kind::Automatic, stamp).ok);
    }
    const auto list = names();
    ASSERT_EQ(list.size(), 16u);
    EXPECT_EQ(list.front(), "voice-20150215-120000.sqlite");
    EXPECT_EQ(list[13], "voice-20150202-120000.sqlite");  // 01 is gone
    EXPECT_EQ(list[14], "voice-20150101-090000-before-restore.sqlite");
    EXPECT_EQ(list[15], "voice-20150101-080000-manual.sqlite");
}

TEST_F(Backups, AutomaticPolicy) {
    const std::string since = "20150508120000";     // 24 hours before the noon of 9 May
    EXPECT_TRUE(backup.automaticBackupDue(since));  // no backup yet
    ASSERT_TRUE(backup.makeBackup(Kind::Manual, "20150508115959").ok);
    EXPECT_TRUE(backup.automaticBackupDue(since));
    ASSERT_TRUE(backup.makeBackup(Kind::Manual, "20150508120001").ok);
    EXPECT_FALSE(backup.automaticBackupDue(since));
    query(ledger, "DELETE FROM SUserCommodity");
    EXPECT_FALSE(backup.automaticBackupDue("20990101000000"));  // no orders
}

TEST_F(Backups, FailedBackupLeavesNoFileUnderABackupName) {
    // A file where the folder should be.
    ScratchDir::write(backup.folder(), "x");
    auto outcome = backup.makeBackup(Kind::Automatic, "20150509120000");
    EXPECT_EQ(outcome.reasonKey, "KLBackupFolderNotWritable") << outcome.detail;
    fs::remove(backup.folder());
    // A disk that is full after 64 KiB.
    signal(SIGXFSZ, SIG_IGN);
    rlimit before{}, full{64 * 1024, RLIM_INFINITY};
    getrlimit(RLIMIT_FSIZE, &before);
    setrlimit(RLIMIT_FSIZE, &full);
    outcome = backup.makeBackup(Kind::Automatic, "20150509120000");
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(outcome.reasonKey, "KLBackupNoSpace") << outcome.detail;
    EXPECT_TRUE(fs::is_empty(backup.folder()));  // not even a temporary file
}

TEST_F(Backups, RestoreBringsBackAnOrderDeletedAfterTheBackup) {
    const auto made = backup.makeBackup(Kind::Automatic, "20150509120000");
    ASSERT_TRUE(made.ok);
    const std::string before = contents(ledger);
    const auto orders = SUserCommodityDB().findWithUid_limit(std::nullopt, 2);
    auto deleteOrder = [&](int i) {
        ASSERT_TRUE(SUserCommodityDB().deleteOrderWithId_primaryKey(
            orders.at(i).uid, orders.at(i).orderPrimaryKeyDate));
    };
    deleteOrder(0);
    auto prepared = backup.prepareRestore(*backup.pathOf(made.name), "20150509130000");
    ASSERT_TRUE(prepared.outcome().ok) << prepared.outcome().detail;
    // Written between the two steps: the copy kept is taken again, and only it is kept.
    deleteOrder(1);
    const std::string deleted = contents(ledger);
    SDBManager::close();  // the app closes its connection for the swap
    const auto restored = backup.commitRestore(prepared);
    ASSERT_TRUE(restored.ok) << restored.detail;
    EXPECT_EQ(restored.name, "voice-20150509-130000-2-before-restore.sqlite");
    EXPECT_EQ(names(), (std::vector<std::string>{restored.name, made.name}));
    EXPECT_EQ(contents(ledger), before);
    EXPECT_EQ(contents(*backup.pathOf(restored.name)), deleted);
    EXPECT_EQ(SUserCommodityDB().findWithUid_limit(std::nullopt, 2), orders);
}

TEST_F(Backups, RefusedCandidatesLeaveTheLedgerByteForByte) {
    const std::string bytes = ScratchDir::read(ledger);
    const std::string text = dir.file("notes.txt"), cut = dir.file("cut.sqlite"),
                      other = dir.file("other.sqlite"), lacking = dir.file("lacking.sqlite"),
                      huge = dir.file("huge.sqlite");
    ScratchDir::write(text, std::string(3000, 'n'));
    ScratchDir::write(cut, bytes.substr(0, bytes.size() / 2));
    query(other, "CREATE TABLE notes (t TEXT)");
    fs::copy_file(ledger, lacking);
    query(lacking, "ALTER TABLE SUserCommodityOrder DROP COLUMN orderItemDays");
    fs::copy_file(ledger, huge);
    fs::resize_file(huge, LedgerBackup::kMaxCandidateBytes + 1);
    for (const auto& [file, reason] :
         std::vector<std::pair<std::string, std::string>>{{text, "KLRestoreNotADatabase"},
                                                          {cut, "KLRestoreDamaged"},
                                                          {other, "KLRestoreNotALedger"},
                                                          {lacking, "KLRestoreNotALedger"},
                                                          {huge, "KLRestoreTooLarge"}}) {
        const auto outcome = backup.restoreFromFile(file);
        EXPECT_FALSE(outcome.ok) << file;
        EXPECT_EQ(outcome.reasonKey, reason) << file << ": " << outcome.detail;
        EXPECT_EQ(ScratchDir::read(ledger), bytes) << file;
    }
    // The command line's restore while the app runs on the folder: refused before all else.
    const InstanceLock app(dir.path());
    std::ostringstream log;
    EXPECT_EQ(restoreLedgerFrom(dir.path(), lacking, log), 1);
    EXPECT_NE(log.str().find("the app is running"), std::string::npos) << log.str();
    EXPECT_EQ(ScratchDir::read(ledger), bytes);
    EXPECT_TRUE(names().empty());  // nothing was replaced, so nothing was kept
}

TEST_F(Backups, NamesFromOutsideReachNoFile) {
    const auto made = backup.makeBackup(Kind::Manual, "20150509120000");
    ASSERT_TRUE(made.ok);
    fs::create_symlink(ledger, backup.folder() + "/voice-20150509-120001.sqlite");
    ScratchDir::write(backup.folder() + "/.voice-partial-1-0.sqlite", "x");
    const std::string bytes = ScratchDir::read(ledger);
    for (const std::string& name : std::vector<std::string>{
             "..", "../voice.sqlite", "voice.sqlite", ledger, "/etc/passwd", "./" + made.name,
             "Backups/" + made.name, made.name + "/../../voice.sqlite", made.name + "\n",
             "voice-20150509-120001.sqlite", ".voice-partial-1-0.sqlite",
             "voice-20150509-120002.sqlite", ""}) {
        EXPECT_FALSE(backup.pathOf(name)) << name;
        EXPECT_FALSE(backup.remove(name)) << name;
        EXPECT_EQ(backup.restoreFromBackup(name).reasonKey, "KLRestoreUnknownBackup") << name;
    }
    EXPECT_EQ(ScratchDir::read(ledger), bytes);
    EXPECT_EQ(names(), std::vector<std::string>{made.name});
    EXPECT_TRUE(backup.remove(made.name));
    EXPECT_TRUE(names().empty());
}

TEST_F(Backups, BackupToWhileAnotherConnectionWritesOrders) {
    // As the app does, running on the folder: each write adds a header and its line in one
    // transaction, so a consistent copy holds as many added headers as added lines.
    const InstanceLock app(dir.path());
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    std::thread writer([&] {
        SQLDatabase db(ledger);
        EXPECT_TRUE(db.open());
        for (; !stop; ++written) {
            db.beginTransaction();
            db.executeUpdate("INSERT INTO SUserCommodity (orderPrimaryKeyDate) VALUES ('w')");
            db.executeUpdate(
                "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate) VALUES ('w')");
            db.commit();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    fs::create_directory(dir.file("out"));
    const std::string copy = dir.file("out/copy.sqlite");
    for (int round = 0; round < 20; ++round) {
        while (written < 3 * round) std::this_thread::yield();
        EXPECT_EQ(backupLedgerTo(dir.path(), copy, std::cerr), 0);  // no ASSERT: see the join
        // As many headers as lines, and at least those written before the copy began.
        EXPECT_EQ(query(copy, "SELECT h - l, h >= " + std::to_string(3 * round) +
                                  " FROM (SELECT count(*) AS h FROM SUserCommodity WHERE "
                                  "orderPrimaryKeyDate = 'w'), (SELECT count(*) AS l FROM "
                                  "SUserCommodityOrder WHERE orderItemPrimaryKeyDate = 'w')"),
                  "0|1\n");
    }
    stop = true;
    writer.join();
    // No temporary file is left beside the copy.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("out")), fs::directory_iterator()), 1);
}

TEST_F(Backups, RestoreKilledAtRandomMomentsLeavesTheOldOrTheNewLedger) {
    // Two ledgers of some size, so that a kill can land inside the copy: the generated one
    // and one with its lines copied sixteenfold.
    const std::string a = dir.file("a.sqlite"), b = dir.file("b.sqlite");
    fs::copy_file(ledger, a);
    fs::copy_file(ledger, b);
    const std::string lines =
        "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate, "
        "orderItemProductName) SELECT orderItemPrimaryKeyDate, "
        "orderItemProductName || 'x' FROM SUserCommodityOrder;";
    query(b, lines + lines + lines + lines);
    const std::string ofA = contents(a), ofB = contents(b);
    ASSERT_NE(ofA, ofB);

    // The copy into the ledger starts once the copy of the old ledger is published.
    auto published = [&] {
        int n = 0;
        std::error_code ec;
        for (const auto& f : fs::directory_iterator(backup.folder(), ec))
            n += f.path().filename().string()[0] != '.';
        return n;
    };
    auto restoreInChild = [&](const std::string& from, bool waitForCopy) {
        const int before = published();
        const pid_t pid = fork();
        std::ostringstream log;
        if (pid == 0) _exit(restoreLedgerFrom(dir.path(), from, log));
        siginfo_t exited{};
        while (waitForCopy && published() == before &&
               waitid(P_PID, pid, &exited, WEXITED | WNOHANG | WNOWAIT) == 0 && !exited.si_pid)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        return pid;
    };
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    // One whole restore sets the spans in which the kills land: the whole restore, and the
    // copy into the ledger.
    const auto t0 = Clock::now();
    const pid_t first = restoreInChild(b, true);
    const auto t1 = Clock::now();
    int status = 0;
    waitpid(first, &status, 0);
    const auto whole = Clock::now() - t0, copy = Clock::now() - t1;
    ASSERT_EQ(status, 0);
    ASSERT_EQ(contents(ledger), ofB);

    std::mt19937 random(20150509);
    bool isB = true;
    for (int round = 0; round < 20; ++round) {
        // Even rounds kill anywhere in the restore. Odd rounds kill during the copy into the
        // ledger, spread evenly over the scales from 50 µs to its span, so that a short
        // window (a plain file write) is hit as often as a long one (a sync).
        const bool late = round % 2;
        const pid_t pid = restoreInChild(isB ? a : b, late);
        const double u = std::uniform_real_distribution<>()(random);
        const double at = late ? 50e-6 * std::pow(seconds(copy) / 50e-6, u) : u * seconds(whole);
        std::this_thread::sleep_for(std::chrono::duration<double>(at));
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        const std::string now = contents(ledger);  // rolls back a half-done restore
        EXPECT_EQ(query(ledger, "PRAGMA integrity_check"), "ok\n");
        ASSERT_TRUE(now == ofA || now == ofB) << "round " << round;
        isB = now == ofB;
    }
    for (const auto& e : backup.list()) EXPECT_TRUE(e.orders) << e.name << " is not whole";
}

}  // namespace
