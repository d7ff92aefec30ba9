#include "platform/Clock.h"

#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cstdlib>
#include <memory>

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

std::string SystemClock::timeZoneId() const {
    if (const char* tz = std::getenv("TZ"); tz && *tz) {
        std::string id = tz;
        // POSIX allows ":Area/City" to mean a zone file.
        if (id.front() == ':') id.erase(0, 1);
        if (!id.empty()) return id;
    }
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    if (host) {
        icu::UnicodeString id;
        host->getID(id);
        std::string out;
        id.toUTF8String(out);
        if (!out.empty() && out != "Etc/Unknown") return out;
    }
    return "UTC";
}
