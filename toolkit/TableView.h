#pragma once
// A list of rows of fixed height, each row built from a named row layout (cell) and its
// fields. A touch on a row runs didSelectRow; a button inside a row runs its operation
// with the row's index. Long lists reach the page in windows (see kWindowRows); row
// indexes are always those of the whole list.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Widgets.h"

// One field of a table row: a text, or a button inside the row.
struct CellField {
    std::string name;  // property name in the row layout, e.g. "showNameCell"
    std::string text;
    std::string color;
    bool hidden = false;
    std::string action;  // non-empty: a button running this operation with the row's index
    std::string image;
    std::string accessibleName;  // for a button that shows only its image
};

struct TableRow {
    std::string layout;  // row layout (cell) name, e.g. "SupplierOrCustomersCell"
    std::vector<CellField> fields;
    bool arrow = false;
    bool selected = false;  // marks the row chosen (the picker's category)

    TableRow& add(std::string name, std::string text, std::string color = "");
    TableRow& button(std::string name, std::string action, std::string image = "",
                     std::string title = "", std::string accessibleName = "");
    CellField* field(const std::string& name);
};

class TableView : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "table"; }
    double rowHeight = 44;
    bool scrollEnabled = true;
    std::vector<TableRow> rows;
    std::string emptyText;  // a line drawn in the list while it has no rows; "" none
    std::function<void(int row)> didSelectRow;

    // A list longer than this is described in windows of this many rows (a few screens'
    // worth), with the list's length and the window's first row; the page stands in for the
    // rows outside by their height and asks for another window as it scrolls. Shorter
    // lists are described whole.
    static constexpr int kWindowRows = 60;
    // The first row of a window asked to start at `first` in a list of `count` rows: within
    // the list and as full as the list allows; 0 when the list fits in one window.
    static int windowStart(long first, size_t count);
    // The window's first row for the rows as they are now.
    int windowFirst() const { return windowStart(windowFirst_, rows.size()); }
    // Moves the window (the page scrolled).
    void showWindowAt(int first);

    // Call after changing the rows. The window stays where it is while the rows before it
    // are the same (a refresh, an edit further down); another list (another filter, another
    // month) starts again at the top.
    void reloadData();
    int reloadCount = 0;

  protected:
    void describeInto(ViewNode& node) const override;

  private:
    int windowFirst_ = 0;
    std::vector<uint64_t> prints_;  // a digest of each row of a long list, as last reloaded
};
