#pragma once
// Pieces shared by the screens: header buttons, the round delete button, the counted title
// and the failed-write toast.
#include <functional>
#include <string>

#include "platform/UI.h"

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

}  // namespace ScreenParts
