#pragma once
// Figures that would otherwise read every order header or line at each look: the number of
// orders, the quantities of all lines purchased ("11") and sold ("21"), and per product key
// its number of lines and its purchased and sold quantities. Sums are exact (DecimalSum).
//
// They live in side tables of the ledger file, kept by triggers on the two order tables, so
// every writer of the file (this program, an older build of it, the sqlite3 tool) keeps them
// in step, inside its own transaction: a crash leaves rows and totals in step. The five
// ledger tables are not changed. Triggers run only SQL, and the exact reading of a quantity
// text is DecimalSum's, so a trigger does not add a line: it appends the kind, product key
// and quantity the line adds (or removes) to a list of pending changes, which readers add to
// the stored totals and which is folded into them now and then. The order count is kept by
// the triggers themselves.
//
// Totals in doubt are rebuilt from the rows: side tables or triggers missing or not as this
// build makes them (a file of an older build, or a restore of one), or counts of orders and
// lines that do not match the rows. The counts are checked at start-up and whenever another
// connection has written to the file since the last check (PRAGMA data_version): a writer
// that ran with triggers off, or a row replaced in place, leaves them unequal. On a
// read-only connection (a damaged ledger) totals in doubt are computed from the rows
// instead, as the stores' finds would.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "Tools/SQL/SQLDatabase.h"
#include "storage/DecimalSum.h"

class LedgerTotals {
  public:
    LedgerTotals();  // on the shared connection
    explicit LedgerTotals(std::shared_ptr<SQLDatabase> db) : db_(std::move(db)) {}

    struct Ledger {
        long orders = 0;       // order headers of every kind
        long lines = 0;        // order lines of every kind
        DecimalSum purchased;  // orderItemQuantity over the lines of kind "11"
        DecimalSum sold;       // and of kind "21"
    };
    // Per product key (text keys only: a find binds the key as text, which no other kind of
    // value equals): the number of its lines of any kind and its sums of orderItemQuantity
    // over kind "11" and "21", as the finds by key (and kind) select them.
    struct ProductLines {
        long lines = 0;
        DecimalSum purchased;
        DecimalSum sold;
    };
    using ProductLinesByKey = std::unordered_map<std::string, ProductLines>;

    // Empty when the ledger could not be read whole (a damaged page, no connection).
    std::optional<Ledger> ledger();
    std::optional<ProductLinesByKey> products();

    // Start-up and a file about to replace the ledger: checks the totals against the rows,
    // rebuilds them when in doubt and folds the pending changes in. False when that could
    // not be done (a read-only or damaged file); readers then manage as described above.
    bool prepare();

  private:
    struct Totals;
    enum class Load { Whole, Doubtful, Failed };
    std::optional<Totals> read(bool withProducts);
    Load load(Totals& t, bool withProducts);
    Load loadSnapshot(Totals& t, bool withProducts);
    bool countsMatch(const Totals& t, bool& matched);
    bool fromRows(Totals& t, bool withProducts);
    bool rebuild();
    bool fold();
    bool writable() const;
    bool eachRow(const std::string& sql, const std::function<void(const SQLResultSet&)>& row);

    std::shared_ptr<SQLDatabase> db_;
};
