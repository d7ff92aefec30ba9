#pragma once
// The search field above a list (data-id "searchText" on every screen that has one): one
// line, a clear button, the search key, the placeholder "KLSearch". The screen filters its
// rows in didChange, so the list follows each keystroke.
#include "toolkit/Widgets.h"

class SearchField : public TextField {
  public:
    static constexpr const char* kId = "searchText";
    explicit SearchField(std::string id = kId);
};
