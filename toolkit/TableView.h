#pragma once
// A list of rows of fixed height, each row built from a named row layout (cell) and its
// fields. A touch on a row runs didSelectRow; a button inside a row runs its operation
// with the row's index.
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
};

struct TableRow {
    std::string layout;  // row layout (cell) name, e.g. "SupplierOrCustomersCell"
    std::vector<CellField> fields;
    bool arrow = false;

    TableRow& add(std::string name, std::string text, std::string color = "");
    TableRow& button(std::string name, std::string action, std::string image = "",
                     std::string title = "");
    CellField* field(const std::string& name);
};

class TableView : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "table"; }
    double rowHeight = 44;
    bool scrollEnabled = true;
    std::vector<TableRow> rows;
    std::function<void(int row)> didSelectRow;
    void reloadData() { ++reloadCount; }
    int reloadCount = 0;

  protected:
    void describeInto(ViewNode& node) const override;
};
