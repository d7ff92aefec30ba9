#include "storage/LedgerBackup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>
#include <regex>
#include <thread>
#include <tuple>
#include <utility>

#include "Tools/SQL/SQLDatabase.h"
#include "platform/InstanceLock.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/LedgerIndexes.h"
#include "storage/LedgerTotals.h"
#include "storage/Records.h"

namespace fs = std::filesystem;
using Kind = LedgerBackup::Kind;
using Outcome = LedgerBackup::Outcome;

namespace {

// A copy of the live ledger goes in steps of this many pages; between steps the ledger is
// free, so a write of the app waits at most one step (a few milliseconds).
constexpr int kPagesPerStep = 1024;
// How long a copy waits for a ledger another connection keeps locked.
constexpr auto kBusyLimit = std::chrono::seconds(10);
// Temporary files start with a dot, so they never match a backup name.
constexpr const char* kTempPrefix = ".voice-partial-";
// A temporary file this old belongs to a copy that was interrupted.
constexpr auto kLeftoverAge = std::chrono::hours(1);

std::mutex& serialised() {
    static std::mutex m;
    return m;
}

struct CloseConnection {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

std::string sqliteMessage(sqlite3* db, int rc) {
    std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    if (const int e = db ? sqlite3_system_errno(db) : 0; e != 0)
        text += std::string(" (") + std::strerror(e) + ")";
    return text;
}

Connection open(const std::string& path, int flags, std::string* error) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    Connection c(db);
    if (rc != SQLITE_OK) {
        *error = sqliteMessage(db, rc);
        return nullptr;
    }
    return c;
}

Outcome failure(Kind kind, const char* key, std::string detail) {
    Outcome o;
    o.kind = kind;
    o.reasonKey = key;
    o.detail = std::move(detail);
    return o;
}

// The user's reason for a failed write: no room, a folder we may not write, or other.
const char* writeReason(int rc, int error) {
    if (rc == SQLITE_FULL || error == ENOSPC || error == EDQUOT || error == EFBIG)
        return "KLBackupNoSpace";
    if (rc == SQLITE_CANTOPEN || rc == SQLITE_READONLY || error == EACCES || error == EPERM ||
        error == EROFS)
        return "KLBackupFolderNotWritable";
    return "KLBackupFailed";
}

// Copies database `from` into `to` with the online backup API. `to` is written in one
// transaction. With `inSteps` the source is only locked during each step; a source written
// meanwhile makes SQLite restart the copy, so after a few rounds the rest goes in one step.
int copyDatabase(sqlite3* from, sqlite3* to, bool inSteps) {
    sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
    if (!b) return sqlite3_errcode(to);
    int rc = SQLITE_OK;
    int steps = 0;
    auto busySince = std::chrono::steady_clock::time_point::max();
    for (;;) {
        const int maxSteps = 4 * (sqlite3_backup_pagecount(b) / kPagesPerStep + 2);
        rc = sqlite3_backup_step(b, inSteps && steps < maxSteps ? kPagesPerStep : -1);
        const auto now = std::chrono::steady_clock::now();
        if (rc == SQLITE_OK) {
            ++steps;
            busySince = std::chrono::steady_clock::time_point::max();
            std::this_thread::yield();
        } else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            busySince = std::min(busySince, now);
            if (now - busySince > kBusyLimit) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else {
            break;
        }
    }
    const int finished = sqlite3_backup_finish(b);
    return rc == SQLITE_DONE ? finished : rc;
}

// Null when PRAGMA integrity_check says "ok"; else its first complaint.
std::optional<std::string> integrityProblem(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    std::optional<std::string> problem;
    if (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        if (!text || std::strcmp(text, "ok") != 0) problem = text ? text : "no answer";
    } else {
        problem = sqliteMessage(db, rc);
    }
    sqlite3_finalize(st);
    return problem;
}

std::optional<int64_t> countOrders(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    std::optional<int64_t> n;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM SUserCommodity", -1, &st, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

std::optional<int64_t> countOrders(const std::string& file) {
    std::string error;
    Connection db = open(file, SQLITE_OPEN_READONLY, &error);
    return db ? countOrders(db.get()) : std::nullopt;
}

// The file change counter of an SQLite database (bytes 24-27 of its header), which every
// transaction that writes the file moves on; absent when it cannot be read.
std::optional<uint32_t> changeCounter(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    unsigned char b[4];
    const bool read = ::pread(fd, b, sizeof b, 24) == sizeof b;
    ::close(fd);
    if (!read) return std::nullopt;
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

// Which table lacks which column of its record, or null when none does.
template <class R>
std::optional<std::string> missingColumn(sqlite3* db) {
    // Column names compare without regard to case in SQLite, and so in the stores.
    auto lower = [](std::string_view text) {
        std::string out(text);
        for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    const std::string table(R::tableName);
    sqlite3_stmt* st = nullptr;
    bool isTable = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?", -1,
                           &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        isTable = sqlite3_step(st) == SQLITE_ROW;
    }
    sqlite3_finalize(st);
    if (!isTable) return "table " + table + " is missing";

    std::vector<std::string> present;
    sqlite3_prepare_v2(db, ("PRAGMA table_info(\"" + table + "\")").c_str(), -1, &st, nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        present.push_back(lower(name ? name : ""));
    }
    sqlite3_finalize(st);
    std::vector<std::string_view> wanted{R::uidColumn};
    for (const auto& c : R::columns()) wanted.push_back(c.name);
    for (std::string_view w : wanted) {
        if (std::find(present.begin(), present.end(), lower(w)) == present.end())
            return "table " + table + " lacks the column " + std::string(w);
    }
    return std::nullopt;
}

std::optional<std::string> missingLedgerColumn(sqlite3* db) {
    for (auto check : {missingColumn<SProductsNameType>, missingColumn<SProductsNameSub>,
                       missingColumn<SSupplierOrCustomers>, missingColumn<SUserCommodity>,
                       missingColumn<SUserCommodityOrder>})
        if (auto missing = check(db)) return missing;
    return std::nullopt;
}

// errno of a failed fsync of a file or folder, 0 on success.
int syncPath(const std::string& path, bool folder) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd < 0) return errno;
    const int rc = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return rc;
}

// Removed on every way out of the scope that holds it.
struct TempFile {
    std::string path;
    ~TempFile() {
        std::error_code ec;
        fs::remove(path, ec);
    }
};

std::string tempName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    return folder + "/" + kTempPrefix + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + ".sqlite";
}

