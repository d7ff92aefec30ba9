#include "orders/CreateOrEditSalesAccountVC.h"

#include <algorithm>
#include <cstdio>

#include "orders/EditOrderItemsVC.h"
#include "orders/NoteSelectListView.h"
#include "orders/OrderHandOver.h"
#include "orders/OrderInProgress.h"
#include "orders/SelectProductsBackViewController.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/NumberText.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "toolkit/DatePicker.h"
#include "toolkit/Navigator.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

CreateOrEditSalesAccountVC::CreateOrEditSalesAccountVC() : Screen("CreateOrEditSalesAccountVC") {}

void CreateOrEditSalesAccountVC::viewDidLoad() {
    auto& defaults = UserDefaults::standardUserDefaults();
    const std::string partnerTag = orEmpty(defaults.stringForKey(OrderHandOver::kPartnerTag));

    ScreenParts::addBackButton(*this).hidden = isEditMode();
    ScreenParts::addNavButton(*this, "saveBtn", "saveToDoneEvent", "nav_done");

    auto& name = add<TextField>("orderNameText");
    name.caption = KL("KLOrder");
    name.placeholder = KL("KLName");
    name.returnKey = "next";
    name.clearButton = true;
    name.text = orEmpty(createItemOrderName);
    name.onReturn = [this](TextField&) { disCommodityKeyBoardEvent(); };

    auto& total = add<Label>("showTotalValueLbl");
    total.caption = KL("KLTotal");
    total.text = orEmpty(createItemTotalAmount);

    auto& partner = add<Label>("showSupplierOrCustomerLbl");
    partner.caption = partnerTag == Codes::kSupplier   ? KL("KLSupplier")
                      : partnerTag == Codes::kCustomer ? KL("KLCustomer")
                                                       : std::string();
    partner.text = orEmpty(createItemSupplierOrCustomerName);
    partner.action = "topShowSupplierOrCustomerListEvent";

    auto& products = add<Label>("showProductsLbl");
    products.text = KL("KLProducts");
    products.action = "tapJumpProductNameSelectEvent";

    auto& table = add<TableView>("tableView");
    table.rowHeight = 50;
    table.didSelectRow = [this](int row) { openOrderItem(row); };

    auto& date = add<Label>("showDateLbl");
    date.caption = KL("KLDate");
    date.text = isEditMode() ? orEmpty(createItemDateTime) : ConstParameterAndMethod::getTimeNow();
    date.action = "selectSalesDatePanelEvent";

    auto& notes = add<Label>("showNotesLbl");
    notes.caption = KL("KLNotes");
    notes.text = orEmpty(createItemNotes);
    notes.action = "tapJumpNoteSelectEvent";

    add<Label>("showHintLbl").text = KL("KLPlzClickProducts");

    auto& del = add<Button>("deleteBtn");
    del.style = "delete";
    del.image = "bookmark_white_delete";
    del.action = "deleteProductCurrentItemsEvent";
    del.hidden = !isEditMode();

    auto& done = add<Button>("datePanelDoneBtn");
    done.title = KL("KLOK");
    done.action = "hideDatePanelEvent";
    done.hidden = true;
    auto& picker = add<DatePicker>("datePicker");
    picker.dateOnly = true;
    picker.timeZone = "GMT";
    picker.hidden = true;
    picker.valueChanged = [this](DatePicker& p) { datePickerValueChanged(p); };
    // The panel opens on the label's day: the order's own date, or today in the device's
    // zone (a label the pattern cannot read also gives today).
    const auto shown = ConstParameterAndMethod::calendarDate(
        date.text, orEmpty(defaults.stringForKey(OrderHandOver::kDatePattern)));
    const CalendarDate day = shown ? *shown : ConstParameterAndMethod::today();
    char ymd[16];
    std::snprintf(ymd, sizeof ymd, "%04d-%02d-%02d", day.year, day.month, day.day);
    picker.setCalendarDateText(ymd);

    on("backEvent", [this](const ActionArgs&) { backEvent(); });
    on("saveToDoneEvent", [this](const ActionArgs&) { saveToDoneEvent(); });
    on("deleteProductCurrentItemsEvent",
       [this](const ActionArgs&) { deleteProductCurrentItemsEvent(); });
    on("topShowSupplierOrCustomerListEvent",
       [this](const ActionArgs&) { topShowSupplierOrCustomerListEvent(); });
    on("tapJumpProductNameSelectEvent",
       [this](const ActionArgs&) { tapJumpProductNameSelectEvent(); });
    on("tapJumpNoteSelectEvent", [this](const ActionArgs&) { tapJumpNoteSelectEvent(); });
    on("selectSalesDatePanelEvent", [this](const ActionArgs&) { selectSalesDatePanelEvent(); });
    on("hideDatePanelEvent", [this](const ActionArgs&) { hideDatePanelEvent(); });
    on("disCommodityKeyBoardEvent", [this](const ActionArgs&) { disCommodityKeyBoardEvent(); });
    on("backgroundTap", [this](const ActionArgs&) { disCommodityKeyBoardEvent(); });

    // A note left by an editor that was abandoned must not reach this order.
    pendingNote.clear();
}

