// Start-up (refusals, the second start, a damaged ledger), the dashboard's six figures, the
// bar of four buttons and a ledger locked by another program, driven through the navigator
// with a pinned clock (Saturday 9 May 2015, 16:02:50, Madrid).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/AppDelegate.h"
#include "platform/DocumentsDirectory.h"
#include "platform/InstanceLock.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/SDBManager.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "tests/support/AppHarness.h"
#include "toolkit/ScreenFactory.h"

using testing::AllOf;
using testing::HasSubstr;

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

SUserCommodity header(const char* kind, const char* y, const char* m, const char* d,
                      const char* amount) {
    SUserCommodity h;
    h.orderPrimaryKeyDate = "20150509160250";
    h.orderSalesAndPurchaseTags = kind;
    h.orderSalesTagOrPurchaseTag = std::string(kind) == "21" ? "111" : "000";
    h.orderTotalAmount = amount;
    h.years = y;
    h.months = m;
    h.days = d;
    return h;
}

class Startup : public AppHarness {};
class Dashboard : public AppHarness {};

}  // namespace

TEST_F(Startup, FirstStartMakesTablesDefaultPartnersAndDatePatternLaterOnesOnlyWhatIsMissing) {
    start();
    SSupplierOrCustomersDB partners;
    auto suppliers = partners.findWithSupplierOrCustomersTagsLike("000");
    auto customers = partners.findWithSupplierOrCustomersTagsLike("111");
    ASSERT_EQ(suppliers.size(), 1u);
    ASSERT_EQ(customers.size(), 1u);
    EXPECT_EQ(suppliers[0].supplierOrCustomersName, KL("KLDefaultSupplier"));
    EXPECT_EQ(suppliers[0].supplierOrCustomersNameKey, KL("KLDefaultSupplier") + "20150509160250");
    EXPECT_EQ(suppliers[0].supplierOrCustomersTelphone, "-");
    EXPECT_EQ(suppliers[0].supplierOrCustomersAddress, "-");
    EXPECT_EQ(suppliers[0].supplierOrCustomersNotes, "-");
    EXPECT_EQ(suppliers[0].supplierOrCustomersIndex, "20150509160250");
    EXPECT_EQ(customers[0].supplierOrCustomersName, KL("KLDefaultCustomer"));
    auto& defaults = UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.stringForKey("yyyy/MM/dd"), "yyyy/MM/dd");
    ASSERT_EQ(nav().depth(), 1u);
    EXPECT_EQ(top()->layout(), "InventoryProfitCostListViewController");
    auto rs = SDBManager::defaultDBManager().dataBase()->executeQuery(
        "select count(*) from sqlite_master where type = 'table' and name like 'S%' and name != "
        "'sqlite_sequence'");
    ASSERT_TRUE(rs && rs->next());
    EXPECT_EQ(rs->intForColumnIndex(0), 5);

    defaults.setObject_forKey("dd.MM.yyyy", "yyyy/MM/dd");
    defaults.synchronize();
    ASSERT_TRUE(partners.deleteSupplierOrCustomersKey(customers[0].supplierOrCustomersNameKey));
    clock_->advance(std::chrono::seconds(3600));
    start();
    EXPECT_EQ(partners.findWithSupplierOrCustomersTagsLike("000").size(), 1u);
    auto later = partners.findWithSupplierOrCustomersTagsLike("111");
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].supplierOrCustomersIndex, "20150509170250");
    EXPECT_EQ(defaults.stringForKey("yyyy/MM/dd"), "dd.MM.yyyy");
}

TEST_F(Startup, RefusesWhatItCannotServeAndSaysWhy) {
    AppDelegate::Options options;
    options.dataDir = dataDir_;
    options.ledgerWait = std::chrono::milliseconds(100);
    const std::string ledger = dataDir_ + "/voice.sqlite";
    auto refusal = [&] {
        std::string error, running;
        EXPECT_FALSE(AppDelegate::prepareEnvironment(options, &error, &running));
        EXPECT_EQ(running, "");
        return error;
    };
    // Another program holds the write lock for longer than start-up waits.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(ledger.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_THAT(refusal(), AllOf(HasSubstr(ledger), HasSubstr("in use by another program")));
    sqlite3_close(other);

    std::ofstream(ledger, std::ios::binary | std::ios::trunc) << "my tax notes, not a database\n";
    EXPECT_THAT(refusal(), AllOf(HasSubstr(ledger), HasSubstr("not a ledger database")));
}

