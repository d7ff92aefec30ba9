#pragma once
// The C library's local time as an ICU time zone. Every offset is the one localtime_r gives
// for the moment, so calendars built on it agree with the C library for every form of TZ it
// reads (zone names, ":"-prefixed names and file paths, POSIX rules with or without daylight
// time) and with /etc/localtime when TZ is unset. ICU keeps the calendar arithmetic and the
// localised names.
#include <unicode/timezone.h>

class SystemTimeZone : public icu::TimeZone {
  public:
    // Reads TZ afresh (tzset), so a zone made after TZ changed follows the new value.
    SystemTimeZone();

    // The whole offset from UTC is reported as the raw offset and the daylight part as 0: the
    // C library does not split it, and no calendar field used here depends on the split.
    // A local wall time that occurs twice is read as its later occurrence; one that a
    // transition skips is read with the offset before the transition (ICU's default).
    void getOffset(UDate date, UBool local, int32_t& rawOffset, int32_t& dstOffset,
                   UErrorCode& status) const override;
    int32_t getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t dayOfWeek,
                      int32_t millis, UErrorCode& status) const override;
    int32_t getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t dayOfWeek,
                      int32_t millis, int32_t monthLength, UErrorCode& status) const override;
    void setRawOffset(int32_t) override {}  // the offsets are the C library's
    int32_t getRawOffset() const override;  // the offset now
    UBool useDaylightTime() const override;
    UBool inDaylightTime(UDate date, UErrorCode& status) const override;
    UBool hasSameRules(const icu::TimeZone& other) const override;
    icu::TimeZone* clone() const override { return new SystemTimeZone(*this); }
    UClassID getDynamicClassID() const override;
};
