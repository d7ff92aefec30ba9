#pragma once
// The app fixture with pinned device facts and no mail settings from the environment, rows
// written straight into the ledger, a loopback SMTP server in a child process, and Python's
// csv, email and openpyxl as readers of what the app writes, independent of its writers.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "platform/DeviceFacts.h"
#include "platform/MailComposer.h"
#include "storage/SDBManager.h"
#include "tests/sql/ScratchDir.h"
#include "tests/support/AppHarness.h"

// A loopback SMTP server on a free port (printed first): like a careless server it offers AUTH
// in clear and no STARTTLS; it takes any login and recipient, logs each login and envelope,
// and writes the message it took last to a file.
inline const char* const kSmtpSink = R"(import asyncio, socket, sys
from aiosmtpd.smtp import SMTP, AuthResult
out = sys.argv[1]
def log(line):
    open(out + ".log", "a").write(line + "\n")
def login(server, session, envelope, mechanism, data):
    log(f"AUTH {mechanism} {data.login.decode()}:{data.password.decode()}")
    return AuthResult(success=True)
class Sink:
    async def handle_DATA(self, server, session, envelope):
        log(f"mail from {envelope.mail_from} to {' '.join(envelope.rcpt_tos)}")
        open(out, "wb").write(envelope.original_content)
        return "250 OK"
sock = socket.create_server(("127.0.0.1", 0))
print(sock.getsockname()[1], flush=True)
loop = asyncio.new_event_loop()
serve = lambda: SMTP(Sink(), auth_require_tls=False, authenticator=login)
loop.run_until_complete(loop.create_server(serve, sock=sock))
loop.run_forever()
)";

// A message as Python's email package reads it: is its header block ASCII, the decoded
// headers, each part's type, file name and content ("(the file)": the data folder's file).
inline const char* const kMailDump = R"(import email, email.policy, os, sys
raw = open(sys.argv[1], 'rb').read()
print('ASCII head' if raw.split(b'\r\n\r\n')[0].isascii() else '8-bit head')
m = email.message_from_bytes(raw, policy=email.policy.default)
for h in ('From', 'To', 'Bcc', 'Subject', 'Date', 'X-Unsent'):
    if m[h] is not None: print(f'{h}: {m[h]}')
for p in m.walk():
    if p.is_multipart(): continue
    data, name = p.get_payload(decode=True), p.get_filename() or ''
    file = os.path.join(sys.argv[2], name)
    same = name and os.path.isfile(file) and open(file, 'rb').read() == data
    print(p.get_content_type(), name, '(the file)' if same else repr(data.decode()))
)";

class ExchangeHarness : public AppHarness {
  protected:
    void SetUp() override {
        AppHarness::SetUp();
        for (const char* name :
             {"MARROWKEEPER_SMTP_URL", "MARROWKEEPER_SMTP_USER", "MARROWKEEPER_SMTP_PASSWORD",
              "MARROWKEEPER_MAIL_FROM", "MARROWKEEPER_STORE_URL", "MARROWKEEPER_STORE_REVIEWS_URL"})
            unsetenv(name);
        DeviceFacts::install(std::make_shared<FixedDeviceFacts>(
            "Marrowkeeper", "1.2", "es_ES", "es", "Linux", "6.1.0-18-amd64", "ThinkPad X1"));
    }
    void TearDown() override {
        if (smtpPid_ > 0 && kill(smtpPid_, SIGKILL) == 0) waitpid(smtpPid_, nullptr, 0);
        Navigator::setShared(nullptr);
        MailComposer::setTransport(nullptr);
        DeviceFacts::install(nullptr);
        AppHarness::TearDown();
    }
    void startApp() {
        start();
        Navigator::setShared(&nav());
    }

