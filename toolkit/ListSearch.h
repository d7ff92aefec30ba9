#pragma once
// The search of one list: each row's texts, folded once when the list is read, and the rows
// the typed text shows, in the list's order. The screen builds the shown rows from these
// positions and maps a touched row back through positionOf().
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "storage/TextSearch.h"

class ListSearch {
  public:
    // Forgets the rows; the next addRow() is position 0.
    void clear();
    // The searchable texts of the next row (an absent text is passed as empty).
    void addRow(std::initializer_list<std::string_view> texts);
    size_t rowCount() const { return keys_.size(); }

    // Keeps the rows whose texts hold `typed` (TextSearch), every row when it is blank, and
    // returns their positions in list order.
    const std::vector<size_t>& filter(std::string_view typed);
    const std::vector<size_t>& shown() const { return shown_; }
    // Whether the last filter() was given more than white space.
    bool filtering() const { return filtering_; }
    // The list position of shown row `row`; -1 when no row is shown there.
    long positionOf(int row) const;
    // The line for an empty list (TableView::emptyText): "KLNoMatches" when the search keeps
    // none of the rows, else "".
    std::string emptyText() const;

  private:
    // One row's folded texts, one per line: the typed text is one line, so a match never
    // spans two of them.
    std::vector<std::string> keys_;
    std::vector<size_t> shown_;
    bool filtering_ = false;
};
