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
        return sumInOrder(column(
            "SELECT orderTotalAmount FROM SUserCommodity where years = ? and months = ? and "
            "days = ? and orderSalesAndPurchaseTags = ? ORDER BY uid DESC",
            {year, month, day, kind}));
    }
    return sumInOrder(
        column("SELECT orderTotalAmount FROM SUserCommodity where years = ? and months = ? and "
               "orderSalesAndPurchaseTags = ? ORDER BY uid DESC",
               {year, month, kind}));
}

float sumInOrder(const std::vector<Text>& texts) {
    float sum = 0;
    for (const auto& t : texts) sum += floatValue(t);
    return sum;
}
