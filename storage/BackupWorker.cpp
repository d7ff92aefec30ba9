#include "storage/BackupWorker.h"

#include <chrono>
#include <cstdio>
#include <utility>

BackupWorker::BackupWorker(const std::string& documentsDir) : documentsDir_(documentsDir) {}

BackupWorker::~BackupWorker() {
    wait();
}

bool BackupWorker::startAutomatic(Clock::TimePoint now) {
    // The stamps are taken here, on the caller's thread: the worker never reads the clock.
    return start(LedgerBackup::Kind::Automatic, LedgerBackup::stampOf(now),
                 LedgerBackup::stampOf(now - std::chrono::hours(24)));
}

bool BackupWorker::startManual(Clock::TimePoint now) {
    return start(LedgerBackup::Kind::Manual, LedgerBackup::stampOf(now), std::nullopt);
}

bool BackupWorker::start(LedgerBackup::Kind kind, std::string stamp,
                         std::optional<std::string> dueSince) {
    std::lock_guard lock(mutex_);
    if (running_) return false;
    // The previous thread has finished its work; collect it.
    if (thread_.joinable()) thread_.join();
    running_ = true;
    outcome_.reset();
    thread_ = std::thread([this, kind, stamp = std::move(stamp), dueSince = std::move(dueSince)] {
        LedgerBackup backup(documentsDir_);
        std::optional<LedgerBackup::Outcome> outcome;
        if (!dueSince || backup.automaticBackupDue(*dueSince))
            outcome = backup.makeBackup(kind, stamp);
        if (outcome && !outcome->ok)
            std::fprintf(stderr, "marrowkeeper: backup failed: %s\n", outcome->detail.c_str());
        std::lock_guard done(mutex_);
        outcome_ = std::move(outcome);
        running_ = false;
    });
    return true;
}

bool BackupWorker::running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

std::optional<LedgerBackup::Outcome> BackupWorker::takeOutcome() {
    std::lock_guard lock(mutex_);
    return std::exchange(outcome_, std::nullopt);
}

void BackupWorker::wait() {
    if (thread_.joinable()) thread_.join();
}
