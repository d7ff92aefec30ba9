// The order editor: new and edit mode, sums from the stored lines, the saved header,
// the date panel in several zones, deletes, partners that are gone and failing stores.
#include <gtest/gtest.h>

#include "orders/CreateOrEditSalesAccountVC.h"
#include "orders/OUTItemsViewController.h"
#include "tests/orders/OrdersFixture.h"

namespace {
class OrderEditor : public OrdersFixture {};
}  // namespace

TEST_F(OrderEditor, NewSaleWithoutLinesSavesZerosAndEveryHeaderField) {
    openSalesJournal();
    addOrder();
    EXPECT_EQ(defaultsValue("20150509160250"), "20150509160250");
    EXPECT_EQ(defaultsValue("SalesAndPurchaseType"), "Sales");
    EXPECT_EQ(defaultsValue("SalesAndPurchaseTags"), "21");
    auto* ed = topAs<CreateOrEditSalesAccountVC>();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->title, "Sales");
    EXPECT_FALSE(ed->get<Button>("backBtn")->hidden);
    EXPECT_TRUE(ed->get<Button>("deleteBtn")->hidden);
    EXPECT_EQ(ed->get<Label>("showSupplierOrCustomerLbl")->caption, "Customer");
    EXPECT_EQ(ed->get<Label>("showTotalValueLbl")->text, "0.00");
    EXPECT_EQ(labelText("showDateLbl"), "2015/05/09");
    EXPECT_EQ(labelText("showHintLbl"), "Tap to add products");
    EXPECT_TRUE(ed->get<DatePicker>("datePicker")->hidden);
    EXPECT_TRUE(ed->get<Button>("datePanelDoneBtn")->hidden);

    ASSERT_TRUE(setText("orderNameText", "Morning sale"));
    choosePartner(0);
    const auto customer = partner("111");
    EXPECT_EQ(labelText("showSupplierOrCustomerLbl"), *customer.supplierOrCustomersName);
    clock_->set(at(2015, 5, 9, 17, 45, 0));
    ASSERT_TRUE(tap("saveToDoneEvent"));

    EXPECT_EQ(top()->className(), "OUTItemsViewController");
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    const SUserCommodity& h = all[0];
    EXPECT_EQ(h.orderPrimaryKeyDate, "20150509160250");
    EXPECT_EQ(h.orderSalesTagOrPurchaseTag, "111");
    EXPECT_EQ(h.orderSupplierOrCustomerName, customer.supplierOrCustomersName);
    EXPECT_EQ(h.orderSupplierOrCustomerNameKey, customer.supplierOrCustomersNameKey);
    EXPECT_EQ(h.orderSalesAndPurchaseType, "Sales");
    EXPECT_EQ(h.orderSalesAndPurchaseTags, "21");
    EXPECT_EQ(h.orderName, "Morning sale");
    EXPECT_EQ(h.orderTotalCounts, "0.00");
    EXPECT_EQ(h.orderTotalEntrys, "0");
    EXPECT_EQ(h.orderTotalAmount, "0.00");
    EXPECT_EQ(h.remarkNotes, "-");
    EXPECT_EQ(h.recordeWeekInYearTime, "19");
    EXPECT_EQ(h.recordeWeekTime, "Saturday");
    EXPECT_EQ(h.recordeDateTime, "2015/05/09");
    EXPECT_EQ(h.minutesTime, "17:45");
    EXPECT_EQ(h.years, "2015");
    EXPECT_EQ(h.months, "5");
    EXPECT_EQ(h.days, "9");
}

