// Order statistics: totals by period kind, period steps across year ends, the
// sales/purchase chooser, and the month chart with its value box and selection
// (pinned clock: Saturday 9 May 2015 16:02:50, Madrid; ISO week 19 of a 53-week year).
#include <gtest/gtest.h>

#include <sstream>

#include "platform/UserDefaults.h"
#include "stats/HomeStatisticsViewController.h"
#include "storage/SDBManager.h"
#include "tests/support/AppHarness.h"

namespace {

struct Order {
    std::string tag = "21";
    std::string year = "2015", month = "5", day = "9", week = "19";
    std::string amount = "0", counts = "0", entrys = "0";
};

void addOrder(const Order& o) {
    ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate(
        "INSERT INTO SUserCommodity (orderPrimaryKeyDate, orderSalesAndPurchaseTags, "
        "orderSalesTagOrPurchaseTag, orderTotalAmount, orderTotalCounts, orderTotalEntrys, years, "
        "months, days, recordeWeekInYearTime) VALUES ('20150509160250', ?1, iif(?1 = '21', "
        "'111', '000'), ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
        {o.tag, o.amount, o.counts, o.entrys, o.year, o.month, o.day, o.week}));
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

TEST_F(OrderStatistics, SalesShowZerosAndAFlatChartWithoutValueBoxUntilPurchasesAreChosen) {
    start();
    addOrder({.tag = "11", .amount = "12.5", .counts = "3", .entrys = "2"});  // a purchase today
    auto* s = open();
    EXPECT_EQ(s->title + " " + shown(), "(Sales)Order statistics DaysLbl");
    EXPECT_EQ(key("21") + " " + key("KLDays") + " " + totals(), "21 Days 0.00 0.00 0.00");
    ASSERT_EQ(s->tempData.size(), 12u);
    for (const auto& m : s->tempData) EXPECT_EQ(m.value, 0.0f);
    EXPECT_TRUE(chart("enter", 4));
    EXPECT_EQ(s->find("floatBox"), nullptr);
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(1));
    EXPECT_EQ(s->title + " " + key("21") + " " + totals(),
              "(Purchase)Order statistics 11 12.50 3.00 2.00");
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
    addOrder({.amount = "3.333"});  // the day's arrows keep the date but sum today afresh
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(labelText("DaysLbl") + " " + totals(), "2015/05/09 4.33 1.00 1.00");
    struct Step {
        int segment, stepsBack;
        const char *kind, *labels, *totals;
    } const steps[] = {
        {1, 0, "Weeks", "WeeksLbl", "6.33 3.00 2.00"},
        {2, 0, "Months", "oldYearsLbl oldMonthLbl", "10.33 3.00 2.00"},
        {2, 2, "Months", "oldYearsLbl oldMonthLbl", "8.00 0.00 0.00"},  // March
        {3, 0, "Years", "YearsLbl", "18.33 3.00 2.00"},
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
    EXPECT_EQ(s->title + " " + labelText("YearsLbl") + " " + labelText("oldMonthLbl") + " " +
                  shown() + " " + std::to_string(s->segmentView->selected),
              "(Sales)Order statistics 2015 5 DaysLbl 0");
}

// Months carry the year along, and the stepped period is what gets summed.
TEST_F(OrderStatistics, MonthStepsCarryTheYearAlong) {
    clock_->set(at(2015, 1, 1));
    start();
    addOrder({.year = "2014", .month = "12", .week = "52", .amount = "6"});
    open();
    auto month = [&] { return labelText("oldYearsLbl") + "/" + labelText("oldMonthLbl"); };
    ASSERT_TRUE(segment(2));
    ASSERT_TRUE(tap("lastMonthDataEvent"));
    EXPECT_EQ(month() + " " + key("5") + " " + key("2014") + " " + amount(), "2014/12 0 2014 6.00");
    ASSERT_TRUE(tap("nextMonthDataEvent"));
    EXPECT_EQ(month() + " " + key("5"), "2015/1 13");
}

TEST_F(OrderStatistics, AWeekHoldsTheOrdersOfItsIsoWeekWhateverTheirCalendarYear) {
    start();
    // Stored as the editor stores them, the calendar year beside the ISO week; the amount of
    // the i-th order is 2 to the power i, so a total tells which orders it holds.
    const char* const dated[] = {"2019 12 31 1", "2020 1 2 1", "2020 12 28 53", "2021 1 1 53",
                                 "2021 1 3 53",  "2021 1 4 1", "2022 1 1 52",   "2022 12 26 52",
                                 "2024 12 30 1", "2025 1 5 1", "2025 12 29 1",  "2021 12 27 52"};
    for (size_t i = 0; i < std::size(dated); ++i) {
        Order o{.amount = std::to_string(1 << i)};
        std::istringstream(dated[i]) >> o.year >> o.month >> o.day >> o.week;
        addOrder(o);
    }
    // Today, the week shown on appearing with its first and last day, and the week with its
    // amount on appearing, after "next", then after "last".
    struct Step {
        int y, m, d;
        const char* span;
        const char* shown[3];
    } const steps[] = {
        {2021, 1, 2, "2020/12/28 \u2013 2021/01/03", {"53 28.00", "1 3.00", "53 28.00"}},  // 2020's
        {2022, 1, 1, "2021/12/27 \u2013 2022/01/02", {"52 2112.00", "1 32.00", "52 2112.00"}},
        {2022, 12, 28, "2022/12/26 \u2013 2023/01/01", {"52 128.00", "1 0.00", "52 128.00"}},
        {2025, 1, 2, "2024/12/30 \u2013 2025/01/05", {"1 768.00", "2 0.00", "1 768.00"}},
        {2025, 12, 30, "2025/12/29 \u2013 2026/01/04", {"1 1024.00", "2 0.00", "1 1024.00"}},
    };
    open();
    for (const Step& st : steps) {
        clock_->set(at(st.y, st.m, st.d));
        reappear();
        ASSERT_TRUE(segment(1));
        EXPECT_EQ(labelText("WeekSpanLbl"), st.span);
        EXPECT_FALSE(top()->find("WeekSpanLbl")->hidden);
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(i == 0 || tap(i == 1 ? "nextMonthDataEvent" : "lastMonthDataEvent"));
            EXPECT_EQ(labelText("WeeksLbl") + " " + amount(), st.shown[i]) << st.y << "-" << st.m;
        }
    }
}

