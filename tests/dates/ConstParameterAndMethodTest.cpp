#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>

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

TEST_F(DatesTest, NowTextsUseFixedAsciiPatterns) {
    EXPECT_EQ(CPM::getDateNowKeyFormatter(), "20150509160250");
    EXPECT_EQ(CPM::getTimeNow(), "2015/05/09");
    EXPECT_EQ(CPM::getMinutesNow(), "16:02");

    clock->set(utc(2021, 1, 2, 3, 4, 5));
    clock->setZone("UTC");
    EXPECT_EQ(CPM::getDateNowKeyFormatter(), "20210102030405");
    EXPECT_EQ(CPM::getTimeNow(), "2021/01/02");
    EXPECT_EQ(CPM::getMinutesNow(), "03:04");

    clock->set(utc(2021, 12, 31, 23, 59, 59));
    EXPECT_EQ(CPM::getMinutesNow(), "23:59");  // 24-hour clock, no am/pm
}

TEST_F(DatesTest, UserLanguageDoesNotChangeTheFixedTexts) {
    Localisation::select("zh-Hans");
    EXPECT_EQ(CPM::getDateNowKeyFormatter(), "20150509160250");
    EXPECT_EQ(CPM::getTimeNow(), "2015/05/09");
    EXPECT_EQ(CPM::getMinutesNow(), "16:02");
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
        EXPECT_TRUE(std::regex_match(key, std::regex("[0-9]{14}"))) << key;
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

TEST_F(DatesTest, CalendarPartsAndWeekdays) {
    CalendarDate d = CPM::today();
    EXPECT_EQ(d.year, 2015);
    EXPECT_EQ(d.month, 5);
    EXPECT_EQ(d.day, 9);
    EXPECT_EQ(d.weekday, 7);  // Saturday
    EXPECT_EQ(d.weekOfYear, 19);

    d = CPM::dateParts(utc(2015, 5, 10, 12));  // Sunday
    EXPECT_EQ(d.weekday, 1);
    EXPECT_EQ(d.weekOfYear, 19);  // weeks start on Monday
    d = CPM::dateParts(utc(2015, 5, 11, 12));
    EXPECT_EQ(d.weekday, 2);
    EXPECT_EQ(d.weekOfYear, 20);
}

TEST_F(DatesTest, IsoWeeksAtTheTurnOfTheYear) {
    clock->setZone("UTC");
    CalendarDate d = CPM::dateParts(utc(2024, 12, 31, 12));
    EXPECT_EQ(d.year, 2024);  // calendar year, not the week-based year
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.weekOfYear, 1);
    EXPECT_EQ(CPM::dateParts(utc(2024, 12, 30, 12)).weekOfYear, 1);
    EXPECT_EQ(CPM::dateParts(utc(2024, 12, 29, 12)).weekOfYear, 52);

    d = CPM::dateParts(utc(2021, 1, 1, 12));
    EXPECT_EQ(d.year, 2021);
    EXPECT_EQ(d.weekOfYear, 53);
    EXPECT_EQ(d.weekday, 6);  // Friday
    EXPECT_EQ(CPM::dateParts(utc(2021, 1, 4, 12)).weekOfYear, 1);
    EXPECT_EQ(CPM::dateParts(utc(2026, 12, 31, 12)).weekOfYear, 53);
    EXPECT_EQ(CPM::dateParts(utc(2027, 1, 1, 12)).weekOfYear, 53);
}

TEST(WeeksInYear, FiftyTwoOrFiftyThree) {
    EXPECT_EQ(CPM::weeksInYear(2020), 53);  // leap year starting on Wednesday
    EXPECT_EQ(CPM::weeksInYear(2021), 52);
    EXPECT_EQ(CPM::weeksInYear(2015), 53);  // starts on Thursday
    EXPECT_EQ(CPM::weeksInYear(2024), 52);
    EXPECT_EQ(CPM::weeksInYear(2026), 53);
    EXPECT_EQ(CPM::weeksInYear(2000), 52);
    EXPECT_EQ(CPM::weeksInYear(2004), 53);
}

