#pragma once
// What a screen shows above its widgets, besides the composer sheet: toasts and pop-ups
// that remove themselves after their time, the action sheet and the pop-up list. A sheet
// or list is answered once: the screen drops it before it runs the callback.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/ViewNode.h"

struct Toast {
    uint64_t id = 0;
    std::string text;
    double seconds = 1.0;
    std::chrono::steady_clock::time_point shownAt;
    bool centred = false;  // a pop-up rather than a toast
};

// The toasts still showing, each with the milliseconds it has left; the others are left out.
ViewNode describeToasts(const std::vector<Toast>& toasts);

struct ActionSheet {
    std::string title;
    std::string cancelTitle;
    std::string destructiveTitle;  // empty: none
    std::vector<std::string> otherTitles;
    // Index order: the destructive button first (when there is one), then the others,
    // then cancel.
    std::function<void(int index)> onClick;
    int cancelIndex() const {
        return static_cast<int>(otherTitles.size()) + (destructiveTitle.empty() ? 0 : 1);
    }
    // The title and the buttons in index order, each with its index and role.
    ViewNode describe() const;
};

struct TableAlert {
    std::string title;
    std::vector<std::string> rows;
    std::string cancelTitle;
    double height = 350;
    std::function<void(int row)> onSelect;  // not called on cancel
    ViewNode describe() const;
};
