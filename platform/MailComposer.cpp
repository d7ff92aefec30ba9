#include "platform/MailComposer.h"

#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
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

// Header values must stay on their line: a typed line break would start a new header.
std::string oneLine(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

bool plainAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return c >= 0x20 && c < 0x7f; });
}

std::string randomHex(int digits) {
    static std::mt19937_64 rng{std::random_device{}()};
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < digits; ++i) out += hex[rng() & 15];
    return out;
}

// Length of the UTF-8 sequence started by `lead` (1 for a stray byte, so we move on).
size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xf0 && lead < 0xf8) return 4;
    if (lead >= 0xe0) return lead < 0xf0 ? 3 : 1;
    if (lead >= 0xc0) return 2;
    return 1;
}

std::string percentEncode(const std::string& s) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c) || std::strchr("!#$&+-.^_`|~", c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// Content-Type name and Content-Disposition filename parameters.
std::pair<std::string, std::string> fileNameParameters(const std::string& name) {
    std::string n = oneLine(name);
    bool quotable = plainAscii(n) && n.find_first_of("\"\\") == std::string::npos;
    if (quotable) return {"name=\"" + n + "\"", "filename=\"" + n + "\""};
    return {"name=\"" + mime::encodeHeader(n) + "\"", "filename*=UTF-8''" + percentEncode(n)};
}

std::string domainOf(const std::string& address) {
    auto at = address.rfind('@');
    if (at == std::string::npos || at + 1 >= address.size()) return "marrowkeeper.localdomain";
    std::string d = address.substr(at + 1);
    d.erase(std::remove_if(d.begin(), d.end(),
                           [](char c) { return c == '>' || c == ' ' || c == '\t'; }),
            d.end());
    return d.empty() ? "marrowkeeper.localdomain" : d;
}

std::vector<std::string> realRecipients(const std::vector<std::string>& to) {
    std::vector<std::string> out;
    for (const auto& a : to) {
        std::string t = trim(oneLine(a));
        if (!t.empty()) out.push_back(t);
    }
    return out;
}

// "Boss <boss@example.com>" → "boss@example.com"; a bare address stays as it is.
std::string envelopeAddress(const std::string& a) {
    auto open = a.rfind('<');
    auto close = a.rfind('>');
    if (open != std::string::npos && close != std::string::npos && close > open + 1)
        return trim(a.substr(open + 1, close - open - 1));
    return a;
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
namespace {
struct Upload {
    const std::string* bytes;
    size_t offset = 0;
};

size_t readChunk(char* buffer, size_t size, size_t count, void* user) {
    auto* up = static_cast<Upload*>(user);
    size_t room = size * count;
    size_t n = std::min(room, up->bytes->size() - up->offset);
    std::memcpy(buffer, up->bytes->data() + up->offset, n);
    up->offset += n;
    return n;
}
}  // namespace

bool SmtpTransport::send(const std::string& from, const std::vector<std::string>& recipients,
                         const std::string& message, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    const std::string& url = settings_.url;
    bool implicitTls = url.rfind("smtps://", 0) == 0;
    if (!implicitTls && url.rfind("smtp://", 0) != 0)
        return fail("the mail server address must start with smtp:// or smtps://");
    if (recipients.empty()) return fail("no recipient");

    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    CURL* curl = curl_easy_init();
    if (!curl) return fail("cannot start the mail transfer");
    curl_slist* rcpt = nullptr;
    for (const auto& r : recipients)
        rcpt = curl_slist_append(rcpt, ("<" + envelopeAddress(r) + ">").c_str());
    std::string mailFrom = "<" + envelopeAddress(from) + ">";
    Upload upload{&message};

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readChunk);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
    // Use STARTTLS when the server offers it; smtps:// is encrypted from the start.
    if (!implicitTls) curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!settings_.user.empty()) curl_easy_setopt(curl, CURLOPT_USERNAME, settings_.user.c_str());
    if (!settings_.password.empty())
        curl_easy_setopt(curl, CURLOPT_PASSWORD, settings_.password.c_str());

    CURLcode rc = curl_easy_perform(curl);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK) return fail(curl_easy_strerror(rc));
    return true;
}