// The chart shows this year's sales by month, rounded to cents; a touched column turns black
// and the value box stands beside it.
TEST_F(OrderStatistics, ChartShowsTheYearsMonthsAndATouchedColumnsValueBesideIt) {
    start();
    addOrder({.month = "1", .amount = "1.005", .counts = "99"});
    addOrder({.month = "1", .amount = "2.0049"});
    addOrder({.month = "4", .amount = "2.56"});
    addOrder({.month = "7", .amount = "0.126"});
    addOrder({.month = "12", .amount = "20"});
    addOrder({.year = "2014", .month = "2", .amount = "500"});
    addOrder({.tag = "11", .month = "3", .amount = "700"});
    auto* s = open();
    const float expected[12] = {3.01f, 0, 0, 2.56f, 0, 0, 0.13f, 0, 0, 0, 0, 20};
    ASSERT_EQ(s->tempData.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(s->tempData[i].label, std::to_string(i + 1));
        EXPECT_EQ(s->tempData[i].value, expected[i]) << "month " << i + 1;
    }
    ColumnChart& c = *s->columnChart;
    EXPECT_EQ(c.highest(), 20.0f);
    EXPECT_NEAR(c.columns().at(0).grade, 3.01 / 20, 1e-6);
    const std::string normal = c.columnColor(0);
    // Beside which column, on which side, what it reads, whether it shows.
    auto described = [&] {
        const auto* b = s->get<FloatBox>("floatBox");
        return std::to_string(b->column) + (b->leftOfColumn ? " left " : " right ") + b->text() +
               (b->visible ? "" : " hidden");
    };
    ASSERT_TRUE(chart("enter", 3));
    FloatBox* box = s->floatBox;
    EXPECT_EQ(described(), "3 right \n2.6 ");
    ASSERT_TRUE(chart("select", 3));
    ASSERT_TRUE(chart("leave", 3));
    ASSERT_TRUE(chart("enter", 11));  // at the right end it turns to the left
    EXPECT_EQ(s->floatBox, box);      // the same box moves
    EXPECT_EQ(described(), "11 left \n20.0 ");
    ASSERT_TRUE(chart("select", 11));
    ASSERT_TRUE(chart("select", 11));  // again: stays black, its own colour still saved
    EXPECT_EQ(c.columnColor(3) + " " + c.columnColor(11) + " " + s->tempColor,
              normal + " black " + normal);
    EXPECT_FALSE(chart("select", 12));
    EXPECT_FALSE(chart("wiggle", 1));
    ASSERT_TRUE(chart("leaveChart"));
    EXPECT_EQ(s->floatBox, nullptr);
    EXPECT_EQ(described(), "11 left \n20.0  hidden");

    // A new chart (the sales/purchase choice) starts unselected.
    ASSERT_TRUE(tap("choseEvent"));
    ASSERT_TRUE(sheet(1));
    EXPECT_EQ(c.selected(), -1);
    ASSERT_TRUE(chart("select", 1));
    EXPECT_EQ(c.columnColor(11), normal);
}
