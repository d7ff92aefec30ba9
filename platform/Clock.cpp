#include "platform/Clock.h"

#include <unicode/unistr.h>

#include "platform/SystemTimeZone.h"

namespace {

std::shared_ptr<Clock>& installed() {
    static std::shared_ptr<Clock> clock;
    return clock;
}

}  // namespace

Clock& Clock::current() {
    if (auto& c = installed()) return *c;
    static SystemClock system;
    return system;
}

void Clock::install(std::shared_ptr<Clock> clock) {
    installed() = std::move(clock);
}

Clock::TimePoint SystemClock::now() const {
    return std::chrono::system_clock::now();
}

std::unique_ptr<icu::TimeZone> SystemClock::createTimeZone() const {
    return std::make_unique<SystemTimeZone>();
}

std::unique_ptr<icu::TimeZone> FixedClock::createTimeZone() const {
    if (zone_.empty()) return std::make_unique<SystemTimeZone>();
    // An unknown id gives ICU's "Etc/Unknown", which behaves as UTC.
    return std::unique_ptr<icu::TimeZone>(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone_)));
}
