// The screen toolkit: lifecycle order, the navigator's stack rules, overlays answering
// with indices, and the text-change path with its filter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/UI.h"

namespace {

std::vector<std::string> journal;

class Probe : public Screen {
public:
    explicit Probe(std::string name) : Screen("Probe"), name_(std::move(name)) {}
    ~Probe() override { journal.push_back(name_ + ".destroyed"); }
    void viewDidLoad() override {
        journal.push_back(name_ + ".load");
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

UIEvent tapEvent(const std::string& action) {
    UIEvent e;
    e.type = "tap";
    e.action = action;
    return e;
}

}  // namespace

TEST(Navigator, LifecycleOrderAndReappearingScreenRunsWillAppear) {
    journal.clear();
    Navigator nav;
    nav.setRoot(std::make_unique<Probe>("root"));
    nav.pushViewController(std::make_unique<Probe>("child"), true);
    EXPECT_EQ(nav.depth(), 2u);
    EXPECT_TRUE(nav.lastTransition().animated);
    EXPECT_EQ(nav.lastTransition().kind, "push");

    ASSERT_TRUE(nav.top()->handleEvent(tapEvent("close")));
    // Popped but not yet destroyed: the operation finished on a live object.
    EXPECT_EQ(journal.back(), "child.after-pop");
    nav.drain();
    EXPECT_EQ(journal.back(), "child.destroyed");

    const std::vector<std::string> expected = {
        "root.load",       "root.willAppear",   "root.didAppear",  "child.load",
        "child.willAppear", "child.didAppear",  "root.willAppear", "root.didAppear",
        "child.after-pop", "child.destroyed"};
    EXPECT_EQ(journal, expected);
}

TEST(Navigator, RootIsNeverPoppedAndEachScreenHasItsOwnSerial) {
    journal.clear();
    Navigator nav;
    nav.setRoot(std::make_unique<Probe>("root"));
    uint64_t rootSerial = nav.top()->serial();
    nav.popViewControllerAnimated(false);
    EXPECT_EQ(nav.depth(), 1u);
    nav.pushViewController(std::make_unique<Probe>("a"), false);
    EXPECT_NE(nav.top()->serial(), rootSerial);
    EXPECT_FALSE(nav.lastTransition().animated);
}

TEST(ScreenMode, LayoutVariantFollowsThePixelSize) {
    ScreenMode::setPixelSize(std::make_pair(640, 1136));
    EXPECT_EQ(ScreenMode::layoutFor("X"), "X");
    ScreenMode::setPixelSize(std::make_pair(640, 960));
    EXPECT_EQ(ScreenMode::layoutFor("X"), "X960");
    ScreenMode::setPixelSize(std::make_pair(1136, 640));
    EXPECT_EQ(ScreenMode::layoutFor("X"), "X960");
    ScreenMode::setPixelSize(std::nullopt);
    EXPECT_EQ(ScreenMode::layoutFor("X"), "X960");
    EXPECT_EQ(Screen("About", true).layout(), "About");
}

TEST(TextField, ChangesGoThroughTheFilterInCodePoints) {
    Screen s("S");
    auto& f = s.add<TextField>("name");
    f.text = "añb";
    f.shouldChangeCharacters = [](TextField&, long, long, const std::string& r) {
        return r.find('x') == std::string::npos;
    };
    UIEvent e;
    e.type = "text";
    e.id = "name";
    e.location = 2;  // after the two-byte ñ
    e.length = 0;
    e.replacement = "€";
    EXPECT_TRUE(s.handleEvent(e));
    EXPECT_EQ(f.text, "añ€b");
    e.replacement = "x";
    EXPECT_TRUE(s.handleEvent(e));
    EXPECT_EQ(f.text, "añ€b") << "a refused change leaves the text";
    e.location = 9;  // past the end
    e.replacement = "y";
    s.handleEvent(e);
    EXPECT_EQ(f.text, "añ€b");
    e.location = 0;
    e.length = 4;
    e.replacement = "";
    EXPECT_TRUE(s.handleEvent(e));
    EXPECT_EQ(f.text, "");
}

TEST(Overlays, ActionSheetIndicesPutDestructiveFirstAndCancelLast) {
    Screen s("S");
    std::vector<int> pressed;
    ActionSheet sheet;
    sheet.title = "T";
    sheet.cancelTitle = "Cancel";
    sheet.destructiveTitle = "Delete";
    sheet.onClick = [&](int i) { pressed.push_back(i); };
    s.showActionSheet(sheet);
    ViewNode view = s.describe();
    const auto& buttons = view.get("sheet")->get("buttons")->asArray();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].get("role")->asString(), "destructive");
    EXPECT_EQ(buttons[1].get("index")->asNumber(), 1);

    UIEvent e;
    e.type = "sheet";
    e.index = 1;
    EXPECT_TRUE(s.handleEvent(e));
    EXPECT_FALSE(s.actionSheet().has_value());
    EXPECT_FALSE(s.handleEvent(e)) << "no sheet is open any more";
    EXPECT_EQ(pressed, std::vector<int>{1});
}

TEST(Overlays, TableAlertCancelChangesNothingAndRowsOutOfRangeAreRefused) {
    Screen s("S");
    int chosen = -1;
    TableAlert alert;
    alert.rows = {"a", "b"};
    alert.onSelect = [&](int r) { chosen = r; };
    s.showTableAlert(alert);
    UIEvent e;
    e.type = "alert";
    e.row = -1;
    EXPECT_TRUE(s.handleEvent(e));
    EXPECT_EQ(chosen, -1);
    s.showTableAlert(alert);
    e.row = 5;
    EXPECT_FALSE(s.handleEvent(e));
    s.showTableAlert(alert);
    e.row = 1;
    EXPECT_TRUE(s.handleEvent(e));
    EXPECT_EQ(chosen, 1);
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

TEST(Screen, UnknownOperationsAndRowsAreRefused) {
    Screen s("S");
    auto& t = s.add<TableView>("tableView");
    t.rows.resize(2);
    int selected = -1;
    t.didSelectRow = [&](int r) { selected = r; };
    EXPECT_FALSE(s.handleEvent(tapEvent("nothing")));
    UIEvent row;
    row.type = "row";
    row.id = "tableView";
    row.row = 2;
    EXPECT_FALSE(s.handleEvent(row));
    row.row = 1;
    EXPECT_TRUE(s.handleEvent(row));
    EXPECT_EQ(selected, 1);
    UIEvent bogus;
    bogus.type = "teleport";
    EXPECT_FALSE(s.handleEvent(bogus));
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
