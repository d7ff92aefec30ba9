#include "platform/UI.h"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cstdio>

namespace {

uint64_t nextSerial() {
    static uint64_t serial = 0;
    return ++serial;
}

uint64_t nextToastId() {
    static uint64_t id = 0;
    return ++id;
}

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

std::unique_ptr<icu::Calendar> calendarIn(const std::string& zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto cal = std::make_unique<icu::GregorianCalendar>(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)), status);
    if (U_FAILURE(status)) return nullptr;
    return cal;
}

}  // namespace

// ------------------------------------------------------------------------------------------
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

std::string DatePicker::calendarDateText() const {
    auto cal = calendarIn(timeZone);
    if (!cal) return "";
    UErrorCode status = U_ZERO_ERROR;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch());
    cal->setTime(static_cast<UDate>(ms.count()), status);
    int y = cal->get(UCAL_YEAR, status);
    int m = cal->get(UCAL_MONTH, status) + 1;
    int d = cal->get(UCAL_DATE, status);
    if (U_FAILURE(status)) return "";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

bool DatePicker::setCalendarDateText(const std::string& ymd) {
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(ymd.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    auto cal = calendarIn(timeZone);
    if (!cal) return false;
    cal->setLenient(false);
    cal->clear();
    cal->set(y, m - 1, d, 0, 0, 0);
    UErrorCode status = U_ZERO_ERROR;
    UDate when = cal->getTime(status);
    if (U_FAILURE(status)) return false;
    date = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::milliseconds(static_cast<long long>(when))));
    return true;
}