TEST_F(Startup, ADamagedLedgerAfterACrashIsOnlyReadAndEveryScreenSaysSo) {
    AppDelegate::Options options;
    options.dataDir = dataDir_;
    ASSERT_TRUE(AppDelegate::prepareEnvironment(options, nullptr));
    start();
    app_.reset();
    AppDelegate::endInstance();
    const std::string ledger = dataDir_ + "/voice.sqlite";
    std::string bytes = fileBytes(ledger);
    const size_t pageSize = size_t(uint8_t(bytes.at(16))) << 8 | uint8_t(bytes.at(17));
    bytes.replace(pageSize, pageSize, pageSize, '\x5a');  // the second page: a table's root
    std::ofstream(ledger, std::ios::binary | std::ios::trunc) << bytes;
    std::ofstream(dataDir_ + "/" + InstanceLock::kFileName) << "running\n";  // a crash

    ASSERT_TRUE(AppDelegate::prepareEnvironment(options, nullptr));
    EXPECT_TRUE(AppDelegate::previousRunEndedUncleanly());
    start();
    EXPECT_EQ(nav().banner(), KL("KLLedgerDamaged"));
    tap("jumpMoreItems2Event");
    selectRow("tableView", 0);
    tap("addProductEvent");
    setText("productNameText", "Tea");
    tap("completeEvent");
    EXPECT_EQ(top()->lastToastText(), KL("KLOperationFailed"));
    EXPECT_EQ(nav().banner(), KL("KLLedgerDamaged"));
    EXPECT_EQ(fileBytes(ledger), bytes);
    EXPECT_FALSE(std::filesystem::exists(ledger + "-journal"));
    AppDelegate::endInstance();  // a clean exit does not make the damage go away
    ASSERT_TRUE(AppDelegate::prepareEnvironment(options, nullptr));
    EXPECT_TRUE(SDBManager::defaultDBManager().readOnly());
}

// The order count beyond ten thousand and the figures of a large ledger: the equality tests.
TEST_F(Dashboard, EmptyLedgerShowsZerosAndWhereToStart) {
    start();
    for (const char* id :
         {"showTodayPurchaseValueText", "showTodaySalesValueText", "showMonthPurchaseValueText",
          "showMonthSalesValueText", "showMyInventoryQtyValueText"})
        EXPECT_EQ(labelText(id), "0.00") << id;
    EXPECT_EQ(labelText("showMyOrderQtyValueText"), "0");
    EXPECT_EQ(labelText("showTodayPurchaseLbl"), KL("KLToday") + "(" + KL("KLPurchase") + ")");
    EXPECT_EQ(labelText("showYearsAndMonthLbl"), "2015,May");
    // The hint leads to the products; with one product it is gone.
    EXPECT_FALSE(top()->find("showFirstRunHintLbl")->hidden);
    ASSERT_TRUE(tap("showProductsEvent"));
    ASSERT_EQ(top()->className(), "ProductListViewController");
    SProductsNameSub hammer;
    hammer.productSubName = "Hammer";
    ASSERT_TRUE(SProductsNameSubDB().saveProductNameSub(hammer));
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_TRUE(top()->find("showFirstRunHintLbl")->hidden);
}

// Every control a screen shows has a name for screen readers in the catalog's words, never
// an image name: buttons, choices, row buttons, fields, date panels and charts.
TEST_F(Dashboard, EveryControlOfEveryScreenHasAName) {
    start();
    auto named = [](const ViewNode& n, bool field) {  // a field's text is the user's
        for (const std::string k : {"accessibleName", "title", "caption", "placeholder", "text"})
            if (n.get(k) && !n.get(k)->asString().empty() && !(field && k == "text")) return true;
        return false;
    };
    for (const char* cls :
         {"InventoryProfitCostListViewController", "MoreViewController", "AboutViewController",
          "ALLInventoryViewController", "OneProductViewController", "HomeStatisticsViewController",
          "OUTItemsViewController", "INItemsViewController", "CreateOrEditSalesAccountVC",
          "SelectProductsBackViewController", "EditOrderItemsVC", "NoteSelectListView",
          "ProductListViewController", "AddProductTypeViewController",
          "ProductSubItemListViewController", "AddProductSubViewController", "CustomersSettingsVC",
          "SupplierSettingsVC", "AddSupplierCustomersVC"}) {
        nav().pushViewController(createScreen(cls), false);
        const ViewNode view = top()->describe();  // kept: the loop reads into it
        for (const auto& w : view.get("widgets")->asArray()) {
            const std::string kind = w.get("kind")->asString();
            const bool control = (w.get("action") && !w.get("action")->asString().empty()) ||
                                 kind == "field" || kind == "datepicker" || kind == "chart";
            EXPECT_TRUE(w.get("hidden")->asBool() || !control || named(w, kind == "field"))
                << cls << " " << w.get("id")->asString();
            for (const auto& row : kind == "table" ? w.get("rows")->asArray() : ViewNode::Array{})
                for (const auto& f : row.get("fields")->asArray())
                    EXPECT_TRUE(f.get("action")->asString().empty() || f.get("hidden")->asBool() ||
                                named(f, false))
                        << cls;
        }
    }
}

