// Every screen figure that is computed from columns or in one pass equals the straightforward
// computation: the store finds' record lists summed exactly (DecimalSum, whose exactness its
// own test shows). The ledger is a small generated one (pinned clock: Saturday 9 May 2015,
// Madrid) with many amounts with cents and a few hand-made oddities.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>

#include "bench/LedgerGenerator.h"
#include "exchange/CSVExport.h"
#include "orders/CreateOrEditSalesAccountVC.h"
#include "orders/OrderHandOver.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "stats/ALLInventoryViewController.h"
#include "stats/HomeStatisticsViewController.h"
#include "stats/OneProductViewController.h"
#include "storage/DecimalSum.h"
#include "storage/LedgerBackup.h"
#include "storage/NumberText.h"
#include "storage/SDBManager.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/sql/ScratchDir.h"
#include "tests/support/AppHarness.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenFactory.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

namespace {

template <class List, class Field>
DecimalSum sumOf(const List& records, Field field) {
    DecimalSum sum;
    for (const auto& r : records) sum.add(r.*field);
    return sum;
}

// The texts of some fields of a row, joined by "|".
std::string cells(TableRow& row, std::initializer_list<const char*> ids) {
    std::string out;
    for (const char* id : ids) out += (out.empty() ? "" : "|") + row.field(id)->text;
    return out;
}

class FastPaths : public AppHarness {
  protected:
    // The generated ledger is made once and copied for each case.
    static inline ScratchDir templateDir;

    void SetUp() override {
        AppHarness::SetUp();
        const std::string file = dataDir_ + "/voice.sqlite",
                          made = templateDir.file("voice.sqlite");
        if (!std::filesystem::exists(made)) {
            // Enough orders that each of the last months holds many of both kinds.
            LedgerParams p = LedgerParams::small();
            p.orders = 1500;
            p.days = 70;
            const auto lastDay = ConstParameterAndMethod::parse("2015/05/09", "yyyy/MM/dd");
            ASSERT_TRUE(lastDay);
            ASSERT_TRUE(LedgerGenerator(p).generate(*lastDay));
            addLargeSums();
            SDBManager::close();
            std::filesystem::copy_file(file, made);
        } else {
            std::filesystem::copy_file(made, file);
        }
        addOddities();
        start();
    }

    // Many amounts with cents, which single precision summed wrongly (10,000 of 0.10 showed
    // 999.90): 3,000 sales of 5432.17 on 4 May (today's week), 10,000 purchases of 0.10 today,
    // and the same as quantities of the newest product, the 0.10 in one order with a line of
    // 400 typed digits (stored before typing was limited) that counts as 0.
    static constexpr const char* kLargeOrder = "20150509120000";
    static void addLargeSums() {
        auto db = SDBManager::defaultDBManager().dataBase();
        const std::string n =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 13001) ";
        ASSERT_TRUE(db->executeUpdate(
            n +
            "INSERT INTO SUserCommodity (years, months, days, recordeWeekInYearTime, "
            "orderTotalAmount, orderTotalCounts, orderTotalEntrys, orderSalesAndPurchaseTags, "
            "orderSalesTagOrPurchaseTag) SELECT '2015', '5', iif(i <= 3000, '4', '9'), '19', "
            "iif(i <= 3000, '5432.17', '0.10'), '1', '1', iif(i <= 3000, '21', '11'), "
            "iif(i <= 3000, '111', '000') FROM n WHERE i <= 13000"));
        ASSERT_TRUE(db->executeUpdate(
            n + "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate, "
                "orderItemProductNameKey, "
                "orderItemYears, orderItemMonths, orderItemSalesAndPurchaseTags, "
                "orderItemQuantity, "
                "orderItemTotalAmount) SELECT iif(i <= 3000, '20150504100000', ?), (SELECT "
                "productSubNameKey FROM SProductsNameSub ORDER BY productSubUid DESC LIMIT 1), "
                "'2015', '5', iif(i <= 3000, '11', '21'), q, q FROM (SELECT i, iif(i <= 3000, "
                "'5432.17', iif(i <= 13000, '0.10', ?)) AS q FROM n)",
            {kLargeOrder, std::string(400, '9')}));
    }

