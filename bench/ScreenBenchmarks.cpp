// Each figure twice, on the same file in the same run: the app's own path (the screen as
// the navigator drives it) and the limit, the plain statements that compute the same
// figure with the same indexes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/BenchContext.h"
#include "orders/OrderJournalViewController.h"
#include "platform/BackgroundWork.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "stats/HomeStatisticsViewController.h"
#include "stats/OneProductViewController.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/NumberText.h"
#include "storage/SDBManager.h"
#include "storage/SUserCommodityDB.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenFactory.h"
#include "toolkit/TableView.h"

BenchContext& BenchContext::get() {
    static BenchContext ctx;
    return ctx;
}

sqlite3* BenchContext::handle() const {
    auto db = SDBManager::defaultDBManager().dataBase();
    return db ? db->sqliteHandle() : nullptr;
}

namespace {

// The pinned "today": the evening of the last day of the month before the real one, so
// that "this month" is a whole month of orders.
std::shared_ptr<FixedClock> pinnedClock() {
    SystemClock system;
    auto clock = std::make_shared<FixedClock>(system.now(), "");  // in the machine's zone
    Clock::install(clock);
    const auto firstOfMonth = ConstParameterAndMethod::parse(
        ConstParameterAndMethod::format(system.now(), "yyyy/MM") + "/01", "yyyy/MM/dd");
    clock->set(*firstOfMonth - std::chrono::hours(6));
    return clock;
}

void startOn(const std::string& workDir) {
    AppDelegate::Options options;
    options.dataDir = workDir;
    options.language = "en";
    std::string error;
    if (!AppDelegate::prepareEnvironment(options, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
}

}  // namespace

void BenchContext::startApp() {
    if (!clock) clock = pinnedClock();
    app.reset();
    startOn(workDir);
    app = std::make_unique<AppDelegate>();
    app->application_didFinishLaunchingWithOptions();

    const CalendarDate today = ConstParameterAndMethod::today();
    year = formatCount(today.year);
    month = formatCount(today.month);
    day = formatCount(today.day);

    sqlite3* db = handle();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT orderItemProductNameKey, orderItemProductName, count(*) FROM "
                       "SUserCommodityOrder WHERE orderItemYears = ? and orderItemMonths = ? "
                       "GROUP BY 1 ORDER BY 3 DESC, 1 LIMIT 1",
                       -1, &st, nullptr);
    sqlite3_bind_text(st, 1, year.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, month.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) == SQLITE_ROW) {
        historyProductKey = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        historyProductName = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "SELECT uid FROM SUserCommodity WHERE years = ? ORDER BY uid DESC", -1,
                       &st, nullptr);
    sqlite3_bind_text(st, 1, year.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) == SQLITE_ROW) {
        mergeUid = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    }
    sqlite3_finalize(st);
}

double plainQuery(sqlite3* db, const char* sql, const std::vector<std::string>& args) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "limit statement failed: %s\n%s\n", sqlite3_errmsg(db), sql);
        std::exit(1);
    }
    for (size_t i = 0; i < args.size(); ++i)
        sqlite3_bind_text(st, static_cast<int>(i + 1), args[i].c_str(), -1, SQLITE_STATIC);
    double acc = 0;
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c) {
            const int type = sqlite3_column_type(st, c);
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                acc += sqlite3_column_double(st, c);
            } else if (type == SQLITE_TEXT) {
                const unsigned char* t = sqlite3_column_text(st, c);
                acc += sqlite3_column_bytes(st, c) + (t ? t[0] : 0);
            }
        }
    }
    sqlite3_finalize(st);
    return acc;
}

bool plainExec(sqlite3* db, const char* sql, const std::vector<std::string>& args) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return false;
    for (size_t i = 0; i < args.size(); ++i)
        sqlite3_bind_text(st, static_cast<int>(i + 1), args[i].c_str(), -1, SQLITE_STATIC);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