void CreateOrEditSalesAccountVC::viewWillAppear() {
    title =
        orEmpty(UserDefaults::standardUserDefaults().stringForKey(OrderHandOver::kOrderKindText));
    userCommodity = SUserCommodity{};
    userCommodityDB = std::make_unique<SUserCommodityDB>();
    userCommodityOrder = SUserCommodityOrder{};
    userCommodityOrderDB = std::make_unique<SUserCommodityOrderDB>();
    reloadOrderItems();
}

void CreateOrEditSalesAccountVC::viewDidAppear() {
    if (!pendingNote.empty()) get<Label>("showNotesLbl")->text = pendingNote;
}

void CreateOrEditSalesAccountVC::reloadOrderItems() {
    const Text orderKey =
        UserDefaults::standardUserDefaults().stringForKey(OrderHandOver::kOrderKey);
    orderItems = userCommodityOrderDB->findWithSalesAndPurchasePrimaryKeyDateLike(orderKey);
    linesUnread = userCommodityOrderDB->readFailed();

    auto* table = get<TableView>("tableView");
    table->rows.clear();
    long index = 0;
    for (const auto& item : orderItems) {
        TableRow row;
        row.layout = "CreateOrEditSalesCell";
        row.add("showProductIndexCell", std::to_string(++index));
        row.add("showProductNameCell", orEmpty(item.orderItemProductName));
        row.add("showProductModelCell",
                orEmpty(item.orderItemModel) + " (" + orEmpty(item.orderItemQuantity) + " " +
                    orEmpty(item.orderItemUnit) + " x " + orEmpty(item.orderItemUnitPrice) + ")");
        row.add("showProductAmountCell", orEmpty(item.orderItemTotalAmount));
        table->rows.push_back(std::move(row));
    }
    table->reloadData();

    lineQuantitySum = DecimalSum();
    lineAmountSum = DecimalSum();
    for (const auto& item : orderItems) {
        lineAmountSum.add(item.orderItemTotalAmount);
        lineQuantitySum.add(item.orderItemQuantity);
    }
    get<Label>("showTotalValueLbl")->text =
        linesUnread ? ScreenParts::kUnreadFigure : lineAmountSum.text();
    if (linesUnread) ScreenParts::reportFailedRead(*this);
}

void CreateOrEditSalesAccountVC::disCommodityKeyBoardEvent() {
    get<TextField>("orderNameText")->resignFirstResponder();
}

void CreateOrEditSalesAccountVC::topShowSupplierOrCustomerListEvent() {
    disCommodityKeyBoardEvent();
    const std::string tag =
        orEmpty(UserDefaults::standardUserDefaults().stringForKey(OrderHandOver::kPartnerTag));
    std::vector<SSupplierOrCustomers> partners;
    TableAlert alert;
    if (tag == Codes::kSupplier || tag == Codes::kCustomer) {
        alert.title = KL(tag == Codes::kSupplier ? "KLAllSupplier" : "KLAllCustomers");
        SSupplierOrCustomersDB store;
        partners = store.findWithSupplierOrCustomersTagsLike(tag);
        if (store.readFailed()) return ScreenParts::reportFailedRead(*this);
    }
    for (const auto& p : partners) alert.rows.push_back(orEmpty(p.supplierOrCustomersName));
    alert.cancelTitle = KL("KLCancel");
    alert.height = 350;
    alert.onSelect = [this, partners](int row) {
        if (row < 0 || row >= static_cast<int>(partners.size())) return;
        get<Label>("showSupplierOrCustomerLbl")->text =
            orEmpty(partners[row].supplierOrCustomersName);
        createItemSupplierOrCustomerNameKey = partners[row].supplierOrCustomersNameKey;
    };
    showTableAlert(std::move(alert));
}