std::string folderOf(const std::string& file) {
    const std::string parent = fs::path(file).parent_path().string();
    return parent.empty() ? "." : parent;
}

// Copies the ledger to `temp`, checks the copy and syncs it to disk. On failure `temp` is
// gone and the outcome says why.
bool copyChecked(const std::string& ledger, const std::string& temp, bool requireSound,
                 Outcome& out) {
    auto fail = [&](const char* key, const std::string& detail) {
        out = failure(out.kind, key, detail);
        std::error_code ec;
        fs::remove(temp, ec);
        return false;
    };
    std::string error;
    // Read-only and never created: a missing ledger is not backed up as an empty one.
    Connection from = open(ledger, SQLITE_OPEN_READONLY, &error);
    if (!from) return fail("KLBackupFailed", "cannot read the ledger " + ledger + ": " + error);
    Connection to = open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &error);
    if (!to) {
        return fail(writeReason(SQLITE_CANTOPEN, 0),
                    "cannot write " + folderOf(temp) + ": " + error);
    }
    // A fresh file that is only published whole: no journal, and one sync at the end.
    sqlite3_exec(to.get(), "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr,
                 nullptr);
    const int rc = copyDatabase(from.get(), to.get(), true);
    if (rc != SQLITE_OK) {
        const int sys = sqlite3_system_errno(to.get());
        return fail(writeReason(rc, sys), "cannot copy the ledger to " + folderOf(temp) + ": " +
                                              sqliteMessage(to.get(), rc));
    }
    from.reset();
    // The check reads every page several times. A page cache of 8 MB keeps most of those
    // reads off the disk; mapping the file would be a little faster, but would count a
    // twenty-year ledger's 200 MB as the app's resident memory at every start-up backup.
    sqlite3_exec(to.get(), "PRAGMA cache_size = -8000", nullptr, nullptr, nullptr);
    if (const auto problem = requireSound ? integrityProblem(to.get()) : std::nullopt)
        return fail("KLBackupFailed", "the copy fails its integrity check: " + *problem);
    if (sqlite3_close(to.release()) != SQLITE_OK)
        return fail("KLBackupFailed", "cannot close the copy " + temp);
    if (const int e = syncPath(temp, false); e != 0)
        return fail(writeReason(SQLITE_IOERR, e), "cannot sync " + temp + ": " + std::strerror(e));
    return true;
}

