// Order statistics: totals by period kind, period stepping with its wrap rules, the
// sales/purchase chooser, and the month chart with its value box and selection
// (pinned clock: Saturday 9 May 2015 16:02:50, Madrid; ISO week 19 of a 53-week year).
#include <gtest/gtest.h>

#include <cfloat>

#include "platform/UserDefaults.h"
#include "stats/HomeStatisticsViewController.h"
#include "storage/NumberText.h"
#include "storage/SUserCommodityDB.h"
#include "tests/support/AppHarness.h"

namespace {

struct Order {
    std::string tag = "21";
    std::string year = "2015", month = "5", day = "9", week = "19";
    std::string amount = "0", counts = "0", entrys = "0";
};

void addOrder(const Order& o) {
    SUserCommodity h;
    h.orderPrimaryKeyDate = "20150509160250";
    h.orderSalesAndPurchaseTags = o.tag;
    h.orderSalesTagOrPurchaseTag = o.tag == "21" ? "111" : "000";
    h.orderTotalAmount = o.amount;
    h.orderTotalCounts = o.counts;
    h.orderTotalEntrys = o.entrys;
    h.years = o.year;
    h.months = o.month;
    h.days = o.day;
    h.recordeWeekInYearTime = o.week;
    ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(h));
}

class OrderStatistics : public AppHarness {
  protected:
    HomeStatisticsViewController* open() {
        start();
        EXPECT_TRUE(tap("showOrderStatisticsEvent"));
        return topAs<HomeStatisticsViewController>();
    }
    bool segment(int index) {
        UIEvent e;
        e.type = "segment";
        e.id = "segmentView";
        e.index = index;
        return send(e);
    }
    bool chart(const std::string& what, int index = -1) {
        UIEvent e;
        e.type = "chart";
        e.id = "columnChart";
        e.value = what;
        e.index = index;
        return send(e);
    }
    std::vector<std::string> totals() {
        return {labelText("showIncomeValueText"), labelText("showOrderTotalCountsValueText"),
                labelText("showOrderTotalEntrysValueText")};
    }
    bool shown(const std::string& id) { return !top()->find(id)->hidden; }
    static std::vector<std::string> zeros() { return {"0.00", "0.00", "0.00"}; }
};

}  // namespace

TEST_F(OrderStatistics, EmptyLedgerShowsZerosFlatChartAndNoValueBox) {
    auto* s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->title, "(Sales)Order statistics");
    EXPECT_EQ(labelText("showStatisticsInfoLbl"), "(Sales)Order statistics");
    EXPECT_EQ(labelText("showYearsInfoLbl"), "Years:2015");
    EXPECT_EQ(labelText("showIncomeLbl"), "Amount");
    EXPECT_EQ(labelText("showOrderTotalCountsLbl"), "Qty");
    EXPECT_EQ(labelText("showOrderTotalEntrysLbl"), "Items");
    EXPECT_EQ(labelText("DaysLbl"), "2015/05/09");
    EXPECT_EQ(labelText("WeeksLbl"), "19");
    EXPECT_EQ(labelText("oldYearsLbl"), "2015");
    EXPECT_EQ(labelText("oldMonthLbl"), "5");
    EXPECT_EQ(labelText("YearsLbl"), "2015");
    EXPECT_TRUE(shown("DaysLbl"));
    EXPECT_FALSE(shown("WeeksLbl") || shown("oldYearsLbl") || shown("YearsLbl"));
    EXPECT_EQ(totals(), zeros());

    ASSERT_EQ(s->tempData.size(), 12u);
    for (const auto& m : s->tempData) EXPECT_EQ(m.value, 0.0f);
    auto highest = s->highestValueColumnChart(*s->columnChart);
    ASSERT_TRUE(highest);
    EXPECT_EQ(highest->index, 1);
    EXPECT_EQ(s->columnChart->columns().size(), 12u);

    EXPECT_TRUE(chart("enter", 4));
    EXPECT_EQ(s->floatBox, nullptr);
    EXPECT_EQ(s->find("floatBox"), nullptr);

    auto& d = UserDefaults::standardUserDefaults();
    EXPECT_EQ(d.stringForKey("21"), "21");
    EXPECT_EQ(d.stringForKey("KLDays"), "Days");

    ASSERT_TRUE(tap("closeEvent"));
    EXPECT_EQ(nav().depth(), 1u);
}