    // Order headers: kind, name, counts, entrys, amount, date, weekday, notes, then order key,
    // partner and time; columns not given stay NULL.
    void orders(std::initializer_list<std::vector<std::string>> rows) {
        for (const auto& r : rows)
            insert(
                "SUserCommodity (orderSalesAndPurchaseType, orderName, orderTotalCounts, "
                "orderTotalEntrys, orderTotalAmount, recordeDateTime, recordeWeekTime, "
                "remarkNotes, orderPrimaryKeyDate, orderSupplierOrCustomerName, minutesTime)",
                11, r);
    }
    // Order lines: order key, product, quantity, unit price, total; model "M-" and the
    // product, unit "pcs".
    void lines(std::initializer_list<std::vector<std::string>> rows) {
        for (auto r : rows) {
            r.insert(r.begin() + 2, {"M-" + r[1], "pcs"});
            insert(
                "SUserCommodityOrder (orderItemPrimaryKeyDate, orderItemProductName, "
                "orderItemModel, orderItemUnit, orderItemQuantity, orderItemUnitPrice, "
                "orderItemTotalAmount)",
                7, r);
        }
    }
    void insert(const std::string& into, size_t columns, const std::vector<std::string>& values) {
        std::vector<SQLValue> args(values.begin(), values.end());
        args.resize(columns);
        std::string marks = "?";
        for (size_t i = 1; i < columns; ++i) marks += ",?";
        ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate(
            "INSERT INTO " + into + " VALUES (" + marks + ")", args));
    }

    // Starts the server and points the mail settings at it.
    void startSmtp() {
        ScratchDir::write(path("smtpsink.py"), kSmtpSink);
        int port[2];
        ASSERT_EQ(pipe(port), 0);
        smtpPid_ = fork();
        if (smtpPid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the test program
            dup2(port[1], STDOUT_FILENO);
            execl("/usr/bin/python3", "python3", path("smtpsink.py").c_str(),
                  path("smtp-received").c_str(), nullptr);
            _exit(127);
        }
        close(port[1]);
        FILE* in = fdopen(port[0], "r");
        ASSERT_EQ(fscanf(in, "%d", &smtpPort_), 1) << "the SMTP server did not start";
        fclose(in);
        ScratchDir::write(path("mail-settings.conf"),
                          "MARROWKEEPER_SMTP_URL=smtp://127.0.0.1:" + std::to_string(smtpPort_) +
                              "\nMARROWKEEPER_MAIL_FROM=ledger@example.org\n");
    }
    // What the server was told, a line each (the message it took last is "smtp-received").
    std::string smtpLog() { return ScratchDir::read(path("smtp-received.log")); }
    std::string mailDump(const std::string& file) { return python(kMailDump, {file, dataDir_}); }

    // A mail choice as the page posts it, with the edited fields.
    bool mailChoice(const std::string& action, std::map<std::string, std::string> fields = {}) {
        UIEvent e;
        e.type = "mail";
        e.action = action;
        e.fields = std::move(fields);
        return send(e);
    }
    void expectPopup(const std::string& text, double seconds, bool centred = true) {
        ASSERT_FALSE(top()->toasts().empty());
        EXPECT_EQ(top()->toasts().back().text, text);
        EXPECT_EQ(top()->toasts().back().centred, centred);
        EXPECT_DOUBLE_EQ(top()->toasts().back().seconds, seconds);
        EXPECT_FALSE(top()->composer().has_value());
    }

    std::string path(const std::string& name) const { return dataDir_ + "/" + name; }
    // Runs a Python 3 script with arguments (no quotes in them); what it printed.
    std::string python(const std::string& script, const std::vector<std::string>& args) {
        ScratchDir::write(path("script.py"), script);
        std::string cmd = "/usr/bin/python3 " + path("script.py");
        for (const auto& a : args) cmd += " '" + a + "'";
        if (std::system((cmd + " >" + path("script.out") + " 2>&1").c_str()) != 0) {
        }
        return ScratchDir::read(path("script.out"));
    }
    std::vector<std::string> drafts() const {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(path("Drafts"), ec))
            out.push_back(e.path().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    pid_t smtpPid_ = -1;
    int smtpPort_ = 0;
};