TEST_F(DatesTest, WeeksInYearAgreesWithTheCalendar) {
    clock->setZone("UTC");
    for (int y = 1990; y <= 2060; ++y) {
        // 28 December always lies in the last ISO week of its year.
        EXPECT_EQ(CPM::weeksInYear(y), CPM::dateParts(utc(y, 12, 28, 12)).weekOfYear) << y;
    }
}

TEST_F(DatesTest, WeekdayNamesComeFromTheLocalisation) {
    const char* keys[] = {"KLSunday",   "KLMonday", "KLTuesday", "KLWednesday",
                          "KLThursday", "KLFriday", "KLSaturday"};
    for (const char* code : {"en", "es", "zh-Hans"}) {
        Localisation::select(code);
        for (long i = 1; i <= 7; ++i) {
            EXPECT_EQ(CPM::getCurrentWeekDay(i), Text(KL(keys[i - 1]))) << code << i;
            EXPECT_NE(*CPM::getCurrentWeekDay(i), keys[i - 1]);
        }
    }
    Localisation::select("en");
    EXPECT_EQ(CPM::getCurrentWeekDay(7), Text("Saturday"));
    EXPECT_EQ(CPM::getCurrentWeekDay(CPM::today().weekday), Text("Saturday"));
}

TEST_F(DatesTest, WeekdayOutOfRangeIsAbsent) {
    EXPECT_FALSE(CPM::getCurrentWeekDay(0));
    EXPECT_FALSE(CPM::getCurrentWeekDay(8));
    EXPECT_FALSE(CPM::getCurrentWeekDay(-1));
    EXPECT_FALSE(CPM::getCurrentWeekDay(1L << 40));
}

TEST_F(DatesTest, YearAndMonthInTheUserLanguage) {
    Localisation::select("en");
    EXPECT_EQ(CPM::getCurrentYearAndMonth(), "2015,May");
    EXPECT_EQ(CPM::shortMonthName(1), "Jan");
    EXPECT_EQ(CPM::shortMonthName(12), "Dec");
    EXPECT_EQ(CPM::shortMonthName(0), "");
    EXPECT_EQ(CPM::shortMonthName(13), "");

    Localisation::select("zh-Hans");
    EXPECT_EQ(CPM::getCurrentYearAndMonth(), "2015," + CPM::shortMonthName(5));
    EXPECT_NE(CPM::shortMonthName(5).find("5"), std::string::npos);

    Localisation::select("es");
    EXPECT_EQ(CPM::getCurrentYearAndMonth().rfind("2015,", 0), 0u);
    EXPECT_EQ(CPM::getCurrentYearAndMonth(), "2015," + CPM::shortMonthName(5));
    EXPECT_EQ(CPM::shortMonthName(1).rfind("ene", 0), 0u);
}

TEST_F(DatesTest, ParseReadsBackWhatFormatWrote) {
    const auto now = clock->now();
    auto back = CPM::parse(CPM::format(now, "yyyyMMddHHmmss"), "yyyyMMddHHmmss");
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, now);

    // A date alone is midnight in the clock's zone.
    auto day = CPM::parse("2015/05/09", "yyyy/MM/dd");
    ASSERT_TRUE(day);
    EXPECT_EQ(*day, utc(2015, 5, 8, 22));
    EXPECT_EQ(CPM::dateParts(*day).day, 9);

    clock->setZone("Asia/Tokyo");
    auto tokyo = CPM::parse("2015/05/09", "yyyy/MM/dd");
    ASSERT_TRUE(tokyo);
    EXPECT_EQ(*tokyo, utc(2015, 5, 8, 15));
}

TEST_F(DatesTest, ParseRefusesUnreadableText) {
    EXPECT_FALSE(CPM::parse("", "yyyy/MM/dd"));
    EXPECT_FALSE(CPM::parse("yesterday", "yyyy/MM/dd"));
    EXPECT_FALSE(CPM::parse("2015/13/01", "yyyy/MM/dd"));
    EXPECT_FALSE(CPM::parse("2015/02/30", "yyyy/MM/dd"));
    EXPECT_FALSE(CPM::parse("2015/05/09x", "yyyy/MM/dd"));
    EXPECT_FALSE(CPM::parse("2015/05/09 12:00", "yyyy/MM/dd"));
    EXPECT_FALSE(CPM::parse("2015-05-09", "yyyy/MM/dd"));
}
