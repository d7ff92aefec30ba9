#pragma once
// Our stand-in for the phone's UI toolkit. A screen holds widgets by property name, the
// operations its controls run, and the overlays it shows; a navigator (toolkit/Navigator.h)
// holds the stack of screens. The web layer draws the top screen from describe() and feeds
// the user's events back through handleEvent().
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/ComposerSheet.h"
#include "toolkit/Overlays.h"
#include "toolkit/ViewNode.h"
#include "toolkit/Widgets.h"

class Navigator;

// A file the user handed to the page, stored by the web layer in a temporary file that is
// removed when the last holder lets go of it.
struct UploadedFile {
    std::string path;  // empty when refused
    uint64_t bytes = 0;
    bool refused = false;  // larger than the web layer takes: nothing was stored
    UploadedFile() = default;
    UploadedFile(const UploadedFile&) = delete;
    UploadedFile& operator=(const UploadedFile&) = delete;
    ~UploadedFile();
};

// Events posted by the page, already decoded.
struct UIEvent {
    std::string type;    // tap, row, text, return, date, segment, sheet, alert, chart, mail,
                         // background, banner, back, window; file (made by the web layer from
                         // an upload)
    std::string id;      // the widget's property name
    std::string action;  // the operation name (tap, row buttons, mail choice)
    int row = -1;        // table row (window: its first), alert row (-1: cancel), row button's row
    int index = -1;      // segment, action sheet button, chart column
    // text change: a range in Unicode code points of the field's text, and its replacement
    long location = 0;
    long length = 0;
    std::string replacement;
    std::string value;  // date "YYYY-MM-DD"; chart event kind: enter, leave, leaveChart, select
    std::map<std::string, std::string> fields;  // mail: to, subject, body
    std::shared_ptr<UploadedFile> file;         // file
};

struct ActionArgs {
    int row = -1;  // for buttons inside table rows
    std::string widgetId;
    std::shared_ptr<UploadedFile> file;  // for a file picker
};

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

    // The back event (the browser's back button): an overlay up is cancelled; else the
    // shown header back or close control (a button of style "back") runs its operation;
    // a screen without one stays as it is. Always handled.
    bool goBack();

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
