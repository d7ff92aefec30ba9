// SmtpTransport (platform/MailComposer.h): a message's way to the server, through libcurl.
#include <arpa/inet.h>
#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/BackgroundWork.h"
#include "platform/MailComposer.h"

namespace {
size_t readChunk(char* buffer, size_t size, size_t count, void* message) {
    const size_t n = std::fread(buffer, 1, size * count, static_cast<std::FILE*>(message));
    // A read that fails part-way ends the transfer rather than sending a shorter mail.
    return std::ferror(static_cast<std::FILE*>(message)) ? CURL_READFUNC_ABORT : n;
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
                         std::FILE* message, MailError* reason, const std::atomic<bool>* cancel) {
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

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readChunk);
    curl_easy_setopt(curl, CURLOPT_READDATA, message);
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
