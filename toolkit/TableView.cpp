#include "toolkit/TableView.h"

TableRow& TableRow::add(std::string name, std::string text, std::string color) {
    CellField f;
    f.name = std::move(name);
    f.text = std::move(text);
    f.color = std::move(color);
    fields.push_back(std::move(f));
    return *this;
}

TableRow& TableRow::button(std::string name, std::string action, std::string image,
                           std::string title) {
    CellField f;
    f.name = std::move(name);
    f.action = std::move(action);
    f.image = std::move(image);
    f.text = std::move(title);
    fields.push_back(std::move(f));
    return *this;
}

CellField* TableRow::field(const std::string& name) {
    for (auto& f : fields)
        if (f.name == name) return &f;
    return nullptr;
}

void TableView::describeInto(ViewNode& node) const {
    ViewNode list = ViewNode::array();
    for (const auto& row : rows) {
        ViewNode fs = ViewNode::array();
        for (const auto& f : row.fields) {
            ViewNode fn = ViewNode::object();
            fn.set("name", f.name)
                .set("text", f.text)
                .set("color", f.color)
                .set("hidden", f.hidden)
                .set("action", f.action)
                .set("image", f.image);
            fs.push(std::move(fn));
        }
        ViewNode rn = ViewNode::object();
        rn.set("layout", row.layout).set("arrow", row.arrow).set("fields", std::move(fs));
        list.push(std::move(rn));
    }
    node.set("rowHeight", rowHeight)
        .set("scrollEnabled", scrollEnabled)
        .set("rows", std::move(list));
}