// Copies the ledger's bytes to `temp` and syncs them: the copy of a file SQLite cannot read.
bool copyBytes(const std::string& ledger, const std::string& temp, Outcome& out) {
    std::error_code ec;
    const int e = fs::copy_file(ledger, temp, fs::copy_options::overwrite_existing, ec)
                      ? syncPath(temp, false)
                      : ec.value();
    if (e == 0) {
        out = failure(out.kind, "", "");
        return true;
    }
    out = failure(out.kind, writeReason(SQLITE_IOERR, e),
                  "cannot copy " + ledger + " to " + temp + ": " + std::strerror(e));
    fs::remove(temp, ec);
    return false;
}

// Copies a candidate to `staging`, adds the ledger's indexes and totals there and syncs it; null on
// success.
std::optional<std::string> stage(const std::string& candidate, const std::string& staging) {
    std::string error;
    Connection from = open(candidate, SQLITE_OPEN_READONLY, &error);
    Connection to =
        from ? open(staging, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &error) : nullptr;
    if (!to) return error;
    // A scratch file: no journal and no sync.
    sqlite3_exec(to.get(), "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr,
                 nullptr);
    if (const int rc = copyDatabase(from.get(), to.get(), false); rc != SQLITE_OK)
        return sqliteMessage(to.get(), rc);
    to.reset();
    {
        auto db = SQLDatabase::databaseWithPath(staging);
        if (!db->open()) return "cannot open " + staging;
        sqlite3_exec(db->sqliteHandle(), "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF",
                     nullptr, nullptr, nullptr);
        if (!createLedgerIndexes(*db)) return "cannot add the indexes";
        // Totals that match the rows come along, so the app need not rebuild them.
        LedgerTotals(db).prepare();
    }
    // Whole on disk before it can take the ledger's place.
    if (const int e = syncPath(staging, false); e != 0)
        return "cannot sync " + staging + ": " + std::strerror(e);
    return std::nullopt;
}

struct ParsedName {
    std::string stamp;
    int sequence = 1;
    Kind kind = Kind::Automatic;
};

const char* suffixOf(Kind kind) {
    switch (kind) {
        case Kind::Manual:
            return "-manual";
        case Kind::BeforeRestore:
            return "-before-restore";
        case Kind::Automatic:
            break;
    }
    return "";
}

std::optional<ParsedName> parseName(const std::string& name) {
    // Digits, dashes and two fixed words only: no separator or ".." can pass.
    static const std::regex pattern(
        R"(voice-(\d{8})-(\d{6})(?:-([2-9]|[1-9]\d{1,2}))?(-manual|-before-restore)?\.sqlite)");
    std::smatch m;
    if (!std::regex_match(name, m, pattern)) return std::nullopt;
    ParsedName p;
    p.stamp = m[1].str() + m[2].str();
    if (m[3].matched) p.sequence = std::stoi(m[3].str());
    if (m[4].matched)
        p.kind = m[4].str() == suffixOf(Kind::Manual) ? Kind::Manual : Kind::BeforeRestore;
    return p;
}

std::string makeName(const std::string& stamp, int sequence, Kind kind) {
    std::string name = "voice-" + stamp.substr(0, 8) + "-" + stamp.substr(8, 6);
    if (sequence > 1) name += "-" + std::to_string(sequence);
    return name + suffixOf(kind) + ".sqlite";
}

// Newest first: by stamp, then by sequence within the same second.
bool newerFirst(const LedgerBackup::Entry& a, const LedgerBackup::Entry& b) {
    const auto pa = parseName(a.name), pb = parseName(b.name);
    return std::tie(pa->stamp, pa->sequence) > std::tie(pb->stamp, pb->sequence);
}

}  // namespace

LedgerBackup::LedgerBackup(const std::string& documentsDir)
    : documents_(documentsDir),
      ledger_(documentsDir + "/voice.sqlite"),
      folder_(documentsDir + "/" + kFolderName) {}

std::string LedgerBackup::stampOf(Clock::TimePoint t) {
    return ConstParameterAndMethod::format(t, "yyyyMMddHHmmss");
}

Outcome LedgerBackup::makeBackup(Kind kind, const std::string& stamp) {
    std::lock_guard lock(serialised());
    return makeBackupLocked(kind, stamp, true);
}

