#include "storage/LedgerFigures.h"

#include <sqlite3.h>

#include <cstring>
#include <utility>

#include "storage/SDBManager.h"

LedgerFigures::LedgerFigures() : db_(SDBManager::defaultDBManager().dataBase()) {}

bool LedgerFigures::eachRow(const std::string& sql, const std::vector<SQLValue>& args,
                            const std::function<void(const SQLResultSet&)>& row) {
    if (!db_) return false;
    auto rs = db_->executeQuery(sql, args);
    if (!rs) return false;
    while (rs->next()) row(*rs);
    const bool whole = !rs->failed();
    rs->close();
    return whole;
}

namespace {

using Units = DecimalSum::Units;

Units unitsOfValue(sqlite3_value* v) {
    // As the record's text reads: NULL adds nothing, anything else its text.
    if (sqlite3_value_type(v) == SQLITE_NULL) return 0;
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    if (!text) return 0;
    return DecimalSum::unitsOf(std::string_view(text, static_cast<size_t>(sqlite3_value_bytes(v))));
}

// mk_exact_sum(x): the exact sum of the texts of x, handed back as the bytes of its units.
// The rows stay inside SQLite instead of crossing the result API one by one. The context is
// copied in and out: SQLite's allocation need not suit a 128-bit integer's alignment.
void exactSumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    void* slot = sqlite3_aggregate_context(ctx, sizeof(Units));
    if (!slot) return sqlite3_result_error_nomem(ctx);
    Units sum;
    std::memcpy(&sum, slot, sizeof sum);
    sum += unitsOfValue(argv[0]);
    std::memcpy(slot, &sum, sizeof sum);
}

void exactSumFinal(sqlite3_context* ctx) {
    Units sum = 0;
    if (void* slot = sqlite3_aggregate_context(ctx, 0)) std::memcpy(&sum, slot, sizeof sum);
    sqlite3_result_blob(ctx, &sum, sizeof sum, SQLITE_TRANSIENT);
}

// mk_month_amounts(month, amount): twelve exact sums, for months 1..12; other months count
// nowhere.
void monthAmountsStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    void* slot = sqlite3_aggregate_context(ctx, 12 * sizeof(Units));
    if (!slot) return sqlite3_result_error_nomem(ctx);
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    const int month = sqlite3_value_int(argv[0]);
    if (month < 1 || month > 12) return;
    auto* at = static_cast<char*>(slot) + static_cast<size_t>(month - 1) * sizeof(Units);
    Units sum;
    std::memcpy(&sum, at, sizeof sum);
    sum += unitsOfValue(argv[1]);
    std::memcpy(at, &sum, sizeof sum);
}

void monthAmountsFinal(sqlite3_context* ctx) {
    Units sums[12] = {};
    if (void* slot = sqlite3_aggregate_context(ctx, 0)) std::memcpy(sums, slot, sizeof sums);
    sqlite3_result_blob(ctx, sums, sizeof sums, SQLITE_TRANSIENT);
}

void registerSums(sqlite3* handle) {
    if (!handle) return;  // a connection that did not open: its queries fail on their own
    // Registering again while a statement runs fails harmlessly: the first one stays.
    sqlite3_create_function_v2(handle, "mk_exact_sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                               nullptr, nullptr, exactSumStep, exactSumFinal, nullptr);
    sqlite3_create_function_v2(handle, "mk_month_amounts", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                               nullptr, nullptr, monthAmountsStep, monthAmountsFinal, nullptr);
}

// The sums of a row of mk_exact_sum columns, in column order.
template <size_t N>
std::array<DecimalSum, N> sumsOf(const SQLResultSet& rs) {
    std::array<DecimalSum, N> out{};
    for (size_t c = 0; c < N; ++c) {
        const auto bytes = rs.textViewForColumnIndex(static_cast<int>(c));
        if (!bytes || bytes->size() != sizeof(Units)) continue;
        Units units;
        std::memcpy(&units, bytes->data(), sizeof units);
        out[c] = DecimalSum::ofUnits(units);
    }
    return out;
}

}  // namespace

