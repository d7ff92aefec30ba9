#pragma once
// The small value box shown beside a chart column while a finger rests on it. It stands on
// one side of its column, a quarter of the column's width away from it, its foot as far above
// the top of the column's bar. Where the page draws the chart only the page knows, so the box
// names its column and side and the page places it beside that column as drawn (keeping it
// on screen); the page also fades it in (opacity 0 to 1) and, once hidden, out while it sinks
// by its own height.
#include <string>

#include "toolkit/Widgets.h"

class FloatBox : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "floatbox"; }

    static constexpr double kWidth = 64;  // in chart points, for the choice of side
    static constexpr double kGap = 0.25;  // away from the column, in column widths

    int column = -1;            // position of the column from the left
    bool leftOfColumn = false;  // else right of it
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
