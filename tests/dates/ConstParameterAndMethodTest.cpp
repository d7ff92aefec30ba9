// Date texts, keys, ISO weeks and parsing, all read from the installed clock in its zone, and
// the device's zone as the C library sees it for every form of TZ.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <memory>

#include "platform/Clock.h"
#include "platform/Localisation.h"
#include "storage/ConstParameterAndMethod.h"
#include "tests/platform/EnvGuard.h"

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

// The texts and parts the app derives from "now", and the same made by the C library.
std::string appNow() {
    const CalendarDate d = CPM::today();
    char parts[64];
    std::snprintf(parts, sizeof parts, "%04d-%02d-%02d %d %04d-W%02d", d.year, d.month, d.day,
                  d.weekday - 1, d.weekYear, d.weekOfYear);
    return CPM::getDateNowKeyFormatter() + " " + CPM::getTimeNow() + " " + CPM::getMinutesNow() +
           " " + parts + " " + CPM::getCurrentYearAndMonth();
}

std::string libcAt(Clock::TimePoint t) {
    const std::time_t seconds = system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    char text[96];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S %Y/%m/%d %H:%M %Y-%m-%d %w %G-W%V %Y,", &tm);
    return text + CPM::shortMonthName(tm.tm_mon + 1);
}

}  // namespace

TEST_F(DatesTest, LocalTimeIsTheCLibrarysForEveryFormOfTZ) {
    EnvGuard env;
    // The last rule starts daylight time at midnight; nullptr leaves TZ unset (/etc/localtime).
    const char* const forms[] = {
        "Asia/Tokyo", ":America/Santiago",          ":/usr/share/zoneinfo/Asia/Beirut",
        "JST-9",      "CET-1CEST,M3.5.0,M10.5.0/3", "<-04>4<-03>,M9.1.6/24,M4.1.6/24",
        nullptr};
    // Either side of daylight changes (two of them at local midnight) and of ISO year ends.
    const Clock::TimePoint moments[] = {
        utc(2024, 9, 8, 3, 59),   utc(2024, 9, 8, 4, 0),   utc(2024, 3, 30, 21, 59),
        utc(2024, 3, 30, 22, 0),  utc(2024, 3, 31, 0, 59), utc(2024, 3, 31, 1, 0),
        utc(2024, 10, 27, 0, 59), utc(2024, 10, 27, 1, 0), utc(2020, 12, 31, 14, 59),
        utc(2020, 12, 31, 15, 0), utc(2021, 1, 3, 23, 59), utc(2021, 1, 4, 4, 0)};
    clock->setZone("");               // the C library's zone
    Localisation::select("zh-Hans");  // fixed patterns keep ASCII digits in any language
    for (const char* tz : forms) {
        SCOPED_TRACE(tz ? tz : "TZ unset");
        tz ? env.set("TZ", tz) : env.unset("TZ");
        tzset();
        for (const auto& t : moments) {
            clock->set(t);
            EXPECT_EQ(appNow(), libcAt(t));
        }
    }
    // The system clock reads its zone the same way.
    env.set("TZ", "<+14>-14");
    Clock::install(nullptr);
    const std::string before = libcAt(system_clock::now()), today = CPM::getTimeNow();
    EXPECT_TRUE(before.find(today) == 15 || libcAt(system_clock::now()).find(today) == 15);
}

TEST_F(DatesTest, CalendarPartsUseIsoWeeksAndTheCalendarYearAndEachDayLiesInItsWeek) {
    // {y, m, d, weekday (Sunday = 1), ISO week, ISO week-year}
    const int cases[][6] = {
        {2015, 5, 9, 7, 19, 2015},   {2015, 5, 10, 1, 19, 2015},
        {2015, 5, 11, 2, 20, 2015},  // weeks start on Monday
        {2024, 12, 29, 1, 52, 2024}, {2024, 12, 30, 2, 1, 2025},
        {2024, 12, 31, 3, 1, 2025},  {2021, 1, 1, 6, 53, 2020},
        {2021, 1, 4, 2, 1, 2021},    {2026, 12, 31, 5, 53, 2026},
        {2027, 1, 1, 6, 53, 2026},   {2022, 1, 2, 1, 52, 2021},
    };
    for (const auto& c : cases) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d/%02d/%02d", c[0], c[1], c[2]);
        SCOPED_TRACE(text);
        const auto day = CPM::calendarDate(text, "yyyy/MM/dd");
        ASSERT_TRUE(day);
        for (const CalendarDate& p : {CPM::dateParts(utc(c[0], c[1], c[2], 12)), *day}) {
            EXPECT_EQ(
                std::vector<int>({p.year, p.month, p.day, p.weekday, p.weekOfYear, p.weekYear}),
                std::vector<int>(c, c + 6));  // the calendar year beside the week's
        }
        // The week's Monday and Sunday enclose the day (the cases hold Mondays and Sundays).
        const auto [monday, sunday] = CPM::isoWeekFirstAndLastDay(c[5], c[4]);
        const std::string first = CPM::formatDay(monday, "yyyy/MM/dd");
        const std::string last = CPM::formatDay(sunday, "yyyy/MM/dd");
        EXPECT_TRUE(first <= text && text <= last) << first << " - " << last;
    }
    EXPECT_EQ(CPM::formatDay(CPM::isoWeekFirstAndLastDay(2026, 49).second, "dd.MM.yyyy"),
              "06.12.2026");
    for (int y = 1990; y <= 2060; ++y) {
        // 28 December always lies in the last ISO week of its year.
        EXPECT_EQ(CPM::weeksInYear(y), CPM::dateParts(utc(y, 12, 28, 12)).weekOfYear) << y;
    }
}

TEST_F(DatesTest, DateTextsReadBackAsMomentsInTheClocksZoneOrAsCalendarDays) {
    // A key counts whole seconds.
    const auto second = clock->now();
    clock->set(second + milliseconds(999));
    EXPECT_EQ(CPM::parse(CPM::getDateNowKeyFormatter(), "yyyyMMddHHmmss"), second);
    // A date alone is midnight in the clock's zone.
    EXPECT_EQ(CPM::parse("2015/05/09", "yyyy/MM/dd"), utc(2015, 5, 8, 22));
    for (const char* bad : {"", "yesterday", "2015/13/01", "2015/02/30", "2015/05/09x",
                            "2015/05/09 12:00", "2015-05-09"}) {
        EXPECT_FALSE(CPM::parse(bad, "yyyy/MM/dd")) << bad;
        EXPECT_FALSE(CPM::calendarDate(bad, "yyyy/MM/dd")) << bad;
    }
}
