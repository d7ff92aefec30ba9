#pragma once
// Owns the one connection to voice.sqlite in the documents directory.
#include <chrono>
#include <memory>
#include <string>

#include "Tools/SQL/SQLDatabase.h"

class SDBManager {
public:
    // How long the screens' statements wait for a ledger another program has locked before
    // they fail: every call into the app waits under one lock, so this caps a tap's wait.
    static constexpr std::chrono::milliseconds kBusyTimeLimit{2000};

    static SDBManager& defaultDBManager();
    // Closes the connection and discards the shared manager; the next
    // defaultDBManager() makes and opens a new one (tests, a new documents directory).
    static void close();
    // Replaces the shared manager by one whose connection is read-only: every write fails
    // and the file stays as it is (a damaged ledger).
    static SDBManager& openReadOnly();

    // Returns whether the file existed before.
    bool initializeDBWithName(const std::string& name);
    void connect();
    const std::shared_ptr<SQLDatabase>& dataBase() const { return _dataBase; }
    const std::string& name() const { return _name; }
    // True when the connection is open (start-up refuses to serve a ledger it cannot open).
    bool isOpen() const;
    bool readOnly() const { return _readOnly; }

    // What start-up finds at `path`, on a connection of its own that is closed again.
    enum class LedgerCheck { Sound, Damaged, InUse, NotALedger, CannotWrite };
    // Opens the file (made when missing) and takes the write lock for a moment, waiting up
    // to `wait` for another program's lock. With `verifyPages` (after an unclean exit),
    // also runs "PRAGMA quick_check": a damaged file is Damaged. Writes nothing.
    static LedgerCheck checkLedger(const std::string& path, bool verifyPages,
                                   std::chrono::milliseconds wait);

private:
    explicit SDBManager(bool readOnly = false);
    std::shared_ptr<SQLDatabase> _dataBase;
    std::string _name;
    bool _readOnly = false;
};
