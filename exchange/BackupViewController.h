#pragma once
// The backup screen: the backups of the ledger, newest first, each with its time, kind, size
// and number of orders; a button that makes one at once; for a backup the choice of restoring
// the ledger from it, downloading it or deleting it; and a restore from a file the user
// uploads. A backup, and the checks and copies of a restore, run off the app's thread, so
// the app goes on answering; only the swap of the ledger and the fresh dashboard after it
// run on it. Backups are known to the page only by their row: no name or path comes from it.
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/BackupWorker.h"
#include "storage/LedgerBackup.h"
#include "toolkit/Screen.h"

class BackupViewController : public Screen {
  public:
    // The app's backup worker, and what the app does once a restore has replaced the ledger
    // (no connection is open on it then): start-up installs both, and removes them again
    // (nullptr, {}) when it ends.
    static void install(BackupWorker* worker, std::function<void()> ledgerReplaced);
    // Tells the user, on `screen` and once, how the last backup of the worker went: a toast
    // when a manual one is made, a pop-up naming the reason when one failed; an automatic
    // one that was made says nothing. True while a backup runs.
    static bool reportBackup(Screen& screen);

    BackupViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;
    bool checkBackgroundWork() override;

    // The backups as listed, newest first; the rows show them in this order.
    std::vector<LedgerBackup::Entry> backups;

  private:
    void reloadBackups();
    // Shows what may be pressed now: nothing but the status while a restore runs.
    void showState();
    void backupNowEvent();
    void showChoices(int row);
    void restoreFromFileEvent(const ActionArgs& args);
    // Checks and stages `file` off the app's thread; `upload`, when the file is one, is
    // removed once that is done.
    void startRestore(const std::string& file, std::shared_ptr<UploadedFile> upload);
    void finishRestore();
    // The toast naming why nothing was restored; `detail` goes to standard error.
    void refuse(const std::string& reasonKey, const std::string& detail);

    bool backingUp_ = false;
    std::future<LedgerBackup::PreparedRestore> restoring_;
};
