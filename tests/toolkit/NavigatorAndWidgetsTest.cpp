// The screen toolkit: lifecycle order, the navigator's stack rules, overlays answering
// with indices, and the text-change path with its filter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/DatePicker.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenMode.h"
#include "toolkit/TableView.h"

namespace {

std::vector<std::string> journal;

class Probe : public Screen {
  public:
    explicit Probe(std::string name) : Screen("Probe"), name_(std::move(name)) {}
    ~Probe() override { journal.push_back(name_ + ".destroyed"); }
    void viewDidLoad() override {
        journal.push_back(name_ + ".load");
        add<Button>("closeBtn").action = "close";
        on("close", [this](const ActionArgs&) {
            navigationController()->popViewControllerAnimated(true);
            // The screen must still be alive while its own operation finishes.
            journal.push_back(name_ + ".after-pop");
        });
    }
    void viewWillAppear() override { journal.push_back(name_ + ".willAppear"); }
    void viewDidAppear() override { journal.push_back(name_ + ".didAppear"); }

  private:
    std::string name_;
};

UIEvent event(const std::string& type, const std::string& id = "", const std::string& action = "",
              int row = -1) {
    UIEvent e;
    e.type = type;
    e.id = id;
    e.action = action;
    e.row = row;
    return e;
}

}  // namespace

TEST(Navigator, LifecycleOrderReappearingScreenRunsWillAppearAndRootStays) {
    journal.clear();
    Navigator nav;
    nav.setRoot(std::make_unique<Probe>("root"));
    const uint64_t rootSerial = nav.top()->serial();
    nav.pushViewController(std::make_unique<Probe>("child"), true);
    EXPECT_NE(nav.top()->serial(), rootSerial);
    EXPECT_EQ(nav.depth(), 2u);
    EXPECT_TRUE(nav.lastTransition().animated);
    EXPECT_EQ(nav.lastTransition().kind, "push");

    ASSERT_TRUE(nav.top()->handleEvent(event("tap", "", "close")));
    // Popped but not yet destroyed: the operation finished on a live object.
    EXPECT_EQ(journal.back(), "child.after-pop");
    nav.drain();
    EXPECT_EQ(journal.back(), "child.destroyed");
    nav.popViewControllerAnimated(false);
    EXPECT_EQ(nav.depth(), 1u);

    const std::vector<std::string> expected = {
        "root.load",        "root.willAppear", "root.didAppear",  "child.load",
        "child.willAppear", "child.didAppear", "root.willAppear", "root.didAppear",
        "child.after-pop",  "child.destroyed"};
    EXPECT_EQ(journal, expected);
}

TEST(ScreenMode, LayoutVariantFollowsThePixelSize) {
    using Size = std::optional<std::pair<int, int>>;
    for (const auto& [size, layout] : {std::pair<Size, const char*>{std::pair{640, 1136}, "X"},
                                       {std::pair{640, 960}, "X960"},
                                       {std::pair{1136, 640}, "X960"},
                                       {std::nullopt, "X960"}}) {
        ScreenMode::setPixelSize(size);
        EXPECT_EQ(ScreenMode::layoutFor("X"), layout);
    }
    EXPECT_EQ(Screen("About", true).layout(), "About");
}

TEST(TextField, ChangesGoThroughTheFilterInCodePoints) {
    Screen s("S");
    auto& f = s.add<TextField>("name");
    f.text = "añb";
    f.shouldChangeCharacters = [](TextField&, long, long, const std::string& r) {
        return r.find('x') == std::string::npos;
    };
    struct Step {
        long at, length;
        const char *replacement, *after;
    };
    for (const Step& step : {Step{2, 0, "€", "añ€b"},  // after the two-byte ñ
                             {2, 0, "\n", "añ€b"},     // the return key: ends editing only
                             {2, 0, "x", "añ€b"},      // refused by the filter
                             {9, 0, "y", "añ€b"},      // past the end
                             {0, 4, "", ""}}) {
        UIEvent e = event("text", "name");
        e.location = step.at;
        e.length = step.length;
        e.replacement = step.replacement;
        EXPECT_TRUE(s.handleEvent(e)) << "a refused change is still an answered event";
        EXPECT_EQ(f.text, step.after) << step.replacement;
        EXPECT_EQ(f.editing, std::string(step.replacement) != "\n");
    }
}

