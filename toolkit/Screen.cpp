#include "toolkit/Screen.h"

#include <algorithm>
#include <cstdio>

#include "toolkit/DatePicker.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenMode.h"
#include "toolkit/TableView.h"

namespace {

uint64_t nextSerial() {
    static uint64_t serial = 0;
    return ++serial;
}

uint64_t nextToastId() {
    static uint64_t id = 0;
    return ++id;
}

}  // namespace

UploadedFile::~UploadedFile() {
    if (!path.empty()) std::remove(path.c_str());
}

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
    if (t == "window") {  // the page scrolled a long list
        auto* table = dynamic_cast<TableView*>(findShown(e.id));
        if (!table) return false;
        table->showWindowAt(e.row);
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
    if (t == "file") {
        auto* picker = dynamic_cast<FilePicker*>(findShown(e.id));
        if (!picker || !e.file) return false;
        ActionArgs args;
        args.widgetId = e.id;
        args.file = e.file;
        return perform(picker->action, args);
    }
    if (t == "banner") return navigator_ && navigator_->tapBanner();
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
        const int count = static_cast<int>(alert.rows.size());
        if (e.row == count && !alert.action.empty()) return perform(alert.action);
        if (e.row >= count) return false;
        if (e.row >= 0 && alert.onSelect) alert.onSelect(e.row);
        return true;
    }
    if (t == "back") return goBack();
    if (t == "mail") {
        if (!composer_) return false;
        if (composer_->sending) {
            if (e.action != "cancelSendEvent") return false;
            *composer_->sending = true;
            return true;
        }
        if (e.action != "send" && e.action != "save" && e.action != "cancel") return false;
        MailDraft edited = composer_->edited(e.fields);
        auto onChoice = composer_->onChoice;
        if (onChoice)
            onChoice(e.action, edited);
        else
            composer_.reset();
        return true;
    }
    return false;
}

bool Screen::goBack() {
    // An overlay goes first, as its cancel button would; the mail sheet keeps what was typed.
    if (alert_) {
        alert_.reset();
        return true;
    }
    if (sheet_) {
        auto sheet = std::move(*sheet_);
        sheet_.reset();
        if (sheet.onClick) sheet.onClick(sheet.cancelIndex());
        return true;
    }
    if (composer_) return true;
    for (const auto& w : widgets_) {
        auto* b = dynamic_cast<const Button*>(w.get());
        if (b && !b->hidden && b->style == "back" && !b->action.empty()) {
            ActionArgs args;
            args.widgetId = b->id();
            perform(b->action, args);
            return true;
        }
    }
    return true;  // no back here (a main screen, an opened order): the screen stays
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
    node.set("toasts", describeToasts(toasts_));
    node.set("sheet", sheet_ ? sheet_->describe() : ViewNode(nullptr));
    node.set("alert", alert_ ? alert_->describe() : ViewNode(nullptr));
    node.set("composer", composer_ ? composer_->describe() : ViewNode(nullptr));
    describeExtra(node);
    return node;
}
