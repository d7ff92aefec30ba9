#pragma once
// The bar of four buttons carried by the four main screens. Each press pushes a new
// instance of its target without animation above the screen pressed from; main screens
// further down (but the dashboard at the bottom) are removed, so the stack stays short
// however often the bar is pressed.
#include "toolkit/Screen.h"

namespace MainBar {
// The main screens, by the index used in their operation names
// (jumpOutItems<N>Event and its siblings).
enum Index { kPurchaseJournal = 0, kSalesJournal = 1, kDashboard = 2, kMore = 3 };

// Adds the bar widget ("tabBar") and registers the four operations of screen `index`.
void install(Screen& screen, Index index);
}  // namespace MainBar
