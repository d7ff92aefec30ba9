#include "platform/MailComposer.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <gmime/gmime.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
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

// Header texts stay on their line: a typed line break would otherwise start a new header,
// and GMime would faithfully encode it into the text.
std::string oneLine(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return out;
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

void initMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

struct Unref {
    void operator()(void* object) const {
        if (object) g_object_unref(object);
    }
};
template <class T>
using GPtr = std::unique_ptr<T, Unref>;

// The entries of an address list: split at the commas that are not inside a quoted
// string, a comment, angle brackets or a group.
std::vector<std::string> listEntries(const std::string& text) {
    std::vector<std::string> out(1);
    bool quoted = false, group = false;
    int comment = 0, angle = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((quoted || comment > 0) && c == '\\' && i + 1 < text.size()) {
            out.back() += c;
            out.back() += text[++i];
            continue;
        }
        if (quoted) {
            quoted = c != '"';
        } else if (c == '(') {
            ++comment;
        } else if (c == ')' && comment > 0) {
            --comment;
        } else if (comment == 0) {
            if (c == '"') {
                quoted = true;
            } else if (c == '<') {
                ++angle;
            } else if (c == '>' && angle > 0) {
                --angle;
            } else if (angle == 0 && c == ':') {
                group = true;
            } else if (angle == 0 && group && c == ';') {
                group = false;
            } else if (angle == 0 && !group && (c == ',' || c == ';')) {
                out.emplace_back();
                continue;
            }
        }
        out.back() += c;
    }
    return out;
}

// A mailbox's address as the envelope names it (the domain in its ASCII form); nothing
// when it is not one.
std::optional<std::string> envelopeAddress(InternetAddress* a) {
    if (!INTERNET_ADDRESS_IS_MAILBOX(a)) return std::nullopt;
    const char* addr = internet_address_mailbox_get_idn_addr(INTERNET_ADDRESS_MAILBOX(a));
    const std::string s = addr ? addr : "";
    const auto at = s.find('@');
    if (at == 0 || at == std::string::npos || at + 1 == s.size()) return std::nullopt;
    for (unsigned char c : s)
        if (c <= 0x20 || c == 0x7f || c == '<' || c == '>') return std::nullopt;
    return s;
}

// Every mailbox of a list, groups opened; nothing when one is not an address.
std::optional<std::vector<std::string>> mailboxes(InternetAddressList* list) {
    std::vector<std::string> out;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* a = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(a)) {
            auto inner = mailboxes(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(a)));
            if (!inner) return std::nullopt;
            out.insert(out.end(), inner->begin(), inner->end());
        } else if (auto one = envelopeAddress(a)) {
            out.push_back(*one);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// The entries joined by commas and read as one address list. GMime skips what it cannot
// read, so each entry is read on its own: one that is not exactly one address (or group)
// makes the list unreadable instead of silently shorter.
GPtr<InternetAddressList> addressList(const std::vector<std::string>& entries) {
    initMime();
    std::string text;
    for (const auto& e : entries) text += (text.empty() ? "" : ", ") + oneLine(e);
    GPtr<InternetAddressList> all(internet_address_list_new());
    for (const auto& entry : listEntries(text)) {
        if (entry.find_first_not_of(' ') == std::string::npos) continue;
        GPtr<InternetAddressList> one(internet_address_list_parse(nullptr, entry.c_str()));
        if (!one || internet_address_list_length(one.get()) != 1 || !mailboxes(one.get()))
            return nullptr;
        internet_address_list_append(all.get(), one.get());
    }
    return all;
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
    for (const auto& [name, slot] : keys(values))
        text += std::string(name) + "=" + trim(oneLine(*slot)) + "\n";
    return AtomicFile::replace(DocumentsDirectory::file(kSettingsFile), text, 0600);
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

// libcurl asks this about once a second while it waits (more often while data flows); a
// non-zero answer ends the transfer.
int giveUpWhenCancelled(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(flag);
    return (cancel && cancel->load()) || BackgroundWork::stopping() ? 1 : 0;
}
}  // namespace

bool SmtpTransport::loopbackHost(std::string host) {
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (host == "localhost" || host.ends_with(".localhost")) return true;
    in_addr v4{};
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, host.c_str(), &v6) != 1) return false;
    return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
}

