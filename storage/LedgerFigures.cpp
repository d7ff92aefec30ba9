#include "storage/LedgerFigures.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "storage/NumberText.h"
#include "storage/SDBManager.h"

LedgerFigures::LedgerFigures() : db_(SDBManager::defaultDBManager().dataBase()) {}

std::vector<Text> LedgerFigures::column(const std::string& sql, const std::vector<SQLValue>& args) {
    std::vector<Text> out;
    if (!db_) return out;
    auto rs = db_->executeQuery(sql, args);
    if (!rs) return out;
    while (rs->next()) out.push_back(rs->stringForColumnIndex(0));
    rs->close();
    return out;
}

long LedgerFigures::countOrders() {
    if (!db_) return 0;
    auto rs = db_->executeQuery("SELECT count(*) FROM SUserCommodity");
    if (!rs) return 0;
    long n = rs->next() ? rs->intForColumnIndex(0) : 0;
    rs->close();
    return n;
}

float LedgerFigures::sumLineQuantities(const Text& kind) {
    return sumInOrder(column(
        "SELECT orderItemQuantity FROM SUserCommodityOrder WHERE orderItemSalesAndPurchaseTags = ? "
        "ORDER BY orderItemUid DESC",
        {kind}));
}

float LedgerFigures::sumOrderAmounts(const Text& year, const Text& month, const Text& day,
                                     const Text& kind) {
    if (day) {
        return sumInOrder(
            column("SELECT orderTotalAmount FROM SUserCommodity where years = ? and months = ? and "
                   "days = ? and orderSalesAndPurchaseTags = ? ORDER BY uid DESC",
                   {year, month, day, kind}));
    }
    return sumInOrder(
        column("SELECT orderTotalAmount FROM SUserCommodity where years = ? and months = ? and "
               "orderSalesAndPurchaseTags = ? ORDER BY uid DESC",
               {year, month, kind}));
}

// Comparisons are computed by SQLite with the same operands as the finds' conditions
// ("column = '11'"), so a row counts here exactly when the find would return it.

LedgerFigures::KindQuantities LedgerFigures::sumLineQuantitiesByKind() {
    KindQuantities q;
    if (!db_) return q;
    auto rs = db_->executeQuery(
        "SELECT orderItemSalesAndPurchaseTags = '11', orderItemSalesAndPurchaseTags = '21', "
        "orderItemQuantity FROM SUserCommodityOrder ORDER BY orderItemUid DESC");
    if (!rs) return q;
    while (rs->next()) {
        if (rs->intForColumnIndex(0)) q.purchased += floatValue(rs->stringForColumnIndex(2));
        if (rs->intForColumnIndex(1)) q.sold += floatValue(rs->stringForColumnIndex(2));
    }
    rs->close();
    return q;
}

LedgerFigures::ProductLinesByKey LedgerFigures::productLines() {
    ProductLinesByKey out;
    if (!db_) return out;
    // Only text keys: a find binds the product key as text, which no other kind of value
    // equals.
    auto rs = db_->executeQuery(
        "SELECT orderItemProductNameKey, orderItemSalesAndPurchaseTags = '11', "
        "orderItemSalesAndPurchaseTags = '21', orderItemQuantity FROM SUserCommodityOrder "
        "WHERE typeof(orderItemProductNameKey) = 'text' ORDER BY orderItemUid DESC");
    if (!rs) return out;
    while (rs->next()) {
        const Text key = rs->stringForColumnIndex(0);
        if (!key) continue;
        ProductLines& p = out[*key];
        ++p.lines;
        if (rs->intForColumnIndex(1)) p.purchased += floatValue(rs->stringForColumnIndex(3));
        if (rs->intForColumnIndex(2)) p.sold += floatValue(rs->stringForColumnIndex(3));
    }
    rs->close();
    return out;
}

LedgerFigures::OrderTotals LedgerFigures::sumOrderTotals(const std::string& where,
                                                         const std::vector<SQLValue>& args) {
    OrderTotals t;
    if (!db_) return t;
    auto rs = db_->executeQuery(
        "SELECT orderTotalAmount, orderTotalCounts, orderTotalEntrys FROM SUserCommodity WHERE " +
            where + " ORDER BY uid DESC",
        args);
    if (!rs) return t;
    while (rs->next()) {
        t.amount += floatValue(rs->stringForColumnIndex(0));
        t.counts += floatValue(rs->stringForColumnIndex(1));
        t.entrys += floatValue(rs->stringForColumnIndex(2));
    }
    rs->close();
    return t;
}

