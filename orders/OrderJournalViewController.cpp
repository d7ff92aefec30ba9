#include "orders/OrderJournalViewController.h"

#include "orders/CreateOrEditSalesAccountVC.h"
#include "orders/OrderHandOver.h"
#include "orders/OrderInProgress.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/LedgerFigures.h"
#include "storage/NumberText.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/UniqueKeys.h"
#include "toolkit/Navigator.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

namespace {
// The partner's current name and key, found by the order's partner key. An order whose
// partner is gone keeps the name and key copied into it when it was saved.
std::pair<Text, Text> partnerOf(SSupplierOrCustomersDB& partners, const SUserCommodity& order) {
    auto found = partners.findWithSupplierOrCustomersKeyLike(order.orderSupplierOrCustomerNameKey);
    if (found.empty())
        return {order.orderSupplierOrCustomerName, order.orderSupplierOrCustomerNameKey};
    return {found.front().supplierOrCustomersName, found.front().supplierOrCustomersNameKey};
}
}  // namespace

OrderJournalViewController::OrderJournalViewController(const std::string& className, Side side)
    : Screen(className), side_(side) {}

void OrderJournalViewController::viewDidLoad() {
    title = KL(side_.kindTitleKey) + " & " + KL("KLOrder");

    auto& back = add<Button>("backBtn");
    back.style = "back";
    back.image = "back";
    back.action = "backSalesEvent";
    auto& addNew = add<Button>("addNewBtn");
    addNew.style = "nav";
    addNew.image = "add";
    addNew.action = "addNewSalesOrPurchase";

    auto total = [this](const char* id, const char* captionKey) {
        auto& l = add<Label>(id);
        l.caption = KL(captionKey);
        l.text = "0.00";
    };
    total("showProductQtyValueText", "KLQty");
    total("showOrderItemsValueText", "KLItems");
    total("showOrderTotalAmountValueText", "KLAmount");

    auto& backward = add<Button>("backwardBtn");
    backward.image = "left";
    backward.action = "backwardEvent";
    add<Label>("YearsLbl");
    add<Label>("MonthLbl");
    auto& forward = add<Button>("forwardBtn");
    forward.image = "right";
    forward.action = "forwardEvent";

    auto& table = add<TableView>("tableView");
    table.rowHeight = 140;
    table.didSelectRow = [this](int row) { openOrder(row); };

    on("backSalesEvent",
       [this](const ActionArgs&) { navigationController()->popViewControllerAnimated(true); });
    on("addNewSalesOrPurchase", [this](const ActionArgs&) { addNewSalesOrPurchase(); });
    on("backwardEvent", [this](const ActionArgs&) { backwardEvent(); });
    on("forwardEvent", [this](const ActionArgs&) { forwardEvent(); });

    MainBar::install(*this, side_.barIndex);
}

void OrderJournalViewController::viewWillAppear() {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(side_.partnerTag, OrderHandOver::kPartnerTag);
    defaults.synchronize();
    // Always back to the present month, also after stepping away and opening an order.
    const CalendarDate today = ConstParameterAndMethod::today();
    get<Label>("YearsLbl")->text = formatCount(today.year);
    get<Label>("MonthLbl")->text = formatCount(today.month);
    reReloadTableViewData();
}

void OrderJournalViewController::reReloadTableViewData() {
    userCommodityDB = std::make_unique<SUserCommodityDB>();
    orderItems.clear();

    // Every partner's current name in one read instead of one find per row; built at each
    // reload, so a rename shows at the next appearance as before.
    LedgerFigures figures(userCommodityDB->db());
    const auto partnerNames = figures.partnerNamesByKey();
    auto partnerName = [&](const LedgerFigures::JournalOrder& order) -> std::string {
        if (partnerNames && order.orderSupplierOrCustomerNameKey) {
            auto it = partnerNames->find(std::string(*order.orderSupplierOrCustomerNameKey));
            if (it != partnerNames->end()) return orEmpty(it->second);
        }
        return orEmpty(order.orderSupplierOrCustomerName);
    };
    const std::string orderText = KL("KLOrder"), supplierText = KL("KLSupplier"),
                      customerText = KL("KLCustomer"), itemsText = KL("KLItems"),
                      totalText = KL("KLTotal");
    auto* table = get<TableView>("tableView");
    table->rows.clear();
    DecimalSum counts, entries, amount;
    // The rows are built straight from the query: the month's headers are never copied whole.
    const bool whole = figures.eachJournalOrder(
        get<Label>("YearsLbl")->text, get<Label>("MonthLbl")->text, std::string(side_.partnerTag),
        [&](const LedgerFigures::JournalOrder& order) {
            const TextView tag = order.orderSalesTagOrPurchaseTag;
            TableRow& row = table->rows.emplace_back();
            row.layout = "SalesAccountItemCell";
            row.fields.reserve(10);
            row.add("showOrderDateLbl", orEmpty(order.recordeDateTime) + "," +
                                            orEmpty(order.minutesTime) + " " +
                                            orEmpty(order.recordeWeekTime));
            row.add("showOrderNameLbl", orderText);
            row.add("showOrderNameValueText", orEmpty(order.orderName));
            row.add("showOrderSupAndCusLbl", tag == Codes::kSupplier   ? supplierText
                                             : tag == Codes::kCustomer ? customerText
                                                                       : std::string());
            row.add("showOrderSupAndCusValueText", partnerName(order));
            row.add("showOrderEntryLbl", itemsText);
            row.add("showOrderEntryValueText", orEmpty(order.orderTotalEntrys));
            row.add("showOrderAmountLbl", totalText);
            row.add("showOrderAmountValueText", orEmpty(order.orderTotalAmount));
            row.add("showOrderTypeLbl", orEmpty(order.orderSalesAndPurchaseType))
                .fields.back()
                .hidden = true;
            orderItems.emplace_back(order.uid);

            counts.add(order.orderTotalCounts);
            entries.add(order.orderTotalEntrys);
            amount.add(order.orderTotalAmount);
        });
    if (!whole || !partnerNames) {
        // Part of a month is not the month: no rows and no totals rather than some of them.
        table->rows.clear();
        orderItems.clear();
        table->reloadData();
        for (const char* id : {"showProductQtyValueText", "showOrderItemsValueText",
                               "showOrderTotalAmountValueText"})
            get<Label>(id)->text = ScreenParts::kUnreadFigure;
        ScreenParts::reportFailedRead(*this);
        return;
    }
    table->reloadData();
    get<Label>("showProductQtyValueText")->text = counts.text();
    get<Label>("showOrderItemsValueText")->text = entries.text();
    get<Label>("showOrderTotalAmountValueText")->text = amount.text();
    if (orderItems.empty()) showToast(KL("KLNoData"), 1.0);
}

