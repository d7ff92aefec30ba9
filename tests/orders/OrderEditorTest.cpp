// The order editor: the saved header, notes, edits, deletes,
// orders of one second, leaving a new order, the date panel in several zones, partners and
// orders that are gone, failing stores, and the start after a run that ended in an editor.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "storage/SDBManager.h"
#include "tests/orders/OrdersFixture.h"

namespace {
class OrderEditor : public OrdersFixture {};
}  // namespace

TEST_F(OrderEditor, NewSaleSavesZerosAndADashNoteAndReopenedKeepsItsIdentityAndPartner) {
    openJournal();
    addOrder();
    EXPECT_EQ(defaultsValue("20150509160250"), kFirstKey);
    // The notes screen refuses an empty note; leaving it stores none.
    ASSERT_TRUE(tap("tapJumpNoteSelectEvent"));
    ASSERT_TRUE(tap("inputTextCompleteEvent"));
    EXPECT_EQ(top()->className(), "NoteSelectListView");
    EXPECT_EQ(top()->get<TextField>("noteText")->shakeCount, 1);
    ASSERT_TRUE(tap("backEvent"));
    clock_->set(at(2015, 5, 9, 17, 45, 0));
    saveAs("Morning sale");
    EXPECT_EQ(top()->className(), "OUTItemsViewController");
    auto all = headers();
    ASSERT_EQ(all.size(), 1u);
    const SUserCommodity h = all[0];
    const auto c = partner("111");
    EXPECT_EQ(join({h.orderSupplierOrCustomerName, h.orderSupplierOrCustomerNameKey}),
              join({c.supplierOrCustomersName, c.supplierOrCustomersNameKey}));
    EXPECT_EQ(join({h.orderPrimaryKeyDate, h.orderSalesTagOrPurchaseTag,
                    h.orderSalesAndPurchaseType, h.orderSalesAndPurchaseTags, h.orderName,
                    h.orderTotalCounts, h.orderTotalEntrys, h.orderTotalAmount, h.remarkNotes}),
              kFirstKey + "|111|Sales|21|Morning sale|0.00|0|0.00|-");
    EXPECT_EQ(join({h.recordeDateTime, h.years, h.months, h.days, h.recordeWeekInYearTime,
                    h.recordeWeekTime, h.minutesTime}),
              "2015/05/09|2015|5|9|19|Saturday|17:45");

    // Reopened later, its partner no longer stored and its totals out of step with its (no)
    // lines: the "-" note and the copied partner show and are kept, only save or delete
    // leave, uid and key stay, the time moves, the totals are those of the lines.
    ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate(
        "UPDATE SUserCommodity SET orderSupplierOrCustomerName = 'Old Client', "
        "orderSupplierOrCustomerNameKey = 'Old Client20140101000000', orderTotalAmount = '9.00'"));
    clock_->set(at(2015, 5, 20, 9, 30, 0));
    ASSERT_TRUE(selectRow("tableView", 0));
    EXPECT_EQ(labelText("showNotesLbl") + " " + labelText("showSupplierOrCustomerLbl"),
              "- Old Client");
    EXPECT_FALSE(tap("backEvent", -1, "backBtn"));
    UIEvent browserBack;  // the browser's back button does nothing here either
    browserBack.type = "back";
    ASSERT_TRUE(send(browserBack));
    ASSERT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    ASSERT_TRUE(setText("orderNameText", "Renamed"));
    ASSERT_TRUE(tap("saveToDoneEvent"));
    all = headers();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].uid, h.uid);
    EXPECT_EQ(join({all[0].orderPrimaryKeyDate, all[0].orderName, all[0].remarkNotes,
                    all[0].recordeDateTime, all[0].minutesTime, all[0].orderSupplierOrCustomerName,
                    all[0].orderSupplierOrCustomerNameKey, all[0].orderTotalAmount}),
              kFirstKey + "|Renamed|-|2015/05/09|09:30|Old Client|Old Client20140101000000|0.00");
}

