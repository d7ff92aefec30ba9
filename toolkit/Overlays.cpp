#include "toolkit/Overlays.h"

ViewNode describeToasts(const std::vector<Toast>& toasts) {
    ViewNode ts = ViewNode::array();
    auto now = std::chrono::steady_clock::now();
    for (const auto& t : toasts) {
        auto shown = std::chrono::duration_cast<std::chrono::milliseconds>(now - t.shownAt).count();
        long long remaining = static_cast<long long>(t.seconds * 1000) - shown;
        if (remaining <= 0) continue;
        ViewNode tn = ViewNode::object();
        tn.set("id", static_cast<unsigned long long>(t.id))
            .set("text", t.text)
            .set("seconds", t.seconds)
            .set("remaining", remaining)
            .set("centred", t.centred);
        ts.push(std::move(tn));
    }
    return ts;
}

ViewNode ActionSheet::describe() const {
    ViewNode buttons = ViewNode::array();
    int index = 0;
    auto addButton = [&](const std::string& buttonTitle, const char* role) {
        ViewNode b = ViewNode::object();
        b.set("index", index++).set("title", buttonTitle).set("role", role);
        buttons.push(std::move(b));
    };
    if (!destructiveTitle.empty()) addButton(destructiveTitle, "destructive");
    for (const auto& o : otherTitles) addButton(o, "default");
    addButton(cancelTitle, "cancel");
    ViewNode sn = ViewNode::object();
    sn.set("title", title).set("buttons", std::move(buttons));
    return sn;
}

ViewNode TableAlert::describe() const {
    ViewNode list = ViewNode::array();
    for (const auto& r : rows) list.push(r);
    ViewNode an = ViewNode::object();
    an.set("title", title)
        .set("rows", std::move(list))
        .set("cancel", cancelTitle)
        .set("height", height);
    return an;
}
