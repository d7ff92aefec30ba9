// Date texts, keys, ISO weeks and parsing, all read from the installed clock in its zone.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/Clock.h"
#include "platform/Localisation.h"
#include "storage/ConstParameterAndMethod.h"

using namespace std::chrono;
using CPM = ConstParameterAndMethod;

namespace {

// A moment given in UTC.
Clock::TimePoint utc(int y, unsigned m, unsigned d, int hh = 0, int mm = 0, int ss = 0) {
    return sys_days{year{y} / month{m} / day{d}} + hours{hh} + minutes{mm} + seconds{ss};
}

class DatesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Localisation::select("en");
        // 9 May 2015 16:02:50 in Madrid (UTC+2 in summer).
        clock = std::make_shared<FixedClock>(utc(2015, 5, 9, 14, 2, 50), "Europe/Madrid");
        Clock::install(clock);
    }
    void TearDown() override {
        Clock::install(nullptr);
        Localisation::select("en");
    }
    std::shared_ptr<FixedClock> clock;
};

}  // namespace

TEST_F(DatesTest, NowTextsUseFixedAsciiPatternsInAnyLanguage) {
    Localisation::select("zh-Hans");
    EXPECT_EQ(CPM::getDateNowKeyFormatter(), "20150509160250");
    EXPECT_EQ(CPM::getTimeNow(), "2015/05/09");
    EXPECT_EQ(CPM::getMinutesNow(), "16:02");
    clock->set(utc(2021, 12, 31, 23, 59, 59));
    clock->setZone("UTC");
    EXPECT_EQ(CPM::getMinutesNow(), "23:59");  // 24-hour clock, no am/pm
}

TEST_F(DatesTest, KeysInTheSameSecondAreEqualAndLaterOnesSortAfter) {
    const std::string first = CPM::getDateNowKeyFormatter();
    clock->set(clock->now() + milliseconds(999));
    EXPECT_EQ(CPM::getDateNowKeyFormatter(), first);
    std::string previous = first;
    // Across a minute, an hour, a day, a month and a year boundary.
    for (int step : {1, 9, 60, 3600, 86400, 86400 * 31, 86400 * 366}) {
        clock->advance(seconds(step));
        const std::string key = CPM::getDateNowKeyFormatter();
        EXPECT_EQ(key.size(), 14u);
        EXPECT_LT(previous, key);
        previous = key;
    }
}

TEST_F(DatesTest, TheSameInstantGivesDifferentDatesByZone) {
    clock->set(utc(2024, 3, 10, 20, 30));  // Tokyo is already on 11 March
    clock->setZone("Asia/Tokyo");
    EXPECT_EQ(CPM::getTimeNow(), "2024/03/11");
    EXPECT_EQ(CPM::getMinutesNow(), "05:30");
    EXPECT_EQ(CPM::today().day, 11);
    clock->setZone("America/Los_Angeles");
    EXPECT_EQ(CPM::getTimeNow(), "2024/03/10");
    EXPECT_EQ(CPM::getMinutesNow(), "13:30");  // daylight time began that morning
    EXPECT_EQ(CPM::today().day, 10);
    EXPECT_EQ(CPM::format(clock->now(), "yyyy/MM/dd HH:mm", "Asia/Tokyo"), "2024/03/11 05:30");
}

TEST_F(DatesTest, CalendarPartsUseIsoWeeksAndTheCalendarYear) {
    const CalendarDate d = CPM::today();
    EXPECT_EQ(std::vector<int>({d.year, d.month, d.day, d.weekday, d.weekOfYear}),
              std::vector<int>({2015, 5, 9, 7, 19}));  // a Saturday
    clock->setZone("UTC");
    // {y, m, d, weekday (Sunday = 1), ISO week}
    const int cases[][5] = {
        {2015, 5, 10, 1, 19},  {2015, 5, 11, 2, 20},  // weeks start on Monday
        {2024, 12, 29, 1, 52}, {2024, 12, 30, 2, 1},  {2024, 12, 31, 3, 1}, {2021, 1, 1, 6, 53},
        {2021, 1, 4, 2, 1},    {2026, 12, 31, 5, 53}, {2027, 1, 1, 6, 53},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << "-" << c[1] << "-" << c[2]);
        const CalendarDate p = CPM::dateParts(utc(c[0], c[1], c[2], 12));
        EXPECT_EQ(std::vector<int>({p.year, p.month, p.day, p.weekday, p.weekOfYear}),
                  std::vector<int>(c, c + 5));  // the calendar year, not the week-based one
    }
    for (int y : {2015, 2020, 2026, 2004}) EXPECT_EQ(CPM::weeksInYear(y), 53) << y;
    for (int y : {2021, 2024, 2000}) EXPECT_EQ(CPM::weeksInYear(y), 52) << y;
    for (int y = 1990; y <= 2060; ++y) {
        // 28 December always lies in the last ISO week of its year.
        EXPECT_EQ(CPM::weeksInYear(y), CPM::dateParts(utc(y, 12, 28, 12)).weekOfYear) << y;
    }
}

TEST_F(DatesTest, WeekdayAndMonthNamesFollowTheLanguage) {
    const char* keys[] = {"KLSunday",   "KLMonday", "KLTuesday", "KLWednesday",
                          "KLThursday", "KLFriday", "KLSaturday"};
    for (const char* code : {"en", "es", "zh-Hans"}) {
        Localisation::select(code);
        for (long i = 1; i <= 7; ++i) {
            EXPECT_EQ(CPM::getCurrentWeekDay(i), Text(KL(keys[i - 1]))) << code << i;
        }
        EXPECT_EQ(CPM::getCurrentYearAndMonth(), "2015," + CPM::shortMonthName(5)) << code;
    }
    for (long bad : {0L, 8L, -1L, 1L << 40}) EXPECT_FALSE(CPM::getCurrentWeekDay(bad));
    EXPECT_NE(CPM::shortMonthName(5).find("5"), std::string::npos);  // zh-Hans
    Localisation::select("es");
    EXPECT_EQ(CPM::shortMonthName(1).rfind("ene", 0), 0u);
    Localisation::select("en");
    EXPECT_EQ(CPM::getCurrentWeekDay(CPM::today().weekday), Text("Saturday"));
    EXPECT_EQ(CPM::getCurrentYearAndMonth(), "2015,May");
    EXPECT_EQ(CPM::shortMonthName(0), "");
    EXPECT_EQ(CPM::shortMonthName(13), "");
}

TEST_F(DatesTest, ParseReadsBackWhatFormatWroteInTheClocksZone) {
    const auto now = clock->now();
    EXPECT_EQ(CPM::parse(CPM::format(now, "yyyyMMddHHmmss"), "yyyyMMddHHmmss"), now);
    // A date alone is midnight in the clock's zone.
    EXPECT_EQ(CPM::parse("2015/05/09", "yyyy/MM/dd"), utc(2015, 5, 8, 22));
    clock->setZone("Asia/Tokyo");
    EXPECT_EQ(CPM::parse("2015/05/09", "yyyy/MM/dd"), utc(2015, 5, 8, 15));
    for (const char* bad : {"", "yesterday", "2015/13/01", "2015/02/30", "2015/05/09x",
                            "2015/05/09 12:00", "2015-05-09"}) {
        EXPECT_FALSE(CPM::parse(bad, "yyyy/MM/dd")) << bad;
    }
}