TEST_F(OrderEditor, OrdersOfOneSecondStayApartAndBackLeavesNoLineBehind) {
    newSaleWithTwoProducts();
    pickProduct(0, 0);
    pickProduct(0, 1);
    saveAs("First");
    // The clock stands still: the next order takes the next free second.
    addOrder();
    ASSERT_EQ(defaultsValue("20150509160250"), "20150509160251");
    pickProduct(0, 0);
    saveAs("Second");

    // Back after picking two products: no header and no line (every figure reads them).
    addOrder();
    pickProduct(0, 0);
    pickProduct(0, 1);
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(top()->className(), "OUTItemsViewController");
    EXPECT_EQ(headers().size(), 2u);
    EXPECT_EQ(allLines().size(), 3u);

    // Deleting the second order leaves the first whole (newest first: row 0 is "Second").
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(headers().size(), 1u);
    EXPECT_EQ(headers()[0].orderName, "First");
    EXPECT_EQ(linesOf(kFirstKey).size(), 2u);
    EXPECT_EQ(allLines().size(), 2u);
}

TEST_F(OrderEditor, PickedDaysSaveAndSaveAgainAsTheirCalendarDayInAnyZone) {
    struct Case {
        const char *zone, *picked, *stored;  // stored: date|year|month|day|week|weekday
        int hour;  // of "today", the 20th of the picked month: a day off in GMT
    };
    const Case cases[] = {
        {"Pacific/Kiritimati", "2016-01-01", "2016/01/01|2016|1|1|53|Friday", 0},
        {"Pacific/Pago_Pago", "2015-12-31", "2015/12/31|2015|12|31|53|Thursday", 23},
        // Daylight time begins at midnight: these days have no 00:00.
        {"America/Santiago", "2024-09-08", "2024/09/08|2024|9|8|36|Sunday", 23},
        {"Asia/Beirut", "2024-03-31", "2024/03/31|2024|3|31|13|Sunday", 0},
        {"America/Havana", "2024-03-10", "2024/03/10|2024|3|10|10|Sunday", 23},
    };
    openJournal();
    auto picker = [&] { return top()->get<DatePicker>("datePicker")->calendarDateText(); };
    auto stored = [&] {
        const auto all = headers();
        return std::to_string(all.size()) + ":" +
               join({all[0].recordeDateTime, all[0].years, all[0].months, all[0].days,
                     all[0].recordeWeekInYearTime, all[0].recordeWeekTime});
    };
    size_t saved = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.picked);
        clock_->setZone(c.zone);
        clock_->set(at(std::stoi(c.picked), std::stoi(c.picked + 5), 20, c.hour, 30, 0, c.zone));
        addOrder();
        EXPECT_EQ(picker(), std::string(c.picked, 8) + "20");  // today in the device's zone
        ASSERT_TRUE(tap("selectSalesDatePanelEvent"));
        ASSERT_TRUE(pickDate("datePicker", c.picked));
        saveAs(c.zone);
        const std::string expected = std::to_string(++saved) + ":" + c.stored;
        EXPECT_EQ(stored(), expected);

        // Opened from the journal of its month: the panel shows the order's own day.
        ASSERT_TRUE(selectRow("tableView", 0));
        EXPECT_EQ(picker(), c.picked);
        ASSERT_TRUE(tap("saveToDoneEvent"));
        ASSERT_EQ(top()->className(), "OUTItemsViewController");
        EXPECT_EQ(stored(), expected);
    }
}

// The partner list's last row opens the partner editor for the journal's kind; the partner
// saved there becomes the order's, which stays open with its lines and its in-progress mark.
TEST_F(OrderEditor, ANewCustomerFromThePartnerListBecomesTheOrdersPartner) {
    newSaleWithTwoProducts();
    pickProduct(0, 1);
    for (const char* name : {"", "Ana"}) {  // left without saving, then saved with Enter
        ASSERT_TRUE(tap("topShowSupplierOrCustomerListEvent"));
        ASSERT_EQ(top()->tableAlert()->actionTitle, KL("KLNewCustomer"));
        ASSERT_TRUE(alertRow(1));
        ASSERT_EQ(top()->title, KL("KLAddCustomers"));
        ASSERT_TRUE(*name ? setText("showNameText", name) && pressReturn("showNameText")
                          : tap("backEvent"));
        ASSERT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
        EXPECT_EQ(labelText("showSupplierOrCustomerLbl"), name);
    }
    EXPECT_EQ(defaultsValue("NewOrderInProgress"), kFirstKey);
    ASSERT_TRUE(setText("orderNameText", "For Ana"));
    ASSERT_TRUE(tap("saveToDoneEvent"));
    const auto h = headers().at(0);
    EXPECT_EQ(join({h.orderSupplierOrCustomerName, h.orderTotalAmount}), "Ana|5.00");
    EXPECT_EQ(h.orderSupplierOrCustomerNameKey, partner("111").supplierOrCustomersNameKey);
}

