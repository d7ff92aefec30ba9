#pragma once
// The mail composer: shows a draft over a screen (the page lets the user edit the
// recipients, subject and body), then sends it by SMTP, saves it as a draft file or drops
// it, and tells the opener the outcome.
//
// Mail settings come from the environment (MARROWKEEPER_SMTP_URL, MARROWKEEPER_SMTP_USER,
// MARROWKEEPER_SMTP_PASSWORD, MARROWKEEPER_MAIL_FROM) or from "mail-settings.conf" in the
// documents directory (KEY=VALUE lines, same keys); the environment wins key by key.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/UI.h"

enum class MailResult { Cancelled, Saved, Sent, Failed };

struct MailSettings {
    std::string url;  // smtp://host:port or smtps://host:port
    std::string user;
    std::string password;
    std::string from;

    bool configured() const { return !url.empty(); }
    // The sender address: MAIL_FROM, else the user name when it is an address, else a
    // local address.
    std::string sender() const;

    static MailSettings load();
    // Reads KEY=VALUE lines; blank lines and lines starting with '#' are skipped.
    static MailSettings parse(const std::string& text);
};

// How a finished message leaves the machine.
class MailTransport {
  public:
    virtual ~MailTransport() = default;
    // True when the server accepted the message for every recipient.
    virtual bool send(const std::string& from, const std::vector<std::string>& recipients,
                      const std::string& message, std::string* error) = 0;
};

// SMTP or SMTPS through libcurl.
class SmtpTransport : public MailTransport {
  public:
    explicit SmtpTransport(MailSettings settings) : settings_(std::move(settings)) {}
    bool send(const std::string& from, const std::vector<std::string>& recipients,
              const std::string& message, std::string* error) override;

  private:
    MailSettings settings_;
};

// Building the MIME message.
namespace mime {
std::string base64(const std::string& bytes);
// Base64 broken into lines of 76 characters, each ended by CRLF.
std::string base64Lines(const std::string& bytes);
std::string decodeBase64(const std::string& text);
// An RFC 2047 header value: unchanged when plain printable ASCII, else UTF-8 "B" words
// (each at most 75 characters, never splitting a character) folded onto new lines.
std::string encodeHeader(const std::string& value);
// RFC 5322 date, e.g. "Sat, 09 May 2015 14:02:50 +0000".
std::string dateHeader(std::chrono::system_clock::time_point t);
// The whole message with CRLF line ends. `unsent` adds "X-Unsent: 1" (a draft).
std::string buildMessage(const MailDraft& draft, const std::string& from,
                         std::chrono::system_clock::time_point date, const std::string& messageId,
                         bool unsent);
}  // namespace mime

class MailComposer {
  public:
    using Completion = std::function<void(MailResult)>;

    // The composer can always at least save a draft, so it is always offered.
    static bool canSendMail() { return true; }

    // Shows the draft over `screen`; after the user's choice the message is sent, saved
    // or dropped and `done` gets the outcome. The sheet stays up until the opener
    // dismisses it (Screen::dismissComposer).
    static void present(Screen& screen, MailDraft draft, Completion done);

    // Runs one choice ("send", "save", "cancel") on an edited draft.
    static MailResult finish(const std::string& choice, const MailDraft& draft);

    // Where drafts go: <documents>/Drafts.
    static std::string draftsDirectory();

    // Replaces the transport (tests); nullptr restores SMTP from the mail settings.
    static void setTransport(std::shared_ptr<MailTransport> transport);
};
