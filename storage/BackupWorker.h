#pragma once
// Runs backups on a thread of its own, so that start-up reaches the first dashboard at once
// and a backup never holds up the user. One backup at a time; its outcome is kept until a
// screen takes it, and a failure is also written to standard error when it happens.
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/Clock.h"
#include "storage/LedgerBackup.h"

class BackupWorker {
  public:
    explicit BackupWorker(const std::string& documentsDir = DocumentsDirectory::path());
    ~BackupWorker();  // waits for a running backup
    BackupWorker(const BackupWorker&) = delete;
    BackupWorker& operator=(const BackupWorker&) = delete;

    // Start-up: applies the automatic policy (a backup when the ledger has orders and the
    // newest backup is older than 24 hours) on the worker thread. Returns at once; false
    // when a backup is already running.
    bool startAutomatic(Clock::TimePoint now = Clock::current().now());
    // The backup button: a manual backup on the worker thread; false while one runs.
    bool startManual(Clock::TimePoint now = Clock::current().now());

    bool running() const;
    // The outcome of the last backup that ran, handed out once; absent while one runs, when
    // the policy found none due, or when it was taken already.
    std::optional<LedgerBackup::Outcome> takeOutcome();
    // Blocks until the running backup, if any, has finished.
    void wait();

  private:
    bool start(LedgerBackup::Kind kind, std::string stamp, std::optional<std::string> dueSince);

    std::string documentsDir_;
    std::thread thread_;
    mutable std::mutex mutex_;
    bool running_ = false;
    std::optional<LedgerBackup::Outcome> outcome_;
};
