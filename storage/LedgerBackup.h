#pragma once
// Backups of the ledger in <documents>/Backups, and restores from them or from any file.
// Every copy is taken with SQLite's online backup API on connections of its own: it is
// consistent while the app reads and writes, and nothing here touches the app's shared
// connection, so any thread may call it. Backups, deletions by pruning and restores of one
// process run one at a time.
//
// Names: automatic backups are "voice-YYYYMMDD-HHMMSS.sqlite" (local time), manual ones end
// in "-manual", the copy of the ledger a restore replaced in "-before-restore"; a backup in
// a second that already has one carries a sequence number: "voice-YYYYMMDD-HHMMSS-2-manual
// .sqlite". The kind lives in the name alone, so a folder copied elsewhere keeps it.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/DocumentsDirectory.h"

class LedgerBackup {
  public:
    enum class Kind { Automatic, Manual, BeforeRestore };

    struct Entry {
        std::string name;  // file name in the folder: the only handle the page is given
        Kind kind = Kind::Automatic;
        std::string stamp;  // local time of the backup, "yyyyMMddHHmmss"
        uint64_t bytes = 0;
        std::optional<int64_t> orders;  // order headers in the copy; absent when unreadable
    };

    // What a backup or a restore did. A failed backup leaves no file under a backup name; a
    // refused or failed restore leaves the ledger as it was.
    struct Outcome {
        bool ok = false;
        Kind kind = Kind::Automatic;
        std::string name;       // the backup made; for a restore, the copy of the old ledger
        std::string reasonKey;  // on failure: "KL…" key of the reason, for the user
        std::string detail;     // on failure: what went wrong, in English, for standard error
    };

    static constexpr const char* kFolderName = "Backups";  // in the documents directory
    static constexpr size_t kKeptAutomatic = 14;
    static constexpr uint64_t kMaxCandidateBytes = uint64_t{2} << 30;  // 2 GiB

    // The ledger voice.sqlite and the folder Backups of a documents directory.
    explicit LedgerBackup(const std::string& documentsDir = DocumentsDirectory::path());

    const std::string& ledgerPath() const { return ledger_; }
    const std::string& folder() const { return folder_; }

    // "yyyyMMddHHmmss" of a moment in the clock's time zone. Callers take stamps on the app
    // thread and hand them in, so that a worker thread never reads the clock or the calendar.
    static std::string stampOf(Clock::TimePoint t);
    static std::string nowStamp() { return stampOf(Clock::current().now()); }

    // Copies the ledger into the folder under a temporary name, checks the copy with
    // PRAGMA integrity_check, syncs it and publishes it by an atomic rename (then syncs the
    // folder). After an automatic backup only the kKeptAutomatic newest automatic ones stay.
    Outcome makeBackup(Kind kind, const std::string& stamp = nowStamp());

    // The backups, newest first. Only regular files whose names are backup names.
    std::vector<Entry> list() const;
    // The file of a listed backup; absent for every other name ("..", paths, unknown names).
    std::optional<std::string> pathOf(const std::string& name) const;
    // Deletes a listed backup; false for any other name or when it cannot be deleted.
    bool remove(const std::string& name);

    // The automatic policy: true when the ledger holds orders and no backup is newer than
    // `since` ("yyyyMMddHHmmss"; start-up passes the stamp of 24 hours ago).
    bool automaticBackupDue(const std::string& since) const;

    // Why a file cannot replace the ledger, or ok: it must open as an SQLite database, pass
    // PRAGMA integrity_check and hold the five ledger tables with all their columns.
    static Outcome checkCandidate(const std::string& file);

    // A restore made ready to commit: the candidate checked and staged. Removes the staged
    // copy when it goes uncommitted.
    class PreparedRestore {
      public:
        PreparedRestore() = default;
        PreparedRestore(PreparedRestore&& other) noexcept;
        PreparedRestore& operator=(PreparedRestore&& other) noexcept;
        ~PreparedRestore();
        // !ok: refused or failed, nothing changed and nothing is left to commit.
        const Outcome& outcome() const { return outcome_; }

      private:
        friend class LedgerBackup;
        Outcome outcome_;
        std::string staging_;                  // the staged candidate, beside the ledger
        std::string stamp_;                    // of the copy of the ledger it replaces
        std::optional<uint32_t> keptVersion_;  // the ledger's change counter when kept
    };

    // Replaces the ledger by a candidate file, all or nothing, in two steps, so that a
    // caller serving the ledger is held up only by the second. prepareRestore does the slow
    // part while the ledger stays in use: it refuses (nothing changes) a file larger than
    // kMaxCandidateBytes or failing checkCandidate, stages a synced copy of the candidate
    // with the indexes start-up adds beside the ledger, and keeps the current ledger as a
    // BeforeRestore backup (even a damaged one: it is the only copy of what is replaced).
    PreparedRestore prepareRestore(const std::string& file, const std::string& stamp = nowStamp());
    // Puts the staged copy in the ledger's place with one rename, so a crash leaves the old
    // ledger or the new one, whole; the ledger changed since it was kept is kept again
    // first. Refused while another connection writes the ledger. Connections left open on
    // the ledger would go on reading the replaced file: the caller closes its own first and
    // makes sure no other process uses the ledger.
    Outcome commitRestore(PreparedRestore& prepared);
    // Both steps at once; from a listed backup (any other name is refused) or any file.
    Outcome restoreFromFile(const std::string& file, const std::string& stamp = nowStamp());
    Outcome restoreFromBackup(const std::string& name, const std::string& stamp = nowStamp());

    // A new name for a temporary file beside the ledger (an upload, a staged restore). One
    // left behind by a crash is removed by a later backup once it is an hour old.
    std::string temporaryPath() const;

    // A checked backup of the ledger to any file, replaced atomically when it exists (the
    // command line's --backup-to). Works while the app runs on the ledger: it reads through
    // a read-only connection of its own and waits a bounded time for a busy ledger.
    Outcome backupTo(const std::string& file);

  private:
    Outcome makeBackupLocked(Kind kind, const std::string& stamp, bool requireSound);
    std::vector<Entry> entries(bool withOrders) const;
    void pruneAutomatic();

    std::string documents_;
    std::string ledger_;
    std::string folder_;
};

// The command line on the ledger of an existing data folder, for main: --backup-to FILE and
// --restore-from FILE. 0 on success; otherwise 1 and one line on `log` saying why. A backup
// works while the app runs on the folder; a restore is refused then (the folder's instance
// lock tells), and reports on `log` where the replaced ledger is kept.
int backupLedgerTo(const std::string& dataDir, const std::string& file, std::ostream& log);
int restoreLedgerFrom(const std::string& dataDir, const std::string& file, std::ostream& log);
