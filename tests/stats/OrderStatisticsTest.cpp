// Order statistics: totals by period kind, period stepping with its wrap rules, the
// sales/purchase chooser, and the month chart with its value box and selection
// (pinned clock: Saturday 9 May 2015 16:02:50, Madrid; ISO week 19 of a 53-week year).
#include <gtest/gtest.h>

#include "platform/UserDefaults.h"
#include "stats/HomeStatisticsViewController.h"
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
        if (!app_) start();
        EXPECT_TRUE(tap("showOrderStatisticsEvent"));
        return topAs<HomeStatisticsViewController>();
    }
    // Another screen on top and back: the statistics screen appears again.
    void reappear() {
        nav().pushViewController(std::make_unique<HomeStatisticsViewController>(), false);
        nav().popViewControllerAnimated(false);
        nav().drain();
    }
    bool event(const std::string& type, const std::string& id, int index,
               const std::string& value = "") {
        UIEvent e;
        e.type = type;
        e.id = id;
        e.index = index;
        e.value = value;
        return send(e);
    }
    bool segment(int i) { return event("segment", "segmentView", i); }
    bool chart(const std::string& what, int i = -1) {
        return event("chart", "columnChart", i, what);
    }
    // Amount, quantity and items.
    std::string totals() {
        return labelText("showIncomeValueText") + " " + labelText("showOrderTotalCountsValueText") +
               " " + labelText("showOrderTotalEntrysValueText");
    }
    std::string amount() { return labelText("showIncomeValueText"); }
    // The period labels on show, in order.
    std::string shown() {
        std::string out;
        for (const char* id : {"DaysLbl", "WeeksLbl", "oldYearsLbl", "oldMonthLbl", "YearsLbl"})
            if (!top()->find(id)->hidden) out += std::string(out.empty() ? "" : " ") + id;
        return out;
    }
    std::string key(const std::string& k) {
        return UserDefaults::standardUserDefaults().stringForKey(k).value_or("<unset>");
    }
};

}  // namespace

TEST_F(OrderStatistics, EmptyLedgerShowsZerosAFlatChartAndNoValueBox) {
    auto* s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->title, "(Sales)Order statistics");
    EXPECT_EQ(shown(), "DaysLbl");
    EXPECT_EQ(totals(), "0.00 0.00 0.00");
    EXPECT_EQ(key("21") + " " + key("KLDays"), "21 Days");
    for (const auto& m : s->tempData) EXPECT_EQ(m.value, 0.0f);
    EXPECT_TRUE(chart("enter", 4));
    EXPECT_EQ(s->floatBox, nullptr);
    EXPECT_EQ(s->find("floatBox"), nullptr);
}

TEST_F(OrderStatistics, PurchaseOfTodayShowsOnlyAfterChoosingPurchases) {
    start();
    addOrder({.tag = "11", .amount = "12.5", .counts = "3", .entrys = "2"});
    auto* s = open();
    EXPECT_EQ(totals(), "0.00 0.00 0.00");
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(s->actionSheet());
    EXPECT_EQ(s->actionSheet()->otherTitles, (std::vector<std::string>{"Sales", "Purchase"}));
    ASSERT_TRUE(sheet(1));
    EXPECT_EQ(totals(), "12.50 3.00 2.00");
    EXPECT_EQ(s->title, "(Purchase)Order statistics");
    EXPECT_EQ(key("21"), "11");
    EXPECT_EQ(s->tempData[4].value, 12.5f);
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(2));  // cancel changes nothing
    EXPECT_EQ(s->title + amount(), "(Purchase)Order statistics12.50");
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(totals(), "0.00 0.00 0.00");
}

