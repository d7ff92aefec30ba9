#pragma once
// The mail service behind the composer sheet (toolkit/ComposerSheet): sends a draft by
// SMTP, saves it as a draft file or drops it, and tells the outcome. The settings and the
// composer are in MailComposer.cpp, the transport in SmtpTransport.cpp, the message itself
// in MailMessage.cpp.
//
// Mail settings come from the environment (MARROWKEEPER_SMTP_URL, MARROWKEEPER_SMTP_USER,
// MARROWKEEPER_SMTP_PASSWORD, MARROWKEEPER_MAIL_FROM) or from "mail-settings.conf" in the
// documents directory (KEY=VALUE lines, same keys); the environment wins key by key.
//
// Sending runs outside the app's lock (BackgroundWork): the sheet shows it is sending until
// the outcome comes back, and the user may cancel it meanwhile.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/MailDraft.h"

enum class MailResult { Cancelled, Saved, Sent, Failed };

// Why a mail failed, when the user can do something about it; None for every other outcome
// and failure.
enum class MailError {
    None,
    // Credentials are set but the server offers no verified TLS: nothing was sent.
    NeedsTLS,
    // No mail server is set: nothing can be sent until one is.
    NotSetUp,
};

struct MailSettings {
    std::string url;  // smtp://host:port or smtps://host:port
    std::string user;
    std::string password;
    std::string from;

    bool configured() const { return !url.empty(); }
    // The sender address: MAIL_FROM, else the user name when it is an address, else a
    // local address.
    std::string sender() const;

    // The settings in use: the file's, each overridden by its environment variable.
    static MailSettings load();
    // The file's alone; and the names of the variables that override it.
    static MailSettings loadFile();
    static std::vector<std::string> environmentOverrides();
    // Reads KEY=VALUE lines; blank lines and lines starting with '#' are skipped.
    static MailSettings parse(const std::string& text);
    // Replaces the file, atomically and readable by its owner only (it holds the password).
    bool save() const;
    // Removes what an interrupted save() left beside the file (a copy holding the password);
    // the count removed. Only at start.
    static int removeLeftoverTemporaryFiles();
};

// How a finished message leaves the machine.
class MailTransport {
  public:
    virtual ~MailTransport() = default;
    // True when the server accepted the message for every recipient (bare addresses, as
    // the envelope names them); otherwise `reason` may say why not. Gives up soon after
    // `cancel` is raised (or the program ends).
    // The message is read from `message`, from where it stands to its end.
    virtual bool send(const std::string& from, const std::vector<std::string>& recipients,
                      std::FILE* message, MailError* reason,
                      const std::atomic<bool>* cancel = nullptr) = 0;
};

// SMTP or SMTPS through libcurl. With a user name or password the connection must be TLS
// with a verified certificate (smtps://, or smtp:// with STARTTLS required), so credentials
// never cross the network in clear; a loopback server (a local relay) is trusted as it is.
class SmtpTransport : public MailTransport {
  public:
    // `connectTo`: a libcurl CONNECT_TO entry ("host:port:address:port") that sends the
    // connection elsewhere while the URL's host still names the server for TLS and for the
    // loopback rule (tests reach a loopback server under a remote name).
    explicit SmtpTransport(MailSettings settings, std::string connectTo = {})
        : settings_(std::move(settings)), connectTo_(std::move(connectTo)) {}
    bool send(const std::string& from, const std::vector<std::string>& recipients,
              std::FILE* message, MailError* reason,
              const std::atomic<bool>* cancel = nullptr) override;

    // Whether a host names this machine's loopback interface: localhost (and *.localhost),
    // 127.0.0.0/8, ::1 or an IPv4-mapped 127 address; "[::1]" as a URL writes it.
    static bool loopbackHost(std::string host);

  private:
    MailSettings settings_;
    std::string connectTo_;
};

// The message itself, built and encoded by GMime.
namespace mime {
// The recipients as the envelope names them: the entries are joined by commas and read as
// one RFC 5322 address list ("Doe, John" <j@example.com> is one address), where a
// semicolon outside a group also separates, as mail programs accept; groups give their
// members. Nothing when an entry is not an address; empty when there is none.
std::optional<std::vector<std::string>> envelopeRecipients(const std::vector<std::string>& to);
// The whole message with CRLF line ends: display names and subject encoded per RFC 2047,
// attachment names per RFC 2231, every header on its own line whatever the texts hold.
// `unsent` adds "X-Unsent: 1" (a draft). Nothing when `from` or a recipient is not an
// address.
std::optional<std::string> buildMessage(const MailDraft& draft, const std::string& from,
                                        std::chrono::system_clock::time_point date,
                                        const std::string& messageId, bool unsent);
// The same message written to `file` as it is encoded, attached files read a piece at a time,
// so a large export is never held whole; false when it cannot be built or written.
bool writeMessage(const MailDraft& draft, const std::string& from,
                  std::chrono::system_clock::time_point date, const std::string& messageId,
                  bool unsent, std::FILE* file);
}  // namespace mime

class MailComposer {
  public:
    // The outcome of the user's choice on the composer sheet, once carried out.
    using Completion = std::function<void(MailResult, MailError)>;
    // Owned by what shows a send under way (the composer sheet, a screen): raising it cancels
    // the send; once its owner has let it go, the outcome is dropped.
    using SendFlag = std::shared_ptr<std::atomic<bool>>;

    // The composer can always at least save a draft, so it is always offered.
    static bool canSendMail() { return true; }

    // Sends a draft outside the app's lock and returns at once; `done` gets the outcome later
    // on the app's thread (BackgroundWork), while `flag` is still owned. A cancelled send
    // ends Cancelled unless the server had taken the mail already. What is known at once (not
    // set up, no recipient) goes to `done` before this returns.
    static void send(const MailDraft& draft, const SendFlag& flag, Completion done);

    // Runs the choice "save" or "cancel" on an edited draft (sending is send()); `reason`
    // tells why it failed when the user can act on it.
    static MailResult finish(const std::string& choice, const MailDraft& draft,
                             MailError* reason = nullptr);

    // Where drafts go: <documents>/Drafts.
    static std::string draftsDirectory();

    // Replaces the transport (tests); nullptr restores SMTP from the mail settings.
    static void setTransport(std::shared_ptr<MailTransport> transport);
};
