#pragma once
// Figures the screens only sum or count, read column by column instead of as whole
// records. Each keeps the row order of the corresponding store find (newest first) so the
// single-precision sums come out exactly as summing the records would.
#include <memory>
#include <string>
#include <vector>

#include "Tools/SQL/SQLDatabase.h"
#include "platform/Text.h"

class LedgerFigures {
public:
    LedgerFigures();  // on the shared connection
    explicit LedgerFigures(std::shared_ptr<SQLDatabase> db) : db_(std::move(db)) {}

    // The number of order headers of every kind.
    long countOrders();
    // Sum of orderItemQuantity over the lines of one kind, newest line first.
    float sumLineQuantities(const Text& kind);
    // Sum of orderTotalAmount over the headers of a month (and day, when given) and kind.
    float sumOrderAmounts(const Text& year, const Text& month, const Text& day, const Text& kind);

    // One column of a query, in row order (absent for NULL). Empty when the query fails.
    std::vector<Text> column(const std::string& sql, const std::vector<SQLValue>& args);

private:
    std::shared_ptr<SQLDatabase> db_;
};

// Adds the floatValue of each text in list order, in single precision.
float sumInOrder(const std::vector<Text>& texts);