    // Rows a foreign or older writer may have left: texts that are not plain numbers, kinds
    // that only the history knows, absent keys, a product sharing another's name, an order of
    // a partner no longer stored, and its copy under month "05", which no month find selects.
    void addOddities() {
        auto products = SProductsNameSubDB().findWithUid_limit(std::nullopt, 100000);
        ASSERT_GE(products.size(), 2u);
        auto db = SDBManager::defaultDBManager().dataBase();
        ASSERT_TRUE(db->executeUpdate(
            "INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate, orderItemProductName, "
            "orderItemYears, orderItemMonths, orderItemProductNameKey, "
            "orderItemSalesAndPurchaseTags, orderItemQuantity) SELECT '20150509100000', 'odd', "
            "'2015', '5', iif(column1 = 0, ?, iif(column1 = 1, ?, NULL)), column2, column3 FROM "
            "(VALUES (0, '11', '12kg'), (0, '21', ' -3.25e1x'), (0, '12', '100'), (1, '22', '7'), "
            "(1, NULL, '9'), (2, '11', '5'), (1, '11', NULL))",
            {products[0].productSubNameKey, products[1].productSubNameKey}));
        ASSERT_TRUE(db->executeUpdate(
            "INSERT INTO SUserCommodity (years, months, days, recordeWeekInYearTime, "
            "orderSalesAndPurchaseTags, orderSalesTagOrPurchaseTag, "
            "orderSupplierOrCustomerNameKey, orderSupplierOrCustomerName, orderTotalAmount, "
            "orderTotalCounts, orderTotalEntrys) VALUES ('2015', '5', '9', '19', '21', '111', "
            "'no such partner', 'Gone Ltd', '1e3', 'abc', '2'), ('2015', '05', '9', '19', '21', "
            "'111', 'no such partner', 'Gone Ltd', '1e3', 'abc', '2')"));
        SProductsNameSub twin = products[0];
        twin.productSubUid.reset();
        twin.productSubNameKey = "20150101000000";  // same name, own key, no lines
        ASSERT_TRUE(SProductsNameSubDB().saveProductNameSub(twin));
        twin.productSubName = products[1].productSubName;
        twin.productSubNameKey.reset();
        ASSERT_TRUE(SProductsNameSubDB().saveProductNameSub(twin));
    }

    // The dashboard's order count and stock, shown anew, and every row of the stock overview
    // equal the finds summed. (Its other four figures are the statistics' day and month sums.)
    void expectDashboardAndStockEqualTheFinds() {
        top()->viewWillAppear();
        SUserCommodityOrderDB lines;
        auto quantities = [&](const char* kind, const Text& key, bool allKeys = false) {
            return sumOf(
                allKeys
                    ? lines.findALLDataBySalesAndPurchaseTags(kind)
                    : lines.findWithOrderItemProductNameKey_findWithSalesAndPurchaseTags(key, kind),
                &SUserCommodityOrder::orderItemQuantity);
        };
        const auto orders = SUserCommodityDB().findWithUid_limit(std::nullopt, INT32_MAX);
        EXPECT_EQ(labels({"showMyOrderQtyValueText", "showMyInventoryQtyValueText"}),
                  std::vector<std::string>(
                      {formatCount(static_cast<long>(orders.size())),
                       (quantities("11", {}, true) - quantities("21", {}, true)).text()}));
        ASSERT_TRUE(tap("showInventoryStatisticsEvent"));
        auto* screen = topAs<ALLInventoryViewController>();
        ASSERT_NE(screen, nullptr);
        const auto& products = screen->categoryListArray;
        for (size_t i = 0; i < products.size(); ++i) {
            const Text& key = products[i].productSubNameKey;
            const auto all = lines.findWithSalesAndPurchaseNameUpdateKeyDateLike(key).size();
            const DecimalSum bought = quantities("11", key), sold = quantities("21", key);
            EXPECT_EQ(screen->categorysNameItemsArray[i] + " " +
                          screen->userPurchaseCountsArray[i] + " " +
                          screen->userSalesCountsArray[i] + " " +
                          screen->userInventoryCountsArray[i],
                      formatCount(static_cast<long>(all)) + " " + bought.text() + " " +
                          sold.text() + " " + (bought - sold).text())
                << orEmpty(products[i].productSubName);
        }
        ASSERT_TRUE(tap("backEvent"));
    }