namespace {

Navigator& nav() {
    return BenchContext::get().app->navigator();
}

// Pushes a screen (loaded and shown), hands it to `body`, then removes it again.
template <class S, class F>
void withPushed(std::unique_ptr<Screen> screen, F&& body) {
    nav().pushViewController(std::move(screen), false);
    body(*dynamic_cast<S*>(nav().top()));
    nav().popViewControllerAnimated(false);
    nav().drain();
}

// ---- dashboard --------------------------------------------------------------------------

void BM_dashboard_app(benchmark::State& state) {
    Screen* dashboard = nav().at(0);
    for (auto _ : state) dashboard->viewWillAppear();
}

void BM_dashboard_limit(benchmark::State& state) {
    auto& c = BenchContext::get();
    sqlite3* db = c.handle();
    for (auto _ : state) {
        double v = 0;
        for (const char* kind : {"11", "21"}) {
            v += plainQuery(db,
                            "SELECT SUM(orderTotalAmount) FROM SUserCommodity WHERE years = ? and "
                            "months = ? and days = ? and orderSalesAndPurchaseTags = ?",
                            {c.year, c.month, c.day, kind});
            v += plainQuery(db,
                            "SELECT SUM(orderTotalAmount) FROM SUserCommodity WHERE years = ? and "
                            "months = ? and orderSalesAndPurchaseTags = ?",
                            {c.year, c.month, kind});
        }
        v += plainQuery(db, "SELECT COUNT(*) FROM SUserCommodity");
        v += plainQuery(db,
                        "SELECT orderItemSalesAndPurchaseTags, SUM(orderItemQuantity) FROM "
                        "SUserCommodityOrder GROUP BY orderItemSalesAndPurchaseTags");
        benchmark::DoNotOptimize(v);
    }
}

// ---- sales journal ----------------------------------------------------------------------

void BM_journal_app(benchmark::State& state) {
    withPushed<OrderJournalViewController>(createScreen("OUTItemsViewController"),
                                           [&](OrderJournalViewController& journal) {
                                               for (auto _ : state) journal.viewWillAppear();
                                           });
}

void BM_journal_limit(benchmark::State& state) {
    auto& c = BenchContext::get();
    sqlite3* db = c.handle();
    for (auto _ : state) {
        double v = plainQuery(
            db,
            "SELECT recordeDateTime, minutesTime, recordeWeekTime, orderName, "
            "orderSalesTagOrPurchaseTag, (SELECT supplierOrCustomersName FROM "
            "SSupplierOrCustomers WHERE supplierOrCustomersNameKey = "
            "orderSupplierOrCustomerNameKey ORDER BY supplierOrCustomersUid DESC LIMIT 1), "
            "orderTotalEntrys, orderTotalAmount, orderSalesAndPurchaseType FROM SUserCommodity "
            "WHERE years = ? and months = ? and orderSalesTagOrPurchaseTag = ? ORDER BY uid DESC",
            {c.year, c.month, "111"});
        v += plainQuery(db,
                        "SELECT SUM(orderTotalCounts), SUM(orderTotalEntrys), "
                        "SUM(orderTotalAmount) FROM SUserCommodity WHERE years = ? and months = ? "
                        "and orderSalesTagOrPurchaseTag = ?",
                        {c.year, c.month, "111"});
        benchmark::DoNotOptimize(v);
    }
}

// ---- inventory statistics ---------------------------------------------------------------

void BM_inventory_app(benchmark::State& state) {
    for (auto _ : state) {
        nav().pushViewController(createScreen("ALLInventoryViewController"), false);
        state.PauseTiming();
        nav().popViewControllerAnimated(false);
        nav().drain();
        state.ResumeTiming();
    }
}

void BM_inventory_limit(benchmark::State& state) {
    sqlite3* db = BenchContext::get().handle();
    for (auto _ : state) {
        double v = plainQuery(db,
                              "SELECT productSubName, productSubNameKey, productSubReferencePrice "
                              "FROM SProductsNameSub ORDER BY productSubUid DESC");
        v += plainQuery(db,
                        "SELECT orderItemProductNameKey, orderItemSalesAndPurchaseTags, COUNT(*), "
                        "SUM(orderItemQuantity) FROM SUserCommodityOrder GROUP BY "
                        "orderItemProductNameKey, orderItemSalesAndPurchaseTags");
        benchmark::DoNotOptimize(v);
    }
}

// ---- product history --------------------------------------------------------------------

void BM_history_app(benchmark::State& state) {
    auto& c = BenchContext::get();
    auto screen = std::make_unique<OneProductViewController>();
    screen->itemProductNameTitleStr = c.historyProductName;
    screen->itemProductNameUpdateKeyStr = c.historyProductKey;
    withPushed<OneProductViewController>(std::move(screen), [&](OneProductViewController& s) {
        for (auto _ : state) s.viewWillAppear();
    });
}

void BM_history_limit(benchmark::State& state) {
    auto& c = BenchContext::get();
    sqlite3* db = c.handle();
    for (auto _ : state) {
        benchmark::DoNotOptimize(plainQuery(
            db,
            "SELECT orderItemSalesAndPurchaseTags, orderItemModel, orderItemTotalAmount, "
            "orderItemQuantity, orderItemUnit, orderItemUnitPrice, orderItemDateTime, "
            "orderItemMinutesTime FROM SUserCommodityOrder WHERE orderItemYears = ? and "
            "orderItemMonths = ? and orderItemProductNameKey = ? ORDER BY orderItemUid DESC",
            {c.year, c.month, c.historyProductKey}));
    }
}

// ---- order statistics -------------------------------------------------------------------

void BM_statistics_app(benchmark::State& state) {
    withPushed<HomeStatisticsViewController>(createScreen("HomeStatisticsViewController"),
                                             [&](HomeStatisticsViewController& s) {
                                                 for (auto _ : state) s.viewWillAppear();
                                             });
}

void BM_statistics_limit(benchmark::State& state) {
    auto& c = BenchContext::get();
    sqlite3* db = c.handle();
    for (auto _ : state) {
        double v = plainQuery(db,
                              "SELECT SUM(orderTotalAmount), SUM(orderTotalCounts), "
                              "SUM(orderTotalEntrys) FROM SUserCommodity WHERE years = ? and "
                              "months = ? and days = ? and orderSalesAndPurchaseTags = ?",
                              {c.year, c.month, c.day, "21"});
        v += plainQuery(db,
                        "SELECT months, SUM(orderTotalAmount) FROM SUserCommodity WHERE years = ? "
                        "and orderSalesAndPurchaseTags = ? GROUP BY months",
                        {c.year, "21"});
        benchmark::DoNotOptimize(v);
    }
}

// ---- saving an order --------------------------------------------------------------------

// A header as the editor saves it; dated in a year the ledger does not hold so that the
// rows the benchmark adds change no figure of the present.
SUserCommodity benchHeader() {
    SUserCommodity h;
    h.orderPrimaryKeyDate = "19990101120000";
    h.orderSalesTagOrPurchaseTag = "111";
    h.orderSupplierOrCustomerName = "Customer 1";
    h.orderSupplierOrCustomerNameKey = "19990101120000";
    h.orderSalesAndPurchaseType = "Sales";
    h.orderSalesAndPurchaseTags = "21";
    h.orderName = "Benchmark";
    h.orderTotalCounts = "3.00";
    h.orderTotalEntrys = "2";
    h.orderTotalAmount = "12.50";
    h.remarkNotes = "-";
    h.recordeWeekInYearTime = "53";
    h.recordeWeekTime = "Friday";
    h.recordeDateTime = "1999/01/01";
    h.minutesTime = "12:00";
    h.years = "1999";
    h.months = "1";
    h.days = "1";
    return h;
}

void removeBenchRows() {
    plainExec(BenchContext::get().handle(), "DELETE FROM SUserCommodity WHERE years = '1999'");
}

void BM_save_insert(benchmark::State& state) {
    SUserCommodityDB store;
    const SUserCommodity h = benchHeader();
    for (auto _ : state) {
        if (!store.saveUserCommodity(h)) state.SkipWithError("insert failed");
    }
    removeBenchRows();
}

void BM_save_merge(benchmark::State& state) {
    SUserCommodityDB store;
    const auto& uid = BenchContext::get().mergeUid;
    SUserCommodity h;
    for (const auto& r : store.findChartWithYearsLike_findProfitWithSalesAndPurchaseTagsLike(
             BenchContext::get().year, "21")) {
        if (r.uid == uid) h = r;
    }
    for (const auto& r : store.findChartWithYearsLike_findProfitWithSalesAndPurchaseTagsLike(
             BenchContext::get().year, "11")) {
        if (r.uid == uid) h = r;
    }
    if (!h.uid) {
        state.SkipWithError("no order to merge");
        return;
    }
    // SQLite skips writing a row that did not change, so each save changes the note; the
    // order's figures stay as they were, and the original note is put back at the end.
    const SUserCommodity original = h;
    bool flip = false;
    for (auto _ : state) {
        h.remarkNotes = (flip = !flip) ? "Benchmark note" : "Benchmark note 2";
        if (!store.mergeWithUserCommodity_changeID(h, uid)) state.SkipWithError("merge failed");
    }
    store.mergeWithUserCommodity_changeID(original, uid);
}

void BM_save_limit(benchmark::State& state) {
    sqlite3* db = BenchContext::get().handle();
    const SUserCommodity h = benchHeader();
    std::vector<std::string> values;
    for (const auto& col : SUserCommodity::columns()) values.push_back(*(h.*(col.field)));
    const char* insert =
        "INSERT INTO SUserCommodity (orderPrimaryKeyDate,orderSalesTagOrPurchaseTag,"
        "orderSupplierOrCustomerName,orderSupplierOrCustomerNameKey,orderSalesAndPurchaseType,"
        "orderSalesAndPurchaseTags,orderName,orderTotalCounts,orderTotalEntrys,orderTotalAmount,"
        "remarkNotes,recordeWeekInYearTime,recordeWeekTime,recordeDateTime,minutesTime,years,"
        "months,days) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    for (auto _ : state) {
        plainExec(db, "BEGIN");
        if (!plainExec(db, insert, values)) state.SkipWithError("insert failed");
        plainExec(db, "COMMIT");
    }
    removeBenchRows();
}