// ---------------------------------------------------------------------------------------
namespace mime {

std::string base64(const std::string& bytes) {
    static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8) |
                     uint8_t(bytes[i + 2]);
        out += abc[(v >> 18) & 63];
        out += abc[(v >> 12) & 63];
        out += abc[(v >> 6) & 63];
        out += abc[v & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest == 1) {
        uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
        out += abc[(v >> 18) & 63];
        out += abc[(v >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8);
        out += abc[(v >> 18) & 63];
        out += abc[(v >> 12) & 63];
        out += abc[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

std::string base64Lines(const std::string& bytes) {
    std::string flat = base64(bytes);
    std::string out;
    for (size_t i = 0; i < flat.size(); i += 76) out += flat.substr(i, 76) + "\r\n";
    return out;
}

std::string decodeBase64(const std::string& text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    std::string out;
    uint32_t acc = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') break;
        int v = value(c);
        if (v < 0) continue;  // line breaks and other layout
        acc = (acc << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xff);
        }
    }
    return out;
}

std::string encodeHeader(const std::string& value) {
    std::string v = oneLine(value);
    if (plainAscii(v) && v.find("=?") == std::string::npos && v.size() <= 900) return v;
    // 45 bytes make 60 base64 characters; with "=?UTF-8?B?" and "?=" a word stays at 72.
    const size_t maxBytes = 45;
    std::string out;
    size_t i = 0;
    while (i < v.size()) {
        size_t end = i;
        while (end < v.size()) {
            size_t len = std::min(sequenceLength(uint8_t(v[end])), v.size() - end);
            if (end + len - i > maxBytes) break;
            end += len;
        }
        if (end == i) end = i + 1;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + base64(v.substr(i, end - i)) + "?=";
        i = end;
    }
    return out;
}

std::string dateHeader(std::chrono::system_clock::time_point t) {
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::time_t secs = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d +0000", days[tm.tm_wday],
                  tm.tm_mday, months[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                  tm.tm_sec);
    return buf;
}

std::string buildMessage(const MailDraft& draft, const std::string& from,
                         std::chrono::system_clock::time_point date, const std::string& messageId,
                         bool unsent) {
    // Base64 never holds '_' or '=' mid-text, so this boundary cannot occur in a part.
    const std::string boundary = "=_mk_" + randomHex(24);
    auto recipients = realRecipients(draft.to);
    std::string to;
    for (const auto& r : recipients) to += (to.empty() ? "" : ", ") + r;

    std::string m;
    m += "From: " + oneLine(from) + "\r\n";
    m += "To: " + (to.empty() ? std::string("undisclosed-recipients:;") : to) + "\r\n";
    m += "Subject: " + encodeHeader(draft.subject) + "\r\n";
    m += "Date: " + dateHeader(date) + "\r\n";
    m += "Message-ID: " + oneLine(messageId) + "\r\n";
    m += "MIME-Version: 1.0\r\n";
    if (unsent) m += "X-Unsent: 1\r\n";
    m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
    m += "\r\n";
    m += "This is a multi-part message in MIME format.\r\n";

    m += "--" + boundary + "\r\n";
    m += std::string("Content-Type: ") + (draft.bodyIsHTML ? "text/html" : "text/plain") +
         "; charset=UTF-8\r\n";
    m += "Content-Transfer-Encoding: base64\r\n\r\n";
    m += base64Lines(draft.body);

    for (const auto& a : draft.attachments) {
        std::string type = oneLine(a.mimeType);
        if (type.empty()) type = "application/octet-stream";
        auto [name, fileName] = fileNameParameters(a.fileName);
        m += "--" + boundary + "\r\n";
        m += "Content-Type: " + type + "; " + name + "\r\n";
        m += "Content-Disposition: attachment; " + fileName + "\r\n";
        m += "Content-Transfer-Encoding: base64\r\n\r\n";
        m += base64Lines(a.bytes);
    }
    m += "--" + boundary + "--\r\n";
    return m;
}

}  // namespace mime

// ---------------------------------------------------------------------------------------
void MailComposer::setTransport(std::shared_ptr<MailTransport> transport) {
    transportOverride() = std::move(transport);
}

std::string MailComposer::draftsDirectory() {
    return DocumentsDirectory::file("Drafts");
}

MailResult MailComposer::finish(const std::string& choice, const MailDraft& draft) {
    if (choice == "cancel") return MailResult::Cancelled;
    if (choice != "send" && choice != "save") return MailResult::Failed;

    MailSettings settings = MailSettings::load();
    std::string from = settings.sender();
    auto now = Clock::current().now();
    std::string stamp = std::to_string(
        std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count());
    std::string messageId = "<" + stamp + "." + randomHex(16) + "@" + domainOf(from) + ">";

    if (choice == "save") {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::path dir = draftsDirectory();
        fs::create_directories(dir, ec);
        if (!fs::is_directory(dir, ec)) return MailResult::Failed;
        // A fresh name per draft, in the order they were saved; never overwrite one.
        for (int n = 1; n < 1000; ++n) {
            char suffix[8];
            std::snprintf(suffix, sizeof suffix, "-%03d", n);
            fs::path file = dir / (stamp + suffix + ".eml");
            if (fs::exists(file, ec)) continue;
            std::string message = mime::buildMessage(draft, from, now, messageId, true);
            return writeFile(file.string(), message) ? MailResult::Saved : MailResult::Failed;
        }
        return MailResult::Failed;
    }

    auto recipients = realRecipients(draft.to);
    if (recipients.empty()) return MailResult::Failed;
    std::shared_ptr<MailTransport> transport = transportOverride();
    if (!transport) {
        if (!settings.configured()) return MailResult::Failed;
        transport = std::make_shared<SmtpTransport>(settings);
    }
    std::string message = mime::buildMessage(draft, from, now, messageId, false);
    std::string error;
    return transport->send(from, recipients, message, &error) ? MailResult::Sent
                                                              : MailResult::Failed;
}

void MailComposer::present(Screen& screen, MailDraft draft, Completion done) {
    ComposerSheet sheet;
    sheet.draft = std::move(draft);
    sheet.onChoice = [done](const std::string& choice, const MailDraft& edited) {
        MailResult result = finish(choice, edited);
        if (done) done(result);
    };
    screen.presentComposer(std::move(sheet));
}
