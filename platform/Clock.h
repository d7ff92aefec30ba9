#pragma once
// The one source of "now" and of the device's time zone, so tests can pin both.
#include <unicode/timezone.h>

#include <chrono>
#include <memory>
#include <string>

class Clock {
  public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    // The device's time zone, a new one at each call, for calendars to adopt.
    virtual std::unique_ptr<icu::TimeZone> createTimeZone() const = 0;

    static Clock& current();
    // Replaces the process clock (tests); nullptr restores the system clock.
    static void install(std::shared_ptr<Clock> clock);
};

// The real clock: system time and the C library's local time ($TZ, else /etc/localtime).
class SystemClock : public Clock {
  public:
    TimePoint now() const override;
    std::unique_ptr<icu::TimeZone> createTimeZone() const override;
};

// A clock that stands still at a given moment until moved. Its zone is an ICU/Olson id such
// as "Asia/Tokyo"; an empty id is the C library's local time, as on the system clock.
class FixedClock : public Clock {
  public:
    FixedClock(TimePoint at, std::string zone) : at_(at), zone_(std::move(zone)) {}
    TimePoint now() const override { return at_; }
    std::unique_ptr<icu::TimeZone> createTimeZone() const override;
    void set(TimePoint at) { at_ = at; }
    void advance(std::chrono::seconds s) { at_ += s; }
    void setZone(std::string zone) { zone_ = std::move(zone); }

  private:
    TimePoint at_;
    std::string zone_;
};
