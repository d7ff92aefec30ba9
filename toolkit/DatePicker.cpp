#include "toolkit/DatePicker.h"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<icu::Calendar> calendarIn(const std::string& zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto cal = std::make_unique<icu::GregorianCalendar>(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)), status);
    if (U_FAILURE(status)) return nullptr;
    return cal;
}

}  // namespace

std::string DatePicker::calendarDateText() const {
    auto cal = calendarIn(timeZone);
    if (!cal) return "";
    UErrorCode status = U_ZERO_ERROR;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch());
    cal->setTime(static_cast<UDate>(ms.count()), status);
    int y = cal->get(UCAL_YEAR, status);
    int m = cal->get(UCAL_MONTH, status) + 1;
    int d = cal->get(UCAL_DATE, status);
    if (U_FAILURE(status)) return "";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

bool DatePicker::setCalendarDateText(const std::string& ymd) {
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(ymd.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    auto cal = calendarIn(timeZone);
    if (!cal) return false;
    cal->setLenient(false);
    cal->clear();
    cal->set(y, m - 1, d, 0, 0, 0);
    UErrorCode status = U_ZERO_ERROR;
    UDate when = cal->getTime(status);
    if (U_FAILURE(status)) return false;
    date = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::milliseconds(static_cast<long long>(when))));
    return true;
}

void DatePicker::describeInto(ViewNode& node) const {
    node.set("date", calendarDateText()).set("timeZone", timeZone).set("dateOnly", dateOnly);
}