std::optional<long> LedgerFigures::countOrders() {
    long n = 0;
    if (!eachRow("SELECT count(*) FROM SUserCommodity", {},
                 [&](const SQLResultSet& rs) { n = rs.intForColumnIndex(0); }))
        return std::nullopt;
    return n;
}

std::optional<DecimalSum> LedgerFigures::sumOrderAmounts(const Text& year, const Text& month,
                                                         const Text& day, const Text& kind) {
    // The statistics' sums with the conditions of the day and month finds: one exact path.
    const auto totals =
        day ? sumOrderTotals(
                  "years = ? and months = ? and days = ? and orderSalesAndPurchaseTags = ?",
                  {year, month, day, kind})
            : sumOrderTotals("years = ? and months = ? and orderSalesAndPurchaseTags = ?",
                             {year, month, kind});
    if (!totals) return std::nullopt;
    return totals->amount;
}

std::optional<LedgerFigures::OrderTotals> LedgerFigures::sumOrderTotals(
    const std::string& where, const std::vector<SQLValue>& args) {
    if (!db_) return std::nullopt;
    registerSums(db_->sqliteHandle());
    OrderTotals t;
    if (!eachRow("SELECT mk_exact_sum(orderTotalAmount), mk_exact_sum(orderTotalCounts), "
                 "mk_exact_sum(orderTotalEntrys) FROM SUserCommodity WHERE " +
                     where,
                 args, [&](const SQLResultSet& rs) {
                     const auto sums = sumsOf<3>(rs);
                     t = {sums[0], sums[1], sums[2]};
                 }))
        return std::nullopt;
    return t;
}

std::optional<std::array<DecimalSum, 12>> LedgerFigures::monthAmounts(const Text& year,
                                                                      const Text& kind) {
    if (!db_) return std::nullopt;
    registerSums(db_->sqliteHandle());
    std::array<DecimalSum, 12> buckets{};
    // The CASE compares as each month find's "months = '5'" does, so only rows one of the
    // twelve finds selects count.
    if (!eachRow(
            "SELECT mk_month_amounts(CASE months WHEN '1' THEN 1 WHEN '2' THEN 2 WHEN '3' THEN 3 "
            "WHEN '4' THEN 4 WHEN '5' THEN 5 WHEN '6' THEN 6 WHEN '7' THEN 7 WHEN '8' THEN 8 "
            "WHEN '9' THEN 9 WHEN '10' THEN 10 WHEN '11' THEN 11 WHEN '12' THEN 12 END, "
            "orderTotalAmount) FROM SUserCommodity WHERE years = ? and orderSalesAndPurchaseTags "
            "= ?",
            {year, kind}, [&](const SQLResultSet& rs) {
                const auto bytes = rs.textViewForColumnIndex(0);
                if (!bytes || bytes->size() != sizeof(Units) * 12) return;
                for (size_t m = 0; m < 12; ++m) {
                    Units units;
                    std::memcpy(&units, bytes->data() + m * sizeof(Units), sizeof units);
                    buckets[m] = DecimalSum::ofUnits(units);
                }
            }))
        return std::nullopt;
    return buckets;
}

namespace {

// Hands each row of a query whose columns are, in order, the given fields of Row over as
// views into it.
template <class Row, size_t N>
std::function<void(const SQLResultSet&)> asRows(typename Row::View Row::*const (&fields)[N],
                                                const std::function<void(const Row&)>& row) {
    return [&fields, &row, r = Row{}](const SQLResultSet& rs) mutable {
        int i = 0;
        for (auto field : fields) r.*field = rs.textViewForColumnIndex(i++);
        row(r);
    };
}

}  // namespace

bool LedgerFigures::eachJournalOrder(const Text& year, const Text& month, const Text& partnerSide,
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
    return eachRow(
        "SELECT uid, recordeDateTime, minutesTime, recordeWeekTime, orderName, "
        "orderSalesTagOrPurchaseTag, orderSupplierOrCustomerName, orderSupplierOrCustomerNameKey, "
        "orderTotalCounts, orderTotalEntrys, orderTotalAmount, orderSalesAndPurchaseType FROM "
        "SUserCommodity WHERE years = ? and months = ? and orderSalesTagOrPurchaseTag = ? ORDER "
        "BY uid DESC",
        {year, month, partnerSide}, asRows<O>(fields, row));
}