    std::vector<std::string> labels(const std::vector<const char*>& ids) {
        std::vector<std::string> out;
        for (const char* id : ids) out.push_back(labelText(id));
        return out;
    }
    // Amount, quantity and items of a list of orders.
    static std::vector<std::string> expectedTotals(const SUserCommodityDB::List& orders) {
        return {sumOf(orders, &SUserCommodity::orderTotalAmount).text(),
                sumOf(orders, &SUserCommodity::orderTotalCounts).text(),
                sumOf(orders, &SUserCommodity::orderTotalEntrys).text()};
    }
};

}  // namespace

// The stock figures come from totals kept with each write: they equal the finds summed through
// random saves, edits and deletes, by the app and by another program on the file.
TEST_F(FastPaths, DashboardAndStockEqualTheFindsSummedThroughRandomWrites) {
    const auto products = SProductsNameSubDB().findWithUid_limit(std::nullopt, 100000);
    const auto other = SQLDatabase::databaseWithPath(dataDir_ + "/voice.sqlite");
    ASSERT_TRUE(other->open());
    std::mt19937 random(18);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    for (int step = 0; step < 120; ++step) {
        if (step % 30 == 0) expectDashboardAndStockEqualTheFinds();
        // A third of the writes by another program on the file.
        const auto db = pick(3) ? SDBManager::defaultDBManager().dataBase() : other;
        SUserCommodityDB orders(db);
        SUserCommodityOrderDB lines(db);
        auto line = lines.findWithSalesAndPurchaseUid_limit(std::nullopt, 40).at(pick(40));
        auto order = orders.findWithUid_limit(std::nullopt, 40).at(pick(40));
        line.orderItemQuantity = std::to_string(pick(40)) + (pick(2) ? ".125" : "x");
        line.orderItemSalesAndPurchaseTags = pick(2) ? "11" : "21";
        line.orderItemProductNameKey = products[pick(products.size())].productSubNameKey;
        const size_t what = pick(20);
        // A product's lines deleted with it, an order, a line; a line changed; an order saved.
        ASSERT_TRUE(what == 0 ? lines.deleteOrderItemProductNameKey(line.orderItemProductNameKey)
                    : what < 4
                        ? orders.deleteOrderWithId_primaryKey(order.uid, order.orderPrimaryKeyDate)
                    : what < 7  ? lines.deleteSalesAndPurchaseWithUid(line.orderItemUid)
                    : what < 13 ? lines.mergeWithSalesAndPurchase_changeUid(line, line.orderItemUid)
                                : lines.saveUserCommodityOrder(line) &&
                                      lines.saveUserCommodityOrder(line) &&
                                      orders.saveUserCommodity(order));
    }
    expectDashboardAndStockEqualTheFinds();

    // In doubt, rebuilt: after a writer that ran without triggers (the counts tell) and a
    // restore of a file without totals; read from the rows on a read-only ledger without them.
    sqlite3_db_config(other->sqliteHandle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    ASSERT_TRUE(other->executeUpdate(
        "DELETE FROM SUserCommodityOrder WHERE orderItemSalesAndPurchaseTags = '21'"));
    expectDashboardAndStockEqualTheFinds();
    ASSERT_TRUE(LedgerBackup(dataDir_).restoreFromFile(templateDir.file("voice.sqlite")).ok);
    expectDashboardAndStockEqualTheFinds();
    // The restore put a new file in the ledger's place: the other program opens that one.
    const auto afterRestore = SQLDatabase::databaseWithPath(dataDir_ + "/voice.sqlite");
    ASSERT_TRUE(afterRestore->open());
    ASSERT_TRUE(afterRestore->executeUpdate("DROP TABLE LedgerTotals"));
    app_.reset();
    SDBManager::openReadOnly();
    start();
    expectDashboardAndStockEqualTheFinds();
}

TEST_F(FastPaths, JournalMonthsEqualTheFindsSummedWithEachRowsPartner) {
    SSupplierOrCustomersDB partners;
    int gone = 0;
    for (const char* bar : {"jumpOutItems2Event", "jumpInItems2Event"}) {
        ASSERT_TRUE(tap(bar));
        const std::string side = std::string(bar) == "jumpOutItems2Event" ? "111" : "000";
        for (const char* month : {"5", "4", "3"}) {
            ASSERT_EQ(labelText("MonthLbl"), month);
            auto list =
                SUserCommodityDB()
                    .findWithHomePageYearThingLike_findWithHomePageMonthThingLike_findWithHomePageUSER_INOrOUTTags(
                        "2015", month, side);
            ASSERT_FALSE(list.empty());
            EXPECT_EQ(labels({"showOrderTotalAmountValueText", "showProductQtyValueText",
                              "showOrderItemsValueText"}),
                      expectedTotals(list));
            auto& rows = top()->get<TableView>("tableView")->rows;
            ASSERT_EQ(rows.size(), list.size());
            for (size_t i = 0; i < list.size(); ++i) {
                // A partner no longer stored (the oddity "Gone Ltd") shows the copied name.
                const SUserCommodity& o = list[i];
                auto found =
                    partners.findWithSupplierOrCustomersKeyLike(o.orderSupplierOrCustomerNameKey);
                const Text name = found.empty() ? o.orderSupplierOrCustomerName
                                                : found.front().supplierOrCustomersName;
                gone += name == "Gone Ltd";
                EXPECT_EQ(cells(rows[i], {"showOrderDateLbl", "showOrderNameValueText",
                                          "showOrderSupAndCusValueText", "showOrderEntryValueText",
                                          "showOrderAmountValueText", "showOrderTypeLbl"}),
                          orEmpty(o.recordeDateTime) + "," + orEmpty(o.minutesTime) + " " +
                              orEmpty(o.recordeWeekTime) + "|" + orEmpty(o.orderName) + "|" +
                              orEmpty(name) + "|" + orEmpty(o.orderTotalEntrys) + "|" +
                              orEmpty(o.orderTotalAmount) + "|" +
                              orEmpty(o.orderSalesAndPurchaseType));
            }
            ASSERT_TRUE(tap("backwardEvent"));
        }
        ASSERT_TRUE(tap("backSalesEvent"));
    }
    EXPECT_EQ(gone, 1);  // its copy of month "05" is in no month
}

TEST_F(FastPaths, StatisticsTotalsOfEveryKindAndTheMonthBucketsEqualTheFindsSummed) {
    SUserCommodityDB o;
    for (const std::string kind : {"21", "11"}) {
        ASSERT_TRUE(tap("showOrderStatisticsEvent"));
        auto* s = topAs<HomeStatisticsViewController>();
        ASSERT_NE(s, nullptr);
        ASSERT_TRUE(tap("choseEvent"));
        ASSERT_TRUE(sheet(kind == "21" ? 0 : 1));
        // Each period kind's find, for the period the screen's labels show.
        const std::function<SUserCommodityDB::List()> finds[] = {
            [&] {
                return o
                    .findChartWithYearThingLike_findWithMonthThingLike_findWithThingToday_findWithSalesAndPurchaseTagsLike(
                        "2015", "5", "9", kind);
            },
            [&] {
                return o
                    .findChartWithYearThingLike_findWithWeeksThingLike_findWithSalesAndPurchaseTagsLike(
                        "2015", labelText("WeeksLbl"), kind);
            },
            [&] {
                return o
                    .findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
                        labelText("oldYearsLbl"), labelText("oldMonthLbl"), kind);
            },
            [&] {
                return o.findChartWithYearsLike_findProfitWithSalesAndPurchaseTagsLike(
                    labelText("YearsLbl"), kind);
            },
        };
        for (int segment = 0; segment < 4; ++segment) {
            UIEvent e;
            e.type = "segment";
            e.id = "segmentView";
            e.index = segment;
            ASSERT_TRUE(send(e));
            for (int step = 0; step < 3; ++step) {  // this period and the two before it
                EXPECT_EQ(labels({"showIncomeValueText", "showOrderTotalCountsValueText",
                                  "showOrderTotalEntrysValueText"}),
                          expectedTotals(finds[segment]()))
                    << kind << " " << segment << " " << step;
                ASSERT_TRUE(tap("lastMonthDataEvent"));
            }
        }
        ASSERT_EQ(s->tempData.size(), 12u);
        for (size_t m = 0; m < 12; ++m) {
            const auto bucket = sumOf(
                o.findProfitWithYearThingLike_findProfitWithMonthThingLike_findProfitWithSalesAndPurchaseTagsLike(
                    "2015", formatCount(static_cast<long>(m + 1)), kind),
                &SUserCommodity::orderTotalAmount);
            EXPECT_EQ(s->monthBuckets[m], bucket) << "month " << m + 1;
            EXPECT_EQ(s->tempData[m].value, floatValue(bucket.text()));
        }
        ASSERT_TRUE(tap("closeEvent"));
    }
}