namespace {

// The amounts of each month with their uid, collected in whatever order the scan yields
// them and added newest (highest uid) first at the end. The rows stay inside SQLite instead
// of crossing the result API one by one, and the scan can run forwards, where SQLite steps
// from one row to the next instead of searching for each.
struct MonthAmountRows {
    std::array<std::vector<std::pair<sqlite3_int64, float>>, 12> months;
};

void monthAmountsStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto** slot =
        static_cast<MonthAmountRows**>(sqlite3_aggregate_context(ctx, sizeof(MonthAmountRows*)));
    if (!slot || sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    const int month = sqlite3_value_int(argv[0]);
    if (month < 1 || month > 12) return;
    if (!*slot) *slot = new MonthAmountRows;
    // As the record's text reads: NULL is 0, anything else its text.
    float amount = 0;
    if (sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[2]));
        const int bytes = sqlite3_value_bytes(argv[2]);
        if (text) amount = floatValue(std::string_view(text, static_cast<size_t>(bytes)));
    }
    (*slot)->months[static_cast<size_t>(month - 1)].emplace_back(sqlite3_value_int64(argv[1]),
                                                                 amount);
}

void monthAmountsFinal(sqlite3_context* ctx) {
    float sums[12] = {};
    auto** slot = static_cast<MonthAmountRows**>(sqlite3_aggregate_context(ctx, 0));
    if (slot && *slot) {
        for (size_t m = 0; m < 12; ++m) {
            auto& rows = (*slot)->months[m];
            std::sort(rows.begin(), rows.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
            for (const auto& r : rows) sums[m] += r.second;
        }
        delete *slot;
        *slot = nullptr;
    }
    sqlite3_result_blob(ctx, sums, sizeof sums, SQLITE_TRANSIENT);
}

}  // namespace

std::array<float, 12> LedgerFigures::monthAmounts(const Text& year, const Text& kind) {
    std::array<float, 12> buckets{};
    if (!db_) return buckets;
    // Registering again while a statement runs fails harmlessly: the first one stays.
    sqlite3_create_function_v2(db_->sqliteHandle(), "mk_month_amounts", 3, SQLITE_UTF8, nullptr,
                               nullptr, monthAmountsStep, monthAmountsFinal, nullptr);
    // The CASE compares as each month find's "months = '5'" does, so only rows one of the
    // twelve finds selects count.
    auto rs = db_->executeQuery(
        "SELECT mk_month_amounts(CASE months WHEN '1' THEN 1 WHEN '2' THEN 2 WHEN '3' THEN 3 "
        "WHEN '4' THEN 4 WHEN '5' THEN 5 WHEN '6' THEN 6 WHEN '7' THEN 7 WHEN '8' THEN 8 "
        "WHEN '9' THEN 9 WHEN '10' THEN 10 WHEN '11' THEN 11 WHEN '12' THEN 12 END, uid, "
        "orderTotalAmount) FROM SUserCommodity WHERE years = ? and orderSalesAndPurchaseTags = ?",
        {year, kind});
    if (!rs) return buckets;
    if (rs->next()) {
        const Text blob = rs->stringForColumnIndex(0);
        if (blob && blob->size() == sizeof buckets)
            std::memcpy(buckets.data(), blob->data(), sizeof buckets);
    }
    rs->close();
    return buckets;
}

namespace {

// Runs a query whose columns are, in order, the given fields of Row, and hands each row over
// as views into it.
template <class Row, size_t N>
void eachRowAs(SQLDatabase* db, const std::string& sql, const std::vector<SQLValue>& args,
               typename Row::View Row::*const (&fields)[N],
               const std::function<void(const Row&)>& row) {
    if (!db) return;
    auto rs = db->executeQuery(sql, args);
    if (!rs) return;
    Row r;
    while (rs->next()) {
        int i = 0;
        for (auto field : fields) r.*field = rs->textViewForColumnIndex(i++);
        row(r);
    }
    rs->close();
}

}  // namespace

void LedgerFigures::eachJournalOrder(const Text& year, const Text& month, const Text& partnerSide,
                                     const std::function<void(const JournalOrder&)>& row) {
    using O = JournalOrder;
    static O::View O::*const fields[] = {
        &O::uid,
        &O::recordeDateTime,
        &O::minutesTime,
        &O::recordeWeekTime,
        &O::orderName,
        &O::orderSalesTagOrPurchaseTag,
        &O::orderSupplierOrCustomerName,
        &O::orderSupplierOrCustomerNameKey,
        &O::orderTotalCounts,
        &O::orderTotalEntrys,
        &O::orderTotalAmount,
        &O::orderSalesAndPurchaseType,
    };
    // The condition and order of the month find, so the rows and their order are its own.
    eachRowAs<O>(db_.get(),
                 "SELECT uid, recordeDateTime, minutesTime, recordeWeekTime, orderName, "
                 "orderSalesTagOrPurchaseTag, orderSupplierOrCustomerName, "
                 "orderSupplierOrCustomerNameKey, orderTotalCounts, orderTotalEntrys, "
                 "orderTotalAmount, orderSalesAndPurchaseType FROM SUserCommodity WHERE years = ? "
                 "and months = ? and orderSalesTagOrPurchaseTag = ? ORDER BY uid DESC",
                 {year, month, partnerSide}, fields, row);
}