TEST_F(OrderEditor, SaveNeedsANameAndAPartnerAndOffersOnlyTheJournalsSide) {
    openPurchaseJournal();
    addOrder();
    EXPECT_EQ(top()->title, "Purchase");
    EXPECT_EQ(top()->get<Label>("showSupplierOrCustomerLbl")->caption, "Supplier");

    ASSERT_TRUE(tap("saveToDoneEvent"));
    EXPECT_EQ(top()->get<TextField>("orderNameText")->shakeCount, 1);
    EXPECT_FALSE(top()->tableAlert().has_value());

    ASSERT_TRUE(setText("orderNameText", "Restock"));
    ASSERT_TRUE(tap("saveToDoneEvent"));
    ASSERT_TRUE(top()->tableAlert().has_value());
    const TableAlert& alert = *top()->tableAlert();
    EXPECT_EQ(alert.title, "Suppliers");
    EXPECT_EQ(alert.cancelTitle, "Cancel");
    EXPECT_EQ(alert.height, 350);
    ASSERT_EQ(alert.rows.size(), 1u);
    EXPECT_EQ(alert.rows[0], *partner("000").supplierOrCustomersName);
    EXPECT_TRUE(headers().empty());

    // Cancel leaves the partner unchosen.
    ASSERT_TRUE(alertRow(-1));
    EXPECT_EQ(labelText("showSupplierOrCustomerLbl"), "");
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].orderSalesTagOrPurchaseTag, "000");
    EXPECT_EQ(all[0].orderSalesAndPurchaseTags, "11");
    EXPECT_EQ(all[0].orderSalesAndPurchaseType, "Purchase");
    EXPECT_EQ(all[0].orderSupplierOrCustomerNameKey, partner("000").supplierOrCustomersNameKey);
}

TEST_F(OrderEditor, LinesAreReReadAtEveryAppearanceAndSummedIntoTheHeader) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5", "H1", "pcs");
    seedProduct("Tools", "Nails", "1", "3", "3", "N2", "box");
    openSalesJournal();
    addOrder();
    pickProduct(0, 0);
    pickProduct(0, 1);
    ASSERT_EQ(table("tableView").rows.size(), 2u);
    // Newest line first, numbered from 1.
    EXPECT_EQ(cell("tableView", 0, "showProductIndexCell"), "1");
    EXPECT_EQ(cell("tableView", 0, "showProductNameCell"), "Hammer");
    EXPECT_EQ(cell("tableView", 1, "showProductNameCell"), "Nails");
    EXPECT_EQ(labelText("showTotalValueLbl"), "8.00");

    editLine(0, "2", "5");
    editLine(1, "1.5", "3");
    EXPECT_EQ(cell("tableView", 0, "showProductModelCell"), "H1 (2 pcs x 5)");
    EXPECT_EQ(cell("tableView", 0, "showProductAmountCell"), "10.00");
    EXPECT_EQ(cell("tableView", 1, "showProductAmountCell"), "4.50");
    EXPECT_EQ(labelText("showTotalValueLbl"), "14.50");
    EXPECT_FLOAT_EQ(CreateOrEditSalesAccountVC::lineQuantitySum, 3.5f);
    EXPECT_FLOAT_EQ(CreateOrEditSalesAccountVC::lineAmountSum, 14.5f);

    ASSERT_TRUE(setText("orderNameText", "Two lines"));
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].orderTotalCounts, "3.50");
    EXPECT_EQ(all[0].orderTotalEntrys, "2");
    EXPECT_EQ(all[0].orderTotalAmount, "14.50");
}

TEST_F(OrderEditor, TextsThatDoNotStartWithANumberCountAsZero) {
    start();
    SUserCommodityOrderDB lines;
    auto line = [&](const char* qty, const char* total) {
        SUserCommodityOrder l;
        l.orderItemPrimaryKeyDate = "20150509160250";
        l.orderItemQuantity = qty;
        l.orderItemTotalAmount = total;
        ASSERT_TRUE(lines.saveUserCommodityOrder(l));
    };
    line("abc", "x1");
    line("2kg", "7.25 EUR");
    line("", "");
    openSalesJournal();
    addOrder();
    EXPECT_EQ(labelText("showTotalValueLbl"), "7.25");
    ASSERT_TRUE(setText("orderNameText", "Odd"));
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].orderTotalCounts, "2.00");
    EXPECT_EQ(all[0].orderTotalEntrys, "3");
    EXPECT_EQ(all[0].orderTotalAmount, "7.25");
}

