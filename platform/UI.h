#pragma once
// Our stand-in for the phone's UI toolkit: screens with widgets by property name, a
// navigator holding one stack of screens, and overlays (toast, pop-up, action sheet,
// pop-up list, mail composer sheet). The web layer draws the top screen from describe()
// and feeds the user's events back through Screen::handleEvent.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ViewNode.h"

class Screen;
class Navigator;

// ---------------------------------------------------------------------------------------
// Events posted by the page, already decoded.
struct UIEvent {
    std::string type;    // tap, row, text, return, date, segment, sheet, alert, chart, mail,
                         // background
    std::string id;      // the widget's property name
    std::string action;  // the operation name (tap, row buttons, mail choice)
    int row = -1;        // table row, pop-up list row (-1: cancel), row button's row
    int index = -1;      // segment, action sheet button, chart column
    // text change: a range in Unicode code points of the field's text, and its replacement
    long location = 0;
    long length = 0;
    std::string replacement;
    std::string value;  // date "YYYY-MM-DD"; chart event kind: enter, leave, leaveChart, select
    std::map<std::string, std::string> fields;  // mail: to, subject, body
};

struct ActionArgs {
    int row = -1;  // for buttons inside table rows
    std::string widgetId;
};

// ---------------------------------------------------------------------------------------
// Widgets. Every widget has a property name (its data-id on the page).
class Widget {
  public:
    explicit Widget(std::string id) : id_(std::move(id)) {}
    virtual ~Widget() = default;
    const std::string& id() const { return id_; }
    virtual const char* kind() const = 0;
    // The widget's description for the page: kind, id, hidden, caption, then its own fields.
    ViewNode describe() const;

    bool hidden = false;
    std::string caption;  // a caption drawn beside the widget (rows of forms)

  protected:
    virtual void describeInto(ViewNode& node) const = 0;

  private:
    std::string id_;
};

class Label : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "label"; }
    std::string text;
    std::string color;  // "" default, or a CSS colour name such as "green", "red"
    // A tap on a label row runs this operation (e.g. opening a list); empty: none.
    std::string action;

  protected:
    void describeInto(ViewNode& node) const override;
};

class TextField : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "field"; }
    std::string text;
    std::string placeholder;
    std::string returnKey = "done";  // "next", "done"
    bool clearButton = false;
    std::string keyboard = "text";  // "text", "decimal", "email", "phone"
    bool multiline = false;
    // The typing filter: given the range (code points) and its replacement, may refuse.
    std::function<bool(TextField&, long location, long length, const std::string& replacement)>
        shouldChangeCharacters;
    std::function<void(TextField&)> onReturn;

    // Applies a change when the filter accepts it. False when refused, out of range or
    // empty. In a one-line field line breaks are left out and end editing (as `return`).
    bool applyChange(long location, long length, const std::string& replacement);
    void shake() { ++shakeCount; }
    void resignFirstResponder() { editing = false; }
    int shakeCount = 0;  // the page shakes when this grows
    bool editing = false;

  protected:
    void describeInto(ViewNode& node) const override;
};

class Button : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "button"; }
    std::string title;
    std::string image;   // image name, e.g. "bookmark_white_delete"
    std::string action;  // operation name run on tap
    std::string style;   // "", "primary", "round", "delete", "bar"
  protected:
    void describeInto(ViewNode& node) const override;
};

class ImageView : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "image"; }
    std::string image;

  protected:
    void describeInto(ViewNode& node) const override;
};

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

class DatePicker : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "datepicker"; }
    std::chrono::system_clock::time_point date;
    std::string timeZone = "GMT";  // the zone in which the picked calendar date is read
    bool dateOnly = true;
    std::function<void(DatePicker&)> valueChanged;
    // "YYYY-MM-DD" of `date` in `timeZone`; and setting the date from such a text.
    std::string calendarDateText() const;
    bool setCalendarDateText(const std::string& ymd);

  protected:
    void describeInto(ViewNode& node) const override;
};

