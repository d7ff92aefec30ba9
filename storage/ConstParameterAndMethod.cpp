#include "storage/ConstParameterAndMethod.h"

#include <unicode/dtfmtsym.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <memory>

#include "platform/Clock.h"
#include "platform/Localisation.h"

namespace {

using TimePoint = ConstParameterAndMethod::TimePoint;

// Fixed patterns must give ASCII digits and English-free output whatever the user's locale.
const icu::Locale& posixLocale() {
    static const icu::Locale locale("en_US_POSIX");
    return locale;
}

icu::Locale userLocale() {
    const std::string& lang = Localisation::language();
    if (lang == "zh-Hans") return icu::Locale("zh_Hans");
    if (lang == "es") return icu::Locale("es");
    return icu::Locale("en");
}

// The clock's zone, for a calendar to adopt.
icu::TimeZone* deviceZone() {
    return Clock::current().createTimeZone().release();
}

UDate toUDate(TimePoint t) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
    return static_cast<UDate>(ms.count());
}

TimePoint fromUDate(UDate d) {
    return TimePoint(std::chrono::duration_cast<TimePoint::duration>(
        std::chrono::milliseconds(static_cast<long long>(d))));
}

// `zone` (adopted) defaults to the clock's.
std::string formatWith(TimePoint t, const std::string& pattern, const icu::Locale& locale,
                       icu::TimeZone* zone = nullptr) {
    UErrorCode status = U_ZERO_ERROR;
    if (!zone) zone = deviceZone();
    icu::SimpleDateFormat fmt(icu::UnicodeString::fromUTF8(pattern), locale, status);
    if (U_FAILURE(status)) {
        delete zone;
        return {};
    }
    // The Gregorian calendar even where the locale's default is another one.
    auto* calendar = new icu::GregorianCalendar(zone, locale, status);
    if (U_FAILURE(status)) {
        delete calendar;
        return {};
    }
    fmt.adoptCalendar(calendar);
    icu::UnicodeString out;
    fmt.format(toUDate(t), out);
    std::string text;
    out.toUTF8String(text);
    return text;
}

// The calendar parts of a moment in a zone (adopted).
CalendarDate partsIn(icu::TimeZone* zone, UDate when) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(zone, posixLocale(), status);
    CalendarDate out;
    if (U_FAILURE(status)) return out;
    // ISO 8601 weeks: Monday first, week 1 holds the year's first Thursday.
    calendar.setFirstDayOfWeek(UCAL_MONDAY);
    calendar.setMinimalDaysInFirstWeek(4);
    calendar.setTime(when, status);
    out.year = calendar.get(UCAL_YEAR, status);
    out.month = calendar.get(UCAL_MONTH, status) + 1;
    out.day = calendar.get(UCAL_DATE, status);
    out.weekOfYear = calendar.get(UCAL_WEEK_OF_YEAR, status);
    out.weekday = calendar.get(UCAL_DAY_OF_WEEK, status);  // UCAL_SUNDAY is 1
    out.weekYear = calendar.get(UCAL_YEAR_WOY, status);
    if (U_FAILURE(status)) return CalendarDate{};
    return out;
}

// Reads a text with a pattern, strictly and whole, in a zone (adopted).
std::optional<UDate> parseIn(const std::string& text, const std::string& pattern,
                             icu::TimeZone* zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto* calendar = new icu::GregorianCalendar(zone, posixLocale(), status);
    icu::SimpleDateFormat fmt(icu::UnicodeString::fromUTF8(pattern), posixLocale(), status);
    if (U_FAILURE(status)) {
        delete calendar;
        return std::nullopt;
    }
    fmt.adoptCalendar(calendar);
    fmt.setLenient(false);
    const icu::UnicodeString input = icu::UnicodeString::fromUTF8(text);
    icu::ParsePosition pos(0);
    UDate d = fmt.parse(input, pos);
    if (pos.getErrorIndex() >= 0 || pos.getIndex() != input.length() || pos.getIndex() == 0)
        return std::nullopt;
    return d;
}

std::string formatNow(const std::string& pattern) {
    return formatWith(Clock::current().now(), pattern, posixLocale());
}

}  // namespace

