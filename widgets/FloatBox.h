#pragma once
// The small value box shown over a chart column while a finger rests on it. The page fades
// it in (opacity 0 to 1) and out; here it is only where it is, what it reads and whether
// it is shown.
#include <string>

#include "platform/UI.h"

class FloatBox : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "floatbox"; }

    static constexpr double kWidth = 64;
    static constexpr double kHeight = 40;

    double x = 0;
    double y = 0;
    double width = kWidth;
    double height = kHeight;
    float value = 0;
    std::string unit;
    std::string title;
    double opacity = 0;
    bool visible = false;

    // The title, a line break, the value with one decimal, a blank and the unit.
    std::string text() const;

  protected:
    void describeInto(ViewNode& node) const override;
};
