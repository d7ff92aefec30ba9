#include "platform/MailComposer.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/Clock.h"
#include "platform/DocumentsDirectory.h"

namespace {

const char* const kSettingsFile = "mail-settings.conf";

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

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
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
        std::string key = trim(line.substr(0, eq));
        std::string value = trim(line.substr(eq + 1));
        if (key == "MARROWKEEPER_SMTP_URL")
            s.url = value;
        else if (key == "MARROWKEEPER_SMTP_USER")
            s.user = value;
        else if (key == "MARROWKEEPER_SMTP_PASSWORD")
            s.password = value;
        else if (key == "MARROWKEEPER_MAIL_FROM")
            s.from = value;
    }
    return s;
}

MailSettings MailSettings::load() {
    MailSettings s;
    std::ifstream in(DocumentsDirectory::file(kSettingsFile), std::ios::binary);
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        s = parse(text.str());
    }
    auto fromEnv = [](const char* name, std::string& slot) {
        const char* v = std::getenv(name);
        if (v && *v) slot = v;
    };
    fromEnv("MARROWKEEPER_SMTP_URL", s.url);
    fromEnv("MARROWKEEPER_SMTP_USER", s.user);
    fromEnv("MARROWKEEPER_SMTP_PASSWORD", s.password);
    fromEnv("MARROWKEEPER_MAIL_FROM", s.from);
    return s;
}

// ---------------------------------------------------------------------------------------
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
    if (choice != "send" && choice != "save") return MailResult::Failed;

    MailSettings settings = MailSettings::load();
    const std::string from = settings.sender();
    const auto sender = mime::envelopeRecipients({from});
    if (!sender || sender->size() != 1) return MailResult::Failed;
    auto now = Clock::current().now();
    std::string stamp = std::to_string(
        std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count());
    std::string messageId = stamp + "." + randomHex(16) + "@" + domainOf(sender->front());

    if (choice == "save") {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::path dir = draftsDirectory();
        fs::create_directories(dir, ec);
        if (!fs::is_directory(dir, ec)) return MailResult::Failed;
        auto message = mime::buildMessage(draft, from, now, messageId, true);
        if (!message) return MailResult::Failed;
        // A fresh name per draft, in the order they were saved; never overwrite one.
        for (int n = 1; n < 1000; ++n) {
            char suffix[8];
            std::snprintf(suffix, sizeof suffix, "-%03d", n);
            fs::path file = dir / (stamp + suffix + ".eml");
            if (fs::exists(file, ec)) continue;
            return writeFile(file.string(), *message) ? MailResult::Saved : MailResult::Failed;
        }
        return MailResult::Failed;
    }

    auto recipients = mime::envelopeRecipients(draft.to);
    if (!recipients || recipients->empty()) return MailResult::Failed;
    std::shared_ptr<MailTransport> transport = transportOverride();
    if (!transport) {
        if (!settings.configured()) return MailResult::Failed;
        transport = std::make_shared<SmtpTransport>(settings);
    }
    auto message = mime::buildMessage(draft, from, now, messageId, false);
    if (!message) return MailResult::Failed;
    return transport->send(sender->front(), *recipients, *message, reason) ? MailResult::Sent
                                                                           : MailResult::Failed;
}
