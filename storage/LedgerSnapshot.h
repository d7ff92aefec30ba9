#pragma once
// The ledger as it is at one moment, for long reads outside the app's lock (the export's
// files): the shared connection's pages are copied with SQLite's online backup API into a
// temporary file beside the ledger, on the app's thread (under half a second for a five-year
// ledger), and read through a read-only connection of the copy's own, which one other thread
// may then use. The copy's name is removed once that connection is open; its pages go with
// the object.
#include <memory>
#include <string>

#include "Tools/SQL/SQLDatabase.h"

class LedgerSnapshot {
  public:
    // Nothing when the ledger cannot be read or the copy cannot be written.
    static std::unique_ptr<LedgerSnapshot> take();
    ~LedgerSnapshot();
    LedgerSnapshot(const LedgerSnapshot&) = delete;
    LedgerSnapshot& operator=(const LedgerSnapshot&) = delete;

    const std::shared_ptr<SQLDatabase>& database() const { return db_; }

  private:
    LedgerSnapshot() = default;
    std::string path_;
    std::shared_ptr<SQLDatabase> db_;
};