// ---- start-up ---------------------------------------------------------------------------

void BM_startup_app(benchmark::State& state) {
    auto& c = BenchContext::get();
    for (auto _ : state) {
        state.PauseTiming();
        c.app.reset();
        SDBManager::close();
        state.ResumeTiming();
        startOn(c.workDir);
        c.app = std::make_unique<AppDelegate>();
        c.app->application_didFinishLaunchingWithOptions();
    }
}

}  // namespace

BENCHMARK(BM_startup_app)->Name("startup/app")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_dashboard_app)->Name("dashboard/app")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_dashboard_limit)
    ->Name("dashboard/limit")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_journal_app)->Name("journal/app")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_journal_limit)->Name("journal/limit")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_inventory_app)->Name("inventory/app")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_inventory_limit)
    ->Name("inventory/limit")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_history_app)->Name("history/app")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_history_limit)->Name("history/limit")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_statistics_app)->Name("statistics/app")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_statistics_limit)
    ->Name("statistics/limit")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_save_insert)->Name("save/insert")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_save_merge)->Name("save/merge")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_save_limit)->Name("save/limit")->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- memory -----------------------------------------------------------------------------

namespace {
long residentKb() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
}  // namespace

int visitEveryScreen(const std::string& workDir, int rounds) {
    auto& c = BenchContext::get();
    c.workDir = workDir;
    c.startApp();  // the dashboard
    Navigator& n = nav();
    auto visit = [&](std::unique_ptr<Screen> s, auto&& inside) {
        n.pushViewController(std::move(s), false);
        inside(*n.top());
        n.popViewControllerAnimated(false);
        n.drain();
    };
    auto nothing = [](Screen&) {};
    visit(createScreen("ALLInventoryViewController"), [&](Screen& s) {
        if (auto* t = s.get<TableView>("tableView"); t && t->didSelectRow && !t->rows.empty()) {
            t->didSelectRow(0);  // a product's history
            n.popViewControllerAnimated(false);
            n.drain();
        }
    });
    visit(createScreen("HomeStatisticsViewController"), nothing);
    for (const char* journal : {"OUTItemsViewController", "INItemsViewController"}) {
        visit(createScreen(journal), [&](Screen& s) {
            if (auto* t = s.get<TableView>("tableView"); t && t->didSelectRow && !t->rows.empty()) {
                t->didSelectRow(0);  // the order editor with its lines
                visit(createScreen("SelectProductsBackViewController"), nothing);
                n.popViewControllerAnimated(false);
                n.drain();
            }
        });
    }
    // The export reads every order; the catalogue and partner screens list theirs.
    visit(createScreen("MoreViewController"), [](Screen& s) {
        s.perform("CSVEcportEvent");
        BackgroundWork::waitUntilEnded();
        BackgroundWork::deliver();
    });
    for (const char* cls :
         {"NoteSelectListView", "AboutViewController", "ProductListViewController",
          "AddProductTypeViewController", "ProductSubItemListViewController",
          "AddProductSubViewController", "CustomersSettingsVC", "SupplierSettingsVC",
          "AddSupplierCustomersVC"}) {
        visit(createScreen(cls), nothing);
    }

    // Each round presses every button of the bar once, each on the main screen shown then,
    // through the same event the page posts.
    auto press = [&](const std::string& target) {
        const auto* bar = n.top()->get<ButtonBar>("tabBar");
        for (const auto& item : bar->items) {
            if (item.id != target) continue;
            UIEvent e;
            e.type = "tap";
            e.action = item.action;
            n.top()->handleEvent(e);
            n.drain();
            return;
        }
    };
    long first = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const char* target :
             {"jumpMoreItems", "jumpOutItems", "jumpInItems", "jumpInventoryItems"})
            press(target);
        if (round == 0) first = residentKb();
    }
    const long last = residentKb();
    const size_t depth = n.depth();
    c.app.reset();
    AppDelegate::endInstance();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld %ld %ld %zu\n", usage.ru_maxrss, first, last, depth);
    return 0;
}

ScreenMemory measureScreenMemory(const std::string& self, const std::string& workDir, int rounds) {
    const std::string cmd =
        "'" + self + "' --visit-screens " + std::to_string(rounds) + " '" + workDir + "'";
    ScreenMemory m;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        if (std::fscanf(p, "%ld %ld %ld %zu", &m.peakKb, &m.firstKb, &m.lastKb, &m.depth) != 4)
            m.peakKb = -1;
        pclose(p);
    }
    return m;
}
