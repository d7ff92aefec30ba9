#include "widgets/FloatBox.h"

#include "storage/NumberText.h"

std::string FloatBox::text() const {
    return title + "\n" + formatOneDecimal(value) + " " + unit;
}

void FloatBox::describeInto(ViewNode& node) const {
    node.set("text", text())
        .set("column", column)
        .set("side", leftOfColumn ? "left" : "right")
        .set("gap", kGap)
        .set("opacity", opacity)
        .set("visible", visible);
}