TEST(Overlays, ActionSheetIndicesPutDestructiveFirstAndCancelLast) {
    Screen s("S");
    std::vector<int> pressed;
    ActionSheet sheet;
    sheet.cancelTitle = "Cancel";
    sheet.destructiveTitle = "Delete";
    sheet.onClick = [&](int i) { pressed.push_back(i); };
    s.showActionSheet(sheet);
    ViewNode view = s.describe();
    const auto& buttons = view.get("sheet")->get("buttons")->asArray();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].get("role")->asString(), "destructive");
    EXPECT_EQ(buttons[1].get("index")->asNumber(), 1);

    UIEvent e = event("sheet");
    e.index = 1;
    EXPECT_TRUE(s.handleEvent(e));
    EXPECT_FALSE(s.actionSheet().has_value());
    EXPECT_FALSE(s.handleEvent(e)) << "no sheet is open any more";
    EXPECT_EQ(pressed, std::vector<int>{1});
}

TEST(Overlays, TableAlertCancelChangesNothingAndRowsOutOfRangeAreRefused) {
    Screen s("S");
    std::vector<int> chosen;
    TableAlert alert;
    alert.rows = {"a", "b"};
    alert.onSelect = [&](int r) { chosen.push_back(r); };
    for (const auto& [row, applies] : {std::pair{-1, true}, {5, false}, {1, true}}) {
        s.showTableAlert(alert);
        UIEvent e = event("alert");
        e.row = row;
        EXPECT_EQ(s.handleEvent(e), applies) << row;
    }
    EXPECT_EQ(chosen, std::vector<int>{1});
}

TEST(Overlays, ToastsExpireFromTheViewButStayInTheHistory) {
    Screen s("S");
    s.showToast("KLNoData", 0.0);
    s.showToast("KLExists", 10.0);
    ViewNode view = s.describe();
    const auto& toasts = view.get("toasts")->asArray();
    ASSERT_EQ(toasts.size(), 1u);
    EXPECT_EQ(toasts[0].get("text")->asString(), "KLExists");
    EXPECT_EQ(s.lastToastText(), "KLExists");
}

// Only what the screen shows can be used: events for hidden or unknown widgets, operations
// no shown control runs, rows and row buttons that are not there are refused.
TEST(Screen, EventsReachOnlyTheControlsTheScreenShows) {
    Screen s("S");
    std::vector<std::string> ran;
    for (const char* op : {"shownEvent", "hiddenEvent", "rowEvent", "barEvent"})
        s.on(op, [&ran, op](const ActionArgs& a) { ran.push_back(op + std::to_string(a.row)); });
    s.add<Button>("shownBtn").action = "shownEvent";
    auto& hidden = s.add<Button>("hiddenBtn");
    hidden.action = "hiddenEvent";
    hidden.hidden = true;
    auto& table = s.add<TableView>("tableView");
    table.rows.resize(2);
    table.rows[0].button("addBtn", "rowEvent");
    table.rows[1].button("addBtn", "rowEvent").fields.back().hidden = true;
    table.didSelectRow = [&ran](int row) { ran.push_back("select" + std::to_string(row)); };
    s.add<ButtonBar>("tabBar").items.push_back({"jump", "", "barEvent", ""});
    s.add<TextField>("field").hidden = true;
    const std::pair<UIEvent, bool> cases[] = {
        {event("tap", "", "shownEvent"), true},
        {event("tap", "shownBtn", "shownEvent"), true},
        {event("tap", "", "hiddenEvent"), false},
        {event("tap", "hiddenBtn", "hiddenEvent"), false},
        {event("tap", "hiddenBtn", "shownEvent"), false},  // another control's operation
        {event("tap", "tableView", "rowEvent", 0), true},
        {event("tap", "tableView", "rowEvent", 1), false},
        {event("tap", "tableView", "rowEvent", 2), false},
        {event("tap", "jump", "barEvent"), true},
        {event("row", "tableView", "", 1), true},
        {event("row", "tableView", "", 2), false},
        {event("focus", "field"), false},
        {event("teleport"), false},
    };
    for (const auto& [e, applies] : cases)
        EXPECT_EQ(s.handleEvent(e), applies) << e.type << " " << e.id << " " << e.action;
    EXPECT_EQ(ran, (std::vector<std::string>{"shownEvent-1", "shownEvent-1", "rowEvent0",
                                             "barEvent-1", "select1"}));
}

TEST(DatePicker, CalendarDateIsReadInThePickersZone) {
    DatePicker p("datePicker");
    p.timeZone = "GMT";
    ASSERT_TRUE(p.setCalendarDateText("2015-05-09"));
    EXPECT_EQ(p.calendarDateText(), "2015-05-09");
    EXPECT_FALSE(p.setCalendarDateText("2015-13-01"));
    EXPECT_FALSE(p.setCalendarDateText("yesterday"));
    EXPECT_EQ(p.calendarDateText(), "2015-05-09");
}