Outcome LedgerBackup::makeBackupLocked(Kind kind, const std::string& stamp, bool requireSound) {
    Outcome out;
    out.kind = kind;
    if (stamp.size() != 14 ||
        !std::all_of(stamp.begin(), stamp.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return failure(kind, "KLBackupFailed", "not a time stamp: " + stamp);
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec || !fs::is_directory(folder_, ec)) {
        return failure(kind, writeReason(SQLITE_CANTOPEN, ec.value()),
                       "cannot make the folder " + folder_ + ": " +
                           (ec ? ec.message() : "a file of that name is in the way"));
    }
    // Copies, uploads and restores cut short by a crash leave temporary files; clear the
    // old ones.
    const auto now = fs::file_time_type::clock::now();
    for (const auto& dir : {folder_, documents_}) {
        for (const auto& f : fs::directory_iterator(dir, ec)) {
            const std::string name = f.path().filename().string();
            std::error_code tec;
            if (name.rfind(kTempPrefix, 0) == 0 && now - f.last_write_time(tec) > kLeftoverAge &&
                !tec)
                fs::remove(f.path(), tec);
        }
    }

    const std::string temp = tempName(folder_);
    // A ledger SQLite cannot copy is kept byte for byte when it is to be replaced.
    if (!copyChecked(ledger_, temp, requireSound, out) &&
        (requireSound || !copyBytes(ledger_, temp, out)))
        return out;

    // The next free sequence number of this second; RENAME_NOREPLACE settles a race with
    // another process.
    int sequence = 1;
    for (const auto& e : entries(false)) {
        if (auto p = parseName(e.name); p->stamp == stamp)
            sequence = std::max(sequence, p->sequence + 1);
    }
    for (;; ++sequence) {
        const std::string name = makeName(stamp, sequence, kind);
        const std::string target = folder_ + "/" + name;
        int rc = ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without the flag: a hard link also refuses an existing name.
            rc = ::link(temp.c_str(), target.c_str());
            if (rc == 0) ::unlink(temp.c_str());
        }
        if (rc == 0) {
            out.name = name;
            break;
        }
        if (errno != EEXIST || sequence >= 999) {
            const int e = errno;
            fs::remove(temp, ec);
            return failure(kind, writeReason(SQLITE_IOERR, e),
                           "cannot publish " + target + ": " + std::strerror(e));
        }
    }
    if (const int e = syncPath(folder_, true); e != 0) {
        // Published but perhaps not yet on disk; the file itself is whole.
        std::fprintf(stderr, "marrowkeeper: cannot sync %s: %s\n", folder_.c_str(),
                     std::strerror(e));
    }
    if (kind == Kind::Automatic) pruneAutomatic();
    out.ok = true;
    return out;
}

std::vector<LedgerBackup::Entry> LedgerBackup::entries(bool withOrders) const {
    std::vector<Entry> out;
    std::error_code ec;
    for (const auto& f : fs::directory_iterator(folder_, ec)) {
        std::string name = f.path().filename().string();
        auto parsed = parseName(name);
        std::error_code fec;
        if (!parsed || !f.is_regular_file(fec) || f.is_symlink(fec)) continue;
        Entry e;
        e.name = std::move(name);
        e.kind = parsed->kind;
        e.stamp = parsed->stamp;
        e.bytes = f.file_size(fec);
        if (withOrders) e.orders = countOrders(f.path().string());
        out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(), newerFirst);
    return out;
}

std::vector<LedgerBackup::Entry> LedgerBackup::list() const {
    return entries(true);
}

std::optional<std::string> LedgerBackup::pathOf(const std::string& name) const {
    for (const auto& e : entries(false))
        if (e.name == name) return folder_ + "/" + e.name;
    return std::nullopt;
}

bool LedgerBackup::remove(const std::string& name) {
    const auto path = pathOf(name);
    std::error_code ec;
    return path && fs::remove(*path, ec);
}

void LedgerBackup::pruneAutomatic() {
    size_t kept = 0;
    for (const auto& e : entries(false)) {
        if (e.kind != Kind::Automatic || ++kept <= kKeptAutomatic) continue;
        std::error_code ec;
        fs::remove(folder_ + "/" + e.name, ec);
    }
}