bool SmtpTransport::send(const std::string& from, const std::vector<std::string>& recipients,
                         const std::string& message, MailError* reason,
                         const std::atomic<bool>* cancel) {
    if (reason) *reason = MailError::None;
    const std::string& url = settings_.url;
    const bool implicitTls = url.rfind("smtps://", 0) == 0;
    if ((!implicitTls && url.rfind("smtp://", 0) != 0) || recipients.empty()) return false;

    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    // The server's host, and whether the address itself carries credentials.
    std::string host;
    bool credentials = !settings_.user.empty() || !settings_.password.empty();
    if (CURLU* u = curl_url()) {
        if (curl_url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
            char* part = nullptr;
            if (curl_url_get(u, CURLUPART_HOST, &part, 0) == CURLUE_OK) host = part;
            curl_free(part);
            for (CURLUPart p : {CURLUPART_USER, CURLUPART_PASSWORD}) {
                part = nullptr;
                if (curl_url_get(u, p, &part, 0) == CURLUE_OK && part && *part) credentials = true;
                curl_free(part);
            }
        }
        curl_url_cleanup(u);
    }
    if (host.empty()) return false;
    const bool loopback = loopbackHost(host);

    CURL* curl = curl_easy_init();
    if (!curl) return false;
    curl_slist* rcpt = nullptr;
    for (const auto& r : recipients) rcpt = curl_slist_append(rcpt, ("<" + r + ">").c_str());
    curl_slist* connectTo =
        connectTo_.empty() ? nullptr : curl_slist_append(nullptr, connectTo_.c_str());
    const std::string mailFrom = "<" + from + ">";
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
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, giveUpWhenCancelled);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancel));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (connectTo) curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectTo);
    // Credentials only over verified TLS: STARTTLS is then required, and a server that does
    // not offer it (or has it stripped on the way) ends the session before AUTH. Without
    // credentials STARTTLS is still used when offered. A loopback server never leaves the
    // machine: it may speak plain SMTP and show any certificate.
    if (!implicitTls) {
        const bool required = credentials && !loopback;
        curl_easy_setopt(curl, CURLOPT_USE_SSL,
                         static_cast<long>(required ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    }
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, loopback ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, loopback ? 0L : 2L);
    if (!settings_.user.empty()) curl_easy_setopt(curl, CURLOPT_USERNAME, settings_.user.c_str());
    if (!settings_.password.empty())
        curl_easy_setopt(curl, CURLOPT_PASSWORD, settings_.password.c_str());

    const CURLcode rc = curl_easy_perform(curl);
    curl_slist_free_all(rcpt);
    curl_slist_free_all(connectTo);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK && credentials && !loopback && reason &&
        (rc == CURLE_USE_SSL_FAILED || rc == CURLE_PEER_FAILED_VERIFICATION ||
         rc == CURLE_SSL_CONNECT_ERROR))
        *reason = MailError::NeedsTLS;
    return rc == CURLE_OK;
}