TEST_F(OrderEditor, NotesComeFromTheNotesScreenAndAnEmptyNoteIsStoredAsADash) {
    openSalesJournal();
    addOrder();
    ASSERT_TRUE(tap("tapJumpNoteSelectEvent"));
    ASSERT_EQ(top()->className(), "NoteSelectListView");
    EXPECT_EQ(top()->layout(), "NoteSelectListView");
    EXPECT_EQ(top()->title, "Notes");
    // An empty note is refused.
    ASSERT_TRUE(tap("inputTextCompleteEvent"));
    EXPECT_EQ(top()->className(), "NoteSelectListView");
    EXPECT_EQ(top()->get<TextField>("noteText")->shakeCount, 1);
    ASSERT_TRUE(setText("noteText", "Pay on Friday"));
    ASSERT_TRUE(tap("inputTextCompleteEvent"));
    ASSERT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    EXPECT_EQ(labelText("showNotesLbl"), "Pay on Friday");

    // Back from the notes screen keeps the note as it was.
    ASSERT_TRUE(tap("tapJumpNoteSelectEvent"));
    ASSERT_TRUE(setText("noteText", "Never mind"));
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(labelText("showNotesLbl"), "Pay on Friday");

    // Abandoning the order: the next editor starts without the pending note.
    ASSERT_TRUE(tap("backEvent"));
    addOrder();
    EXPECT_EQ(labelText("showNotesLbl"), "");
    ASSERT_TRUE(setText("orderNameText", "No note"));
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    ASSERT_EQ(headers().size(), 1u);
    EXPECT_EQ(headers()[0].remarkNotes, "-");

    // Reopened, the note shows "-" and saving again keeps "-".
    ASSERT_TRUE(selectRow("tableView", 0));
    EXPECT_EQ(labelText("showNotesLbl"), "-");
    ASSERT_TRUE(tap("saveToDoneEvent"));
    ASSERT_EQ(headers().size(), 1u);
    EXPECT_EQ(headers()[0].remarkNotes, "-");
}

TEST_F(OrderEditor, DatePanelSetsTheOrderDateAndItsCalendarFields) {
    openSalesJournal();
    addOrder();
    ASSERT_TRUE(tap("selectSalesDatePanelEvent"));
    EXPECT_FALSE(top()->get<DatePicker>("datePicker")->hidden);
    EXPECT_FALSE(top()->get<Button>("datePanelDoneBtn")->hidden);
    EXPECT_EQ(top()->get<DatePicker>("datePicker")->timeZone, "GMT");
    EXPECT_TRUE(top()->get<DatePicker>("datePicker")->dateOnly);
    ASSERT_TRUE(pickDate("datePicker", "2015-04-30"));
    EXPECT_EQ(labelText("showDateLbl"), "2015/04/30");
    ASSERT_TRUE(tap("hideDatePanelEvent"));
    EXPECT_TRUE(top()->get<DatePicker>("datePicker")->hidden);
    EXPECT_TRUE(top()->get<Button>("datePanelDoneBtn")->hidden);

    ASSERT_TRUE(setText("orderNameText", "April"));
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].recordeDateTime, "2015/04/30");
    EXPECT_EQ(all[0].years, "2015");
    EXPECT_EQ(all[0].months, "4");
    EXPECT_EQ(all[0].days, "30");
    EXPECT_EQ(all[0].recordeWeekInYearTime, "18");
    EXPECT_EQ(all[0].recordeWeekTime, "Thursday");

    // The journal is back on May: the April order shows one month back.
    EXPECT_EQ(labelText("MonthLbl"), "5");
    EXPECT_TRUE(table("tableView").rows.empty());
    ASSERT_TRUE(tap("backwardEvent"));
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    EXPECT_EQ(cell("tableView", 0, "showOrderNameValueText"), "April");
}

TEST_F(OrderEditor, PickedDateIsTheCalendarDateOnEitherSideOfGreenwich) {
    struct Case {
        const char* zone;
        const char* picked;
        const char* label;
        const char* y;
        const char* m;
        const char* d;
        const char* week;
        const char* weekday;
    };
    const Case cases[] = {
        {"America/Los_Angeles", "2015-12-31", "2015/12/31", "2015", "12", "31", "53", "Thursday"},
        {"Asia/Tokyo", "2015-12-31", "2015/12/31", "2015", "12", "31", "53", "Thursday"},
        {"America/Los_Angeles", "2016-01-01", "2016/01/01", "2016", "1", "1", "53", "Friday"},
        {"Asia/Tokyo", "2016-01-01", "2016/01/01", "2016", "1", "1", "53", "Friday"},
        {"Pacific/Kiritimati", "2015-03-01", "2015/03/01", "2015", "3", "1", "9", "Sunday"},
        {"Pacific/Pago_Pago", "2015-03-01", "2015/03/01", "2015", "3", "1", "9", "Sunday"},
    };
    openSalesJournal();
    int saved = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.picked);
        clock_->setZone(c.zone);
        addOrder();
        ASSERT_TRUE(tap("selectSalesDatePanelEvent"));
        ASSERT_TRUE(pickDate("datePicker", c.picked));
        EXPECT_EQ(labelText("showDateLbl"), c.label);
        ASSERT_TRUE(setText("orderNameText", c.zone));
        choosePartner(0);
        ASSERT_TRUE(tap("saveToDoneEvent"));
        auto all = headers();
        ASSERT_EQ(all.size(), static_cast<size_t>(++saved));
        EXPECT_EQ(all[0].recordeDateTime, c.label);
        EXPECT_EQ(all[0].years, c.y);
        EXPECT_EQ(all[0].months, c.m);
        EXPECT_EQ(all[0].days, c.d);
        EXPECT_EQ(all[0].recordeWeekInYearTime, c.week);
        EXPECT_EQ(all[0].recordeWeekTime, c.weekday);
    }
}

