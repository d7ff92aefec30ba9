#include "stats/OneProductViewController.h"

#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/LedgerFigures.h"
#include "storage/NumberText.h"
#include "toolkit/Navigator.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

namespace {

// Writes a value under a scratch key and returns what the store gives back.
std::string storeAndReadBack(const std::string& value, const std::string& key) {
    auto& d = UserDefaults::standardUserDefaults();
    d.setObject_forKey(value, key);
    d.synchronize();
    return orEmpty(d.stringForKey(key));
}

void fillLineRow(TableRow& r, const LedgerFigures::HistoryLine& l) {
    r.layout = "OneProductCell";
    r.fields.reserve(6);
    const auto tag = l.orderItemSalesAndPurchaseTags;
    if (tag == "11" || tag == "12")
        r.add("showTypeCell", KL("KLPurchase"), "green");
    else if (tag == "21" || tag == "22")
        r.add("showTypeCell", KL("KLSales"), "red");
    else
        r.add("showTypeCell", "");
    r.add("showModelCell", KL("KLModel"));
    r.add("showModelValueCell", orEmpty(l.orderItemModel));
    r.add("showTotalCell", KL("KLTotal"));
    r.add("showTotalValueCell", orEmpty(l.orderItemTotalAmount) + " (" +
                                    orEmpty(l.orderItemQuantity) + orEmpty(l.orderItemUnit) +
                                    " x " + orEmpty(l.orderItemUnitPrice) + ")");
    r.add("showDateTimeCell", orEmpty(l.orderItemDateTime) + "," + orEmpty(l.orderItemMinutesTime));
}

}  // namespace

OneProductViewController::OneProductViewController() : Screen("OneProductViewController") {}

void OneProductViewController::viewDidLoad() {
    auto& back = add<Button>("backBtn");
    back.action = "backEvent";
    back.style = "back";
    on("backEvent",
       [this](const ActionArgs&) { navigationController()->popViewControllerAnimated(true); });

    add<Label>("showPurchaseLbl").text = KL("KLPurchase");
    add<Label>("showPurchaseValueText").text = itemProductPurchaseCountsStr;
    add<Label>("showSalesLbl").text = KL("KLSales");
    add<Label>("showSalesValueText").text = itemProductSalesCountsStr;
    add<Label>("showInventoryLbl").text = KL("KLInventory");
    add<Label>("showInventoryValueText").text = itemProductInventoryCountsStr;

    auto& backward = add<Button>("backwardBtn");
    backward.action = "backwardEvent";
    backward.image = "arrow_left";
    add<Label>("YearsLbl");
    add<Label>("MonthLbl");
    auto& forward = add<Button>("forwardBtn");
    forward.action = "forwardEvent";
    forward.image = "arrow_right";
    on("backwardEvent", [this](const ActionArgs&) { stepMonth(-1); });
    on("forwardEvent", [this](const ActionArgs&) { stepMonth(+1); });

    add<TableView>("tableView").rowHeight = 110;
}

void OneProductViewController::viewWillAppear() {
    const CalendarDate today = ConstParameterAndMethod::today();
    get<Label>("YearsLbl")->text = formatCount(today.year);
    get<Label>("MonthLbl")->text = formatCount(today.month);
    reReloadTableViewData();
}

void OneProductViewController::reReloadTableViewData() {
    salesAndPurchaseManageDB = std::make_unique<SUserCommodityOrderDB>();
    oneProductListArray.clear();
    auto* table = get<TableView>("tableView");
    table->rows.clear();
    // The lines of the month find by product key, built into rows without copying them whole.
    const bool whole =
        LedgerFigures(salesAndPurchaseManageDB->db())
            .eachHistoryLine(get<Label>("YearsLbl")->text, get<Label>("MonthLbl")->text,
                             itemProductNameUpdateKeyStr, [&](const LedgerFigures::HistoryLine& l) {
                                 fillLineRow(table->rows.emplace_back(), l);
                                 oneProductListArray.emplace_back(l.orderItemUid);
                             });
    if (!whole) {
        // Some of a month's lines would pass for all of them.
        table->rows.clear();
        oneProductListArray.clear();
    }
    table->reloadData();
    ScreenParts::setListTitle(*this, itemProductNameTitleStr, oneProductListArray.size(), !whole);
    if (whole && oneProductListArray.empty()) showToast(KL("KLNoData"), 1.0);
}

void OneProductViewController::stepMonth(int delta) {
    auto* yearLbl = get<Label>("YearsLbl");
    auto* monthLbl = get<Label>("MonthLbl");
    monthLbl->text = storeAndReadBack(formatCount(intValue(monthLbl->text) + delta), "5");
    const char* wrapped = delta < 0 ? "0" : "13";
    if (monthLbl->text == wrapped) {
        monthLbl->text = delta < 0 ? "12" : "1";
        yearLbl->text = storeAndReadBack(formatCount(intValue(yearLbl->text) + delta), "2014");
    }
    reReloadTableViewData();
}
