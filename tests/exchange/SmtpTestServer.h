#pragma once
// A one-connection SMTP server on 127.0.0.1 for the mail tests: it records the envelope
// and the message, and can refuse recipients. Every wait is bounded.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class SmtpTestServer {
  public:
    struct Received {
        std::string mailFrom;
        std::vector<std::string> recipients;
        std::string data;  // dot-unstuffed, CRLF line ends, without the final "."
        bool gotQuit = false;
    };

    explicit SmtpTestServer(bool refuseRecipients = false) : refuse_(refuseRecipients) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(listener_, 1);
        socklen_t len = sizeof addr;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~SmtpTestServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        close(listener_);
    }

    int port() const { return port_; }
    std::string url() const { return "smtp://127.0.0.1:" + std::to_string(port_); }
    // Valid once the session is over (the destructor or wait() joined the thread).
    const Received& received() const { return got_; }
    void wait() {
        if (thread_.joinable()) thread_.join();
    }

  private:
    // One line (without CRLF), or false on timeout, close or stop.
    bool readLine(int fd, std::string& line) {
        for (int rounds = 0; rounds < 100 && !stop_; ++rounds) {
            auto nl = buffer_.find("\r\n");
            if (nl != std::string::npos) {
                line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 2);
                return true;
            }
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char chunk[4096];
            ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) return false;
            buffer_.append(chunk, static_cast<size_t>(n));
            rounds = 0;  // data keeps coming: only silence counts against the bound
        }
        return false;
    }
    static void say(int fd, const std::string& s) {
        std::string line = s + "\r\n";
        (void)::send(fd, line.data(), line.size(), MSG_NOSIGNAL);
    }
    static std::string address(const std::string& cmd) {
        auto a = cmd.find('<'), b = cmd.rfind('>');
        return a == std::string::npos || b == std::string::npos ? "" : cmd.substr(a + 1, b - a - 1);
    }
    static std::string upper(std::string s) {
        for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        return s;
    }

    void serve() {
        int fd = -1;
        for (int i = 0; i < 100 && !stop_ && fd < 0; ++i) {  // at most 10 s for the client
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 100) > 0) fd = accept(listener_, nullptr, nullptr);
        }
        if (fd < 0) return;
        say(fd, "220 127.0.0.1 test server");
        std::string line;
        while (readLine(fd, line)) {
            std::string cmd = upper(line.substr(0, 4));
            if (cmd == "EHLO" || cmd == "HELO") {
                say(fd, "250 127.0.0.1");
            } else if (cmd == "MAIL") {
                got_.mailFrom = address(line);
                say(fd, "250 OK");
            } else if (cmd == "RCPT") {
                if (refuse_) {
                    say(fd, "550 5.1.1 No such user");
                } else {
                    got_.recipients.push_back(address(line));
                    say(fd, "250 OK");
                }
            } else if (cmd == "DATA") {
                say(fd, "354 End with <CRLF>.<CRLF>");
                std::string data;
                while (readLine(fd, line) && line != ".") {
                    if (!line.empty() && line[0] == '.') line.erase(0, 1);
                    data += line + "\r\n";
                }
                got_.data = data;
                say(fd, "250 OK queued");
            } else if (cmd == "QUIT") {
                got_.gotQuit = true;
                say(fd, "221 Bye");
                break;
            } else if (cmd == "RSET" || cmd == "NOOP") {
                say(fd, "250 OK");
            } else {
                say(fd, "502 Not implemented");
            }
        }
        close(fd);
    }

    bool refuse_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::string buffer_;
    Received got_;
};