TEST_F(OrderStatistics, PurchaseOfTodayShowsOnlyAfterChoosingPurchases) {
    start();
    addOrder({.tag = "11", .amount = "12.5", .counts = "3", .entrys = "2"});
    ASSERT_TRUE(tap("showOrderStatisticsEvent"));
    auto* s = topAs<HomeStatisticsViewController>();
    EXPECT_EQ(totals(), zeros());
    EXPECT_EQ(s->tempData[4].value, 0.0f);

    ASSERT_TRUE(tap("choseEvent"));
    const auto& chooser = s->actionSheet();
    ASSERT_TRUE(chooser);
    EXPECT_EQ(chooser->title, "Please select");
    EXPECT_EQ(chooser->cancelTitle, "Cancel");
    EXPECT_TRUE(chooser->destructiveTitle.empty());
    EXPECT_EQ(chooser->otherTitles, (std::vector<std::string>{"Sales", "Purchase"}));

    ASSERT_TRUE(sheet(1));
    EXPECT_EQ(totals(), (std::vector<std::string>{"12.50", "3.00", "2.00"}));
    EXPECT_EQ(s->title, "(Purchase)Order statistics");
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey("21"), "11");
    EXPECT_EQ(s->tempData[4].value, 12.5f);

    // Cancel changes nothing at all.
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(2));
    EXPECT_EQ(s->title, "(Purchase)Order statistics");
    EXPECT_EQ(totals()[0], "12.50");

    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(totals(), zeros());
    EXPECT_EQ(s->tempData[4].value, 0.0f);
}

TEST_F(OrderStatistics, EachKindSumsItsOwnPeriodAndStaysOnItsLastValues) {
    start();
    addOrder({.amount = "1", .counts = "1", .entrys = "1"});              // today
    addOrder({.day = "5", .amount = "2", .counts = "2", .entrys = "1"});  // same week
    addOrder({.day = "1", .week = "18", .amount = "4", .counts = "1", .entrys = "1"});
    addOrder({.month = "3", .day = "2", .week = "10", .amount = "8"});
    addOrder({.year = "2014", .day = "9", .amount = "16"});  // last year
    addOrder({.tag = "11", .amount = "100"});                // a purchase
    ASSERT_TRUE(tap("showOrderStatisticsEvent"));
    auto* s = topAs<HomeStatisticsViewController>();
    EXPECT_EQ(totals(), (std::vector<std::string>{"1.00", "1.00", "1.00"}));

    ASSERT_TRUE(segment(1));
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey("KLDays"), "Weeks");
    EXPECT_TRUE(shown("WeeksLbl"));
    EXPECT_FALSE(shown("DaysLbl"));
    EXPECT_EQ(totals(), (std::vector<std::string>{"3.00", "3.00", "2.00"}));

    ASSERT_TRUE(segment(2));
    EXPECT_TRUE(shown("oldYearsLbl") && shown("oldMonthLbl"));
    EXPECT_EQ(totals()[0], "7.00");
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(totals()[0], "8.00");

    ASSERT_TRUE(segment(3));
    EXPECT_TRUE(shown("YearsLbl"));
    EXPECT_FALSE(shown("oldMonthLbl"));
    EXPECT_EQ(totals()[0], "15.00");
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(totals()[0], "16.00");

    // Back to months: the month label kept its stepped value.
    ASSERT_TRUE(segment(2));
    EXPECT_EQ(labelText("oldMonthLbl"), "3");
    EXPECT_EQ(s->segmentView->selected, 2);

    // Out of range: not handled, and the screen ignores it too.
    EXPECT_FALSE(segment(4));
    s->segmentViewSelectIndex(7);
    s->hideSelectIndexStr("Fortnights");
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey("KLDays"), "Months");
    EXPECT_EQ(totals()[0], "8.00");

    // An unknown stored kind runs no query and keeps the totals.
    UserDefaults::standardUserDefaults().setObject_forKey("Hours", "KLDays");
    addOrder({.month = "3", .day = "3", .amount = "50"});
    s->reReloadUIViewData();
    EXPECT_EQ(totals()[0], "8.00");
}