bool LedgerBackup::automaticBackupDue(const std::string& since) const {
    for (const auto& e : entries(false))
        if (e.stamp > since) return false;
    const auto orders = countOrders(ledger_);
    return orders && *orders > 0;
}

Outcome LedgerBackup::checkCandidate(const std::string& file) {
    const Kind kind = Kind::BeforeRestore;
    std::string error;
    Connection db = open(file, SQLITE_OPEN_READONLY, &error);
    if (!db) return failure(kind, "KLRestoreNotADatabase", "cannot open " + file + ": " + error);
    // Opening is lazy: a file that is no database fails at its first read, here.
    if (sqlite3_exec(db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        const int rc = sqlite3_errcode(db.get());
        return failure(kind, rc == SQLITE_NOTADB ? "KLRestoreNotADatabase" : "KLRestoreDamaged",
                       file + ": " + sqliteMessage(db.get(), rc));
    }
    if (auto problem = integrityProblem(db.get()))
        return failure(kind, "KLRestoreDamaged", file + " fails its integrity check: " + *problem);
    if (auto missing = missingLedgerColumn(db.get()))
        return failure(kind, "KLRestoreNotALedger", file + " is not a ledger: " + *missing);
    Outcome ok;
    ok.kind = kind;
    ok.ok = true;
    return ok;
}

std::string LedgerBackup::temporaryPath() const {
    return tempName(documents_);
}

LedgerBackup::PreparedRestore::PreparedRestore(PreparedRestore&& other) noexcept {
    *this = std::move(other);
}

LedgerBackup::PreparedRestore& LedgerBackup::PreparedRestore::operator=(
    PreparedRestore&& other) noexcept {
    if (this != &other) {
        const TempFile old{std::exchange(staging_, std::exchange(other.staging_, {}))};
        outcome_ = std::move(other.outcome_);
        stamp_ = std::move(other.stamp_);
        keptVersion_ = other.keptVersion_;
    }
    return *this;
}

LedgerBackup::PreparedRestore::~PreparedRestore() {
    const TempFile staged{staging_};
}

LedgerBackup::PreparedRestore LedgerBackup::prepareRestore(const std::string& file,
                                                           const std::string& stamp) {
    const Kind kind = Kind::BeforeRestore;
    std::lock_guard lock(serialised());
    PreparedRestore p;
    p.stamp_ = stamp;
    auto refuse = [&p](Outcome why) {
        const TempFile staged{std::exchange(p.staging_, {})};
        p.outcome_ = std::move(why);
        return std::move(p);
    };
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return refuse(failure(kind, "KLRestoreNotADatabase", file + " is not a file"));
    if (static_cast<uint64_t>(st.st_size) > kMaxCandidateBytes)
        return refuse(failure(kind, "KLRestoreTooLarge", file + " is larger than 2 GiB"));
    std::error_code ec;
    if (fs::equivalent(file, ledger_, ec))
        return refuse(failure(kind, "KLRestoreFailed", file + " is the ledger itself"));
    Outcome out = checkCandidate(file);
    if (!out.ok) return refuse(out);

    // Staged beside the ledger, so that the commit is one rename within one file system.
    p.staging_ = temporaryPath();
    if (auto problem = stage(file, p.staging_))
        return refuse(failure(kind, "KLRestoreFailed", "cannot prepare " + file + ": " + *problem));

    if (fs::exists(ledger_, ec)) {
        p.keptVersion_ = changeCounter(ledger_);
        const Outcome kept = makeBackupLocked(kind, stamp, false);
        if (!kept.ok) {
            return refuse(failure(kind, "KLRestoreFailed",
                                  "cannot keep a copy of the current ledger: " + kept.detail));
        }
        out.name = kept.name;
    }
    p.outcome_ = out;
    return p;
}

Outcome LedgerBackup::commitRestore(PreparedRestore& p) {
    const Kind kind = Kind::BeforeRestore;
    if (!p.outcome_.ok || p.staging_.empty())
        return p.outcome_.ok ? failure(kind, "KLRestoreFailed", "nothing staged") : p.outcome_;
    std::lock_guard lock(serialised());
    Outcome out = p.outcome_;
    std::error_code ec;
    // The write lock, held until the file is replaced: no one writes what is about to be
    // replaced, and a transaction a crash left in the journal is rolled back first. Readers
    // may go on, the copy below among them.
    Connection guard;
    if (fs::exists(ledger_, ec)) {
        std::string error;
        guard = open(ledger_, SQLITE_OPEN_READWRITE, &error);
        if (guard)
            sqlite3_busy_timeout(guard.get(),
                                 static_cast<int>(kBusyLimit / std::chrono::milliseconds(1)));
        const int rc = guard
                           ? sqlite3_exec(guard.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)
                           : SQLITE_CANTOPEN;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            return failure(kind, "KLRestoreFailed",
                           ledger_ + " is being written by another program");
        // A file SQLite cannot read as a database has no one to wait for.
        if (rc != SQLITE_OK) guard.reset();
        if (changeCounter(ledger_) != p.keptVersion_) {
            // Written since it was kept: keep it as it is now, instead of the older copy.
            const Outcome kept = makeBackupLocked(kind, p.stamp_, false);
            if (!kept.ok) {
                return failure(kind, "KLRestoreFailed",
                               "cannot keep a copy of the current ledger: " + kept.detail);
            }
            if (!out.name.empty()) fs::remove(folder_ + "/" + out.name, ec);
            out.name = p.outcome_.name = kept.name;
            p.keptVersion_ = changeCounter(ledger_);
        }
    }
    if (::rename(p.staging_.c_str(), ledger_.c_str()) != 0) {
        return failure(kind, "KLRestoreFailed",
                       "cannot replace " + ledger_ + ": " + std::strerror(errno));
    }
    p.staging_.clear();
    if (const int e = syncPath(documents_, true); e != 0) {
        // In place but perhaps not yet on disk; the file itself is whole.
        std::fprintf(stderr, "marrowkeeper: cannot sync %s: %s\n", documents_.c_str(),
                     std::strerror(e));
    }
    out.ok = true;
    return out;
}

Outcome LedgerBackup::restoreFromFile(const std::string& file, const std::string& stamp) {
    PreparedRestore prepared = prepareRestore(file, stamp);
    return prepared.outcome().ok ? commitRestore(prepared) : prepared.outcome();
}

Outcome LedgerBackup::restoreFromBackup(const std::string& name, const std::string& stamp) {
    const auto path = pathOf(name);
    if (!path) return failure(Kind::BeforeRestore, "KLRestoreUnknownBackup", "no backup " + name);
    return restoreFromFile(*path, stamp);
}

Outcome LedgerBackup::backupTo(const std::string& file) {
    Outcome out;
    out.kind = Kind::Manual;
    std::error_code ec;
    if (fs::equivalent(file, ledger_, ec))
        return failure(out.kind, "KLBackupFailed", file + " is the ledger itself");
    const std::string temp = tempName(folderOf(file));
    if (!copyChecked(ledger_, temp, true, out)) return out;
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int e = errno;
        fs::remove(temp, ec);
        return failure(out.kind, writeReason(SQLITE_IOERR, e),
                       "cannot write " + file + ": " + std::strerror(e));
    }
    syncPath(folderOf(file), true);
    out.ok = true;
    out.name = file;
    return out;
}

