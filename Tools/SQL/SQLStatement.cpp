#include "Tools/SQL/SQLStatement.h"

void SQLStatement::reset() {
    if (_statement) sqlite3_reset(_statement);
}

void SQLStatement::close() {
    if (_statement) {
        sqlite3_finalize(_statement);
        _statement = nullptr;
    }
}
