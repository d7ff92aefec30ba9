#include "widgets/ColumnChart.h"

#include <algorithm>

void ColumnChart::setFrame(double fx, double fy, double fw, double fh) {
    x = fx;
    y = fy;
    width = fw;
    height = fh;
}

void ColumnChart::reloadData() {
    columns_.clear();
    highest_.reset();
    selected_ = -1;
    if (!dataSource) return;
    const int count = std::max(0, dataSource->numberOfColumnsInColumnChart(*this));
    int presented = dataSource->numberOfColumnsPresentedEveryTime(*this);
    if (presented <= 0) presented = std::max(1, count);
    if (auto top = dataSource->highestValueColumnChart(*this)) highest_ = top->value;

    // Each column sits in the middle of its slot, half the slot wide.
    const double slot = width / presented;
    const double columnWidth = slot / 2;
    const double plotHeight = std::max(0.0, height - kLabelBand);
    for (int i = 0; i < count; ++i) {
        auto model = dataSource->columnChart_valueForIndex(*this, i);
        ChartColumn c;
        c.index = i;
        if (model) {
            c.label = model->label;
            c.value = model->value;
        }
        c.x = x + i * slot + (slot - columnWidth) / 2;
        c.y = y;
        c.width = columnWidth;
        c.height = plotHeight;
        if (highest_ && *highest_ > 0 && c.value > 0)
            c.grade = std::min(1.0, static_cast<double>(c.value) / *highest_);
        c.color = kColumnColor;
        columns_.push_back(std::move(c));
    }
}

const ChartColumn* ColumnChart::column(int i) const {
    if (i < 0 || i >= static_cast<int>(columns_.size())) return nullptr;
    return &columns_[i];
}

std::string ColumnChart::columnColor(int i) const {
    const ChartColumn* c = column(i);
    return c ? c->color : "";
}

void ColumnChart::setColumnColor(int i, const std::string& color) {
    if (i < 0 || i >= static_cast<int>(columns_.size())) return;
    columns_[i].color = color;
}

bool ColumnChart::handle(const UIEvent& e) {
    if (e.type != "chart") return false;
    if (e.value == "leaveChart") {
        if (delegate) delegate->fingerDidLeaveColumnChart(*this);
        return true;
    }
    if (!column(e.index)) return false;
    if (e.value == "enter") {
        if (delegate) delegate->columnChart_fingerDidEnterColumn(*this, e.index);
    } else if (e.value == "leave") {
        if (delegate) delegate->columnChart_fingerDidLeaveColumn(*this, e.index);
    } else if (e.value == "select") {
        selected_ = e.index;
        if (delegate) delegate->columnChart_didSelectColumn(*this, e.index);
    } else {
        return false;
    }
    return true;
}

void ColumnChart::describeInto(ViewNode& node) const {
    ViewNode list = ViewNode::array();
    for (const auto& c : columns_) {
        ViewNode n = ViewNode::object();
        n.set("index", c.index)
            .set("label", c.label)
            .set("value", static_cast<double>(c.value))
            .set("grade", c.grade)
            .set("color", c.color);
        list.push(std::move(n));
    }
    node.set("x", x)
        .set("y", y)
        .set("width", width)
        .set("height", height)
        .set("columns", std::move(list))
        .set("highest", highest_ ? ViewNode(static_cast<double>(*highest_)) : ViewNode())
        .set("selected", selected_);
}