TEST_F(OrderEditor, EditingKeepsUidAndKeyAndOverwritesTheSavedFields) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    openSalesJournal();
    addOrder();
    pickProduct(0, 0);
    ASSERT_TRUE(setText("orderNameText", "First"));
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    const SUserCommodity before = headers().at(0);

    // A later moment: a new add would make another key, opening must not.
    clock_->set(at(2015, 5, 20, 9, 30, 0));
    ASSERT_TRUE(selectRow("tableView", 0));
    auto* ed = topAs<CreateOrEditSalesAccountVC>();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->isEditMode());
    EXPECT_TRUE(ed->get<Button>("backBtn")->hidden);
    EXPECT_FALSE(ed->get<Button>("deleteBtn")->hidden);
    EXPECT_EQ(ed->createItemUid, before.uid);
    EXPECT_EQ(ed->createItemPrimaryKey, before.orderPrimaryKeyDate);
    EXPECT_EQ(fieldText("orderNameText"), "First");
    EXPECT_EQ(labelText("showDateLbl"), "2015/05/09");
    EXPECT_EQ(labelText("showSupplierOrCustomerLbl"), *before.orderSupplierOrCustomerName);
    EXPECT_EQ(defaultsValue("20150509160250"), *before.orderPrimaryKeyDate);
    EXPECT_EQ(ed->title, "Sales");
    ASSERT_EQ(table("tableView").rows.size(), 1u);

    editLine(0, "4", "5");
    ASSERT_TRUE(setText("orderNameText", "Renamed"));
    ASSERT_TRUE(tap("saveToDoneEvent"));
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].uid, before.uid);
    EXPECT_EQ(all[0].orderPrimaryKeyDate, before.orderPrimaryKeyDate);
    EXPECT_EQ(all[0].orderName, "Renamed");
    EXPECT_EQ(all[0].orderTotalAmount, "20.00");
    EXPECT_EQ(all[0].orderTotalCounts, "4.00");
    EXPECT_EQ(all[0].recordeDateTime, "2015/05/09");
    EXPECT_EQ(all[0].minutesTime, "09:30");
    EXPECT_EQ(top()->className(), "OUTItemsViewController");
}

TEST_F(OrderEditor, DeletingAnOrderRemovesItsHeaderAndOnlyItsLines) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    openSalesJournal();
    addOrder();
    pickProduct(0, 0);
    pickProduct(0, 0);
    ASSERT_TRUE(setText("orderNameText", "Doomed"));
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    clock_->set(at(2015, 5, 9, 16, 5, 0));
    addOrder();
    const std::string otherKey = defaultsValue("20150509160250");
    ASSERT_EQ(otherKey, "20150509160500");
    pickProduct(0, 0);
    ASSERT_TRUE(setText("orderNameText", "Kept"));
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    ASSERT_EQ(allLines().size(), 3u);

    // Newest first: row 1 is the first order.
    ASSERT_EQ(cell("tableView", 1, "showOrderNameValueText"), "Doomed");
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(top()->actionSheet().has_value());
    EXPECT_EQ(top()->actionSheet()->title, "Delete this item?");
    EXPECT_EQ(top()->actionSheet()->destructiveTitle, "Delete");
    EXPECT_EQ(top()->actionSheet()->cancelTitle, "Cancel");
    ASSERT_TRUE(sheet(1));  // cancel
    EXPECT_EQ(headers().size(), 2u);
    EXPECT_EQ(top()->className(), "CreateOrEditSalesAccountVC");

    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(top()->className(), "OUTItemsViewController");
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].orderName, "Kept");
    EXPECT_TRUE(linesOf("20150509160250").empty());
    EXPECT_EQ(linesOf(otherKey).size(), 1u);
}

