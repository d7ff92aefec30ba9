#pragma once
// The one source of "now" and of the device's time zone, so tests can pin both.
#include <chrono>
#include <memory>
#include <string>

class Clock {
  public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    // An ICU/Olson time zone id such as "Europe/Madrid" or "America/New_York".
    virtual std::string timeZoneId() const = 0;

    static Clock& current();
    // Replaces the process clock (tests); nullptr restores the system clock.
    static void install(std::shared_ptr<Clock> clock);
};

// The real clock: system time and the machine's time zone ($TZ, else /etc/localtime).
class SystemClock : public Clock {
  public:
    TimePoint now() const override;
    std::string timeZoneId() const override;
};

// A clock that stands still at a given moment and zone until moved.
class FixedClock : public Clock {
  public:
    FixedClock(TimePoint at, std::string zone) : at_(at), zone_(std::move(zone)) {}
    TimePoint now() const override { return at_; }
    std::string timeZoneId() const override { return zone_; }
    void set(TimePoint at) { at_ = at; }
    void advance(std::chrono::seconds s) { at_ += s; }
    void setZone(std::string zone) { zone_ = std::move(zone); }

  private:
    TimePoint at_;
    std::string zone_;
};
