#pragma once
// The app fixture with pinned device facts and no mail settings from the environment, a
// loopback SMTP server in a child process, and a MIME reader independent of the writer.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "platform/DeviceFacts.h"
#include "platform/MailComposer.h"
#include "tests/support/AppHarness.h"

// Writes "sender\nrecipients\n" and the raw message to a file, or refuses every recipient
// (writing the refused address instead).
inline const char* const kSmtpSink = R"(class Sink:
    def __init__(self, out, mode):
        self.out, self.refuse = out, mode == "refuse"
    @classmethod
    def from_cli(cls, parser, *args):
        return cls(*args)
    async def handle_RCPT(self, server, session, envelope, address, options):
        if self.refuse:
            open(self.out, "w").write(address)
            return "550 5.1.1 No such user"
        envelope.rcpt_tos.append(address)
        return "250 OK"
    async def handle_DATA(self, server, session, envelope):
        with open(self.out, "wb") as f:
            f.write(f"{envelope.mail_from}\n{' '.join(envelope.rcpt_tos)}\n".encode())
            f.write(envelope.original_content)
        return "250 OK"
)";

// A MIME part or message: headers by lower-case name (unfolded), the parts.
struct Mime {
    std::map<std::string, std::string> headers;
    std::string body;
    std::vector<Mime> parts;
    std::string operator[](const std::string& name) const {
        auto it = headers.find(name);
        return it == headers.end() ? "" : it->second;
    }
    std::string decoded() const {
        return (*this)["content-transfer-encoding"] == "base64" ? mime::decodeBase64(body) : body;
    }
    static Mime read(const std::string& text) {
        Mime m;
        size_t end = text.find("\r\n\r\n");
        m.body = end == std::string::npos ? "" : text.substr(end + 4);
        std::string head = text.substr(0, end);
        for (size_t pos = 0, nl; pos < head.size(); pos = nl + 2) {
            nl = std::min(head.find("\r\n", pos), head.size());
            std::string line = head.substr(pos, nl - pos);
            std::string name = line.substr(0, line.find(':'));
            for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            std::string value = line.substr(std::min(line.find(':') + 1, line.size()));
            m.headers[name] = value.erase(0, value.find_first_not_of(' '));
        }
        auto b = m["content-type"].find("boundary=\"");
        if (b == std::string::npos) return m;
        std::string type = m["content-type"], body = "\r\n" + m.body;
        std::string sep = "\r\n--" + type.substr(b + 10, type.find('"', b + 10) - b - 10);
        for (size_t pos = body.find(sep), next; pos != std::string::npos; pos = next) {
            size_t start = pos + sep.size();
            if (body.compare(start, 2, "--") == 0 ||
                (next = body.find(sep, start + 2)) == std::string::npos)
                break;
            m.parts.push_back(read(body.substr(start + 2, next - start - 2)));
        }
        return m;
    }
};

class ExchangeHarness : public AppHarness {
  protected:
    void SetUp() override {
        AppHarness::SetUp();
        for (const char* name :
             {"MARROWKEEPER_SMTP_URL", "MARROWKEEPER_SMTP_USER", "MARROWKEEPER_SMTP_PASSWORD",
              "MARROWKEEPER_MAIL_FROM", "MARROWKEEPER_STORE_URL", "MARROWKEEPER_STORE_REVIEWS_URL"})
            unsetenv(name);
        facts_ = std::make_shared<FixedDeviceFacts>();
        facts_->name = "Marrowkeeper";
        facts_->version = "1.2";
        facts_->locale = "es_ES";
        facts_->language = "es";
        facts_->system = "Linux";
        facts_->release = "6.1.0-18-amd64";
        facts_->machine = "ThinkPad X1";
        DeviceFacts::install(facts_);
    }
    void TearDown() override {
        if (smtpPid_ > 0) {
            kill(smtpPid_, SIGTERM);
            int i = 0;
            for (; i < 40 && waitpid(smtpPid_, nullptr, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (i == 40 && kill(smtpPid_, SIGKILL) == 0) waitpid(smtpPid_, nullptr, 0);
        }
        Navigator::setShared(nullptr);
        MailComposer::setTransport(nullptr);
        DeviceFacts::install(nullptr);
        AppHarness::TearDown();
    }
    void startApp() {
        start();
        Navigator::setShared(&nav());
    }

    // Starts the server on a free 127.0.0.1 port and points the mail settings at it.
    void startSmtp(bool refuse) {
        writeFile(path("smtpsink.py"), kSmtpSink);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        int probe = socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&addr), len), 0);
        getsockname(probe, reinterpret_cast<sockaddr*>(&addr), &len);
        close(probe);
        const std::string listen = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
        const std::string out = path("smtp-received"), mode = refuse ? "refuse" : "accept";
        smtpPid_ = fork();
        if (smtpPid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the test program
            if (chdir(dataDir_.c_str()) == 0)
                execl("/usr/bin/python3", "python3", "-m", "aiosmtpd", "-n", "-l", listen.c_str(),
                      "-c", "smtpsink.Sink", out.c_str(), mode.c_str(), nullptr);
            _exit(127);
        }
        for (int i = 0; i < 100; ++i) {  // at most 10 s to come up
            int s = socket(AF_INET, SOCK_STREAM, 0);
            bool up = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
            close(s);
            if (up) break;
            ASSERT_LT(i, 99) << "the SMTP server did not start";
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        writeFile(path("mail-settings.conf"), "MARROWKEEPER_SMTP_URL=smtp://" + listen +
                                                  "\nMARROWKEEPER_MAIL_FROM=ledger@example.org\n");
    }

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
    static std::string readFile(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void writeFile(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
    }
    // Runs a Python 3 script with arguments (no quotes in them); what it printed.
    std::string python(const std::string& script, const std::vector<std::string>& args = {}) {
        writeFile(path("script.py"), script);
        std::string cmd = "/usr/bin/python3 " + path("script.py");
        for (const auto& a : args) cmd += " '" + a + "'";
        std::string out;
        if (FILE* p = popen((cmd + " 2>&1").c_str(), "r")) {
            char buf[4096];
            for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
            pclose(p);
        }
        return out;
    }
    std::vector<std::string> drafts() const {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(path("Drafts"), ec))
            out.push_back(e.path().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    std::shared_ptr<FixedDeviceFacts> facts_;
    pid_t smtpPid_ = -1;
};