// ---------------------------------------------------------------------------------------
namespace mime {

std::optional<std::vector<std::string>> envelopeRecipients(const std::vector<std::string>& to) {
    auto list = addressList(to);
    if (!list) return std::nullopt;
    return mailboxes(list.get());
}

std::optional<std::string> buildMessage(const MailDraft& draft, const std::string& from,
                                        std::chrono::system_clock::time_point date,
                                        const std::string& messageId, bool unsent) {
    auto sender = addressList({from});
    auto to = addressList(draft.to);
    if (!sender || internet_address_list_length(sender.get()) != 1 || !to) return std::nullopt;

    GPtr<GMimeMessage> m(g_mime_message_new(TRUE));
    internet_address_list_append(g_mime_message_get_addresses(m.get(), GMIME_ADDRESS_TYPE_FROM),
                                 sender.get());
    if (internet_address_list_length(to.get()) == 0) {
        // A draft without recipients says so, as mail programs write it.
        GPtr<InternetAddress> nobody(internet_address_group_new("undisclosed-recipients"));
        internet_address_list_add(to.get(), nobody.get());
    }
    internet_address_list_append(g_mime_message_get_addresses(m.get(), GMIME_ADDRESS_TYPE_TO),
                                 to.get());
    g_mime_message_set_subject(m.get(), oneLine(draft.subject).c_str(), "utf-8");
    GDateTime* when = g_date_time_new_from_unix_utc(std::chrono::system_clock::to_time_t(date));
    g_mime_message_set_date(m.get(), when);
    g_date_time_unref(when);
    std::string id = oneLine(messageId);
    if (id.size() > 1 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
    g_mime_message_set_message_id(m.get(), id.c_str());
    if (unsent) g_mime_object_set_header(GMIME_OBJECT(m.get()), "X-Unsent", "1", nullptr);

    GPtr<GMimeMultipart> parts(g_mime_multipart_new_with_subtype("mixed"));
    GPtr<GMimeTextPart> body(
        g_mime_text_part_new_with_subtype(draft.bodyIsHTML ? "html" : "plain"));
    g_mime_text_part_set_text(body.get(), draft.body.c_str());
    g_mime_part_set_content_encoding(GMIME_PART(body.get()), GMIME_CONTENT_ENCODING_BASE64);
    g_mime_multipart_add(parts.get(), GMIME_OBJECT(body.get()));
    for (const auto& a : draft.attachments) {
        std::string type = oneLine(a.mimeType);
        const auto slash = type.find('/');
        if (slash == std::string::npos || slash == 0 || slash + 1 == type.size())
            type = "application/octet-stream";
        GPtr<GMimePart> part(g_mime_part_new_with_type(type.substr(0, type.find('/')).c_str(),
                                                       type.substr(type.find('/') + 1).c_str()));
        g_mime_part_set_filename(part.get(), oneLine(a.fileName).c_str());
        GPtr<GMimeStream> bytes(g_mime_stream_mem_new_with_buffer(a.bytes.data(), a.bytes.size()));
        GPtr<GMimeDataWrapper> content(
            g_mime_data_wrapper_new_with_stream(bytes.get(), GMIME_CONTENT_ENCODING_DEFAULT));
        g_mime_part_set_content(part.get(), content.get());
        g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
        g_mime_multipart_add(parts.get(), GMIME_OBJECT(part.get()));
    }
    g_mime_message_set_mime_part(m.get(), GMIME_OBJECT(parts.get()));

    GMimeFormatOptions* format = g_mime_format_options_clone(nullptr);
    g_mime_format_options_set_newline_format(format, GMIME_NEWLINE_FORMAT_DOS);
    GPtr<GMimeStream> out(g_mime_stream_mem_new());
    const bool written =
        g_mime_object_write_to_stream(GMIME_OBJECT(m.get()), format, out.get()) >= 0;
    g_mime_format_options_free(format);
    if (!written) return std::nullopt;
    GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return std::string(reinterpret_cast<const char*>(array->data), array->len);
}

}  // namespace mime

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

// A message ready to leave, with the way out.
struct Outgoing {
    std::shared_ptr<MailTransport> transport;
    std::string sender;
    std::vector<std::string> recipients;
    std::string message;
};

std::optional<Outgoing> outgoing(const MailDraft& draft, MailError* reason) {
    auto e = envelope();
    if (!e) return std::nullopt;
    Outgoing out{transportOverride(), e->sender, {}, {}};
    if (!out.transport) {
        if (!e->settings.configured()) {
            *reason = MailError::NotSetUp;
            return std::nullopt;
        }
        out.transport = std::make_shared<SmtpTransport>(e->settings);
    }
    auto recipients = mime::envelopeRecipients(draft.to);
    auto message = mime::buildMessage(draft, e->from, e->now, e->messageId, false);
    if (!recipients || recipients->empty() || !message) return std::nullopt;
    out.recipients = std::move(*recipients);
    out.message = std::move(*message);
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
    auto message = mime::buildMessage(draft, e->from, e->now, e->messageId, true);
    if (!message) return MailResult::Failed;
    // A fresh name per draft, in the order they were saved; never overwrite one.
    for (int n = 1; n < 1000; ++n) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "-%03d", n);
        fs::path file = dir / (e->stamp + suffix + ".eml");
        if (fs::exists(file, ec)) continue;
        return writeFile(file.string(), *message) ? MailResult::Saved : MailResult::Failed;
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
    // The work holds the flag only while it runs; the message is all it needs of the app.
    BackgroundWork::start([out = std::move(*out), flag, owner, done] {
        MailError why = MailError::None;
        const bool sent =
            out.transport->send(out.sender, out.recipients, out.message, &why, flag.get());
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

void MailComposer::present(Screen& screen, MailDraft draft, Completion done) {
    ComposerSheet sheet;
    sheet.draft = std::move(draft);
    // The sheet belongs to the screen and calls this from the screen's own event.
    sheet.onChoice = [&screen, done](const std::string& choice, const MailDraft& edited) {
        if (choice == "send") {
            auto flag = std::make_shared<std::atomic<bool>>(false);
            screen.setComposerSending(flag);
            send(edited, flag, done);
            return;
        }
        MailError reason = MailError::None;
        MailResult result = finish(choice, edited, &reason);
        if (done) done(result, reason);
    };
    screen.presentComposer(std::move(sheet));
}