TEST_F(Dashboard, TodayMonthAndOtherPeriodsAreToldApartAtEveryAppearance) {
    start();
    SUserCommodityDB orders;
    ASSERT_TRUE(orders.saveUserCommodity(header("11", "2015", "5", "9", "10.50")));  // today
    ASSERT_TRUE(orders.saveUserCommodity(header("11", "2015", "5", "8", "4.25")));   // yesterday
    ASSERT_TRUE(orders.saveUserCommodity(header("11", "2015", "4", "9", "100")));    // last month
    ASSERT_TRUE(orders.saveUserCommodity(header("11", "2015", "05", "9", "7")));     // "05" ≠ 5
    ASSERT_TRUE(orders.saveUserCommodity(header("21", "2015", "5", "9", "3.3")));
    ASSERT_TRUE(orders.saveUserCommodity(header("21", "2014", "5", "9", "99")));
    tap("jumpInventoryItems2Event");  // a new dashboard computes afresh
    EXPECT_EQ(nav().depth(), 2u);
    EXPECT_EQ(labelText("showTodayPurchaseValueText"), "10.50");
    EXPECT_EQ(labelText("showMonthPurchaseValueText"), "14.75");
    EXPECT_EQ(labelText("showTodaySalesValueText"), "3.30");
    EXPECT_EQ(labelText("showMonthSalesValueText"), "3.30");
    EXPECT_EQ(labelText("showMyOrderQtyValueText"), "6");
    // On top again on 1 June: the figures are read afresh, the caption stays as it was made.
    clock_->set(at(2015, 6, 1));
    ASSERT_TRUE(orders.saveUserCommodity(header("11", "2015", "6", "1", "5")));
    tap("jumpMoreItems2Event");
    nav().popViewControllerAnimated(false);
    nav().drain();
    EXPECT_EQ(labelText("showYearsAndMonthLbl"), "2015,May");
    EXPECT_EQ(labelText("showTodayPurchaseValueText") + " " + labelText("showMyOrderQtyValueText"),
              "5.00 7");
}

TEST_F(Dashboard, BarPressesShowNewInstancesAndKeepTheStackShort) {
    start();
    Screen* root = top();
    for (int round = 0; round < 20; ++round) {
        for (const char* op : {"jumpMoreItems2Event", "jumpOutItems3Event", "jumpInItems1Event",
                               "jumpInventoryItems0Event"})
            ASSERT_TRUE(tap(op)) << op;
    }
    EXPECT_FALSE(nav().lastTransition().animated);
    EXPECT_EQ(nav().depth(), 3u);
    EXPECT_EQ(nav().at(0), root);
    Screen* dashboard = top();
    EXPECT_NE(dashboard, root);
    // A journal's back leads to the screen it was opened from.
    ASSERT_TRUE(tap("jumpOutItems2Event"));
    EXPECT_EQ(nav().depth(), 3u);
    ASSERT_TRUE(tap("backSalesEvent"));
    EXPECT_EQ(top(), dashboard);

    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    auto* bar = top()->get<ButtonBar>("tabBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->items.at(bar->current).action, "jumpMoreItems3Event");
    EXPECT_FALSE(tap("jumpMoreItems2Event")) << "the More screen carries the operations named 3";
    // The More screen stores the partner kind before it opens a list.
    ASSERT_TRUE(tap("jumpCustomersEvent"));
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey("000"), "111");
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_TRUE(tap("jumpSupplierEvent"));
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey("000"), "000");
}

TEST_F(Dashboard, ASaveWhileAnotherProgramHoldsTheLedgerFailsInTimeAndThePageGoesOn) {
    start();
    tap("jumpOutItems2Event");
    tap("addNewSalesOrPurchase");
    setText("orderNameText", "Blocked");
    tap("topShowSupplierOrCustomerListEvent");
    alertRow(0);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((dataDir_ + "/voice.sqlite").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::atomic<bool> done{false}, released{false};
    std::thread holder([&] {  // holds the lock 5 s, or until the test has seen enough
        for (int i = 0; i < 500 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        released = true;
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    });
    ASSERT_TRUE(tap("saveToDoneEvent"));
    EXPECT_FALSE(released) << "the save waited for the other program";
    EXPECT_EQ(top()->lastToastText(), KL("KLOperationFailed"));
    EXPECT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    // Reads still pass while the lock is held: the page goes on.
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_FALSE(released);
    EXPECT_EQ(top()->className(), "OUTItemsViewController");
    done = true;
    holder.join();
    sqlite3_close(other);
}