TEST_F(OrderStatistics, AppearingAgainResetsTagKindAndPeriods) {
    auto* s = open();
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(1));
    ASSERT_TRUE(segment(3));
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("YearsLbl"), "2016");

    nav().pushViewController(std::make_unique<HomeStatisticsViewController>(), false);
    nav().popViewControllerAnimated(false);
    nav().drain();
    EXPECT_EQ(top(), s);
    EXPECT_EQ(s->title, "(Sales)Order statistics");
    EXPECT_EQ(labelText("YearsLbl"), "2015");
    EXPECT_TRUE(shown("DaysLbl"));
    EXPECT_FALSE(shown("YearsLbl"));
    EXPECT_EQ(s->segmentView->selected, 0);
    EXPECT_EQ(s->segmentView->items,
              (std::vector<std::string>{"Days", "Weeks", "Months", "Years"}));
}

TEST_F(OrderStatistics, DayKindArrowsKeepTheDateButRecomputeToday) {
    open();
    addOrder({.amount = "3.333"});
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("DaysLbl"), "2015/05/09");
    EXPECT_EQ(totals()[0], "3.33");
    addOrder({.amount = "1"});
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("DaysLbl"), "2015/05/09");
    EXPECT_EQ(totals()[0], "4.33");
    EXPECT_EQ(labelText("WeeksLbl"), "19");
    EXPECT_EQ(labelText("oldMonthLbl"), "5");
}

TEST_F(OrderStatistics, WeeksWrapAtTheLastIsoWeekOfTodaysYear) {
    // 2015 has 53 ISO weeks.
    open();
    auto& d = UserDefaults::standardUserDefaults();
    ASSERT_TRUE(segment(1));
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl"), "20");
    EXPECT_EQ(d.stringForKey("16"), "20");
    for (int i = 0; i < 19; ++i) ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl"), "1");
    addOrder({.month = "12", .day = "31", .week = "53", .amount = "9"});
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl"), "53");
    EXPECT_EQ(d.stringForKey("16"), "53");
    EXPECT_EQ(totals()[0], "9.00");
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl"), "1");
    EXPECT_EQ(d.stringForKey("16"), "1");
    EXPECT_EQ(labelText("oldYearsLbl"), "2015");  // the year never moves with the week
}

TEST_F(OrderStatistics, WeeksWrapAt52InA52WeekYearAnd53InAnother) {
    clock_->set(at(2014, 1, 1));  // Wednesday of ISO week 1 of 2014, which has 52 weeks
    open();
    ASSERT_TRUE(segment(1));
    EXPECT_EQ(labelText("WeeksLbl"), "1");
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl"), "52");
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl"), "1");

    clock_->set(at(2026, 12, 31));  // Thursday of week 53
    auto* s = topAs<HomeStatisticsViewController>();
    nav().pushViewController(std::make_unique<HomeStatisticsViewController>(), false);
    nav().popViewControllerAnimated(false);
    nav().drain();
    ASSERT_EQ(top(), s);
    ASSERT_TRUE(segment(1));
    EXPECT_EQ(labelText("WeeksLbl"), "53");
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl"), "1");
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl"), "53");
}

