#pragma once
// A date picker: holds a moment and shows the calendar date it falls on in a given time
// zone; the page reports the picked date as "YYYY-MM-DD".
#include <chrono>
#include <functional>
#include <string>

#include "toolkit/Widgets.h"

class DatePicker : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "datepicker"; }
    std::chrono::system_clock::time_point date;
    std::string timeZone = "GMT";  // the zone in which the picked calendar date is read
    bool dateOnly = true;
    std::function<void(DatePicker&)> valueChanged;
    // "YYYY-MM-DD" of `date` in `timeZone`; and setting the date from such a text.
    std::string calendarDateText() const;
    bool setCalendarDateText(const std::string& ymd);

  protected:
    void describeInto(ViewNode& node) const override;
};
