#include "stats/HomeStatisticsViewController.h"

#include <cfloat>

#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/LedgerFigures.h"
#include "storage/NumberText.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenMode.h"
#include "widgets/ScreenParts.h"

namespace {

const char* const kKindKeys[] = {"KLDays", "KLWeeks", "KLMonths", "KLYears"};

UserDefaults& defaults() {
    return UserDefaults::standardUserDefaults();
}

void store(const std::string& value, const std::string& key) {
    defaults().setObject_forKey(value, key);
    defaults().synchronize();
}

// Writes a value under a scratch key and returns what the store gives back.
std::string storeAndReadBack(const std::string& value, const std::string& key) {
    store(value, key);
    return orEmpty(defaults().stringForKey(key));
}

}  // namespace

HomeStatisticsViewController::HomeStatisticsViewController()
    : Screen("HomeStatisticsViewController") {}

void HomeStatisticsViewController::viewDidLoad() {
    auto& close = add<Button>("closeBtn");
    close.action = "closeEvent";
    close.style = "back";
    on("closeEvent",
       [this](const ActionArgs&) { navigationController()->popViewControllerAnimated(true); });

    auto& titleLbl = add<Label>("showStatisticsInfoLbl");
    titleLbl.action = "choseEvent";
    auto& chose = add<Button>("choseBtn");
    chose.title = KL("KLPlzSelect");
    chose.action = "choseEvent";
    chose.style = "nav";
    on("choseEvent", [this](const ActionArgs&) { choseEvent(); });

    segmentView = &add<SegmentView>("segmentView");

    auto& last = add<Button>("lastMonthBtn");
    last.action = "lastMonthDataEvent";
    last.image = "arrow_left";
    on("lastMonthDataEvent", [this](const ActionArgs&) { lastMonthDataEvent(); });
    add<Label>("DaysLbl");
    add<Label>("WeeksLbl").hidden = true;
    add<Label>("oldYearsLbl").hidden = true;
    add<Label>("oldMonthLbl").hidden = true;
    add<Label>("YearsLbl").hidden = true;
    auto& next = add<Button>("nextMonthBtn");
    next.action = "nextMonthDataEvent";
    next.image = "arrow_right";
    on("nextMonthDataEvent", [this](const ActionArgs&) { nextMonthDataEvent(); });

    add<Label>("showIncomeLbl").text = KL("KLAmount");
    add<Label>("showIncomeValueText").text = "0.00";
    add<Label>("showOrderTotalCountsLbl").text = KL("KLQty");
    add<Label>("showOrderTotalCountsValueText").text = "0.00";
    add<Label>("showOrderTotalEntrysLbl").text = KL("KLItems");
    add<Label>("showOrderTotalEntrysValueText").text = "0.00";
    add<Label>("showYearsInfoLbl");

    initColumnChartUIData();
}

void HomeStatisticsViewController::viewWillAppear() {
    userCommodityDB = std::make_unique<SUserCommodityDB>();
    store("21", "21");
    hideSelectIndexStr(KL("KLDays"));

    // A fresh selector at every appearance, on the first item.
    segmentView->items.clear();
    for (const char* key : kKindKeys) segmentView->items.push_back(KL(key));
    segmentView->selected = 0;
    segmentView->delegate = this;

    const CalendarDate today = ConstParameterAndMethod::today();
    label("DaysLbl").text = ConstParameterAndMethod::getTimeNow();
    label("WeeksLbl").text = formatCount(today.weekOfYear);
    label("oldYearsLbl").text = formatCount(today.year);
    label("YearsLbl").text = formatCount(today.year);
    label("oldMonthLbl").text = formatCount(today.month);

    label("showYearsInfoLbl").text = KL("KLYears") + ":" + formatCount(today.year);
    setKindTitle("KLSales");
    reReloadUIViewData();
    initColumnChartUIData();
}

void HomeStatisticsViewController::setKindTitle(const char* kindKey) {
    title = "(" + KL(kindKey) + ")" + KL("KLOrderStatistics");
    label("showStatisticsInfoLbl").text = title;
}

void HomeStatisticsViewController::segmentViewSelectIndex(int index) {
    if (index < 0 || index > 3) return;
    hideSelectIndexStr(KL(kKindKeys[index]));
    reReloadUIViewData();
}

void HomeStatisticsViewController::hideSelectIndexStr(const std::string& kindText) {
    int kind = -1;
    for (int i = 0; i < 4; ++i)
        if (kindText == KL(kKindKeys[i])) kind = i;
    if (kind < 0) return;
    label("DaysLbl").hidden = kind != 0;
    label("WeeksLbl").hidden = kind != 1;
    label("oldYearsLbl").hidden = kind != 2;
    label("oldMonthLbl").hidden = kind != 2;
    label("YearsLbl").hidden = kind != 3;
    store(kindText, "KLDays");
}

