#include "platform/MailComposer.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/AtomicFile.h"
#include "platform/BackgroundWork.h"
#include "platform/Clock.h"
#include "platform/DocumentsDirectory.h"

namespace {

const char* const kSettingsFile = "mail-settings.conf";

// The settings' keys, in the file and in the environment, with their fields.
std::array<std::pair<const char*, std::string*>, 4> keys(MailSettings& s) {
    return {{{"MARROWKEEPER_SMTP_URL", &s.url},
             {"MARROWKEEPER_SMTP_USER", &s.user},
             {"MARROWKEEPER_SMTP_PASSWORD", &s.password},
             {"MARROWKEEPER_MAIL_FROM", &s.from}}};
}

std::shared_ptr<MailTransport>& transportOverride() {
    static std::shared_ptr<MailTransport> t;
    return t;
}

std::string trim(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string randomHex(int digits) {
    static std::mt19937_64 rng{std::random_device{}()};
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < digits; ++i) out += hex[rng() & 15];
    return out;
}

std::string domainOf(const std::string& address) {
    auto at = address.rfind('@');
    if (at == std::string::npos || at + 1 >= address.size()) return "marrowkeeper.localdomain";
    return address.substr(at + 1);
}

// An unnamed file in `folder` (the documents directory, where the user's disk has room),
// gone when it is closed, even after a crash; the system's temporary folder when the file
// system there cannot make one.
std::shared_ptr<std::FILE> unnamedFile(const std::string& folder) {
    std::FILE* f = nullptr;
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 && !(f = ::fdopen(fd, "w+b"))) ::close(fd);
    if (!f) f = std::tmpfile();
    return std::shared_ptr<std::FILE>(f, [](std::FILE* file) {
        if (file) std::fclose(file);
    });
}

}  // namespace

// ---------------------------------------------------------------------------------------
std::string MailSettings::sender() const {
    if (!from.empty()) return from;
    if (user.find('@') != std::string::npos) return user;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') std::strcpy(host, "localhost");
    return std::string("marrowkeeper@") + host;
}

MailSettings MailSettings::parse(const std::string& text) {
    MailSettings s;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = trim(line.substr(0, eq));
        for (const auto& [name, slot] : keys(s))
            if (key == name) *slot = trim(line.substr(eq + 1));
    }
    return s;
}

