#pragma once
// Indexes on the columns the finds select by. The tables keep their original CREATE TABLE
// texts; the indexes are added beside them, so a ledger made before they existed gains
// them at its next start.
#include "Tools/SQL/SQLDatabase.h"

// Runs every "CREATE INDEX IF NOT EXISTS" statement; true when all of them succeeded.
bool createLedgerIndexes(SQLDatabase& db);
