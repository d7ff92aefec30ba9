#pragma once
// A segmented selector: a row of texts of which one is selected; a touch on another one
// selects it and tells the delegate.
#include <string>
#include <vector>

#include "toolkit/Screen.h"

class SegmentViewDelegate {
  public:
    virtual ~SegmentViewDelegate() = default;
    virtual void segmentViewSelectIndex(int index) = 0;
};

class SegmentView : public Widget, public EventWidget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "segment"; }

    std::vector<std::string> items;
    int selected = 0;
    SegmentViewDelegate* delegate = nullptr;

    // type "segment", index: the item touched. Out of range: not handled.
    bool handle(const UIEvent& e) override;

  protected:
    void describeInto(ViewNode& node) const override;
};