TEST_F(FastPaths, EditorShowsAndStoresTheSumsOfItsLines) {
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(kLargeOrder, OrderHandOver::kOrderKey);
    defaults.setObject_forKey("111", OrderHandOver::kPartnerTag);
    nav().pushViewController(std::make_unique<CreateOrEditSalesAccountVC>(), false);
    nav().drain();
    EXPECT_EQ(labelText("showTotalValueLbl"), "1000.00");
    ASSERT_TRUE(setText("orderNameText", "Large"));
    ASSERT_TRUE(tap("topShowSupplierOrCustomerListEvent"));
    ASSERT_TRUE(alertRow(0));
    ASSERT_TRUE(tap("saveToDoneEvent"));
    const auto saved = SUserCommodityDB().findWithUid_limit(std::nullopt, 1).at(0);
    EXPECT_EQ(orEmpty(saved.orderName) + " " + orEmpty(saved.orderTotalAmount) + " " +
                  orEmpty(saved.orderTotalCounts) + " " + orEmpty(saved.orderTotalEntrys),
              "Large 1000.00 1000.00 10001");
}

TEST_F(FastPaths, ExportSnapshotEqualsTheLinesOfTheFullRecords) {
    // Values an older writer may have stored: numbers rather than texts, NULLs, separators.
    auto db = SDBManager::defaultDBManager().dataBase();
    ASSERT_TRUE(db->executeUpdate(
        "INSERT INTO SUserCommodity (orderSalesAndPurchaseType, orderName, orderTotalCounts, "
        "orderTotalEntrys, orderTotalAmount, recordeDateTime, recordeWeekTime, remarkNotes) "
        "VALUES ('Sales', 'a, \"b\"\nc', 2.5, 3, 1e20, NULL, 'Satur\rday', X'C3A9')"));
    ASSERT_TRUE(db->executeUpdate("INSERT INTO SUserCommodity (orderName) VALUES (NULL)"));

    const auto orders = SUserCommodityDB().findWithUid_limit(std::nullopt, INT32_MAX);
    std::string expected;
    for (const auto& o : orders) CSVExport::appendOrderLine(expected, CSVExport::orderFields(o));
    EXPECT_GT(orders.size(), 10000u);  // no cap at ten thousand orders
    // Written and read back a piece at a time, across several pieces.
    ASSERT_GT(expected.size(), 2 * CSVExport::kPieceBytes);
    ScratchDir dir;
    const std::string file = dir.file("orders.csv");
    ASSERT_TRUE(CSVExport::createFile(file));
    const auto written = CSVExport::appendOrders(file, "head");
    EXPECT_EQ(ScratchDir::read(file), "head" + expected);
    ASSERT_TRUE(written);
    EXPECT_EQ(CSVExport::readBack(file), written);
    EXPECT_EQ(written->length, expected.size() + 4);
}

