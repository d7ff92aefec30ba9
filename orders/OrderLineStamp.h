#pragma once
// A picked or edited order line records when it was written: today's date, the time of day
// and today's calendar numbers, not the order date.
#include "storage/ConstParameterAndMethod.h"
#include "storage/NumberText.h"
#include "storage/Records.h"

inline void stampWithNow(SUserCommodityOrder& line) {
    const CalendarDate today = ConstParameterAndMethod::today();
    line.orderItemDateTime = ConstParameterAndMethod::getTimeNow();
    line.orderItemMinutesTime = ConstParameterAndMethod::getMinutesNow();
    line.orderItemWeekInYearTime = formatCount(today.weekOfYear);
    line.orderItemYears = formatCount(today.year);
    line.orderItemMonths = formatCount(today.month);
    line.orderItemDays = formatCount(today.day);
}