// A bar of buttons (the four-button bar of the main screens).
class ButtonBar : public Widget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "bar"; }
    struct Item {
        std::string id;
        std::string title;
        std::string action;
        std::string image;
    };
    std::vector<Item> items;
    int current = -1;  // the item that marks the screen shown

  protected:
    void describeInto(ViewNode& node) const override;
};

// ---------------------------------------------------------------------------------------
// Overlays.
struct Toast {
    uint64_t id = 0;
    std::string text;
    double seconds = 1.0;
    std::chrono::steady_clock::time_point shownAt;
    bool centred = false;  // a pop-up rather than a toast
};

struct ActionSheet {
    std::string title;
    std::string cancelTitle;
    std::string destructiveTitle;  // empty: none
    std::vector<std::string> otherTitles;
    // Index order: the destructive button first (when there is one), then the others,
    // then cancel.
    std::function<void(int index)> onClick;
    int cancelIndex() const {
        return static_cast<int>(otherTitles.size()) + (destructiveTitle.empty() ? 0 : 1);
    }
};

struct TableAlert {
    std::string title;
    std::vector<std::string> rows;
    std::string cancelTitle;
    double height = 350;
    std::function<void(int row)> onSelect;  // not called on cancel
};

struct MailAttachment {
    std::string fileName;
    std::string mimeType;
    std::string bytes;
};

struct MailDraft {
    std::vector<std::string> to;
    std::string subject;
    std::string body;
    bool bodyIsHTML = false;
    std::vector<MailAttachment> attachments;
};

struct ComposerSheet {
    MailDraft draft;
    // The user's choice ("send", "save", "cancel") with the fields as edited; the recipients
    // arrive as typed, one address list.
    std::function<void(const std::string& choice, const MailDraft& edited)> onChoice;
    // Set while the mail is on its way: the page shows the sheet busy, and only its cancel
    // control ("cancelSendEvent") applies, which raises the flag for the send to give up.
    std::shared_ptr<std::atomic<bool>> sending;
};

// ---------------------------------------------------------------------------------------
class Screen {
  public:
    // `singleLayout`: the screen has one layout only (no "960" variant).
    explicit Screen(std::string className, bool singleLayout = false);
    virtual ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    const std::string& className() const { return className_; }
    // The layout variant for the current screen mode (the page may report its size after
    // the first screen was made; the variants differ only in geometry).
    std::string layout() const;
    uint64_t serial() const { return serial_; }

    std::string title;
    std::string background = "";  // "" default, "white"

    // Widgets, in the order they were added (the page draws them in this order).
    template <class W>
    W& add(const std::string& id) {
        auto w = std::make_unique<W>(id);
        W& ref = *w;
        widgets_.push_back(std::move(w));
        return ref;
    }
    Widget* find(const std::string& id) const;
    template <class W>
    W* get(const std::string& id) const {
        return dynamic_cast<W*>(find(id));
    }
    const std::vector<std::unique_ptr<Widget>>& widgets() const { return widgets_; }
    // Moves a widget to another place in the drawing order (after `afterId`, or first).
    void moveWidgetAfter(const std::string& id, const std::string& afterId);

    // Operations by name: buttons, row buttons and taps run them.
    void on(const std::string& action, std::function<void(const ActionArgs&)> fn);
    bool hasAction(const std::string& action) const;
    bool perform(const std::string& action, const ActionArgs& args = {});

    // Lifecycle, run by the navigator.
    virtual void viewDidLoad() {}
    virtual void viewWillAppear() {}
    virtual void viewDidAppear() {}
    bool isViewLoaded() const { return loaded_; }
    void loadViewIfNeeded();

    Navigator* navigationController() const { return navigator_; }

    // Ends editing of every text field (the keyboard closes).
    void endEditing();

    // Overlays.
    void showToast(const std::string& text, double seconds);
    void showPopup(const std::string& text, double seconds);
    void showActionSheet(ActionSheet sheet);
    void showTableAlert(TableAlert alert);
    void presentComposer(ComposerSheet sheet);
    void dismissComposer() { composer_.reset(); }
    // Puts the composer shown into its sending state (ComposerSheet::sending).
    void setComposerSending(std::shared_ptr<std::atomic<bool>> flag) {
        if (composer_) composer_->sending = std::move(flag);
    }
    const std::vector<Toast>& toasts() const { return toasts_; }
    const std::optional<ActionSheet>& actionSheet() const { return sheet_; }
    const std::optional<TableAlert>& tableAlert() const { return alert_; }
    const std::optional<ComposerSheet>& composer() const { return composer_; }
    // The newest toast or pop-up text ("" when none was shown).
    std::string lastToastText() const;