MailSettings MailSettings::loadFile() {
    std::ifstream in(DocumentsDirectory::file(kSettingsFile), std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

MailSettings MailSettings::load() {
    MailSettings s = loadFile();
    for (const auto& [name, slot] : keys(s)) {
        const char* v = std::getenv(name);
        if (v && *v) *slot = v;
    }
    return s;
}

std::vector<std::string> MailSettings::environmentOverrides() {
    std::vector<std::string> names;
    MailSettings unused;
    for (const auto& [name, slot] : keys(unused)) {
        const char* v = std::getenv(name);
        if (v && *v) names.push_back(name);
    }
    return names;
}

bool MailSettings::save() const {
    std::string text;
    MailSettings values = *this;
    for (const auto& [name, slot] : keys(values)) {
        // One line per key: a typed line break cannot start another.
        for (char& c : *slot)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        text += std::string(name) + "=" + trim(*slot) + "\n";
    }
    return AtomicFile::replace(DocumentsDirectory::file(kSettingsFile), text, 0600);
}

int MailSettings::removeLeftoverTemporaryFiles() {
    return AtomicFile::removeLeftovers(DocumentsDirectory::file(kSettingsFile));
}

// ---------------------------------------------------------------------------------------
namespace {

// What a message needs whatever becomes of it: the settings, the sender, the time and an id.
struct Envelope {
    MailSettings settings;
    std::string from;    // as the settings give it, perhaps with a name
    std::string sender;  // the bare address
    Clock::TimePoint now;
    std::string stamp;
    std::string messageId;
};

std::optional<Envelope> envelope() {
    Envelope e;
    e.settings = MailSettings::load();
    e.from = e.settings.sender();
    const auto sender = mime::envelopeRecipients({e.from});
    if (!sender || sender->size() != 1) return std::nullopt;
    e.sender = sender->front();
    e.now = Clock::current().now();
    e.stamp = std::to_string(
        std::chrono::duration_cast<std::chrono::seconds>(e.now.time_since_epoch()).count());
    e.messageId = e.stamp + "." + randomHex(16) + "@" + domainOf(e.sender);
    return e;
}

// A message ready to be written and to leave, with the way out.
struct Outgoing {
    std::shared_ptr<MailTransport> transport;
    Envelope envelope;
    std::vector<std::string> recipients;
    MailDraft draft;
    std::string folder;  // where the message is written on its way out
};

std::optional<Outgoing> outgoing(const MailDraft& draft, MailError* reason) {
    auto e = envelope();
    if (!e) return std::nullopt;
    Outgoing out{transportOverride(), *e, {}, draft, DocumentsDirectory::path()};
    if (!out.transport) {
        if (!e->settings.configured()) {
            *reason = MailError::NotSetUp;
            return std::nullopt;
        }
        out.transport = std::make_shared<SmtpTransport>(e->settings);
    }
    auto recipients = mime::envelopeRecipients(draft.to);
    if (!recipients || recipients->empty()) return std::nullopt;
    out.recipients = std::move(*recipients);
    return out;
}

}  // namespace

void MailComposer::setTransport(std::shared_ptr<MailTransport> transport) {
    transportOverride() = std::move(transport);
}

std::string MailComposer::draftsDirectory() {
    return DocumentsDirectory::file("Drafts");
}

MailResult MailComposer::finish(const std::string& choice, const MailDraft& draft,
                                MailError* reason) {
    if (reason) *reason = MailError::None;
    if (choice == "cancel") return MailResult::Cancelled;
    if (choice != "save") return MailResult::Failed;
    auto e = envelope();
    if (!e) return MailResult::Failed;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path dir = draftsDirectory();
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return MailResult::Failed;
    // A fresh name per draft, in the order they were saved; never overwrite one.
    for (int n = 1; n < 1000; ++n) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "-%03d", n);
        const std::string file = (dir / (e->stamp + suffix + ".eml")).string();
        std::FILE* out = std::fopen(file.c_str(), "wbx");  // only when there is none
        if (!out) {
            if (errno == EEXIST) continue;
            return MailResult::Failed;
        }
        bool saved = mime::writeMessage(draft, e->from, e->now, e->messageId, true, out);
        saved = std::fclose(out) == 0 && saved;
        // Half a draft would pass for the whole of one.
        if (!saved) fs::remove(file, ec);
        return saved ? MailResult::Saved : MailResult::Failed;
    }
    return MailResult::Failed;
}

void MailComposer::send(const MailDraft& draft, const SendFlag& flag, Completion done) {
    MailError reason = MailError::None;
    auto out = outgoing(draft, &reason);
    if (!out) {
        if (done) done(MailResult::Failed, reason);
        return;
    }
    std::weak_ptr<std::atomic<bool>> owner = flag;
    // The work holds the flag only while it runs; the message is all it needs of the app. It
    // is written there too: encoding a large export takes a while.
    BackgroundWork::start([out = std::move(*out), flag, owner, done] {
        MailError why = MailError::None;
        const Envelope& e = out.envelope;
        const auto message = unnamedFile(out.folder);
        const bool sent =
            message &&
            mime::writeMessage(out.draft, e.from, e.now, e.messageId, false, message.get()) &&
            std::fseek(message.get(), 0, SEEK_SET) == 0 &&
            out.transport->send(e.sender, out.recipients, message.get(), &why, flag.get());
        // A send that ended because it was asked to, rather than because it failed.
        const bool cancelled = !sent && ((flag && *flag) || BackgroundWork::stopping());
        const MailResult result =
            sent ? MailResult::Sent : (cancelled ? MailResult::Cancelled : MailResult::Failed);
        if (cancelled) why = MailError::None;
        return BackgroundWork::Completion([owner, done, result, why] {
            if (!owner.expired() && done) done(result, why);
        });
    });
}