TEST_F(OrderStatistics, MonthsWrapIntoTheNeighbouringYear) {
    auto* s = open();
    auto& d = UserDefaults::standardUserDefaults();
    ASSERT_TRUE(segment(2));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("oldMonthLbl"), "1");
    addOrder({.year = "2014", .month = "12", .day = "24", .week = "52", .amount = "6"});
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("oldMonthLbl"), "12");
    EXPECT_EQ(labelText("oldYearsLbl"), "2014");
    EXPECT_EQ(d.stringForKey("5"), "0");
    EXPECT_EQ(d.stringForKey("2014"), "2014");
    EXPECT_EQ(totals()[0], "6.00");
    EXPECT_EQ(labelText("YearsLbl"), "2015");  // the year kind's label is separate

    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("oldMonthLbl"), "1");
    EXPECT_EQ(labelText("oldYearsLbl"), "2015");
    EXPECT_EQ(d.stringForKey("5"), "13");
    EXPECT_EQ(totals(), zeros());
    // The chart keeps today's year whatever the period shows.
    EXPECT_EQ(s->tempData[11].value, 0.0f);
}

TEST_F(OrderStatistics, YearsSkipZeroAnd9999To1900) {
    auto* s = open();
    auto& d = UserDefaults::standardUserDefaults();
    ASSERT_TRUE(segment(3));
    s->get<Label>("YearsLbl")->text = "1";
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("YearsLbl"), "1900");
    EXPECT_EQ(d.stringForKey("2014"), "0");
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("YearsLbl"), "1899");

    s->get<Label>("YearsLbl")->text = "9998";
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("YearsLbl"), "1900");
    EXPECT_EQ(d.stringForKey("2014"), "9999");
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("YearsLbl"), "1901");
}

TEST_F(OrderStatistics, ChartShowsTodaysYearAmountsRoundedToCents) {
    start();
    addOrder({.month = "1", .amount = "1.005", .counts = "99"});
    addOrder({.month = "1", .amount = "2.0049"});
    addOrder({.month = "7", .amount = "0.125"});
    addOrder({.month = "12", .amount = "20"});
    addOrder({.year = "2014", .month = "2", .amount = "500"});
    addOrder({.tag = "11", .month = "3", .amount = "700"});
    ASSERT_TRUE(tap("showOrderStatisticsEvent"));
    auto* s = topAs<HomeStatisticsViewController>();
    ASSERT_EQ(s->tempData.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        const auto& m = s->tempData[i];
        EXPECT_EQ(m.label, std::to_string(i + 1));
        EXPECT_EQ(m.index, i + 1);
        EXPECT_EQ(m.unit, "");
        EXPECT_EQ(m.value, floatValue(formatAmount(s->monthBuckets[i]))) << "month " << i + 1;
    }
    EXPECT_EQ(s->monthBuckets[0], 1.005f + 2.0049f);
    EXPECT_NE(s->tempData[0].value, s->monthBuckets[0]);
    EXPECT_EQ(s->tempData[0].value, 3.01f);
    EXPECT_EQ(s->tempData[1].value, 0.0f);  // last year's February
    EXPECT_EQ(s->tempData[2].value, 0.0f);  // a purchase
    EXPECT_EQ(s->tempData[11].value, 20.0f);

    // The chart lays out twelve columns in its frame with grades against the highest.
    const ColumnChart& c = *s->columnChart;
    EXPECT_EQ(c.x, 40);
    EXPECT_EQ(c.y, 230);
    EXPECT_EQ(c.width, 270);
    EXPECT_EQ(c.height, 260);
    ASSERT_EQ(c.columns().size(), 12u);
    EXPECT_EQ(c.highest(), 20.0f);
    EXPECT_DOUBLE_EQ(c.columns()[11].grade, 1.0);
    EXPECT_NEAR(c.columns()[0].grade, 3.01 / 20, 1e-6);
    EXPECT_EQ(c.columns()[1].grade, 0.0);
    for (int i = 1; i < 12; ++i) EXPECT_GT(c.columns()[i].x, c.columns()[i - 1].x);
    EXPECT_LE(c.columns()[11].x + c.columns()[11].width, c.x + c.width);
}