void DatePicker::describeInto(ViewNode& node) const {
    node.set("date", calendarDateText()).set("timeZone", timeZone).set("dateOnly", dateOnly);
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

// ------------------------------------------------------------------------------------------
Screen::Screen(std::string className, bool singleLayout)
    : className_(std::move(className)), singleLayout_(singleLayout), serial_(nextSerial()) {}

std::string Screen::layout() const {
    return singleLayout_ ? className_ : ScreenMode::layoutFor(className_);
}

Screen::~Screen() = default;

Widget* Screen::find(const std::string& id) const {
    for (const auto& w : widgets_)
        if (w->id() == id) return w.get();
    return nullptr;
}

void Screen::moveWidgetAfter(const std::string& id, const std::string& afterId) {
    auto it = std::find_if(widgets_.begin(), widgets_.end(),
                           [&](const auto& w) { return w->id() == id; });
    if (it == widgets_.end()) return;
    auto w = std::move(*it);
    widgets_.erase(it);
    auto pos = std::find_if(widgets_.begin(), widgets_.end(),
                            [&](const auto& x) { return x->id() == afterId; });
    widgets_.insert(pos == widgets_.end() ? widgets_.begin() : pos + 1, std::move(w));
}

void Screen::on(const std::string& action, std::function<void(const ActionArgs&)> fn) {
    actions_[action] = std::move(fn);
}

bool Screen::hasAction(const std::string& action) const {
    return actions_.count(action) > 0;
}

bool Screen::perform(const std::string& action, const ActionArgs& args) {
    auto it = actions_.find(action);
    if (it == actions_.end()) return false;
    auto fn = it->second;  // the action may replace its own registration
    fn(args);
    return true;
}

void Screen::loadViewIfNeeded() {
    if (loaded_) return;
    loaded_ = true;
    viewDidLoad();
}

void Screen::endEditing() {
    for (auto& w : widgets_)
        if (auto* f = dynamic_cast<TextField*>(w.get())) f->resignFirstResponder();
}

void Screen::showToast(const std::string& text, double seconds) {
    toasts_.push_back(Toast{nextToastId(), text, seconds, std::chrono::steady_clock::now(), false});
}

void Screen::showPopup(const std::string& text, double seconds) {
    toasts_.push_back(Toast{nextToastId(), text, seconds, std::chrono::steady_clock::now(), true});
}

void Screen::showActionSheet(ActionSheet sheet) {
    sheet_ = std::move(sheet);
}
void Screen::showTableAlert(TableAlert alert) {
    alert_ = std::move(alert);
}
void Screen::presentComposer(ComposerSheet sheet) {
    composer_ = std::move(sheet);
}

std::string Screen::lastToastText() const {
    return toasts_.empty() ? "" : toasts_.back().text;
}

Widget* Screen::findShown(const std::string& id) const {
    Widget* w = find(id);
    return w && !w->hidden ? w : nullptr;
}

bool Screen::showsControlFor(const UIEvent& e) const {
    // A button inside a row: the shown table, an existing row, a shown button of the action.
    if (e.row >= 0) {
        auto* table = dynamic_cast<TableView*>(findShown(e.id));
        if (!table || e.row >= static_cast<int>(table->rows.size())) return false;
        for (const auto& f : table->rows[e.row].fields)
            if (!f.hidden && f.action == e.action) return true;
        return false;
    }
    // Otherwise the named control, or without a name any control, shown and running it.
    auto carries = [&](const Widget& w) {
        if (auto* b = dynamic_cast<const Button*>(&w)) return b->action == e.action;
        if (auto* l = dynamic_cast<const Label*>(&w)) return l->action == e.action;
        return false;
    };
    for (const auto& w : widgets_) {
        if (w->hidden) continue;
        if (e.id.empty() || w->id() == e.id) {
            if (carries(*w)) return true;
        }
        // The items of a bar carry ids of their own.
        if (auto* bar = dynamic_cast<const ButtonBar*>(w.get())) {
            for (const auto& item : bar->items)
                if ((e.id.empty() || item.id == e.id) && item.action == e.action) return true;
        }
    }
    return false;
}

bool Screen::handleEvent(const UIEvent& e) {
    const std::string& t = e.type;
    if (t == "tap") {
        if (!e.id.empty()) {
            if (auto* w = find(e.id)) {
                if (auto* ew = dynamic_cast<EventWidget*>(w)) return !w->hidden && ew->handle(e);
            }
        }
        // Only what the screen shows can be pressed: a hidden back button does not leave.
        if (e.action.empty() || !showsControlFor(e)) return false;
        ActionArgs args;
        args.row = e.row;
        args.widgetId = e.id;
        return perform(e.action, args);
    }
    if (t == "row") {
        auto* table = dynamic_cast<TableView*>(findShown(e.id));
        if (!table || e.row < 0 || e.row >= static_cast<int>(table->rows.size())) return false;
        endEditing();
        if (table->didSelectRow) table->didSelectRow(e.row);
        return true;
    }
    if (t == "text") {
        auto* field = dynamic_cast<TextField*>(findShown(e.id));
        if (!field) return false;
        field->editing = true;
        field->applyChange(e.location, e.length, e.replacement);
        return true;  // a refused change is still a handled event
    }
    if (t == "focus") {
        auto* field = dynamic_cast<TextField*>(findShown(e.id));
        if (!field) return false;
        field->editing = true;
        return true;
    }
    if (t == "return") {
        auto* field = dynamic_cast<TextField*>(findShown(e.id));
        if (!field) return false;
        if (field->onReturn)
            field->onReturn(*field);
        else
            field->resignFirstResponder();
        return true;
    }
    if (t == "background") {
        endEditing();
        if (hasAction("backgroundTap")) perform("backgroundTap");
        return true;
    }
    if (t == "date") {
        auto* picker = dynamic_cast<DatePicker*>(findShown(e.id));
        if (!picker || !picker->setCalendarDateText(e.value)) return false;
        if (picker->valueChanged) picker->valueChanged(*picker);
        return true;
    }
    if (t == "segment" || t == "chart") {
        auto* ew = dynamic_cast<EventWidget*>(findShown(e.id));
        return ew && ew->handle(e);
    }
    if (t == "sheet") {
        if (!sheet_) return false;
        auto sheet = std::move(*sheet_);
        sheet_.reset();
        if (e.index < 0 || e.index > sheet.cancelIndex()) return false;
        if (sheet.onClick) sheet.onClick(e.index);
        return true;
    }
    if (t == "alert") {
        if (!alert_) return false;
        auto alert = std::move(*alert_);
        alert_.reset();
        if (e.row >= static_cast<int>(alert.rows.size())) return false;
        if (e.row >= 0 && alert.onSelect) alert.onSelect(e.row);
        return true;
    }
    if (t == "mail") {
        if (!composer_) return false;
        if (composer_->sending) {
            if (e.action != "cancelSendEvent") return false;
            *composer_->sending = true;
            return true;
        }
        if (e.action != "send" && e.action != "save" && e.action != "cancel") return false;
        MailDraft edited = composer_->draft;
        if (auto it = e.fields.find("subject"); it != e.fields.end()) edited.subject = it->second;
        if (auto it = e.fields.find("body"); it != e.fields.end()) edited.body = it->second;
        // The recipients stay as typed: only an address list parser knows which commas
        // separate addresses ("Doe, John" <j@example.com> is one).
        if (auto it = e.fields.find("to"); it != e.fields.end()) {
            edited.to.clear();
            if (it->second.find_first_not_of(" \t\r\n") != std::string::npos)
                edited.to.push_back(it->second);
        }
        auto onChoice = composer_->onChoice;
        if (onChoice)
            onChoice(e.action, edited);
        else
            composer_.reset();
        return true;
    }
    return false;
}

ViewNode Screen::describe() const {
    ViewNode node = ViewNode::object();
    node.set("screen", className_)
        .set("layout", layout())
        .set("serial", static_cast<unsigned long long>(serial_))
        .set("title", title)
        .set("background", background);
    ViewNode ws = ViewNode::array();
    for (const auto& w : widgets_) ws.push(w->describe());
    node.set("widgets", std::move(ws));

    ViewNode ts = ViewNode::array();
    auto now = std::chrono::steady_clock::now();
    for (const auto& t : toasts_) {
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
    node.set("toasts", std::move(ts));

    if (sheet_) {
        ViewNode buttons = ViewNode::array();
        int index = 0;
        auto addButton = [&](const std::string& title, const char* role) {
            ViewNode b = ViewNode::object();
            b.set("index", index++).set("title", title).set("role", role);
            buttons.push(std::move(b));
        };
        if (!sheet_->destructiveTitle.empty()) addButton(sheet_->destructiveTitle, "destructive");
        for (const auto& o : sheet_->otherTitles) addButton(o, "default");
        addButton(sheet_->cancelTitle, "cancel");
        ViewNode sn = ViewNode::object();
        sn.set("title", sheet_->title).set("buttons", std::move(buttons));
        node.set("sheet", std::move(sn));
    } else {
        node.set("sheet", nullptr);
    }

    if (alert_) {
        ViewNode rows = ViewNode::array();
        for (const auto& r : alert_->rows) rows.push(r);
        ViewNode an = ViewNode::object();
        an.set("title", alert_->title)
            .set("rows", std::move(rows))
            .set("cancel", alert_->cancelTitle)
            .set("height", alert_->height);
        node.set("alert", std::move(an));
    } else {
        node.set("alert", nullptr);
    }

    if (composer_) {
        const MailDraft& d = composer_->draft;
        ViewNode to = ViewNode::array();
        for (const auto& a : d.to) to.push(a);
        ViewNode atts = ViewNode::array();
        int i = 0;
        for (const auto& a : d.attachments) {
            ViewNode an = ViewNode::object();
            an.set("index", i++)
                .set("fileName", a.fileName)
                .set("mimeType", a.mimeType)
                .set("size", static_cast<unsigned long long>(a.bytes.size()));
            atts.push(std::move(an));
        }
        ViewNode cn = ViewNode::object();
        cn.set("to", std::move(to))
            .set("subject", d.subject)
            .set("body", d.body)
            .set("bodyIsHTML", d.bodyIsHTML)
            .set("attachments", std::move(atts))
            .set("sending", composer_->sending != nullptr);
        node.set("composer", std::move(cn));
    } else {
        node.set("composer", nullptr);
    }
    describeExtra(node);
    return node;
}

// ------------------------------------------------------------------------------------------
namespace {
std::optional<std::pair<int, int>>& pixelSizeSlot() {
    static std::optional<std::pair<int, int>> size;
    return size;
}
Navigator*& sharedNavigatorSlot() {
    static Navigator* nav = nullptr;
    return nav;
}
}  // namespace

std::optional<std::pair<int, int>> ScreenMode::pixelSize() {
    return pixelSizeSlot();
}
void ScreenMode::setPixelSize(std::optional<std::pair<int, int>> size) {
    pixelSizeSlot() = size;
}

std::string ScreenMode::layoutFor(const std::string& className) {
    auto size = pixelSize();
    if (size && size->first == 640 && size->second == 1136) return className;
    return className + "960";
}

// ------------------------------------------------------------------------------------------
Navigator::~Navigator() {
    // Top first, as screens are removed from a stack.
    while (!stack_.empty()) stack_.pop_back();
    removed_.clear();
}

void Navigator::setRoot(std::unique_ptr<Screen> root) {
    while (!stack_.empty()) {
        removed_.push_back(std::move(stack_.back()));
        stack_.pop_back();
    }
    root->navigator_ = this;
    stack_.push_back(std::move(root));
    transition_ = Transition{"root", false, ++sequence_};
    Screen* s = stack_.back().get();
    s->loadViewIfNeeded();
    s->viewWillAppear();
    s->viewDidAppear();
}

void Navigator::pushViewController(std::unique_ptr<Screen> screen, bool animated) {
    if (!screen) return;
    if (stack_.empty()) {
        setRoot(std::move(screen));
        return;
    }
    screen->navigator_ = this;
    stack_.push_back(std::move(screen));
    transition_ = Transition{"push", animated, ++sequence_};
    Screen* s = stack_.back().get();
    s->loadViewIfNeeded();
    s->viewWillAppear();
    s->viewDidAppear();
}

void Navigator::popViewControllerAnimated(bool animated) {
    if (stack_.size() <= 1) return;
    removed_.push_back(std::move(stack_.back()));
    stack_.pop_back();
    transition_ = Transition{"pop", animated, ++sequence_};
    Screen* s = stack_.back().get();
    s->viewWillAppear();
    s->viewDidAppear();
}

void Navigator::removeScreensBetweenRootAndTop() {
    if (stack_.size() <= 2) return;
    for (auto it = stack_.begin() + 1; it != stack_.end() - 1; ++it)
        removed_.push_back(std::move(*it));
    stack_.erase(stack_.begin() + 1, stack_.end() - 1);
}

std::vector<std::string> Navigator::takeURLsToOpen() {
    std::vector<std::string> out;
    out.swap(urls_);
    return out;
}

Navigator* Navigator::shared() {
    return sharedNavigatorSlot();
}
void Navigator::setShared(Navigator* nav) {
    sharedNavigatorSlot() = nav;
}