TEST_F(OrderStatistics, EachKindSumsItsOwnPeriodAndAppearingAgainResetsEverything) {
    start();
    addOrder({.amount = "1", .counts = "1", .entrys = "1"});              // today
    addOrder({.day = "5", .amount = "2", .counts = "2", .entrys = "1"});  // same week
    addOrder({.day = "1", .week = "18", .amount = "4"});
    addOrder({.month = "3", .day = "2", .week = "10", .amount = "8"});
    addOrder({.year = "2014", .day = "9", .amount = "16"});  // last year
    addOrder({.tag = "11", .amount = "100"});                // a purchase
    auto* s = open();
    EXPECT_EQ(totals(), "1.00 1.00 1.00");
    struct Step {
        int segment, stepsBack;
        const char *kind, *labels, *totals;
    } const steps[] = {
        {1, 0, "Weeks", "WeeksLbl", "3.00 3.00 2.00"},
        {2, 0, "Months", "oldYearsLbl oldMonthLbl", "7.00 3.00 2.00"},
        {2, 2, "Months", "oldYearsLbl oldMonthLbl", "8.00 0.00 0.00"},  // March
        {3, 0, "Years", "YearsLbl", "15.00 3.00 2.00"},
        {3, 1, "Years", "YearsLbl", "16.00 0.00 0.00"},
        {2, 0, "Months", "oldYearsLbl oldMonthLbl", "8.00 0.00 0.00"}};  // still March
    for (const Step& st : steps) {
        SCOPED_TRACE(std::string(st.kind) + " " + std::to_string(st.stepsBack));
        ASSERT_TRUE(segment(st.segment));
        for (int i = 0; i < st.stepsBack; ++i) ASSERT_TRUE(tap("lastMonthDataEvent"));
        EXPECT_EQ(key("KLDays"), st.kind);
        EXPECT_EQ(shown(), st.labels);
        EXPECT_EQ(totals(), st.totals);
    }
    EXPECT_FALSE(segment(4));
    EXPECT_EQ(key("KLDays"), "Months");

    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(1));
    reappear();
    EXPECT_EQ(s->title, "(Sales)Order statistics");
    EXPECT_EQ(labelText("YearsLbl") + " " + labelText("oldMonthLbl"), "2015 5");
    EXPECT_EQ(shown(), "DaysLbl");
    EXPECT_EQ(s->segmentView->selected, 0);
}

TEST_F(OrderStatistics, DayKindArrowsKeepTheDateButRecomputeToday) {
    open();
    addOrder({.amount = "3.333"});
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("DaysLbl") + " " + amount(), "2015/05/09 3.33");
    addOrder({.amount = "1"});
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(labelText("DaysLbl") + " " + amount(), "2015/05/09 4.33");
    EXPECT_EQ(labelText("WeeksLbl") + " " + labelText("oldMonthLbl"), "19 5");
}

TEST_F(OrderStatistics, PeriodsWrapAtTheirEnds) {
    struct Step {
        int year, segment;  // today's year, period kind
        const char *label, *from, *event, *to;
    } const steps[] = {
        {2015, 1, "WeeksLbl", "53", "nextMonthDataEvent", "1"},  // 2015 has 53 ISO weeks
        {2015, 1, "WeeksLbl", "1", "lastMonthDataEvent", "53"},
        {2014, 1, "WeeksLbl", "52", "nextMonthDataEvent", "1"},  // 2014 has 52
        {2014, 1, "WeeksLbl", "1", "lastMonthDataEvent", "52"},
        {2026, 1, "WeeksLbl", "1", "lastMonthDataEvent", "53"},
        {2015, 3, "YearsLbl", "1", "lastMonthDataEvent", "1900"},
        {2015, 3, "YearsLbl", "1900", "lastMonthDataEvent", "1899"},
        {2015, 3, "YearsLbl", "1900", "nextMonthDataEvent", "1901"},
        {2015, 3, "YearsLbl", "9998", "nextMonthDataEvent", "1900"},
    };
    auto* s = open();
    for (const Step& st : steps) {
        SCOPED_TRACE(std::string(st.label) + " " + st.from + " " + st.event);
        clock_->set(at(st.year, 6, 1));
        reappear();
        ASSERT_TRUE(segment(st.segment));
        s->get<Label>(st.label)->text = st.from;
        ASSERT_TRUE(tap(st.event));
        EXPECT_EQ(labelText(st.label), st.to);
    }
    EXPECT_EQ(key("2014"), "9999");  // stored before the wrap

    // Months carry the year along, and the stepped period is what gets summed.
    clock_->set(at(2015, 1, 1));  // ISO week 1
    addOrder({.year = "2014", .month = "12", .week = "52", .amount = "6"});
    addOrder({.month = "12", .day = "31", .week = "53", .amount = "9"});
    reappear();
    auto month = [&] { return labelText("oldYearsLbl") + "/" + labelText("oldMonthLbl"); };
    ASSERT_TRUE(segment(2));
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(month(), "2014/12");
    EXPECT_EQ(key("5") + " " + key("2014"), "0 2014");
    EXPECT_EQ(amount(), "6.00");
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(month(), "2015/1");
    EXPECT_EQ(key("5"), "13");
    ASSERT_TRUE(segment(1));
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("WeeksLbl") + " " + key("16"), "53 53");
    EXPECT_EQ(amount(), "9.00");
    EXPECT_EQ(month(), "2015/1");  // the year never moves with the week
}