void LedgerFigures::eachHistoryLine(const Text& year, const Text& month, const Text& productKey,
                                    const std::function<void(const HistoryLine&)>& row) {
    using L = HistoryLine;
    static L::View L::*const fields[] = {
        &L::orderItemUid,         &L::orderItemSalesAndPurchaseTags,
        &L::orderItemModel,       &L::orderItemTotalAmount,
        &L::orderItemQuantity,    &L::orderItemUnit,
        &L::orderItemUnitPrice,   &L::orderItemDateTime,
        &L::orderItemMinutesTime,
    };
    eachRowAs<L>(db_.get(),
                 "SELECT orderItemUid, orderItemSalesAndPurchaseTags, orderItemModel, "
                 "orderItemTotalAmount, orderItemQuantity, orderItemUnit, orderItemUnitPrice, "
                 "orderItemDateTime, orderItemMinutesTime FROM SUserCommodityOrder WHERE "
                 "orderItemYears = ? and orderItemMonths = ? and orderItemProductNameKey = ? ORDER "
                 "BY orderItemUid DESC",
                 {year, month, productKey}, fields, row);
}

void LedgerFigures::eachExportRow(const std::function<void(const std::array<Text, 8>&)>& row) {
    if (!db_) return;
    auto rs = db_->executeQuery(
        "SELECT orderSalesAndPurchaseType, orderName, orderTotalCounts, orderTotalEntrys, "
        "orderTotalAmount, recordeDateTime, recordeWeekTime, remarkNotes FROM SUserCommodity "
        "ORDER BY uid DESC");
    if (!rs) return;
    std::array<Text, 8> fields;  // reused: most values fit without a fresh allocation
    while (rs->next()) {
        for (int i = 0; i < 8; ++i) fields[static_cast<size_t>(i)] = rs->stringForColumnIndex(i);
        row(fields);
    }
    rs->close();
}

namespace {

template <size_t N>
void eachViewRow(SQLDatabase* db, const char* sql,
                 const std::function<void(const std::array<TextView, N>&)>& row) {
    if (!db) return;
    auto rs = db->executeQuery(sql);
    if (!rs) return;
    std::array<TextView, N> fields;
    while (rs->next()) {
        for (size_t i = 0; i < N; ++i) fields[i] = rs->textViewForColumnIndex(static_cast<int>(i));
        row(fields);
    }
    rs->close();
}

}  // namespace

void LedgerFigures::eachWorkbookOrder(
    const std::function<void(const std::array<TextView, 10>&)>& row) {
    eachViewRow<10>(db_.get(),
                    "SELECT orderSalesAndPurchaseType, orderName, orderTotalCounts, "
                    "orderTotalEntrys, orderTotalAmount, recordeDateTime, recordeWeekTime, "
                    "remarkNotes, orderSupplierOrCustomerName, minutesTime FROM SUserCommodity "
                    "ORDER BY uid DESC",
                    row);
}

void LedgerFigures::eachWorkbookLine(
    const std::function<void(const std::array<TextView, 8>&)>& row) {
    eachViewRow<8>(db_.get(),
                   "SELECT o.orderName, o.recordeDateTime, l.orderItemProductName, "
                   "l.orderItemModel, l.orderItemUnit, l.orderItemQuantity, l.orderItemUnitPrice, "
                   "l.orderItemTotalAmount FROM SUserCommodity o JOIN SUserCommodityOrder l ON "
                   "l.orderItemPrimaryKeyDate = o.orderPrimaryKeyDate ORDER BY o.uid DESC, "
                   "l.orderItemUid",
                   row);
}

std::unordered_map<std::string, Text> LedgerFigures::partnerNamesByKey() {
    std::unordered_map<std::string, Text> names;
    if (!db_) return names;
    // Only text keys: the find binds the order's key as text, which no other kind of value
    // equals.
    auto rs = db_->executeQuery(
        "SELECT supplierOrCustomersNameKey, supplierOrCustomersName FROM SSupplierOrCustomers "
        "WHERE typeof(supplierOrCustomersNameKey) = 'text' ORDER BY supplierOrCustomersUid DESC");
    if (!rs) return names;
    while (rs->next()) {
        const Text key = rs->stringForColumnIndex(0);
        if (key) names.try_emplace(*key, rs->stringForColumnIndex(1));
    }
    rs->close();
    return names;
}

float sumInOrder(const std::vector<Text>& texts) {
    float sum = 0;
    for (const auto& t : texts) sum += floatValue(t);
    return sum;
}
