#pragma once
// Owns the one connection to voice.sqlite in the documents directory.
#include <memory>
#include <string>

#include "Tools/SQL/SQLDatabase.h"

class SDBManager {
public:
    static SDBManager& defaultDBManager();
    // Closes the connection and discards the shared manager; the next
    // defaultDBManager() makes and opens a new one (tests, a new documents directory).
    static void close();

    // Returns whether the file existed before.
    bool initializeDBWithName(const std::string& name);
    void connect();
    const std::shared_ptr<SQLDatabase>& dataBase() const { return _dataBase; }
    const std::string& name() const { return _name; }
    // True when the connection is open (start-up refuses to serve a ledger it cannot open).
    bool isOpen() const;

private:
    SDBManager();
    std::shared_ptr<SQLDatabase> _dataBase;
    std::string _name;
};