TEST_F(OrderStatistics, ChartShowsTodaysYearAmountsRoundedToCents) {
    start();
    addOrder({.month = "1", .amount = "1.005", .counts = "99"});
    addOrder({.month = "1", .amount = "2.0049"});
    addOrder({.month = "7", .amount = "0.126"});
    addOrder({.month = "12", .amount = "20"});
    addOrder({.year = "2014", .month = "2", .amount = "500"});
    addOrder({.tag = "11", .month = "3", .amount = "700"});
    auto* s = open();
    const float expected[12] = {3.01f, 0, 0, 0, 0, 0, 0.13f, 0, 0, 0, 0, 20};
    ASSERT_EQ(s->tempData.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(s->tempData[i].label, std::to_string(i + 1));
        EXPECT_EQ(s->tempData[i].value, expected[i]) << "month " << i + 1;
    }
    EXPECT_EQ(s->columnChart->highest(), 20.0f);
    EXPECT_NEAR(s->columnChart->columns().at(0).grade, 3.01 / 20, 1e-6);
}

TEST_F(OrderStatistics, HighestColumnIsTheFirstOfTheGreatest) {
    auto* s = open();
    const std::pair<std::vector<float>, int> cases[] = {
        {{2, 5, 5, 1}, 2}, {{0, 0}, 1}, {{-3, 0}, 2}, {{-3, -1}, 0}, {{}, 0}};  // 0: none
    for (const auto& [values, highest] : cases) {
        s->tempData.clear();
        for (float v : values) s->tempData.push_back({"", v, int(s->tempData.size()) + 1, ""});
        auto h = s->highestValueColumnChart(*s->columnChart);
        EXPECT_EQ(h ? h->index : 0, highest) << testing::PrintToString(values);
    }
}

TEST_F(OrderStatistics, SelectingAColumnPaintsItBlackAndRestoresThePreviousOne) {
    auto* s = open();
    ColumnChart& c = *s->columnChart;
    const std::string normal = c.columnColor(0);
    ASSERT_NE(normal, "black");
    ASSERT_TRUE(chart("select", 2));
    EXPECT_EQ(c.columnColor(2), "black");
    ASSERT_TRUE(chart("select", 5));
    EXPECT_EQ(c.columnColor(2), normal);
    EXPECT_EQ(c.columnColor(5), "black");
    ASSERT_TRUE(chart("select", 5));  // again: stays black, its own colour still saved
    EXPECT_EQ(s->tempColor, normal);
    EXPECT_FALSE(chart("select", 12));
    EXPECT_FALSE(chart("wiggle", 1));
    EXPECT_EQ(c.columnColor(5), "black");
    // A new chart (the sales/purchase choice) starts unselected.
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(1));
    EXPECT_EQ(c.selected(), -1);
    ASSERT_TRUE(chart("select", 1));
    EXPECT_EQ(c.columnColor(5), normal);
}

TEST_F(OrderStatistics, ValueBoxFollowsTheFingerAndIsDescribedForThePage) {
    start();
    addOrder({.month = "2", .amount = "10"});
    addOrder({.month = "4", .amount = "2.56"});
    auto* s = open();
    ASSERT_TRUE(chart("enter", 3));
    FloatBox* box = s->floatBox;
    ASSERT_NE(box, nullptr);
    const ChartColumn& april = s->columnChart->columns()[3];
    EXPECT_DOUBLE_EQ(box->x, april.x + 1.25 * april.width);
    EXPECT_DOUBLE_EQ(box->y,
                     april.y + april.height * (1 - april.grade) - (box->height + april.width / 4));
    EXPECT_EQ(box->text(), "\n2.6 ");
    ASSERT_TRUE(chart("leave", 3));
    ASSERT_TRUE(chart("enter", 1));
    EXPECT_EQ(s->floatBox, box);  // the same box moves
    ASSERT_TRUE(chart("select", 1));

    std::map<std::string, const ViewNode*> widgets;  // what the page draws from
    const ViewNode page = top()->describe();
    for (const auto& w : page.get("widgets")->asArray()) widgets[w.get("kind")->asString()] = &w;
    ASSERT_TRUE(widgets["chart"] && widgets["floatbox"]);
    const auto& col = widgets["chart"]->get("columns")->asArray().at(1);
    EXPECT_EQ(col.get("value")->asNumber(), 10);
    EXPECT_EQ(col.get("color")->asString(), "black");
    EXPECT_EQ(widgets["floatbox"]->get("text")->asString(), "\n10.0 ");

    ASSERT_TRUE(chart("leaveChart"));
    EXPECT_EQ(s->floatBox, nullptr);
    EXPECT_FALSE(box->visible);
    EXPECT_FALSE(chart("enter", 12));
}
