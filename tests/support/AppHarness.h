#pragma once
// Test fixture for screen logic: a temporary documents directory, a pinned clock and time
// zone, English texts, a 640x1136 screen, and helpers that drive the top screen through
// the same events the page posts.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "app/AppDelegate.h"
#include "platform/Clock.h"
#include "toolkit/Navigator.h"

class AppHarness : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs start-up: tables, default partners, the dashboard at the bottom.
    void start();

    // A moment given as local wall time in `zone`.
    static Clock::TimePoint at(int y, int mo, int d, int h = 12, int mi = 0, int s = 0,
                               const std::string& zone = "Europe/Madrid");

    Navigator& nav() { return app_->navigator(); }
    Screen* top() { return nav().top(); }
    template <class S>
    S* topAs() {
        return dynamic_cast<S*>(top());
    }

    // Events on the top screen; each returns what handleEvent returned, once the work it
    // started outside the app's lock has come back.
    bool tap(const std::string& action, int row = -1, const std::string& id = "");
    bool selectRow(const std::string& tableId, int row);
    // Replaces the whole text of a field through one text event.
    bool setText(const std::string& fieldId, const std::string& text);
    bool change(const std::string& fieldId, long location, long length, const std::string& repl);
    bool pressReturn(const std::string& fieldId);  // the Enter key in a field
    bool pickDate(const std::string& pickerId, const std::string& ymd);
    bool sheet(int index);
    bool alertRow(int row);
    bool send(const UIEvent& e);

    std::string labelText(const std::string& id);
    std::string fieldText(const std::string& id);

    std::string dataDir_;
    std::shared_ptr<FixedClock> clock_;
    std::unique_ptr<AppDelegate> app_;
};