std::string ConstParameterAndMethod::getDateNowKeyFormatter() {
    return formatNow("yyyyMMddHHmmss");
}

std::string ConstParameterAndMethod::getTimeNow() {
    return formatNow("yyyy/MM/dd");
}

std::string ConstParameterAndMethod::getMinutesNow() {
    return formatNow("HH:mm");
}

std::string ConstParameterAndMethod::getCurrentYearAndMonth() {
    return formatWith(Clock::current().now(), "yyyy,MMM", userLocale());
}

Text ConstParameterAndMethod::getCurrentWeekDay(long weekday) {
    static const char* const keys[] = {"KLSunday",   "KLMonday", "KLTuesday", "KLWednesday",
                                       "KLThursday", "KLFriday", "KLSaturday"};
    if (weekday < 1 || weekday > 7) return std::nullopt;
    return KL(keys[weekday - 1]);
}

CalendarDate ConstParameterAndMethod::dateParts(TimePoint t) {
    return partsIn(deviceZone(), toUDate(t));
}

CalendarDate ConstParameterAndMethod::today() {
    return dateParts(Clock::current().now());
}

std::string ConstParameterAndMethod::format(TimePoint t, const std::string& pattern) {
    return formatWith(t, pattern, posixLocale());
}

std::optional<TimePoint> ConstParameterAndMethod::parse(const std::string& text,
                                                        const std::string& pattern) {
    const auto d = parseIn(text, pattern, deviceZone());
    if (!d) return std::nullopt;
    return fromUDate(*d);
}

std::optional<CalendarDate> ConstParameterAndMethod::calendarDate(const std::string& text,
                                                                  const std::string& pattern) {
    // UTC has every midnight; the parts are read back in the same zone.
    const auto d = parseIn(text, pattern, icu::TimeZone::getGMT()->clone());
    if (!d) return std::nullopt;
    return partsIn(icu::TimeZone::getGMT()->clone(), *d);
}

int ConstParameterAndMethod::weeksInYear(int year) {
    // Jan 1 weekday by Zeller-free arithmetic: 0 Sunday .. 6 Saturday (proleptic Gregorian).
    auto jan1 = [](int y) {
        int p = y - 1;
        return (1 + 5 * (p % 4) + 4 * (p % 100) + 6 * (p % 400)) % 7;
    };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int wd = jan1(year);
    return (wd == 4 || (leap && wd == 3)) ? 53 : 52;
}

std::pair<CalendarDate, CalendarDate> ConstParameterAndMethod::isoWeekFirstAndLastDay(int weekYear,
                                                                                      int week) {
    using namespace std::chrono;
    // 4 January always lies in week 1.
    const sys_days jan4{year{weekYear} / January / 4};
    const sys_days monday = jan4 - days{weekday{jan4}.iso_encoding() - 1} + weeks{week - 1};
    auto dateOf = [](sys_days d) {
        const year_month_day ymd{d};
        CalendarDate out;
        out.year = static_cast<int>(ymd.year());
        out.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
        out.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
        return out;
    };
    return {dateOf(monday), dateOf(monday + days{6})};
}

std::string ConstParameterAndMethod::formatDay(const CalendarDate& day,
                                               const std::string& pattern) {
    using namespace std::chrono;
    // Midnight UTC of the day, written in UTC.
    const sys_days d{year{day.year} / month{static_cast<unsigned>(day.month)} /
                     std::chrono::day{static_cast<unsigned>(day.day)}};
    return formatWith(TimePoint(d), pattern, posixLocale(), icu::TimeZone::getGMT()->clone());
}

std::string ConstParameterAndMethod::shortMonthName(int month) {
    if (month < 1 || month > 12) return {};
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(userLocale(), status);
    if (U_FAILURE(status)) return {};
    int32_t count = 0;
    const icu::UnicodeString* names = symbols.getMonths(count, icu::DateFormatSymbols::FORMAT,
                                                        icu::DateFormatSymbols::ABBREVIATED);
    if (!names || month > count) return {};
    std::string out;
    names[month - 1].toUTF8String(out);
    return out;
}
