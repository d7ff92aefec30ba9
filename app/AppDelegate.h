#pragma once
// Start-up: tables, default partners, the date pattern setting, and the dashboard at the
// bottom of the screen stack.
#include <memory>
#include <string>

#include "platform/UI.h"

class AppDelegate {
public:
    struct Options {
        std::string dataDir;   // empty: the default documents directory
        std::string language;  // empty: from the environment
    };

    // Resolves and checks the documents directory and opens voice.sqlite. False (with a
    // message naming the path in `error`) when the directory cannot be created or written
    // or the file is not a ledger database; nothing is then written anywhere.
    static bool prepareEnvironment(const Options& options, std::string* error);

    AppDelegate() = default;
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The start-up steps; true on success.
    bool application_didFinishLaunchingWithOptions();
    void defAddDefaultSupplierAndCustomerItem();
    // Tidies up after a run that ended in the middle of something: temporary settings
    // files of an interrupted write, and an order an editor had open (OrderInProgress).
    // Says on standard error what it did.
    void repairAfterAnUnfinishedRun();

    Navigator& navigator() { return navigator_; }

private:
    Navigator navigator_;
};