bool LedgerFigures::eachHistoryLine(const Text& year, const Text& month, const Text& productKey,
                                    const std::function<void(const HistoryLine&)>& row) {
    using L = HistoryLine;
    static L::View L::*const fields[] = {
        &L::orderItemUid,         &L::orderItemSalesAndPurchaseTags,
        &L::orderItemModel,       &L::orderItemTotalAmount,
        &L::orderItemQuantity,    &L::orderItemUnit,
        &L::orderItemUnitPrice,   &L::orderItemDateTime,
        &L::orderItemMinutesTime,
    };
    return eachRow(
        "SELECT orderItemUid, orderItemSalesAndPurchaseTags, orderItemModel, "
        "orderItemTotalAmount, orderItemQuantity, orderItemUnit, orderItemUnitPrice, "
        "orderItemDateTime, orderItemMinutesTime FROM SUserCommodityOrder WHERE orderItemYears = "
        "? and orderItemMonths = ? and orderItemProductNameKey = ? ORDER BY orderItemUid DESC",
        {year, month, productKey}, asRows<L>(fields, row));
}

bool LedgerFigures::eachExportRow(const std::function<void(const std::array<Text, 8>&)>& row) {
    std::array<Text, 8> fields;  // reused: most values fit without a fresh allocation
    return eachRow(
        "SELECT orderSalesAndPurchaseType, orderName, orderTotalCounts, orderTotalEntrys, "
        "orderTotalAmount, recordeDateTime, recordeWeekTime, remarkNotes FROM SUserCommodity "
        "ORDER BY uid DESC",
        {}, [&](const SQLResultSet& rs) {
            for (int i = 0; i < 8; ++i) fields[static_cast<size_t>(i)] = rs.stringForColumnIndex(i);
            row(fields);
        });
}

namespace {

// Hands each row over as views of its first N columns.
template <size_t N>
std::function<void(const SQLResultSet&)> asViews(
    const std::function<void(const std::array<TextView, N>&)>& row) {
    return [&row, fields = std::array<TextView, N>{}](const SQLResultSet& rs) mutable {
        for (size_t i = 0; i < N; ++i) fields[i] = rs.textViewForColumnIndex(static_cast<int>(i));
        row(fields);
    };
}

}  // namespace

bool LedgerFigures::eachWorkbookOrder(
    const std::function<void(const std::array<TextView, 10>&)>& row) {
    return eachRow(
        "SELECT orderSalesAndPurchaseType, orderName, orderTotalCounts, orderTotalEntrys, "
        "orderTotalAmount, recordeDateTime, recordeWeekTime, remarkNotes, "
        "orderSupplierOrCustomerName, minutesTime FROM SUserCommodity ORDER BY uid DESC",
        {}, asViews<10>(row));
}

bool LedgerFigures::eachWorkbookLine(
    const std::function<void(const std::array<TextView, 8>&)>& row) {
    return eachRow(
        "SELECT o.orderName, o.recordeDateTime, l.orderItemProductName, l.orderItemModel, "
        "l.orderItemUnit, l.orderItemQuantity, l.orderItemUnitPrice, l.orderItemTotalAmount FROM "
        "SUserCommodity o JOIN SUserCommodityOrder l ON l.orderItemPrimaryKeyDate = "
        "o.orderPrimaryKeyDate ORDER BY o.uid DESC, l.orderItemUid",
        {}, asViews<8>(row));
}

std::optional<std::unordered_map<std::string, Text>> LedgerFigures::partnerNamesByKey() {
    std::unordered_map<std::string, Text> names;
    // Only text keys: the find binds the order's key as text, which no other kind of value
    // equals.
    if (!eachRow("SELECT supplierOrCustomersNameKey, supplierOrCustomersName FROM "
                 "SSupplierOrCustomers WHERE typeof(supplierOrCustomersNameKey) = 'text' ORDER BY "
                 "supplierOrCustomersUid DESC",
                 {}, [&](const SQLResultSet& rs) {
                     const Text key = rs.stringForColumnIndex(0);
                     if (key) names.try_emplace(*key, rs.stringForColumnIndex(1));
                 }))
        return std::nullopt;
    return names;
}
