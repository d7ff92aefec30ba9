#include "toolkit/Widgets.h"

#include <algorithm>

namespace {

// Byte offset of the code point at index `cp` of a UTF-8 text; npos when past the end.
size_t byteOffsetOfCodePoint(const std::string& s, long cp) {
    if (cp < 0) return std::string::npos;
    size_t i = 0;
    long n = 0;
    while (i < s.size() && n < cp) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80           ? 1
                     : (c >> 5) == 0x6  ? 2
                     : (c >> 4) == 0xE  ? 3
                     : (c >> 3) == 0x1E ? 4
                                        : 1;
        i = std::min(s.size(), i + len);
        ++n;
    }
    return n == cp ? i : std::string::npos;
}

ViewNode colorOrEmpty(const std::string& c) {
    return ViewNode(c);
}

}  // namespace

ViewNode Widget::describe() const {
    ViewNode node = ViewNode::object();
    node.set("kind", kind()).set("id", id_).set("hidden", hidden).set("caption", caption);
    describeInto(node);
    return node;
}

void Label::describeInto(ViewNode& node) const {
    node.set("text", text).set("color", colorOrEmpty(color)).set("action", action);
}

bool TextField::applyChange(long location, long length, const std::string& replacement) {
    if (location < 0 || length < 0) return false;
    size_t from = byteOffsetOfCodePoint(text, location);
    size_t to = byteOffsetOfCodePoint(text, location + length);
    if (from == std::string::npos || to == std::string::npos) return false;
    // A line break in a one-line field is the return key: it ends editing and is never
    // part of the text. The filter judges the rest.
    std::string r = replacement;
    bool lineBreak = false;
    if (!multiline) {
        const auto kept =
            std::remove_if(r.begin(), r.end(), [](char c) { return c == '\n' || c == '\r'; });
        lineBreak = kept != r.end();
        r.erase(kept, r.end());
    }
    bool applied = false;
    if ((length > 0 || !r.empty()) &&
        (!shouldChangeCharacters || shouldChangeCharacters(*this, location, length, r))) {
        text.replace(from, to - from, r);
        applied = true;
    }
    if (lineBreak) {
        if (onReturn)
            onReturn(*this);
        else
            resignFirstResponder();
    }
    return applied;
}

void TextField::describeInto(ViewNode& node) const {
    node.set("text", text)
        .set("placeholder", placeholder)
        .set("returnKey", returnKey)
        .set("clearButton", clearButton)
        .set("keyboard", keyboard)
        .set("multiline", multiline)
        .set("shake", shakeCount)
        .set("editing", editing);
}

void Button::describeInto(ViewNode& node) const {
    node.set("title", title).set("image", image).set("action", action).set("style", style);
}

void ImageView::describeInto(ViewNode& node) const {
    node.set("image", image);
}

void ButtonBar::describeInto(ViewNode& node) const {
    ViewNode list = ViewNode::array();
    for (const auto& it : items) {
        ViewNode n = ViewNode::object();
        n.set("id", it.id).set("title", it.title).set("action", it.action).set("image", it.image);
        list.push(std::move(n));
    }
    node.set("items", std::move(list)).set("current", current);
}
