#pragma once
// Keys, date and time texts, weekday names and calendar helpers. Every operation reads
// "now" from Clock::current() and works in its time zone with the Gregorian calendar.
// Week numbers follow ISO 8601: weeks start on Monday, week 1 holds the year's first Thursday.
#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "platform/Text.h"

struct CalendarDate {
    int year = 0;
    int month = 0;       // 1..12
    int day = 0;         // 1..31
    int weekOfYear = 0;  // 1..53, ISO 8601
    int weekday = 0;     // 1 Sunday .. 7 Saturday
    int weekYear = 0;    // the ISO week-year weekOfYear counts in: year - 1, year or year + 1
};

class ConstParameterAndMethod {
public:
    using TimePoint = std::chrono::system_clock::time_point;

    static std::string getDateNowKeyFormatter();  // "yyyyMMddHHmmss"
    static std::string getTimeNow();              // "yyyy/MM/dd"
    static std::string getMinutesNow();           // "HH:mm"
    static std::string getCurrentYearAndMonth();  // "yyyy,MMM" in the user's language
    // 1 Sunday .. 7 Saturday → the localised "KLSunday".."KLSaturday"; absent otherwise.
    static Text getCurrentWeekDay(long weekday);

    // Calendar parts of a moment in the clock's time zone (default: now).
    static CalendarDate dateParts(TimePoint t);
    static CalendarDate today();
    // Formats a moment with an ICU pattern in the clock's time zone.
    static std::string format(TimePoint t, const std::string& pattern);
    // Reads a date text back with a pattern in the clock's time zone; absent when unreadable.
    static std::optional<TimePoint> parse(const std::string& text, const std::string& pattern);
    // The calendar parts of the day a date text names, read with a pattern; absent when
    // unreadable. No time zone takes part, so a day whose local midnight a daylight-time
    // change skips reads like any other.
    static std::optional<CalendarDate> calendarDate(const std::string& text,
                                                    const std::string& pattern);
    // The last ISO week number of a year: 52 or 53.
    static int weeksInYear(int year);
    // The first (Monday) and last (Sunday) day of ISO week `week` of ISO week-year `weekYear`;
    // only year, month and day are set.
    static std::pair<CalendarDate, CalendarDate> isoWeekFirstAndLastDay(int weekYear, int week);
    // A calendar day written with a date pattern such as "yyyy/MM/dd"; no time zone takes part.
    static std::string formatDay(const CalendarDate& day, const std::string& pattern);
    // Abbreviated month name, 1..12, in the user's language.
    static std::string shortMonthName(int month);

    // Opens the application's page in the store (its reviews page on systems older than
    // "7.0"); the link comes from appStorePageLink. Whether it opens is not reported.
    static void gotoAppStorePageRaisal(const std::string& storeId);
    static std::string appStorePageLink(const std::string& storeId,
                                        const std::string& systemVersion);
};
