#include "storage/LedgerTotals.h"

#include <sqlite3.h>

#include <iterator>
#include <set>

#include "storage/SDBManager.h"

namespace {

// Changes when the side tables change meaning: a file of another format is rebuilt.
constexpr int kFormat = 1;
// A reader folds the pending changes into the stored totals once there are more than this.
constexpr long kFoldBeyond = 1000;

struct SideObject {
    const char* name;
    const char* sql;
};

// In the order of making; dropped in reverse. Plain SQL without functions of this program,
// so that every SQLite that opens the file (an older build, the sqlite3 tool) can write it.
const SideObject kSide[] = {
    {"LedgerTotals",
     "CREATE TABLE LedgerTotals (format INTEGER NOT NULL, orders INTEGER NOT NULL, lines "
     "INTEGER NOT NULL, purchased TEXT NOT NULL, sold TEXT NOT NULL)"},
    {"LedgerProductTotals",
     "CREATE TABLE LedgerProductTotals (productKey TEXT PRIMARY KEY, lines INTEGER NOT NULL, "
     "purchased TEXT NOT NULL, sold TEXT NOT NULL)"},
    {"LedgerTotalsPending",
     "CREATE TABLE LedgerTotalsPending (kind TEXT, productKey TEXT, quantity TEXT, sign INTEGER "
     "NOT NULL)"},
    {"LedgerTotals_orderAdded",
     "CREATE TRIGGER LedgerTotals_orderAdded AFTER INSERT ON SUserCommodity BEGIN UPDATE "
     "LedgerTotals SET orders = orders + 1; END"},
    {"LedgerTotals_orderRemoved",
     "CREATE TRIGGER LedgerTotals_orderRemoved AFTER DELETE ON SUserCommodity BEGIN UPDATE "
     "LedgerTotals SET orders = orders - 1; END"},
    {"LedgerTotals_lineAdded",
     "CREATE TRIGGER LedgerTotals_lineAdded AFTER INSERT ON SUserCommodityOrder BEGIN INSERT "
     "INTO LedgerTotalsPending VALUES (NEW.orderItemSalesAndPurchaseTags, "
     "NEW.orderItemProductNameKey, NEW.orderItemQuantity, 1); END"},
    {"LedgerTotals_lineRemoved",
     "CREATE TRIGGER LedgerTotals_lineRemoved AFTER DELETE ON SUserCommodityOrder BEGIN INSERT "
     "INTO LedgerTotalsPending VALUES (OLD.orderItemSalesAndPurchaseTags, "
     "OLD.orderItemProductNameKey, OLD.orderItemQuantity, -1); END"},
    // The stores update a row one column at a time: only a changed figure is a change.
    {"LedgerTotals_lineChanged",
     "CREATE TRIGGER LedgerTotals_lineChanged AFTER UPDATE OF orderItemSalesAndPurchaseTags, "
     "orderItemProductNameKey, orderItemQuantity ON SUserCommodityOrder WHEN "
     "OLD.orderItemSalesAndPurchaseTags IS NOT NEW.orderItemSalesAndPurchaseTags OR "
     "OLD.orderItemProductNameKey IS NOT NEW.orderItemProductNameKey OR OLD.orderItemQuantity "
     "IS NOT NEW.orderItemQuantity BEGIN INSERT INTO LedgerTotalsPending VALUES "
     "(OLD.orderItemSalesAndPurchaseTags, OLD.orderItemProductNameKey, OLD.orderItemQuantity, "
     "-1); INSERT INTO LedgerTotalsPending VALUES (NEW.orderItemSalesAndPurchaseTags, "
     "NEW.orderItemProductNameKey, NEW.orderItemQuantity, 1); END"},
};

std::string sideNamesList() {
    std::string list;
    for (const auto& o : kSide) list += std::string(list.empty() ? "'" : ", '") + o.name + "'";
    return list;
}

// A line as it adds to the totals, with the comparisons of the finds ("column = '11'", a key
// bound as text), and the sign it adds with: the rows themselves, or the pending changes.
const char* const kRowLines =
    "SELECT typeof(orderItemProductNameKey) = 'text', orderItemProductNameKey, "
    "orderItemSalesAndPurchaseTags = '11', orderItemSalesAndPurchaseTags = '21', "
    "orderItemQuantity, 1 FROM SUserCommodityOrder";
const char* const kPendingLines =
    "SELECT typeof(productKey) = 'text', productKey, kind = '11', kind = '21', quantity, sign "
    "FROM LedgerTotalsPending";

}  // namespace

struct LedgerTotals::Totals {
    Ledger ledger;
    ProductLinesByKey products;
    long pending = 0;
    std::set<std::string> touched;  // the product keys the pending changes touch
};

