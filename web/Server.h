#pragma once
// The local web server that shows the app in a browser: the page draws the top screen
// from JSON and posts the user's events back. Only this folder knows HTTP and JSON.
//
// Security: it listens on 127.0.0.1 only, every request must carry the per-start access
// token (the first load trades the token in the URL for a cookie), the Host header must
// name this server (DNS rebinding) and posts must come from its own origin (CSRF).
#include <atomic>
#include <cstdint>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

class Navigator;

namespace web {

struct Request {
    std::string method;                              // "GET", "POST", ...
    std::string path;                                // without the query
    std::multimap<std::string, std::string> params;  // query parameters
    std::map<std::string, std::string> headers;      // names in lower case
    std::string body;

    std::string header(const std::string& lowerName) const;
    std::string param(const std::string& name) const;
    bool hasParam(const std::string& name) const { return params.count(name) > 0; }
};

struct Response {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // besides the fixed ones
    // A file sent as it is read, instead of the body (a backup may be hundreds of MB).
    std::shared_ptr<std::istream> stream;
    uint64_t streamBytes = 0;

    std::string header(const std::string& name) const;
};

// Headers sent with every response, whatever its status.
const std::vector<std::pair<std::string, std::string>>& securityHeaders();

// Largest request body accepted; larger ones are answered with 413 as soon as they are
// known to be larger, before the rest is read.
constexpr size_t kMaxBodyBytes = 1 << 20;
// But for uploads (POST /api/upload?serial=S&id=ID, the file as the body), which stream to
// a temporary file and are refused past this: the largest ledger a restore takes.
constexpr uint64_t kMaxUploadBytes = uint64_t{2} << 30;
// Hands a request body over in pieces to `sink` until it is read or `sink` says stop; false
// when it was not read whole.
using BodyReader = std::function<bool(const std::function<bool(const char*, size_t)>& sink)>;
// Deepest nesting of arrays and objects in a request body; deeper ones are refused with
// 400 before they are parsed (a parsed megabyte of brackets would take hundreds of MB).
constexpr int kMaxNesting = 64;
// Server workers: enough that connections left silent or trickling, and the idle
// keep-alive connections of a few tabs, leave plenty for real requests.
constexpr size_t kWorkers = 32;

class WebServer {
  public:
    // `appMutex` guards every call into the app, which is single-threaded.
    WebServer(Navigator& navigator, std::mutex& appMutex);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Binds 127.0.0.1:port (0: any free port). False when the port cannot be had.
    bool bind(int port);
    // Serves on a thread of its own until stop(); bind() first. Returns once serving.
    bool start();
    void stop();

    int port() const { return port_; }
    const std::string& token() const { return token_; }
    // http://127.0.0.1:PORT/?token=HEX
    std::string startURL() const;

    // The whole request handling, without sockets, for every request but uploads.
    Response handle(const Request& request);
    // An upload: its body is read from `body` into a temporary file, which becomes a "file"
    // event for the file picker `id` of the screen `serial`. Sets `closeAfter` when the
    // body was left unread.
    Response upload(const Request& request, const BodyReader& body, bool* closeAfter);

  private:
    Response route(const Request& request);
    // `host`: the request's (checked) Host header, for the links the page is to open.
    Response view(const std::string& host);
    Response postEvent(const Request& request);
    Response postScreen(const Request& request);
    // Hands the outcomes of work done off the lock to the app; under the app mutex.
    void deliverBackgroundWork();
    Response attachment(const Request& request);
    Response document(const Request& request);
    Response backup(const Request& request);
    bool hostAllowed(const std::string& host) const;
    bool originAllowed(const std::string& origin) const;
    bool authorised(const Request& request) const;

    struct Http;
    Navigator& navigator_;
    std::mutex& appMutex_;
    std::unique_ptr<Http> http_;
    std::thread thread_;
    std::atomic<bool> loopEnded_{false};
    int port_ = 0;
    std::string token_;
    // Documents the app has opened (Navigator::openURL with a documents-directory file link):
    // the only files the document route serves. Guarded by the app mutex.
    std::set<std::string> offeredDocuments_;
};

// 128 random bits as 32 lower-case hex digits.
std::string makeAccessToken();

}  // namespace web
