#include "platform/SystemTimeZone.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <initializer_list>

namespace {

icu::UnicodeString zoneName() {
    const char* tz = std::getenv("TZ");
    return icu::UnicodeString::fromUTF8(tz ? tz : "localtime");
}

bool localTime(UDate date, std::tm& out) {
    const auto seconds = static_cast<std::time_t>(std::floor(date / 1000.0));
    return localtime_r(&seconds, &out) != nullptr;
}

// Milliseconds east of UTC at a moment; 0 where the C library cannot tell.
int32_t offsetAt(UDate date) {
    std::tm tm{};
    return localTime(date, tm) ? static_cast<int32_t>(tm.tm_gmtoff * 1000) : 0;
}

}  // namespace

SystemTimeZone::SystemTimeZone() : icu::TimeZone(zoneName()) {
    tzset();
}

void SystemTimeZone::getOffset(UDate date, UBool local, int32_t& rawOffset, int32_t& dstOffset,
                               UErrorCode& status) const {
    dstOffset = 0;
    if (U_FAILURE(status)) return;
    if (!local) {
        rawOffset = offsetAt(date);
        return;
    }
    // The offsets in force a day either side bound every reading of a wall time (offsets stay
    // within a day); an offset fits when the moment it gives has that offset.
    constexpr UDate kDay = 86400000.0;
    const int32_t before = offsetAt(date - kDay), after = offsetAt(date + kDay);
    bool found = false;
    for (int32_t candidate : {before, after, offsetAt(date - before), offsetAt(date - after)}) {
        if (offsetAt(date - candidate) != candidate) continue;
        // Of two fitting offsets the smaller one gives the later moment.
        if (!found || candidate < rawOffset) rawOffset = candidate;
        found = true;
    }
    if (!found) rawOffset = before;  // skipped by a transition
}

int32_t SystemTimeZone::getOffset(uint8_t era, int32_t year, int32_t month, int32_t day,
                                  uint8_t dayOfWeek, int32_t millis, int32_t,
                                  UErrorCode& status) const {
    return getOffset(era, year, month, day, dayOfWeek, millis, status);
}

int32_t SystemTimeZone::getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t,
                                  int32_t millis, UErrorCode& status) const {
    using namespace std::chrono;
    const int y = era == 0 ? 1 - year : year;  // era 0 is BC
    const sys_days date = std::chrono::year{y} /
                          std::chrono::month{static_cast<unsigned>(month + 1)} /
                          std::chrono::day{static_cast<unsigned>(day)};
    const UDate wall =
        static_cast<UDate>(duration_cast<milliseconds>(date.time_since_epoch()).count()) + millis;
    int32_t raw = 0, dst = 0;
    getOffset(wall, true, raw, dst, status);
    return raw + dst;
}

int32_t SystemTimeZone::getRawOffset() const {
    return offsetAt(static_cast<UDate>(std::time(nullptr)) * 1000.0);
}

UBool SystemTimeZone::useDaylightTime() const {
    return daylight != 0;
}

UBool SystemTimeZone::inDaylightTime(UDate date, UErrorCode& status) const {
    std::tm tm{};
    return U_SUCCESS(status) && localTime(date, tm) && tm.tm_isdst > 0;
}

UBool SystemTimeZone::hasSameRules(const icu::TimeZone& other) const {
    return dynamic_cast<const SystemTimeZone*>(&other) != nullptr;
}

UClassID SystemTimeZone::getDynamicClassID() const {
    static char classId = 0;
    return &classId;
}
