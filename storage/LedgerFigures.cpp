#include "storage/LedgerFigures.h"

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

std::array<float, 12> LedgerFigures::monthAmounts(const Text& year, const Text& kind) {
    std::array<float, 12> buckets{};
    if (!db_) return buckets;
    // The IN list compares as each month find's "months = '5'" does, so only rows one of
    // the twelve finds selects come back, and their month text is one of "1".."12".
    auto rs = db_->executeQuery(
        "SELECT months, orderTotalAmount FROM SUserCommodity WHERE years = ? and "
        "orderSalesAndPurchaseTags = ? and months IN "
        "('1','2','3','4','5','6','7','8','9','10','11','12') ORDER BY uid DESC",
        {year, kind});
    if (!rs) return buckets;
    while (rs->next()) {
        const int month = intValue(rs->stringForColumnIndex(0));
        if (month < 1 || month > 12) continue;
        buckets[static_cast<size_t>(month - 1)] += floatValue(rs->stringForColumnIndex(1));
    }
    rs->close();
    return buckets;
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