TEST_F(OrderEditor, BackAfterPickingLeavesTheLinesAndNoHeader) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    seedProduct("Tools", "Nails", "1", "3", "3");
    openSalesJournal();
    addOrder();
    pickProduct(0, 0);
    pickProduct(0, 1);
    ASSERT_TRUE(setText("orderNameText", "Abandoned"));
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(top()->className(), "OUTItemsViewController");
    EXPECT_TRUE(headers().empty());
    EXPECT_EQ(linesOf("20150509160250").size(), 2u);
}

TEST_F(OrderEditor, AnOrderWhosePartnerIsGoneKeepsItsOwnPartnerNameAndKey) {
    start();
    SUserCommodity h;
    h.orderPrimaryKeyDate = "20150501100000";
    h.orderSalesTagOrPurchaseTag = "111";
    h.orderSalesAndPurchaseTags = "21";
    h.orderSalesAndPurchaseType = "Sales";
    h.orderSupplierOrCustomerName = "Old Client";
    h.orderSupplierOrCustomerNameKey = "Old Client20140101000000";
    h.orderName = "Orphan";
    h.orderTotalAmount = "9.00";
    h.remarkNotes = "-";
    h.recordeDateTime = "2015/05/01";
    h.years = "2015";
    h.months = "5";
    h.days = "1";
    ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(h));

    ASSERT_TRUE(tap("jumpOutItems2Event"));
    ASSERT_EQ(table("tableView").rows.size(), 1u);
    EXPECT_EQ(cell("tableView", 0, "showOrderSupAndCusValueText"), "Old Client");
    ASSERT_TRUE(selectRow("tableView", 0));
    auto* ed = topAs<CreateOrEditSalesAccountVC>();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(labelText("showSupplierOrCustomerLbl"), "Old Client");
    EXPECT_EQ(ed->createItemSupplierOrCustomerNameKey, "Old Client20140101000000");
    ASSERT_TRUE(tap("saveToDoneEvent"));
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].orderSupplierOrCustomerName, "Old Client");
    EXPECT_EQ(all[0].orderSupplierOrCustomerNameKey, "Old Client20140101000000");
    EXPECT_EQ(all[0].orderTotalAmount, "0.00");  // no lines under its key
}

TEST_F(OrderEditor, AFailingStoreKeepsTheEditorWithTheUsersInput) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    openSalesJournal();
    addOrder();
    pickProduct(0, 0);
    ASSERT_TRUE(setText("orderNameText", "Unlucky"));
    choosePartner(0);
    ASSERT_TRUE(tap("saveToDoneEvent"));
    ASSERT_EQ(headers().size(), 1u);

    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("orderNameText", "Changed"));
    makeStoreReadOnly();

    ASSERT_TRUE(tap("saveToDoneEvent"));
    EXPECT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    EXPECT_EQ(top()->lastToastText(), "Operation failed");
    EXPECT_DOUBLE_EQ(top()->toasts().back().seconds, 1.5);
    EXPECT_EQ(fieldText("orderNameText"), "Changed");

    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    EXPECT_EQ(top()->toasts().size(), 2u);

    // A picked line that cannot be stored leaves the picker up.
    ASSERT_TRUE(tap("tapJumpProductNameSelectEvent"));
    ASSERT_TRUE(selectRow("productTypeTableView", 0));
    ASSERT_TRUE(selectRow("productSubTableView", 0));
    EXPECT_EQ(top()->className(), "SelectProductsBackViewController");
    EXPECT_EQ(top()->lastToastText(), "Operation failed");
    ASSERT_TRUE(tap("backEvent"));

    // An edited line that cannot be stored leaves the line editor up with its input.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("quantityText", "9"));
    ASSERT_TRUE(tap("completeEvent"));
    EXPECT_EQ(top()->className(), "EditOrderItemsVC");
    EXPECT_EQ(fieldText("quantityText"), "9");
    EXPECT_EQ(top()->lastToastText(), "Operation failed");
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(top()->className(), "EditOrderItemsVC");

    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].orderName, "Unlucky");
    ASSERT_EQ(allLines().size(), 1u);
    EXPECT_EQ(allLines()[0].orderItemQuantity, "1");
}