TEST_F(OrderStatistics, ChartIsShorterOutsideThe640By1136Mode) {
    ScreenMode::setPixelSize(std::make_pair(640, 960));
    auto* s = open();
    EXPECT_EQ(s->layout(), "HomeStatisticsViewController960");
    EXPECT_EQ(s->columnChart->height, 180);
}

TEST_F(OrderStatistics, HighestColumnIsTheFirstOfTheGreatestAndNoneWhenNothingQualifies) {
    auto* s = open();
    ColumnChart& c = *s->columnChart;
    auto model = [](int index, float value) {
        ColumnDataModel m;
        m.index = index;
        m.value = value;
        return m;
    };
    s->tempData = {model(1, 2), model(2, 5), model(3, 5), model(4, 1)};
    EXPECT_EQ(s->highestValueColumnChart(c)->index, 2);
    s->tempData = {model(1, 0), model(2, 0)};
    EXPECT_EQ(s->highestValueColumnChart(c)->index, 1);
    s->tempData = {model(1, -3), model(2, -FLT_MIN)};
    EXPECT_FALSE(s->highestValueColumnChart(c));
    s->tempData = {model(1, -3), model(2, 0)};
    EXPECT_EQ(s->highestValueColumnChart(c)->index, 2);
    s->tempData.clear();
    EXPECT_FALSE(s->highestValueColumnChart(c));

    s->tempData = {model(1, 2), model(2, 5)};
    EXPECT_EQ(s->numberOfColumnsInColumnChart(c), 2);
    EXPECT_EQ(s->numberOfColumnsPresentedEveryTime(c), 12);
    EXPECT_EQ(s->columnChart_valueForIndex(c, 1)->value, 5.0f);
    EXPECT_FALSE(s->columnChart_valueForIndex(c, 2));
    EXPECT_FALSE(s->columnChart_valueForIndex(c, -1));
}

TEST_F(OrderStatistics, SelectingAColumnPaintsItBlackAndRestoresThePreviousOne) {
    auto* s = open();
    ColumnChart& c = *s->columnChart;
    const std::string normal = c.columnColor(0);
    ASSERT_FALSE(normal.empty());
    ASSERT_TRUE(chart("select", 2));
    EXPECT_EQ(c.columnColor(2), "black");
    EXPECT_EQ(c.selected(), 2);
    EXPECT_EQ(s->columnSelected, 2);
    EXPECT_EQ(s->tempColor, normal);

    ASSERT_TRUE(chart("select", 5));
    EXPECT_EQ(c.columnColor(2), normal);
    EXPECT_EQ(c.columnColor(5), "black");
    ASSERT_TRUE(chart("select", 5));  // again: it stays black and keeps its own colour saved
    EXPECT_EQ(c.columnColor(5), "black");
    EXPECT_EQ(s->tempColor, normal);

    EXPECT_FALSE(chart("select", 12));
    EXPECT_FALSE(chart("select", -1));
    EXPECT_FALSE(chart("wiggle", 1));
    EXPECT_EQ(c.columnColor(5), "black");

    // A new chart (the sales/purchase choice) starts unselected.
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(1));
    EXPECT_EQ(c.selected(), -1);
    EXPECT_EQ(c.columnColor(5), normal);
    ASSERT_TRUE(chart("select", 1));
    EXPECT_EQ(c.columnColor(5), normal);
    EXPECT_EQ(c.columnColor(1), "black");
}

