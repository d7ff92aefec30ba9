#include "orders/OrderInProgress.h"

#include "platform/UserDefaults.h"
#include "storage/DecimalSum.h"
#include "storage/NumberText.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"

namespace {
const char* const kNewOrderKey = "NewOrderInProgress";        // the key of a new order
const char* const kEditedOrderUid = "EditedOrderInProgress";  // the row id of an opened one

void mark(const char* key, const std::string& value) {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(kNewOrderKey);
    defaults.removeObjectForKey(kEditedOrderUid);
    defaults.setObject_forKey(value, key);
    defaults.synchronize();
}

// The totals the order editor saves for these lines: the exact quantity sum, the number of
// lines and the exact amount sum.
struct Totals {
    std::string counts, entrys, amount;
};
Totals totalsOf(const std::vector<SUserCommodityOrder>& lines) {
    DecimalSum quantity, amount;
    for (const auto& line : lines) {
        amount.add(line.orderItemTotalAmount);
        quantity.add(line.orderItemQuantity);
    }
    return {quantity.text(), formatCount(static_cast<long>(lines.size())), amount.text()};
}

// Rewrites the header's totals from its lines when they differ: 1 when rewritten, 0 when
// they agree or the order is gone, -1 when the write failed.
int bringInLineWithItsLines(const std::string& uid) {
    SUserCommodityDB headers;
    const auto order = headers.orderWithUid(uid);
    if (!order) return 0;
    SUserCommodityOrderDB lineStore;
    const auto lines =
        lineStore.findWithSalesAndPurchasePrimaryKeyDateLike(order->orderPrimaryKeyDate);
    // Totals of some of the lines would be worse than the stored ones.
    if (lineStore.readFailed()) return -1;
    const Totals t = totalsOf(lines);
    if (order->orderTotalCounts == t.counts && order->orderTotalEntrys == t.entrys &&
        order->orderTotalAmount == t.amount)
        return 0;
    return headers.mergeTotalsWithCounts_entrys_amount_changeID(t.counts, t.entrys, t.amount, uid)
               ? 1
               : -1;
}
}  // namespace

namespace OrderInProgress {

void beganNewOrder(const std::string& orderKey) {
    mark(kNewOrderKey, orderKey);
}

void beganEditingOrder(const std::string& uid) {
    mark(kEditedOrderUid, uid);
}

void ended() {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(kNewOrderKey);
    defaults.removeObjectForKey(kEditedOrderUid);
    defaults.synchronize();
}

Repairs repairUnfinishedOrder() {
    auto& defaults = UserDefaults::standardUserDefaults();
    const Text newKey = defaults.stringForKey(kNewOrderKey);
    const Text editedUid = defaults.stringForKey(kEditedOrderUid);
    Repairs r;
    r.found = newKey || editedUid;
    if (!r.found) return r;
    bool ok = true;
    // Only while no header holds the key: a crash after the save keeps the order whole.
    if (newKey)
        ok = SUserCommodityOrderDB().deleteSalesAndPurchasePrimaryKeyDateWithoutHeader(
            newKey, &r.ghostLinesRemoved);
    if (editedUid) {
        const int repaired = bringInLineWithItsLines(*editedUid);
        if (repaired < 0) ok = false;
        r.ordersRepaired = repaired > 0 ? repaired : 0;
    }
    // A ledger that cannot be written now keeps the mark for the next start.
    if (ok) ended();
    return r;
}

}  // namespace OrderInProgress