void CreateOrEditSalesAccountVC::tapJumpProductNameSelectEvent() {
    disCommodityKeyBoardEvent();
    navigationController()->pushViewController(std::make_unique<SelectProductsBackViewController>(),
                                               true);
}

void CreateOrEditSalesAccountVC::tapJumpNoteSelectEvent() {
    disCommodityKeyBoardEvent();
    navigationController()->pushViewController(std::make_unique<NoteSelectListView>(), true);
}

void CreateOrEditSalesAccountVC::openOrderItem(int row) {
    if (row < 0 || row >= static_cast<int>(orderItems.size())) return;
    const SUserCommodityOrder& item = orderItems[row];
    auto editor = std::make_unique<EditOrderItemsVC>();
    editor->createUpdateTag = "1";
    editor->createUid = item.orderItemUid;
    editor->createPrimaryKeyDate = item.orderItemPrimaryKeyDate;
    editor->createSalesAndPurchaseType = item.orderItemSalesAndPurchaseType;
    editor->createSalesAndPurchaseTags = item.orderItemSalesAndPurchaseTags;
    editor->createProductTypeName = item.orderItemProductTypeName;
    editor->createProductTypeNameKey = item.orderItemProductTypeNameKey;
    editor->createProductName = item.orderItemProductName;
    editor->createProductNameKey = item.orderItemProductNameKey;
    editor->createModel = item.orderItemModel;
    editor->createUnit = item.orderItemUnit;
    editor->createReferencePrice = item.orderItemReferencePrice;
    editor->createInventoryQty = item.orderItemInventoryQty;
    editor->createQuantity = item.orderItemQuantity;
    editor->createUnitPrice = item.orderItemUnitPrice;
    editor->createTotalAmount = item.orderItemTotalAmount;
    editor->createDateTime = item.orderItemDateTime;
    editor->createMinutesTime = item.orderItemMinutesTime;
    editor->createWeekInYearTime = item.orderItemWeekInYearTime;
    editor->createYears = item.orderItemYears;
    editor->createMonths = item.orderItemMonths;
    editor->createDays = item.orderItemDays;
    navigationController()->pushViewController(std::move(editor), true);
}

void CreateOrEditSalesAccountVC::selectSalesDatePanelEvent() {
    disCommodityKeyBoardEvent();
    get<DatePicker>("datePicker")->hidden = false;
    get<Button>("datePanelDoneBtn")->hidden = false;
}

void CreateOrEditSalesAccountVC::hideDatePanelEvent() {
    disCommodityKeyBoardEvent();
    get<DatePicker>("datePicker")->hidden = true;
    get<Button>("datePanelDoneBtn")->hidden = true;
}

void CreateOrEditSalesAccountVC::datePickerValueChanged(DatePicker& picker) {
    // The picker works in GMT; the label shows the calendar date the user picked. Going
    // through the device zone would shift it by a day on one side of GMT.
    std::string ymd = picker.calendarDateText();
    if (ymd.empty()) return;
    std::replace(ymd.begin(), ymd.end(), '-', '/');
    get<Label>("showDateLbl")->text = ymd;
}