void HomeStatisticsViewController::reReloadUIViewData() {
    const CalendarDate today = ConstParameterAndMethod::today();
    const std::string kindText = orEmpty(defaults().stringForKey("KLDays"));
    const Text tag = defaults().stringForKey("21");
    if (!userCommodityDB) userCommodityDB = std::make_unique<SUserCommodityDB>();
    auto& db = *userCommodityDB;

    // Only the three summed columns are read, with each period find's own condition and
    // order (newest first), so the sums equal those over the find's records.
    std::string where;
    std::vector<SQLValue> args;
    if (kindText == KL("KLDays")) {
        where = "years = ? and months = ? and days = ? and orderSalesAndPurchaseTags = ?";
        args = {formatCount(today.year), formatCount(today.month), formatCount(today.day), tag};
    } else if (kindText == KL("KLWeeks")) {
        // The week of today's ISO week-year, whichever calendar year its days fall in.
        auto week = SUserCommodityDB::weekCondition(formatCount(today.weekYear),
                                                    label("WeeksLbl").text, tag);
        where = std::move(week.where);
        args = std::move(week.args);
    } else if (kindText == KL("KLMonths")) {
        where = "years = ? and months = ? and orderSalesAndPurchaseTags = ?";
        args = {label("oldYearsLbl").text, label("oldMonthLbl").text, tag};
    } else if (kindText == KL("KLYears")) {
        where = "years = ? and orderSalesAndPurchaseTags = ?";
        args = {label("YearsLbl").text, tag};
    } else {
        return;  // an unknown kind keeps what is shown
    }
    const auto totals = LedgerFigures(db.db()).sumOrderTotals(where, args);
    if (!totals) {
        for (const char* id : {"showIncomeValueText", "showOrderTotalCountsValueText",
                               "showOrderTotalEntrysValueText"})
            label(id).text = ScreenParts::kUnreadFigure;
        return ScreenParts::reportFailedRead(*this);
    }
    label("showIncomeValueText").text = totals->amount.text();
    label("showOrderTotalCountsValueText").text = totals->counts.text();
    label("showOrderTotalEntrysValueText").text = totals->entrys.text();
}

void HomeStatisticsViewController::lastMonthDataEvent() {
    const std::string kindText = orEmpty(defaults().stringForKey("KLDays"));
    if (kindText == KL("KLWeeks")) {
        auto& week = label("WeeksLbl");
        week.text = storeAndReadBack(formatCount(intValue(week.text) - 1), "16");
        // Week 1 goes back to the last week of today's ISO week-year, which has 52 or 53.
        if (intValue(week.text) < 1) {
            const int lastWeek =
                ConstParameterAndMethod::weeksInYear(ConstParameterAndMethod::today().weekYear);
            week.text = storeAndReadBack(formatCount(lastWeek), "16");
        }
    } else if (kindText == KL("KLMonths")) {
        auto& month = label("oldMonthLbl");
        month.text = storeAndReadBack(formatCount(intValue(month.text) - 1), "5");
        if (month.text == "0") {
            month.text = "12";
            auto& year = label("oldYearsLbl");
            year.text = storeAndReadBack(formatCount(intValue(year.text) - 1), "2014");
        }
    } else if (kindText == KL("KLYears")) {
        auto& year = label("YearsLbl");
        year.text = storeAndReadBack(formatCount(intValue(year.text) - 1), "2014");
        if (year.text == "0") year.text = "1900";
    }
    reReloadUIViewData();
}

void HomeStatisticsViewController::nextMonthDataEvent() {
    const std::string kindText = orEmpty(defaults().stringForKey("KLDays"));
    if (kindText == KL("KLWeeks")) {
        auto& week = label("WeeksLbl");
        week.text = storeAndReadBack(formatCount(intValue(week.text) + 1), "16");
        const int lastWeek =
            ConstParameterAndMethod::weeksInYear(ConstParameterAndMethod::today().weekYear);
        if (intValue(week.text) > lastWeek) week.text = storeAndReadBack("1", "16");
    } else if (kindText == KL("KLMonths")) {
        auto& month = label("oldMonthLbl");
        month.text = storeAndReadBack(formatCount(intValue(month.text) + 1), "5");
        if (month.text == "13") {
            month.text = "1";
            auto& year = label("oldYearsLbl");
            year.text = storeAndReadBack(formatCount(intValue(year.text) + 1), "2014");
        }
    } else if (kindText == KL("KLYears")) {
        auto& year = label("YearsLbl");
        year.text = storeAndReadBack(formatCount(intValue(year.text) + 1), "2014");
        if (year.text == "9999") year.text = "1900";
    }
    reReloadUIViewData();
}