    // Dispatches one decoded event. False when it does not apply to this screen: an unknown
    // or hidden widget, an operation no shown control runs (a tap without an id may name
    // any shown control's operation), no such row or row button, no overlay to answer.
    // perform() runs an operation by name for the program itself, shown or not.
    bool handleEvent(const UIEvent& e);

    // The whole screen for the page.
    ViewNode describe() const;

    // Extra content for describe() (widgets with their own drawing add nothing here).
    virtual void describeExtra(ViewNode& /*node*/) const {}

  private:
    friend class Navigator;
    Widget* findShown(const std::string& id) const;
    bool showsControlFor(const UIEvent& e) const;
    std::string className_;
    bool singleLayout_;
    uint64_t serial_;
    bool loaded_ = false;
    Navigator* navigator_ = nullptr;
    std::vector<std::unique_ptr<Widget>> widgets_;
    std::map<std::string, std::function<void(const ActionArgs&)>> actions_;
    std::vector<Toast> toasts_;
    std::optional<ActionSheet> sheet_;
    std::optional<TableAlert> alert_;
    std::optional<ComposerSheet> composer_;
};

// Widgets that handle their own events (chart, segmented selector) implement this too.
class EventWidget {
  public:
    virtual ~EventWidget() = default;
    virtual bool handle(const UIEvent& e) = 0;
};

// ---------------------------------------------------------------------------------------
// The pixel size of the current screen mode, as the page reports it.
class ScreenMode {
  public:
    static std::optional<std::pair<int, int>> pixelSize();
    static void setPixelSize(std::optional<std::pair<int, int>> size);
    // The class name for exactly 640 by 1136 pixels; else the class name + "960".
    static std::string layoutFor(const std::string& className);
};

// ---------------------------------------------------------------------------------------
struct Transition {
    std::string kind;  // "push", "pop", "root"
    bool animated = false;
    uint64_t sequence = 0;
};

class Navigator {
  public:
    Navigator() = default;
    ~Navigator();
    Navigator(const Navigator&) = delete;
    Navigator& operator=(const Navigator&) = delete;

    // The bottom screen; it stays for the life of the navigator.
    void setRoot(std::unique_ptr<Screen> root);
    // Loads the screen (viewDidLoad) when needed, then will-appear, then did-appear.
    void pushViewController(std::unique_ptr<Screen> screen, bool animated);
    // Removes the top screen (never the root); the new top runs will-appear and
    // did-appear. The removed screen is destroyed after the current event (drain()).
    void popViewControllerAnimated(bool animated);

    Screen* top() const { return stack_.empty() ? nullptr : stack_.back().get(); }
    size_t depth() const { return stack_.size(); }
    Screen* at(size_t i) const { return stack_.at(i).get(); }
    const Transition& lastTransition() const { return transition_; }

    // Removes every screen between the root and the top, which stay; like popped screens
    // they are destroyed at the next drain().
    void removeScreensBetweenRootAndTop();

    // Destroys the screens removed since the last drain.
    void drain() { removed_.clear(); }

    // A text shown above every screen for as long as it is set ("": none).
    void setBanner(std::string text) { banner_ = std::move(text); }
    const std::string& banner() const { return banner_; }

    // Links the page should open in a new tab (the store link).
    void openURL(const std::string& url) { urls_.push_back(url); }
    std::vector<std::string> takeURLsToOpen();

    // The navigator of the running app (set by start-up).
    static Navigator* shared();
    static void setShared(Navigator* nav);

  private:
    std::vector<std::unique_ptr<Screen>> stack_;
    std::vector<std::unique_ptr<Screen>> removed_;
    Transition transition_;
    uint64_t sequence_ = 0;
    std::vector<std::string> urls_;
    std::string banner_;
};