void OrderJournalViewController::stepMonth(int delta) {
    auto& defaults = UserDefaults::standardUserDefaults();
    auto* monthLbl = get<Label>("MonthLbl");
    auto* yearLbl = get<Label>("YearsLbl");
    defaults.setObject_forKey(formatCount(intValue(monthLbl->text) + delta),
                              OrderHandOver::kStepMonth);
    defaults.synchronize();
    monthLbl->text = orEmpty(defaults.stringForKey(OrderHandOver::kStepMonth));
    if (monthLbl->text == (delta < 0 ? "0" : "13")) {
        monthLbl->text = delta < 0 ? "12" : "1";
        defaults.setObject_forKey(formatCount(intValue(yearLbl->text) + delta),
                                  OrderHandOver::kStepYear);
        defaults.synchronize();
        yearLbl->text = orEmpty(defaults.stringForKey(OrderHandOver::kStepYear));
    }
    reReloadTableViewData();
}

void OrderJournalViewController::backwardEvent() {
    stepMonth(-1);
}

void OrderJournalViewController::forwardEvent() {
    stepMonth(+1);
}

void OrderJournalViewController::addNewSalesOrPurchase() {
    auto& defaults = UserDefaults::standardUserDefaults();
    // A key no other order (nor lines left under a key) holds, even within the same second.
    const std::string orderKey = UniqueKeys().newOrderKey();
    defaults.setObject_forKey(orderKey, OrderHandOver::kOrderKey);
    defaults.synchronize();
    OrderInProgress::beganNewOrder(orderKey);
    defaults.setObject_forKey(KL(side_.kindTitleKey), OrderHandOver::kOrderKindText);
    defaults.setObject_forKey(side_.kindCode, OrderHandOver::kOrderKindCode);
    defaults.synchronize();
    navigationController()->pushViewController(std::make_unique<CreateOrEditSalesAccountVC>(),
                                               true);
}

void OrderJournalViewController::openOrder(int row) {
    if (row < 0 || row >= static_cast<int>(orderItems.size())) return;
    const auto found = userCommodityDB->orderWithUid(orderItems[row]);
    if (userCommodityDB->readFailed()) return ScreenParts::reportFailedRead(*this);
    if (!found) return;
    const SUserCommodity& order = *found;
    SSupplierOrCustomersDB partners;
    const auto [partnerName, partnerKey] = partnerOf(partners, order);
    if (partners.readFailed()) return ScreenParts::reportFailedRead(*this);
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(orEmpty(order.orderPrimaryKeyDate), OrderHandOver::kOrderKey);
    defaults.synchronize();
    defaults.setObject_forKey(orEmpty(order.orderSalesAndPurchaseType),
                              OrderHandOver::kOrderKindText);
    defaults.synchronize();
    OrderInProgress::beganEditingOrder(orEmpty(order.uid));

    auto editor = std::make_unique<CreateOrEditSalesAccountVC>();
    editor->createItemUpdateTag = "1";
    editor->createItemUid = order.uid;
    editor->createItemPrimaryKey = order.orderPrimaryKeyDate;
    editor->createItemSupplierOrCustomerName = partnerName;
    editor->createItemSupplierOrCustomerNameKey = partnerKey;
    editor->createItemSalesAndPurchaseType = order.orderSalesAndPurchaseType;
    defaults.setObject_forKey(orEmpty(order.orderSalesAndPurchaseTags),
                              OrderHandOver::kOrderKindCode);
    defaults.synchronize();
    editor->createItemOrderName = order.orderName;
    editor->createItemTotalCounts = order.orderTotalCounts;
    editor->createItemTotalEntrys = order.orderTotalEntrys;
    editor->createItemTotalAmount = order.orderTotalAmount;
    editor->createItemNotes = order.remarkNotes;
    editor->createItemWeekInYearTime = order.recordeWeekInYearTime;
    editor->createItemWeekTime = order.recordeWeekTime;
    editor->createItemDateTime = order.recordeDateTime;
    editor->createItemMinutesTime = order.minutesTime;
    editor->createItemYearStr = order.years;
    editor->createItemMonthStr = order.months;
    editor->createItemDayStr = order.days;
    navigationController()->pushViewController(std::move(editor), true);
}