TEST_F(OrderStatistics, ValueBoxFollowsTheFingerAndLeavesWithIt) {
    start();
    addOrder({.month = "2", .amount = "10"});
    addOrder({.month = "4", .amount = "2.56"});
    ASSERT_TRUE(tap("showOrderStatisticsEvent"));
    auto* s = topAs<HomeStatisticsViewController>();
    const ColumnChart& c = *s->columnChart;

    ASSERT_TRUE(chart("enter", 3));
    FloatBox* box = s->floatBox;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(s->find("floatBox"), box);
    const ChartColumn& april = c.columns()[3];
    EXPECT_DOUBLE_EQ(box->x, april.x + 1.25 * april.width);
    EXPECT_DOUBLE_EQ(box->y,
                     april.y + april.height * (1 - april.grade) - (box->height + april.width / 4));
    EXPECT_NEAR(april.grade, 0.256, 1e-6);
    EXPECT_EQ(box->text(), "\n2.6 ");
    EXPECT_TRUE(box->visible);
    EXPECT_EQ(box->opacity, 1);

    // Moving to another column moves the same box; a column without sales sits at the base.
    ASSERT_TRUE(chart("leave", 3));
    ASSERT_TRUE(chart("enter", 0));
    EXPECT_EQ(s->floatBox, box);
    EXPECT_EQ(box->text(), "\n0.0 ");
    EXPECT_DOUBLE_EQ(box->y, c.columns()[0].y + c.columns()[0].height -
                                 (box->height + c.columns()[0].width / 4));

    ASSERT_TRUE(chart("leaveChart"));
    EXPECT_EQ(s->floatBox, nullptr);
    EXPECT_FALSE(box->visible);
    EXPECT_EQ(box->opacity, 0);
    ASSERT_TRUE(chart("leaveChart"));  // nothing left to remove

    ASSERT_TRUE(chart("enter", 1));
    ASSERT_NE(s->floatBox, nullptr);
    EXPECT_TRUE(s->floatBox->visible);
    EXPECT_EQ(s->floatBox->text(), "\n10.0 ");
    EXPECT_FALSE(chart("enter", 12));
}

TEST_F(OrderStatistics, WidgetsDescribeThemselvesForThePage) {
    start();
    addOrder({.month = "5", .amount = "4"});
    ASSERT_TRUE(tap("showOrderStatisticsEvent"));
    ASSERT_TRUE(chart("select", 4));
    ASSERT_TRUE(chart("enter", 4));
    ViewNode page = top()->describe();
    const ViewNode* seg = nullptr;
    const ViewNode* ch = nullptr;
    const ViewNode* box = nullptr;
    for (const auto& w : page.get("widgets")->asArray()) {
        const std::string kind = w.get("kind")->asString();
        if (kind == "segment") seg = &w;
        if (kind == "chart") ch = &w;
        if (kind == "floatbox") box = &w;
    }
    ASSERT_TRUE(seg && ch && box);
    EXPECT_EQ(seg->get("id")->asString(), "segmentView");
    EXPECT_EQ(seg->get("items")->asArray().size(), 4u);
    EXPECT_EQ(seg->get("selected")->asNumber(), 0);

    EXPECT_EQ(ch->get("id")->asString(), "columnChart");
    EXPECT_EQ(ch->get("x")->asNumber(), 40);
    EXPECT_EQ(ch->get("highest")->asNumber(), 4);
    EXPECT_EQ(ch->get("selected")->asNumber(), 4);
    const auto& cols = ch->get("columns")->asArray();
    ASSERT_EQ(cols.size(), 12u);
    EXPECT_EQ(cols[4].get("index")->asNumber(), 4);
    EXPECT_EQ(cols[4].get("label")->asString(), "5");
    EXPECT_EQ(cols[4].get("value")->asNumber(), 4);
    EXPECT_EQ(cols[4].get("grade")->asNumber(), 1);
    EXPECT_EQ(cols[4].get("color")->asString(), "black");

    EXPECT_EQ(box->get("id")->asString(), "floatBox");
    EXPECT_EQ(box->get("text")->asString(), "\n4.0 ");
    EXPECT_TRUE(box->get("visible")->asBool());
    EXPECT_EQ(box->get("opacity")->asNumber(), 1);
    EXPECT_TRUE(box->get("x")->isNumber() && box->get("y")->isNumber());
}