int backupLedgerTo(const std::string& dataDir, const std::string& file, std::ostream& log) {
    const auto out = LedgerBackup(dataDir).backupTo(file);
    if (!out.ok) log << "marrowkeeper: backup failed: " << out.detail << "\n";
    return out.ok ? 0 : 1;
}

int restoreLedgerFrom(const std::string& dataDir, const std::string& file, std::ostream& log) {
    // The folder is held meanwhile: no app starts on it, and none may be running.
    InstanceLock lock(dataDir);
    if (lock.state() != InstanceLock::State::Owned) {
        log << "marrowkeeper: restore refused: "
            << (lock.state() == InstanceLock::State::HeldByOther
                    ? "the app is running on " + dataDir + "; stop it first"
                    : lock.error())
            << "\n";
        return 1;
    }
    LedgerBackup backup(dataDir);
    const auto out = backup.restoreFromFile(file);
    // A ledger restored is whole: the next start need not check it. Otherwise the folder
    // stays marked as it was found.
    if (out.ok || !lock.previousRunEndedUncleanly()) lock.markCleanExit();
    if (!out.ok) {
        log << "marrowkeeper: restore refused: " << out.detail << "\n";
        return 1;
    }
    log << "marrowkeeper: restored from " << file;
    if (!out.name.empty())
        log << "; the replaced ledger is kept as " << backup.folder() << "/" << out.name;
    log << "\n";
    return 0;
}