namespace {

// Adds a row of kRowLines or kPendingLines; false for a sign no trigger writes.
bool addLine(LedgerTotals::Ledger& ledger, LedgerTotals::ProductLinesByKey* products,
             std::set<std::string>* touched, const SQLResultSet& rs) {
    const int sign = rs.intForColumnIndex(5);
    if (sign != 1 && sign != -1) return false;
    const bool purchase = rs.intForColumnIndex(2) != 0, sale = rs.intForColumnIndex(3) != 0;
    DecimalSum quantity;
    if (purchase || sale)
        if (const auto q = rs.textViewForColumnIndex(4))
            quantity = DecimalSum::ofUnits(sign * DecimalSum::unitsOf(*q));
    // A line of neither kind adds only to the line counts (its quantity is 0 here).
    ledger.lines += sign;
    (purchase ? ledger.purchased : ledger.sold) += quantity;
    if (!products || !rs.intForColumnIndex(0)) return true;
    const auto key = rs.textViewForColumnIndex(1);
    if (!key) return true;
    auto& p = (*products)[std::string(*key)];
    p.lines += sign;
    (purchase ? p.purchased : p.sold) += quantity;
    if (touched) touched->emplace(*key);
    return true;
}

}  // namespace

LedgerTotals::LedgerTotals() : db_(SDBManager::defaultDBManager().dataBase()) {}

bool LedgerTotals::eachRow(const std::string& sql,
                           const std::function<void(const SQLResultSet&)>& row) {
    if (!db_) return false;
    auto rs = db_->executeQuery(sql);
    if (!rs) return false;
    while (rs->next()) row(*rs);
    const bool whole = !rs->failed();
    rs->close();
    return whole;
}

bool LedgerTotals::writable() const {
    return db_ && db_->sqliteHandle() && sqlite3_db_readonly(db_->sqliteHandle(), "main") == 0;
}

std::optional<LedgerTotals::Ledger> LedgerTotals::ledger() {
    auto t = read(false);
    if (!t) return std::nullopt;
    return t->ledger;
}

std::optional<LedgerTotals::ProductLinesByKey> LedgerTotals::products() {
    auto t = read(true);
    if (!t) return std::nullopt;
    return std::move(t->products);
}

std::optional<LedgerTotals::Totals> LedgerTotals::read(bool withProducts) {
    Totals t;
    Load state = load(t, withProducts);
    if (state == Load::Doubtful && rebuild()) {
        t = Totals{};
        state = load(t, withProducts);
    }
    if (state == Load::Failed) return std::nullopt;
    if (state == Load::Doubtful) {
        // Totals in doubt that could not be rebuilt (a read-only file): the rows themselves.
        t = Totals{};
        if (!fromRows(t, withProducts)) return std::nullopt;
    } else if (t.pending > kFoldBeyond) {
        fold();  // the totals read are whole either way
    }
    return t;
}

LedgerTotals::Load LedgerTotals::load(Totals& t, bool withProducts) {
    // One snapshot for all the reads (unless a caller's transaction is one already): another
    // program's write between them would look like totals out of step with the rows.
    sqlite3* handle = db_ ? db_->sqliteHandle() : nullptr;
    if (!handle) return Load::Failed;
    if (!sqlite3_get_autocommit(handle)) return loadSnapshot(t, withProducts);
    if (!db_->executeUpdate("BEGIN")) return Load::Failed;
    const Load state = loadSnapshot(t, withProducts);
    if (!sqlite3_get_autocommit(handle) && !db_->executeUpdate("COMMIT")) db_->rollback();
    return state;
}

LedgerTotals::Load LedgerTotals::loadSnapshot(Totals& t, bool withProducts) {
    // The side tables and triggers, exactly as this build makes them.
    static const std::string schemaQuery =
        "SELECT name, sql FROM sqlite_master WHERE name IN (" + sideNamesList() + ")";
    size_t same = 0, found = 0;
    if (!eachRow(schemaQuery, [&](const SQLResultSet& rs) {
            ++found;
            const auto name = rs.textViewForColumnIndex(0), sql = rs.textViewForColumnIndex(1);
            for (const auto& o : kSide) same += name == o.name && sql == o.sql;
        }))
        return Load::Failed;
    if (found != std::size(kSide) || same != found) return Load::Doubtful;

    bool sound = true;
    int rows = 0;
    auto sumOf = [&](const SQLResultSet& rs, int column) {
        const auto text = rs.textViewForColumnIndex(column);
        const auto sum = text ? DecimalSum::ofUnitsText(*text) : std::nullopt;
        sound = sound && sum;
        return sum.value_or(DecimalSum{});
    };
    if (!eachRow("SELECT format, orders, lines, purchased, sold FROM LedgerTotals",
                 [&](const SQLResultSet& rs) {
                     ++rows;
                     sound = sound && rs.intForColumnIndex(0) == kFormat;
                     t.ledger = {rs.intForColumnIndex(1), rs.intForColumnIndex(2), sumOf(rs, 3),
                                 sumOf(rs, 4)};
                 }))
        return Load::Failed;
    if (withProducts &&
        !eachRow("SELECT productKey, lines, purchased, sold FROM LedgerProductTotals WHERE "
                 "typeof(productKey) = 'text'",
                 [&](const SQLResultSet& rs) {
                     t.products[std::string(*rs.textViewForColumnIndex(0))] = {
                         rs.intForColumnIndex(1), sumOf(rs, 2), sumOf(rs, 3)};
                 }))
        return Load::Failed;
    if (!eachRow(kPendingLines, [&](const SQLResultSet& rs) {
            ++t.pending;
            sound =
                addLine(t.ledger, withProducts ? &t.products : nullptr, &t.touched, rs) && sound;
        }))
        return Load::Failed;
    if (!sound || rows != 1 || t.ledger.orders < 0 || t.ledger.lines < 0) return Load::Doubtful;

    bool matched = true;
    if (!countsMatch(t, matched)) return Load::Failed;
    return matched ? Load::Whole : Load::Doubtful;
}

