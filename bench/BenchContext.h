#pragma once
// State shared by the benchmarks: the working copy of the ledger, the running app on it,
// and the plain statements that compute the same figures as the limits.
#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "platform/Clock.h"

struct BenchContext {
    static BenchContext& get();

    bool small = false;
    std::string workDir;  // documents directory holding the working copy voice.sqlite
    std::string language = "en";
    std::shared_ptr<FixedClock> clock;
    std::unique_ptr<AppDelegate> app;

    // Calendar texts of the pinned "today".
    std::string year, month, day;
    // A product with lines in the pinned month, and one order to open and merge.
    std::string historyProductKey, historyProductName;
    std::string mergeUid;

    // Resolves the environment on workDir and runs start-up; the dashboard is shown.
    void startApp();
    sqlite3* handle() const;
};

// Runs a plain statement with text bindings, reads every column of every row as SQLite
// gives it (text, or a number for aggregates) and returns a value that depends on it all.
double plainQuery(sqlite3* db, const char* sql, const std::vector<std::string>& args = {});
bool plainExec(sqlite3* db, const char* sql, const std::vector<std::string>& args = {});

// Memory of a child process that opens the working copy, visits every screen, then presses
// every button of the bar `rounds` times: its peak resident memory, its resident memory
// after the first round and after the last (kB), and the depth of the screen stack then.
struct ScreenMemory {
    long peakKb = -1;
    long firstKb = -1;
    long lastKb = -1;
    size_t depth = 0;
};
ScreenMemory measureScreenMemory(const std::string& self, const std::string& workDir, int rounds);
int visitEveryScreen(const std::string& workDir, int rounds);  // the child's side
