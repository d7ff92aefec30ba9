#pragma once
// Pieces shared by the screens: header buttons, the round delete button, the counted title
// and what failed writes and reads show.
#include <functional>
#include <optional>
#include <string>

#include "storage/DecimalSum.h"
#include "toolkit/Screen.h"

namespace ScreenParts {

// The header's back button (left). Unless the screen has its own operation of that name,
// it removes the screen with animation.
Button& addBackButton(Screen& screen, const std::string& action = "backEvent");

// A header button on the right (add, save, complete); images "nav_add", "nav_done".
inline Button& addNavButton(Screen& screen, const std::string& id, const std::string& action,
                            const std::string& image) {
    auto& b = screen.add<Button>(id);
    b.style = "nav";
    b.image = image;
    b.action = action;
    return b;
}

// The round delete button near the bottom of an editor in edit mode.
inline Button& addDeleteButton(Screen& screen, const std::string& action) {
    auto& b = screen.add<Button>("deleteBtn");
    b.style = "delete";
    b.image = "bookmark_white_delete";
    b.action = action;
    return b;
}

// The catalogue editors' delete confirmation: "KLRUWantToDelete" with one confirming
// button "KLOK" (index 0) and "KLCancel"; `onClick` receives the index pressed.
void confirmDeleteWithOK(Screen& screen, std::function<void(int)> onClick);

// "%@(%lu)": a title followed by a count in brackets.
std::string titleWithCount(const std::string& title, size_t count);

// A save or delete whose write failed: the editor stays with the user's input and says so.
void reportFailedWrite(Screen& screen);

// A figure or list that could not be read whole (a damaged or unreadable ledger) shows this
// dash instead of a number: a partial sum or a 0 would read as a true figure once the toast
// has gone, and a figure from an earlier reading would look current.
inline constexpr const char* kUnreadFigure = "\u2013";
// Says that what the screen shows could not be read whole: the toast of a failed write.
void reportFailedRead(Screen& screen);
// The figure's "%.2f" text, or the dash when it could not be read.
std::string figureText(const std::optional<DecimalSum>& figure);
// A list screen's title after reading its rows: titleWithCount, or, when the store could not
// read them whole, the dash for the count and the failure toast.
void setListTitle(Screen& screen, const std::string& title, size_t count, bool readFailed);

}  // namespace ScreenParts