// The counts are checked against the rows once another connection has written to the file
// since this one last checked them (its own writes are kept by the triggers). The mark is
// the user_version of the connection's temporary database: it ends with the connection, and
// a connection's data_version starts at 1.
bool LedgerTotals::countsMatch(const Totals& t, bool& matched) {
    long version = -1, checked = -1, orders = -1, lines = -1;
    if (!eachRow("PRAGMA data_version",
                 [&](const SQLResultSet& rs) { version = rs.intForColumnIndex(0); }) ||
        !eachRow("PRAGMA temp.user_version",
                 [&](const SQLResultSet& rs) { checked = rs.intForColumnIndex(0); }))
        return false;
    if (version == checked) return true;
    if (!eachRow("SELECT (SELECT count(*) FROM SUserCommodity), (SELECT count(*) FROM "
                 "SUserCommodityOrder)",
                 [&](const SQLResultSet& rs) {
                     orders = rs.intForColumnIndex(0);
                     lines = rs.intForColumnIndex(1);
                 }))
        return false;
    matched = orders == t.ledger.orders && lines == t.ledger.lines;
    if (matched) db_->executeUpdate("PRAGMA temp.user_version = " + std::to_string(version));
    return true;
}

bool LedgerTotals::fromRows(Totals& t, bool withProducts) {
    bool sound = true;
    return eachRow("SELECT count(*) FROM SUserCommodity",
                   [&](const SQLResultSet& rs) { t.ledger.orders = rs.intForColumnIndex(0); }) &&
           eachRow(kRowLines,
                   [&](const SQLResultSet& rs) {
                       sound =
                           addLine(t.ledger, withProducts ? &t.products : nullptr, nullptr, rs) &&
                           sound;
                   }) &&
           sound;
}

namespace {

bool storeProduct(SQLDatabase& db, const std::string& key, const LedgerTotals::ProductLines& p) {
    if (p.lines == 0 && p.purchased == DecimalSum{} && p.sold == DecimalSum{})
        return db.executeUpdate("DELETE FROM LedgerProductTotals WHERE productKey = ?", {key});
    return db.executeUpdate("INSERT OR REPLACE INTO LedgerProductTotals VALUES (?, ?, ?, ?)",
                            {key, p.lines, p.purchased.unitsText(), p.sold.unitsText()});
}

}  // namespace

bool LedgerTotals::rebuild() {
    if (!writable() || !db_->beginTransaction()) return false;
    Totals t;
    bool ok = fromRows(t, true);
    for (auto o = std::rbegin(kSide); ok && o != std::rend(kSide); ++o) {
        const bool trigger = std::string_view(o->sql).starts_with("CREATE TRIGGER");
        ok = db_->executeUpdate(std::string("DROP ") + (trigger ? "TRIGGER" : "TABLE") +
                                " IF EXISTS " + o->name);
    }
    for (const auto& o : kSide) ok = ok && db_->executeUpdate(o.sql);
    ok = ok && db_->executeUpdate("INSERT INTO LedgerTotals VALUES (?, ?, ?, ?, ?)",
                                  {kFormat, t.ledger.orders, t.ledger.lines,
                                   t.ledger.purchased.unitsText(), t.ledger.sold.unitsText()});
    for (const auto& [key, p] : t.products) ok = ok && storeProduct(*db_, key, p);
    if (!ok) {
        db_->rollback();
        return false;
    }
    return db_->commit();
}

bool LedgerTotals::fold() {
    if (!writable() || !db_->beginTransaction()) return false;
    Totals t;
    bool ok = load(t, true) == Load::Whole;
    ok = ok && db_->executeUpdate(
                   "UPDATE LedgerTotals SET lines = ?, purchased = ?, sold = ?",
                   {t.ledger.lines, t.ledger.purchased.unitsText(), t.ledger.sold.unitsText()});
    for (const auto& key : t.touched) ok = ok && storeProduct(*db_, key, t.products[key]);
    ok = ok && db_->executeUpdate("DELETE FROM LedgerTotalsPending");
    if (!ok) {
        db_->rollback();
        return false;
    }
    return db_->commit();
}

bool LedgerTotals::prepare() {
    if (!writable()) return false;
    // The counts are checked now, whoever wrote last.
    db_->executeUpdate("PRAGMA temp.user_version = 0");
    Totals t;
    switch (load(t, false)) {
        case Load::Failed:
            return false;
        case Load::Doubtful:
            return rebuild();
        case Load::Whole:
            return t.pending == 0 || fold();
    }
    return false;
}
