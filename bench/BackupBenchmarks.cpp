// A checked backup of the working ledger into the backup folder, and a restore from one,
// while the app runs on the ledger: whole, and the swap alone (what the app does under its
// lock).
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchContext.h"
#include "storage/LedgerBackup.h"
#include "storage/SDBManager.h"

namespace {

// Every row of every ledger table of `file` is in the app's ledger, and as many.
bool sameRows(sqlite3* db, const std::string& file) {
    bool same = plainExec(db, "ATTACH ? AS copy", {file});
    for (const char* table : {"SProductsNameType", "SProductsNameSub", "SSupplierOrCustomers",
                              "SUserCommodity", "SUserCommodityOrder"}) {
        const std::string t = table;
        const std::string sql = "SELECT (SELECT count(*) FROM main." + t +
                                ") - (SELECT count(*) FROM copy." + t +
                                "), (SELECT count(*) FROM (SELECT * FROM main." + t +
                                " EXCEPT SELECT * FROM copy." + t + "))";
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        same = same && sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int64(st, 0) == 0 &&
               sqlite3_column_int64(st, 1) == 0;
        sqlite3_finalize(st);
    }
    return plainExec(db, "DETACH copy") && same;
}

void BM_backup_make(benchmark::State& state) {
    auto& c = BenchContext::get();
    LedgerBackup backup(c.workDir);
    static bool compared = false;
    for (auto _ : state) {
        const auto made = backup.makeBackup(LedgerBackup::Kind::Manual);
        state.PauseTiming();
        if (!made.ok) {
            state.SkipWithError(made.detail.c_str());
            break;
        }
        if (!compared && !sameRows(c.handle(), backup.folder() + "/" + made.name)) {
            state.SkipWithError("the backup differs from the ledger");
            break;
        }
        compared = true;
        backup.remove(made.name);
        state.ResumeTiming();
    }
}

// The whole restore from a backup: its checks and copies, which the app makes off its
// lock, then the swap, which it makes under it with its connection closed.
void restore(benchmark::State& state, bool timeSwapOnly) {
    auto& c = BenchContext::get();
    LedgerBackup backup(c.workDir);
    const auto made = backup.makeBackup(LedgerBackup::Kind::Manual);
    if (!made.ok) state.SkipWithError(made.detail.c_str());
    for (auto _ : state) {
        if (!made.ok) break;
        if (timeSwapOnly) state.PauseTiming();
        auto prepared = backup.prepareRestore(backup.folder() + "/" + made.name);
        if (timeSwapOnly) state.ResumeTiming();
        SDBManager::close();
        const auto restored = backup.commitRestore(prepared);
        SDBManager::defaultDBManager();
        state.PauseTiming();
        if (!restored.ok) {
            state.SkipWithError(restored.detail.c_str());
            break;
        }
        backup.remove(restored.name);  // the copy of the ledger it replaced
        state.ResumeTiming();
    }
    backup.remove(made.name);
}

void BM_backup_restore(benchmark::State& state) {
    restore(state, false);
}

void BM_backup_swap(benchmark::State& state) {
    restore(state, true);
}

}  // namespace

BENCHMARK(BM_backup_make)->Name("backup/make")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_backup_restore)->Name("backup/restore")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_backup_swap)->Name("backup/swap")->Unit(benchmark::kMillisecond)->UseRealTime();
