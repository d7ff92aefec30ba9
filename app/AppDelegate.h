#pragma once
// Start-up: the data folder's instance lock, the ledger's checks, tables, default partners,
// the date pattern setting, and the dashboard at the bottom of the screen stack.
#include <chrono>
#include <string>

#include "toolkit/Navigator.h"

class AppDelegate {
  public:
    struct Options {
        std::string dataDir;   // empty: the default documents directory
        std::string language;  // empty: from the environment
        // How long start-up waits for a ledger that another program has locked.
        std::chrono::milliseconds ledgerWait{5000};
    };

    // Resolves and checks the documents directory, takes its instance lock and opens
    // voice.sqlite (read-only when an unclean exit left it damaged). False, with a message
    // naming the path in `error`, when the directory cannot be created or written or the
    // file is not a ledger database, cannot be written or is in use by another program;
    // nothing is then written anywhere. False with `runningAddress` set (and no error) when
    // another instance already serves the folder.
    static bool prepareEnvironment(const Options& options, std::string* error,
                                   std::string* runningAddress = nullptr);
    // Whether the instance before this one on the folder ended without a clean exit (a
    // crash, a kill, a power cut); start-up repairs depend on it.
    static bool previousRunEndedUncleanly();
    // Tells later starts on the folder where this instance serves.
    static void publishAddress(const std::string& url);
    // Records a clean exit (unless the ledger was found damaged) and releases the folder,
    // so the next start skips the checks of an unclean one.
    static void endInstance();

    // Installs the app's screen maker (createScreen finds every screen class from here on).
    AppDelegate();
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The start-up steps; true on success.
    bool application_didFinishLaunchingWithOptions();
    void defAddDefaultSupplierAndCustomerItem();
    // The automatic backup, off the app's thread (BackgroundWork), when one is due; none of a
    // damaged ledger. Start-up calls it once the dashboard is shown.
    void startAutomaticBackup();
    // After a restore has replaced the ledger: opens it for writing (it passed every
    // check), drops the damaged banner and shows a fresh dashboard alone on the stack.
    void ledgerReplaced();
    // Tidies up after a run that ended in the middle of something: temporary settings
    // files of an interrupted write, and an order an editor had open (OrderInProgress).
    // Says on standard error what it did.
    void repairAfterAnUnfinishedRun();

    Navigator& navigator() { return navigator_; }

  private:
    // The tables, the indexes and the default partners, in a ledger that can be written.
    void prepareLedger();
    void showBackups();

    Navigator navigator_;
};
