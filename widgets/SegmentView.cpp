#include "widgets/SegmentView.h"

bool SegmentView::handle(const UIEvent& e) {
    if (e.type != "segment") return false;
    if (e.index < 0 || e.index >= static_cast<int>(items.size())) return false;
    selected = e.index;
    if (delegate) delegate->segmentViewSelectIndex(e.index);
    return true;
}

void SegmentView::describeInto(ViewNode& node) const {
    ViewNode list = ViewNode::array();
    for (const auto& item : items) list.push(item);
    node.set("items", std::move(list)).set("selected", selected);
}