// A write that fails, or that finds its row deleted elsewhere (another window, a second
// instance), is reported and the screen stays with the user's input.
TEST_F(OrderEditor, AFailedOrVanishedWriteKeepsEachScreenWithTheUsersInput) {
    start();
    seedProduct("Tools", "Hammer", "1", "5", "5");
    openJournal();
    addOrder();
    pickProduct(0, 0);
    saveAs("Unlucky");
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(setText("orderNameText", "Changed"));
    ASSERT_TRUE(SUserCommodityDB().deleteUserCommodityWithId(headers().at(0).uid));
    const std::string failed = KL("KLOperationFailed");

    ASSERT_TRUE(tap("saveToDoneEvent"));
    EXPECT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    EXPECT_EQ(top()->lastToastText(), failed);
    EXPECT_EQ(fieldText("orderNameText"), "Changed");
    ASSERT_TRUE(tap("deleteProductCurrentItemsEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    EXPECT_EQ(top()->toasts().size(), 2u);

    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(
        SUserCommodityOrderDB().deleteSalesAndPurchaseWithUid(allLines().at(0).orderItemUid));
    ASSERT_TRUE(setText("quantityText", "9"));
    ASSERT_TRUE(tap("completeEvent"));
    EXPECT_EQ(top()->className(), "EditOrderItemsVC");
    EXPECT_EQ(fieldText("quantityText"), "9");
    EXPECT_EQ(top()->lastToastText(), failed);
    EXPECT_TRUE(allLines().empty());
    ASSERT_TRUE(tap("backEvent"));

    ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate("PRAGMA query_only = ON"));
    ASSERT_TRUE(tap("tapJumpProductNameSelectEvent"));
    ASSERT_TRUE(selectRow("productTypeTableView", 0));
    ASSERT_TRUE(selectRow("productSubTableView", 0));
    EXPECT_EQ(top()->className(), "SelectProductsBackViewController");
    EXPECT_EQ(top()->lastToastText(), failed);
}

TEST_F(OrderEditor, AStartAfterARunThatEndedInAnEditorTidiesUp) {
    newSaleWithTwoProducts();
    pickProduct(0, 0);
    saveAs("Edited");
    // A line whose header went with its partner: not a leftover, it counts.
    ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate(
        "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate) VALUES ('20150101000000')"));
    // A header whose product was deleted keeps its totals.
    seedHeader("111", "2015", "5", "Stale", "1.00", "1", "5.00", "20150102000000");
    ASSERT_TRUE(selectRow("tableView", 0));  // "Edited": the journal was read before "Stale"
    editLine(0, "4", "5");
    restartAfterACrash();
    EXPECT_EQ(join({headers()[1].orderTotalCounts, headers()[1].orderTotalEntrys,
                    headers()[1].orderTotalAmount}),
              "4.00|1|20.00");
    EXPECT_EQ(headers()[0].orderTotalAmount, "5.00");

    openJournal();
    addOrder();
    const std::string abandoned = defaultsValue("20150509160250");
    pickProduct(0, 0);
    pickProduct(0, 1);
    std::ofstream(dataDir_ + "/user-defaults.json.tmp-Ab12Cd") << "{\"half";
    std::ofstream(dataDir_ + "/mail-settings.conf.tmp-Xy34Zw") << "MARROWKEEPER_SMTP_PASSWORD=";
    testing::internal::CaptureStderr();
    restartAfterACrash();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("0 order(s) brought in line with their lines, 2 ghost line(s) removed"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("removed 2 temporary settings file(s)"), std::string::npos) << log;
    EXPECT_TRUE(linesOf(abandoned).empty());
    EXPECT_EQ(allLines().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(dataDir_ + "/user-defaults.json.tmp-Ab12Cd"));
    EXPECT_FALSE(std::filesystem::exists(dataDir_ + "/mail-settings.conf.tmp-Xy34Zw"));
}