void CreateOrEditSalesAccountVC::saveToDoneEvent() {
    auto* name = get<TextField>("orderNameText");
    if (name->text.empty()) {
        name->shake();
        return;
    }
    if (linesUnread) {
        // Totals of some of the lines would be stored as the order's.
        ScreenParts::reportFailedRead(*this);
        return;
    }
    const std::string partnerName = get<Label>("showSupplierOrCustomerLbl")->text;
    if (partnerName.empty()) {
        topShowSupplierOrCustomerListEvent();
        return;
    }
    auto& defaults = UserDefaults::standardUserDefaults();
    const std::string dateText = get<Label>("showDateLbl")->text;
    // The label names a calendar day; it is read as that day even where the device's zone
    // skips its midnight.
    const auto day = ConstParameterAndMethod::calendarDate(
        dateText, orEmpty(defaults.stringForKey(OrderHandOver::kDatePattern)));
    if (!day) {
        // Only an order stored elsewhere with a foreign date text gets here; picking a date
        // rewrites the label in the stored form.
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    const CalendarDate& d = *day;
    const std::string notes = get<Label>("showNotesLbl")->text;

    SUserCommodity& r = userCommodity;
    r = SUserCommodity{};
    r.orderPrimaryKeyDate = defaults.stringForKey(OrderHandOver::kOrderKey);
    r.orderSalesTagOrPurchaseTag = defaults.stringForKey(OrderHandOver::kPartnerTag);
    r.orderSupplierOrCustomerName = partnerName;
    r.orderSupplierOrCustomerNameKey = createItemSupplierOrCustomerNameKey;
    r.orderSalesAndPurchaseType = title;
    r.orderSalesAndPurchaseTags = defaults.stringForKey(OrderHandOver::kOrderKindCode);
    r.orderName = name->text;
    r.orderTotalCounts = lineQuantitySum.text();
    r.orderTotalEntrys = formatCount(static_cast<long>(orderItems.size()));
    DecimalSum shownTotal;
    shownTotal.add(std::string_view(get<Label>("showTotalValueLbl")->text));
    r.orderTotalAmount = shownTotal.text();
    r.remarkNotes = notes.empty() ? std::string("-") : notes;
    r.recordeWeekInYearTime = formatCount(d.weekOfYear);
    r.recordeWeekTime = ConstParameterAndMethod::getCurrentWeekDay(d.weekday);
    r.recordeDateTime = dateText;
    r.minutesTime = ConstParameterAndMethod::getMinutesNow();
    r.years = formatCount(d.year);
    r.months = formatCount(d.month);
    r.days = formatCount(d.day);

    const bool stored = isEditMode()
                            ? userCommodityDB->mergeWithUserCommodity_changeID(r, createItemUid)
                            : userCommodityDB->saveUserCommodity(r);
    if (!stored) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    OrderInProgress::ended();
    navigationController()->popViewControllerAnimated(true);
}

void CreateOrEditSalesAccountVC::backEvent() {
    disCommodityKeyBoardEvent();
    // A new order left unsaved leaves nothing behind: the lines picked for it go in one
    // statement, so no stock or total ever counts them. With none picked there is nothing to
    // write, so Back works even while another program holds the ledger.
    const Text orderKey =
        UserDefaults::standardUserDefaults().stringForKey(OrderHandOver::kOrderKey);
    const bool nothingPicked = orderItems.empty() && !linesUnread;
    if (!isEditMode() && !nothingPicked &&
        !userCommodityOrderDB->deleteSalesAndPurchasePrimaryKeyDateWithoutHeader(orderKey)) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    OrderInProgress::ended();
    navigationController()->popViewControllerAnimated(true);
}

void CreateOrEditSalesAccountVC::deleteProductCurrentItemsEvent() {
    disCommodityKeyBoardEvent();
    ActionSheet sheet;
    sheet.title = KL("KLDeleteItems") + "?";
    sheet.destructiveTitle = KL("KLDelete");
    sheet.cancelTitle = KL("KLCancel");
    sheet.onClick = [this](int index) { didClickOnButtonIndex(index); };
    showActionSheet(std::move(sheet));
}

void CreateOrEditSalesAccountVC::didClickOnButtonIndex(int index) {
    if (index != 0) return;
    const Text orderKey =
        UserDefaults::standardUserDefaults().stringForKey(OrderHandOver::kOrderKey);
    // The header by row id and its lines, all or nothing: a half-deleted order would leave
    // lines that count in the stock with no header to find them by. Lines another header
    // of the same key still owns stay with it.
    if (!userCommodityDB->deleteOrderWithId_primaryKey(createItemUid, orderKey)) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    OrderInProgress::ended();
    navigationController()->popViewControllerAnimated(true);
}