TEST_F(FastPaths, DamagedPagesShowTheFailureNeverPartOfAFigureOrList) {
    const std::string dash = ScreenParts::kUnreadFigure;
    const Text productKey =
        SProductsNameSubDB().findWithUid_limit(std::nullopt, 100000).back().productSubNameKey;
    // What each screen shows: every label, then its row count, chart and title, these as the
    // dash when the screen said that it could not read the ledger; and whether it said so.
    using Look = std::pair<std::vector<std::string>, bool>;
    auto looks = [&] {
        std::vector<Look> out;
        auto visit = [&](std::unique_ptr<Screen> screen) {
            nav().pushViewController(std::move(screen), false);
            nav().drain();
            bool said = false;
            for (const auto& t : top()->toasts()) said = said || t.text == KL("KLOperationFailed");
            std::vector<std::string> shown;
            for (const auto& w : top()->widgets())
                if (auto* label = dynamic_cast<Label*>(w.get())) shown.push_back(label->text);
            auto add = [&](const std::string& text, bool unread) {
                shown.push_back(unread && said ? dash : text);
            };
            if (auto* table = top()->get<TableView>("tableView"))
                add(std::to_string(table->rows.size()), table->rows.empty());
            if (auto* s = dynamic_cast<HomeStatisticsViewController*>(top())) {
                std::string chart;
                for (const auto& c : s->tempData) chart += std::to_string(c.value) + " ";
                add(chart, chart.empty());
            }
            add(top()->title, top()->title.ends_with("(" + dash + ")"));
            out.emplace_back(shown, said);
            nav().popViewControllerAnimated(false);
            nav().drain();
        };
        for (const char* name :
             {"InventoryProfitCostListViewController", "OUTItemsViewController",
              "INItemsViewController", "HomeStatisticsViewController", "ALLInventoryViewController",
              "ProductListViewController", "CustomersSettingsVC"})
            visit(createScreen(name));
        auto history = std::make_unique<OneProductViewController>();
        history->itemProductNameUpdateKeyStr = productKey;
        visit(std::move(history));
        UserDefaults::standardUserDefaults().setObject_forKey(kLargeOrder,
                                                              OrderHandOver::kOrderKey);
        visit(createScreen("CreateOrEditSalesAccountVC"));
        return out;
    };

    const auto healthy = looks();
    auto db = SDBManager::defaultDBManager().dataBase();
    auto numbers = [&](const std::string& sql, const std::vector<SQLValue>& args = {}) {
        std::vector<size_t> out;
        for (auto rs = db->executeQuery(sql, args); rs && rs->next();)
            out.push_back(static_cast<size_t>(rs->intForColumnIndex(0)));
        return out;
    };
    const size_t pageSize = numbers("PRAGMA page_size").at(0);
    const size_t pages = numbers("PRAGMA page_count").at(0);
    // Every page but the first, the second half, and the last page of the rows of the order
    // headers, of the order lines and of the products' totals: reads that fail at once and
    // reads that fail midway.
    std::vector<std::pair<size_t, size_t>> damages = {{2, pages + 1}, {pages / 2, pages + 1}};
    for (const char* table : {"SUserCommodity", "SUserCommodityOrder", "LedgerProductTotals"}) {
        const auto leaves = numbers(
            "SELECT pageno FROM dbstat WHERE name = ? AND pagetype = 'leaf' ORDER BY pageno",
            {table});
        damages.emplace_back(leaves.back(), leaves.back() + 1);
    }
    db.reset();
    const std::string file = dataDir_ + "/voice.sqlite", kept = dataDir_ + "/healthy.sqlite";
    app_.reset();
    SDBManager::close();
    std::filesystem::copy_file(file, kept);
    for (const auto& [first, last] : damages) {
        SCOPED_TRACE("pages " + std::to_string(first) + " to " + std::to_string(last - 1));
        std::string bytes = ScratchDir::read(kept);
        ASSERT_EQ(bytes.size(), pages * pageSize);
        bytes.replace((first - 1) * pageSize, (last - first) * pageSize, (last - first) * pageSize,
                      '\xA5');
        ScratchDir::write(file, bytes);
        start();
        const auto damaged = looks();
        ASSERT_EQ(damaged.size(), healthy.size());
        int failures = 0;
        for (size_t i = 0; i < damaged.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_FALSE(healthy[i].second);
            bool dashed = false;
            for (size_t j = 0; j < damaged[i].first.size(); ++j) {
                if (damaged[i].first[j] == healthy[i].first[j]) continue;
                EXPECT_EQ(damaged[i].first[j], dash) << "instead of " << healthy[i].first[j];
                dashed = true;
            }
            EXPECT_EQ(damaged[i].second, dashed);
            failures += dashed;
        }
        EXPECT_GT(failures, 0);
        app_.reset();
        SDBManager::close();
    }
}