void HomeStatisticsViewController::choseEvent() {
    ActionSheet sheet;
    sheet.title = KL("KLPlzSelect");
    sheet.cancelTitle = KL("KLCancel");
    sheet.otherTitles = {KL("KLSales"), KL("KLPurchase")};
    sheet.onClick = [this](int index) { didClickOnButtonIndex(index); };
    showActionSheet(std::move(sheet));
}

void HomeStatisticsViewController::didClickOnButtonIndex(int index) {
    if (index == 0) {
        store("21", "21");
        setKindTitle("KLSales");
    } else if (index == 1) {
        store("11", "21");
        setKindTitle("KLPurchase");
    } else {
        return;
    }
    reReloadUIViewData();
    initColumnChartUIData();
}

void HomeStatisticsViewController::initColumnChartUIData() {
    const std::string year = formatCount(ConstParameterAndMethod::today().year);
    const Text tag = defaults().stringForKey("21");
    // One query for the twelve month finds.
    const auto amounts = LedgerFigures().monthAmounts(year, tag);
    monthBuckets = amounts.value_or(std::array<DecimalSum, 12>{});

    // The chart shows each bucket as its two-decimal text reads back. A year that could not
    // be read whole has no columns: a flat chart would say there were no orders.
    std::vector<std::string> texts{"1.0"};
    if (amounts)
        for (const auto& b : monthBuckets) texts.push_back(b.text());
    else
        ScreenParts::reportFailedRead(*this);
    std::vector<ColumnDataModel> data;
    for (size_t i = 1; i < texts.size(); ++i) {
        ColumnDataModel m;
        m.label = std::to_string(i);
        m.value = floatValue(texts[i]);
        m.index = static_cast<int>(i);
        data.push_back(std::move(m));
    }
    tempData = std::move(data);

    // A new chart: fresh columns, default colours, nothing selected.
    if (!columnChart) columnChart = &add<ColumnChart>("columnChart");
    const auto size = ScreenMode::pixelSize();
    const bool tall = size && size->first == 640 && size->second == 1136;
    columnChart->setFrame(40, 230, 270, tall ? 260 : 180);
    columnChart->dataSource = this;
    columnChart->delegate = this;
    columnChart->reloadData();
    columnSelected = -1;
    tempColor.clear();
}

int HomeStatisticsViewController::numberOfColumnsInColumnChart(ColumnChart&) {
    return static_cast<int>(tempData.size());
}

int HomeStatisticsViewController::numberOfColumnsPresentedEveryTime(ColumnChart&) {
    return 12;
}

std::optional<ColumnDataModel> HomeStatisticsViewController::highestValueColumnChart(ColumnChart&) {
    std::optional<ColumnDataModel> best;
    float highest = -FLT_MIN;
    for (const auto& m : tempData) {
        if (m.value > highest) {
            highest = m.value;
            best = m;
        }
    }
    return best;
}

std::optional<ColumnDataModel> HomeStatisticsViewController::columnChart_valueForIndex(ColumnChart&,
                                                                                       int index) {
    if (index < 0 || index >= static_cast<int>(tempData.size())) return std::nullopt;
    return tempData[index];
}

void HomeStatisticsViewController::columnChart_didSelectColumn(ColumnChart& chart, int column) {
    if (columnSelected >= 0) chart.setColumnColor(columnSelected, tempColor);
    columnSelected = column;
    tempColor = chart.columnColor(column);
    chart.setColumnColor(column, "black");
}

void HomeStatisticsViewController::columnChart_fingerDidEnterColumn(ColumnChart& chart,
                                                                    int column) {
    bool anyAmount = false;
    for (const auto& b : monthBuckets) anyAmount = anyAmount || b.isPositive();
    if (!anyAmount) return;
    const ChartColumn* c = chart.column(column);
    if (!c) return;

    if (!floatBox) {
        // The box may still be among the widgets, hidden, from an earlier touch.
        floatBox = get<FloatBox>("floatBox");
        if (!floatBox) floatBox = &add<FloatBox>("floatBox");
        floatBox->unit.clear();
        floatBox->title.clear();
        floatBox->opacity = 0;
    }
    // Right of the column, unless the box would pass the chart's right edge there.
    floatBox->column = column;
    floatBox->leftOfColumn =
        c->x + (1 + FloatBox::kGap) * c->width + FloatBox::kWidth > chart.x + chart.width;
    floatBox->value = c->value;
    floatBox->visible = true;
    floatBox->opacity = 1;  // the page fades it in over 0.5 s
}

void HomeStatisticsViewController::columnChart_fingerDidLeaveColumn(ColumnChart&, int) {}

void HomeStatisticsViewController::fingerDidLeaveColumnChart(ColumnChart&) {
    if (!floatBox) return;
    // The page fades it out while it sinks by its own height; then it is gone.
    floatBox->opacity = 0;
    floatBox->visible = false;
    floatBox = nullptr;
}
