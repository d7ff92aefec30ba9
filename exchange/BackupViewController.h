#pragma once
// The backup screen: the backups of the ledger, newest first, each with its time, kind, size
// and number of orders; a button that makes one at once; for a backup the choice of restoring
// the ledger from it, downloading it or deleting it; and a restore from a file the user
// uploads. A backup, and the checks and copies of a restore, run off the app's thread
// (BackgroundWork), so the app goes on answering; only the swap of the ledger and the fresh
// dashboard after it run on it. Backups are known to the page only by their row: no name or path
// comes from it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/LedgerBackup.h"
#include "toolkit/Screen.h"

class BackupViewController : public Screen {
  public:
    // What the app does once a restore has replaced the ledger (no connection is open on it
    // then): start-up installs it, and removes it again ({}) when it ends. Either forgets the
    // backup running and the outcome not yet told.
    static void install(std::function<void()> ledgerReplaced);
    // Starts a backup off the app's thread (BackgroundWork); an automatic one is made only
    // when the policy finds one due. False while a backup runs. A failure is also written to
    // standard error when it happens.
    static bool startBackup(LedgerBackup::Kind kind);
    // Tells the user, on `screen` and once, how the last backup went: a toast when a manual
    // one is made, a pop-up naming the reason when one failed; an automatic one that was
    // made says nothing. True while a backup runs.
    static bool reportBackup(Screen& screen);
    // A screen that tells how backups went: a backup that ends while `screen` is on top and
    // `owner` lives runs `ended` there and then (which reports it); else its outcome waits
    // for the next such screen to appear.
    static void followBackups(Screen& screen, std::weak_ptr<void> owner,
                              std::function<void()> ended);

    BackupViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;

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
    void finishRestore(LedgerBackup::PreparedRestore prepared);
    // The toast naming why nothing was restored; `detail` goes to standard error.
    void refuse(const std::string& reasonKey, const std::string& detail);

    bool backingUp_ = false;
    bool restoring_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // outcomes come only to it
};
