#include "toolkit/TableView.h"

#include <algorithm>
#include <string_view>

namespace {

// Tells rows apart cheaply: the same layout and texts give the same digest.
uint64_t rowPrint(const TableRow& row) {
    const std::hash<std::string_view> hash;
    uint64_t p = hash(row.layout);
    auto mix = [&p](uint64_t v) { p ^= v + 0x9e3779b97f4a7c15ULL + (p << 6) + (p >> 2); };
    for (const auto& f : row.fields) {
        mix(hash(f.name));
        mix(hash(f.text));
        mix(f.hidden);
    }
    return p;
}

std::vector<uint64_t> printsBefore(const std::vector<TableRow>& rows, size_t end) {
    std::vector<uint64_t> prints;
    prints.reserve(end);
    for (size_t i = 0; i < end && i < rows.size(); ++i) prints.push_back(rowPrint(rows[i]));
    return prints;
}

}  // namespace

TableRow& TableRow::add(std::string name, std::string text, std::string color) {
    CellField f;
    f.name = std::move(name);
    f.text = std::move(text);
    f.color = std::move(color);
    fields.push_back(std::move(f));
    return *this;
}

TableRow& TableRow::button(std::string name, std::string action, std::string image,
                           std::string title, std::string accessibleName) {
    CellField f;
    f.name = std::move(name);
    f.action = std::move(action);
    f.image = std::move(image);
    f.text = std::move(title);
    f.accessibleName = std::move(accessibleName);
    fields.push_back(std::move(f));
    return *this;
}

CellField* TableRow::field(const std::string& name) {
    for (auto& f : fields)
        if (f.name == name) return &f;
    return nullptr;
}

int TableView::windowStart(long first, size_t count) {
    if (count <= static_cast<size_t>(kWindowRows)) return 0;
    return static_cast<int>(std::clamp<long>(first, 0, static_cast<long>(count) - kWindowRows));
}

void TableView::showWindowAt(int first) {
    windowFirst_ = windowStart(first, rows.size());
    // What the rows before the window were, for the next reload to compare with.
    prints_ = printsBefore(rows, static_cast<size_t>(windowFirst_));
}

void TableView::reloadData() {
    ++reloadCount;
    if (windowFirst_ > 0 && printsBefore(rows, static_cast<size_t>(windowFirst_)) != prints_)
        windowFirst_ = 0;
    const int first = windowStart(windowFirst_, rows.size());
    if (first != windowFirst_) showWindowAt(first);  // the list got shorter
}

void TableView::describeInto(ViewNode& node) const {
    const bool windowed = rows.size() > static_cast<size_t>(kWindowRows);
    const auto first = static_cast<size_t>(windowFirst());
    const size_t end = windowed ? first + kWindowRows : rows.size();
    ViewNode list = ViewNode::array();
    for (size_t i = first; i < end; ++i) {
        const TableRow& row = rows[i];
        ViewNode fs = ViewNode::array();
        for (const auto& f : row.fields) {
            ViewNode fn = ViewNode::object();
            fn.set("name", f.name)
                .set("text", f.text)
                .set("color", f.color)
                .set("hidden", f.hidden)
                .set("action", f.action)
                .set("image", f.image);
            if (!f.accessibleName.empty()) fn.set("accessibleName", f.accessibleName);
            fs.push(std::move(fn));
        }
        ViewNode rn = ViewNode::object();
        rn.set("layout", row.layout).set("arrow", row.arrow).set("fields", std::move(fs));
        if (row.selected) rn.set("selected", true);
        list.push(std::move(rn));
    }
    node.set("rowHeight", rowHeight)
        .set("scrollEnabled", scrollEnabled)
        .set("rows", std::move(list))
        .set("emptyText", emptyText);
    if (windowed) node.set("first", first).set("rowCount", rows.size());
}
