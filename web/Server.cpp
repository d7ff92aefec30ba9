#include "web/Server.h"

#include <fcntl.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "platform/BackgroundWork.h"
#include "platform/DocumentsDirectory.h"
#include "platform/EmbeddedFiles.h"
#include "platform/Localisation.h"
#include "storage/LedgerBackup.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenMode.h"
#include "web/EventDecoder.h"
#include "web/ViewJson.h"

namespace web {

namespace {

using nlohmann::json;
using ojson = nlohmann::ordered_json;

constexpr const char* kCookieName = "mk_session";

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Compares without stopping at the first difference, so timing tells nothing of the token.
bool sameSecret(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return false;
    unsigned char diff = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return diff == 0;
}

std::string cookieValue(const std::string& cookieHeader, const std::string& name) {
    size_t pos = 0;
    while (pos < cookieHeader.size()) {
        size_t end = cookieHeader.find(';', pos);
        if (end == std::string::npos) end = cookieHeader.size();
        std::string part = cookieHeader.substr(pos, end - pos);
        size_t first = part.find_first_not_of(' ');
        if (first != std::string::npos) {
            part.erase(0, first);
            size_t eq = part.find('=');
            if (eq != std::string::npos && part.substr(0, eq) == name) return part.substr(eq + 1);
        }
        pos = end + 1;
    }
    return "";
}

std::string dump(const ojson& j) {
    // Ledger texts may hold broken UTF-8; the page gets replacement characters instead.
    return j.dump(-1, ' ', false, ojson::error_handler_t::replace);
}

Response jsonResponse(int status, const ojson& body) {
    Response r;
    r.status = status;
    r.contentType = "application/json; charset=utf-8";
    r.body = dump(body);
    return r;
}

Response errorJson(int status, const std::string& why) {
    ojson body = ojson::object();
    body["error"] = why;
    return jsonResponse(status, body);
}

Response plain(int status, const std::string& text) {
    Response r;
    r.status = status;
    r.body = text + "\n";
    return r;
}

// Points the answer at a file, sent a piece at a time as the page reads it: an export or a
// backup of a large ledger is never held in memory. False when it cannot be opened.
bool streamFile(Response& r, const std::string& path) {
    auto in = std::make_shared<std::ifstream>(path, std::ios::binary);
    if (!*in || !in->seekg(0, std::ios::end)) return false;
    const auto end = in->tellg();
    if (end < 0) return false;
    r.streamBytes = static_cast<uint64_t>(end);
    r.stream = std::move(in);
    return true;
}

std::optional<long long> parseInteger(const std::string& s) {
    long long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

bool isMimeType(const std::string& s) {
    if (s.empty() || s.size() > 100 || std::count(s.begin(), s.end(), '/') != 1) return false;
    return std::all_of(s.begin(), s.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '/' || c == '.' || c == '+' || c == '-' || c == '_';
    });
}

// filename="..." keeps printable ASCII only; filename* carries the exact UTF-8 name.
std::string contentDisposition(const std::string& fileName) {
    std::string ascii;
    std::string encoded;
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char c : fileName) {
        bool safe = std::isalnum(c) || c == '.' || c == '-' || c == '_';
        ascii += (c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '/') ? char(c) : '_';
        if (safe) {
            encoded += char(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    if (ascii.empty()) ascii = "attachment";
    return "attachment; filename=\"" + ascii + "\"; filename*=UTF-8''" + encoded;
}

std::string percentDecode(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() &&
            std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The name of the document a "file://" link names directly in the documents directory.
std::optional<std::string> documentName(const std::string& url) {
    if (url.rfind("file://", 0) != 0) return std::nullopt;
    const std::string path = percentDecode(url.substr(7));
    const std::string dir = DocumentsDirectory::path() + "/";
    if (path.size() <= dir.size() || path.compare(0, dir.size(), dir) != 0) return std::nullopt;
    std::string name = path.substr(dir.size());
    if (name.find('/') != std::string::npos || name == "." || name == "..") return std::nullopt;
    return name;
}

// The name of the backup a "file://" link names in the backup folder.
std::optional<std::string> backupName(const std::string& url) {
    if (url.rfind("file://", 0) != 0) return std::nullopt;
    const std::string path = percentDecode(url.substr(7));
    const std::string dir = LedgerBackup(DocumentsDirectory::path()).folder() + "/";
    if (path.size() <= dir.size() || path.compare(0, dir.size(), dir) != 0) return std::nullopt;
    std::string name = path.substr(dir.size());
    if (name.find('/') != std::string::npos) return std::nullopt;
    return name;
}

std::string documentType(const std::string& name) {
    const std::string ext = lower(name.substr(std::min(name.rfind('.'), name.size())));
    if (ext == ".xlsx") return "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
    if (ext == ".csv") return "text/csv";
    return "application/octet-stream";
}

std::string queryValue(const std::string& s) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// A body refused before it is read is still read, and dropped, up to this size, so that a
// client still sending it gets the answer; a larger one is left unread and its connection
// closed.
constexpr long long kMaxDroppedBytes = 16 << 20;

// Drops a refused body; false when it was left unread.
bool dropBody(const Request& req, const BodyReader& body) {
    const auto declared = parseInteger(req.header("content-length"));
    if (declared && *declared > kMaxDroppedBytes) return false;
    long long read = 0;
    return body([&read](const char*, size_t n) { return (read += n) <= kMaxDroppedBytes; });
}

// Whether arrays and objects nest at most `limit` deep, brackets inside strings aside.
bool nestingWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

// The page's files: "/" is index.html; every script module and style sheet compiled in
// from web/static/ is served at its path there ("/app.js", "/js/render.js"). Nothing else
// is: not index.html by name, not the other resources, nothing from the disk.
std::optional<std::pair<std::string_view, const char*>> staticFile(const std::string& path) {
    if (path == "/") {
        auto page = embeddedFile("web/static/index.html");
        if (page) return std::make_pair(*page, "text/html; charset=utf-8");
        return std::nullopt;
    }
    const char* type = path.ends_with(".js")    ? "text/javascript; charset=utf-8"
                       : path.ends_with(".css") ? "text/css; charset=utf-8"
                                                : nullptr;
    if (!type || path.find("..") != std::string::npos) return std::nullopt;
    auto content = embeddedFile("web/static" + path);
    if (!content) return std::nullopt;
    return std::make_pair(*content, type);
}

}  // namespace

std::string Request::header(const std::string& lowerName) const {
    auto it = headers.find(lowerName);
    return it == headers.end() ? "" : it->second;
}

std::string Request::param(const std::string& name) const {
    auto it = params.find(name);
    return it == params.end() ? "" : it->second;
}

std::string Response::header(const std::string& name) const {
    for (const auto& [k, v] : headers) {
        if (lower(k) == lower(name)) return v;
    }
    return "";
}

const std::vector<std::pair<std::string, std::string>>& securityHeaders() {
    static const std::vector<std::pair<std::string, std::string>> headers = {
        {"Content-Security-Policy",
         "default-src 'self'; object-src 'none'; base-uri 'self'; form-action 'self'; "
         "frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-store"},
    };
    return headers;
}

std::string makeAccessToken() {
    unsigned char bytes[16] = {};
    bool filled = false;
    if (std::FILE* f = std::fopen("/dev/urandom", "rb")) {
        filled = std::fread(bytes, 1, sizeof bytes, f) == sizeof bytes;
        std::fclose(f);
    }
    if (!filled) {
        std::random_device rd;
        for (auto& b : bytes) b = static_cast<unsigned char>(rd());
    }
    static const char* hex = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += hex[b >> 4];
        token += hex[b & 15];
    }
    return token;
}

// ---------------------------------------------------------------------------------------
struct WebServer::Http {
    httplib::Server server;
};

WebServer::WebServer(Navigator& navigator, std::mutex& appMutex)
    : navigator_(navigator),
      appMutex_(appMutex),
      http_(std::make_unique<Http>()),
      token_(makeAccessToken()) {
    auto& svr = http_->server;
    httplib::Headers fixed;
    for (const auto& [k, v] : securityHeaders()) fixed.emplace(k, v);
    // Also covers the answers the HTTP library writes itself (413, bad request lines).
    svr.set_default_headers(fixed);
    // Bodies are read by the handlers below, which stop at kMaxBodyBytes but for uploads.
    svr.set_payload_max_length(kMaxUploadBytes);
    // Answers go out as header and body writes; without this the second waits for the
    // browser's delayed acknowledgement, some 40 ms on every request.
    svr.set_tcp_nodelay(true);
    // A worker serves one connection at a time, also while it waits for its next request
    // or for the rest of a slow one: a connection left silent is dropped after 2 s, and
    // there are workers to spare for ones that trickle.
    svr.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    svr.set_read_timeout(2, 0);
    svr.set_keep_alive_timeout(2);
    svr.set_keep_alive_max_count(100);

    auto request = [](const httplib::Request& in) {
        Request req;
        req.method = in.method;
        req.path = in.path;
        for (const auto& [k, v] : in.params) req.params.emplace(k, v);
        for (const auto& [k, v] : in.headers) req.headers.emplace(lower(k), v);
        return req;
    };
    auto respond = [](Response res, httplib::Response& out) {
        out.status = res.status;
        for (const auto& [k, v] : res.headers) {
            bool isFixed = std::any_of(securityHeaders().begin(), securityHeaders().end(),
                                       [&](const auto& h) { return h.first == k; });
            if (!isFixed) out.set_header(k.c_str(), v);
        }
        if (res.stream) {
            auto stream = std::move(res.stream);
            out.set_content_provider(
                res.streamBytes, res.contentType,
                [stream](size_t offset, size_t length, httplib::DataSink& sink) {
                    char buffer[1 << 16];
                    stream->seekg(static_cast<std::streamoff>(offset));
                    stream->read(buffer,
                                 static_cast<std::streamsize>(std::min(length, sizeof buffer)));
                    return stream->gcount() > 0 && sink.write(buffer, stream->gcount());
                });
            return;
        }
        // What set_content does, without copying the body.
        out.body = std::move(res.body);
        out.set_header("Content-Type", res.contentType);
    };
    auto adapter = [this, request, respond](const httplib::Request& in, httplib::Response& out) {
        respond(handle(request(in)), out);
    };
    // Requests with a body: read here, so that a body past its limit is refused as soon as
    // that is known instead of being held in memory first.
    auto withBody = [this, request, respond](const httplib::Request& in, httplib::Response& out,
                                             const httplib::ContentReader& reader) {
        Request req = request(in);
        const BodyReader body = [&reader](const std::function<bool(const char*, size_t)>& sink) {
            return reader([&sink](const char* data, size_t n) { return sink(data, n); });
        };
        bool closeAfter = false;
        if (req.method == "POST" && req.path == "/api/upload") {
            respond(upload(req, body, &closeAfter), out);
        } else if (const auto declared = parseInteger(req.header("content-length"));
                   declared && *declared > static_cast<long long>(kMaxBodyBytes)) {
            closeAfter = !dropBody(req, body);
            respond(plain(413, "request too large"), out);
        } else {
            bool tooLarge = false;
            const bool whole = body([&](const char* data, size_t n) {
                tooLarge = req.body.size() + n > kMaxBodyBytes;
                if (!tooLarge) req.body.append(data, n);
                return !tooLarge;
            });
            closeAfter = !whole;
            respond(tooLarge ? plain(413, "request too large")
                    : whole  ? handle(req)
                             : plain(400, "bad request"),
                    out);
        }
        // What is left of a body nobody reads must not be taken for the next request.
        if (closeAfter) out.set_header("Connection", "close");
    };
    svr.Get(".*", adapter);
    svr.Post(".*", withBody);
    svr.Put(".*", withBody);
    svr.Delete(".*", withBody);
    svr.Delete(".*", adapter);
    svr.Patch(".*", withBody);
    svr.Options(".*", adapter);
    svr.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            const char* why = res.status == 413 ? "request too large\n" : "bad request\n";
            res.set_content(why, "text/plain; charset=utf-8");
        }
    });
}

WebServer::~WebServer() {
    stop();
}

bool WebServer::bind(int port) {
    auto& svr = http_->server;
    if (port == 0) {
        int p = svr.bind_to_any_port("127.0.0.1");
        if (p <= 0) return false;
        port_ = p;
        return true;
    }
    if (port < 0 || port > 65535 || !svr.bind_to_port("127.0.0.1", port)) return false;
    port_ = port;
    return true;
}

bool WebServer::start() {
    if (port_ == 0 || thread_.joinable()) return false;
    loopEnded_ = false;
    thread_ = std::thread([this] {
        http_->server.listen_after_bind();
        loopEnded_ = true;
    });
    // stop() only takes effect once the loop runs; wait for it so that a stop right after
    // start cannot be lost.
    while (!http_->server.is_running() && !loopEnded_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return !loopEnded_;
}

void WebServer::stop() {
    http_->server.stop();
    if (thread_.joinable()) thread_.join();
}

std::string WebServer::startURL() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/?token=" + token_;
}

bool WebServer::hostAllowed(const std::string& host) const {
    std::string p = ":" + std::to_string(port_);
    return host == "127.0.0.1" + p || host == "localhost" + p;
}

bool WebServer::originAllowed(const std::string& origin) const {
    std::string p = ":" + std::to_string(port_);
    return origin == "http://127.0.0.1" + p || origin == "http://localhost" + p;
}

bool WebServer::authorised(const Request& req) const {
    if (sameSecret(cookieValue(req.header("cookie"), kCookieName), token_)) return true;
    return req.hasParam("token") && sameSecret(req.param("token"), token_);
}

Response WebServer::handle(const Request& req) {
    Response res = route(req);
    for (const auto& h : securityHeaders()) res.headers.push_back(h);
    return res;
}

Response WebServer::route(const Request& req) {
    if (!hostAllowed(req.header("host"))) return plain(403, "forbidden host");

    // The first load trades the token in the address for a cookie, then drops it from the
    // address bar so it does not linger in history.
    if (req.method == "GET" && req.path == "/" && req.hasParam("token")) {
        if (!sameSecret(req.param("token"), token_)) {
            return plain(403, "missing or wrong access token");
        }
        Response r = plain(303, "see /");
        r.headers.emplace_back("Location", "/");
        r.headers.emplace_back("Set-Cookie", std::string(kCookieName) + "=" + token_ +
                                                 "; HttpOnly; SameSite=Strict; Path=/");
        return r;
    }
    if (!authorised(req)) return plain(403, "missing or wrong access token");

    if (req.method == "POST") {
        std::string origin = req.header("origin");
        if (!origin.empty() && !originAllowed(origin)) return plain(403, "foreign origin");
        std::string type = lower(req.header("content-type"));
        if (type.rfind("application/json", 0) != 0) {
            return plain(415, "content type must be application/json");
        }
        if (req.body.size() > kMaxBodyBytes) return plain(413, "request too large");
        if (!nestingWithin(req.body, kMaxNesting)) return errorJson(400, "nested too deeply");
        if (req.path == "/api/event") return postEvent(req);
        if (req.path == "/api/screen") return postScreen(req);
    } else if (req.method == "GET" || req.method == "HEAD") {
        if (auto file = staticFile(req.path)) {
            Response r;
            r.contentType = file->second;
            r.body = std::string(file->first);
            return r;
        }
        if (req.path == "/api/view") return view(req.header("host"));
        if (req.path == "/api/attachment") return attachment(req);
        if (req.path == "/api/document") return document(req);
        if (req.path == "/api/backup") return backup(req);
    } else {
        return plain(405, "method not allowed");
    }
    return plain(404, "not found");
}

Response WebServer::view(const std::string& host) {
    std::lock_guard<std::mutex> lock(appMutex_);
    // Finished background work may change the screen, or replace every screen.
    deliverBackgroundWork();
    const Screen* top = navigator_.top();
    if (!top) return errorJson(503, "no screen");
    // Written straight from the view tree: this answer follows every event.
    Response r;
    r.contentType = "application/json; charset=utf-8";
    std::string& out = r.body;
    out.reserve(16384);
    out += "{\"screen\":";
    appendJson(out, top->describe());
    out += ",\"depth\":";
    out += std::to_string(navigator_.depth());
    const Transition& t = navigator_.lastTransition();
    out += ",\"transition\":{\"kind\":";
    appendJsonString(out, t.kind);
    out += ",\"animated\":";
    out += t.animated ? "true" : "false";
    out += ",\"sequence\":";
    out += std::to_string(t.sequence);
    out += "},\"openURLs\":[";
    bool first = true;
    for (const auto& url : navigator_.takeURLsToOpen()) {
        if (!first) out += ',';
        first = false;
        // A document the app opened becomes a download from this server.
        if (auto name = documentName(url)) {
            offeredDocuments_.insert(*name);
            appendJsonString(out, "http://" + host + "/api/document?name=" + queryValue(*name));
        } else if (auto backup = backupName(url)) {
            appendJsonString(out, "http://" + host + "/api/backup?name=" + queryValue(*backup));
        } else {
            appendJsonString(out, url);
        }
    }
    out += "],\"banner\":";
    appendJsonString(out, navigator_.banner());
    out += ",\"bannerAction\":";
    appendJsonString(out, navigator_.bannerAction());
    // The page names its language for screen readers.
    out += ",\"language\":";
    appendJsonString(out, Localisation::language());
    // The page asks again shortly while work goes on that will change what it shows.
    out += BackgroundWork::pending() ? ",\"pending\":true}" : ",\"pending\":false}";
    return r;
}

Response WebServer::postEvent(const Request& req) {
    json body = json::parse(req.body, nullptr, false);
    if (body.is_discarded()) return errorJson(400, "malformed JSON");
    std::string why;
    auto decoded = decodeEvent(body, &why);
    if (!decoded) return errorJson(400, why);
    {
        std::lock_guard<std::mutex> lock(appMutex_);
        deliverBackgroundWork();
        Screen* top = navigator_.top();
        if (!top) return errorJson(503, "no screen");
        // The user acted on a screen that is no longer shown: applying the event to the
        // screen now on top would act on something the user never saw.
        if (decoded->serial != top->serial()) return errorJson(409, "stale screen");
        bool applied = top->handleEvent(decoded->event);
        navigator_.drain();
        if (!applied) return errorJson(422, "event does not apply to this screen");
    }
    return view(req.header("host"));
}

void WebServer::deliverBackgroundWork() {
    BackgroundWork::deliver();
    navigator_.drain();
}

Response WebServer::postScreen(const Request& req) {
    json body = json::parse(req.body, nullptr, false);
    if (body.is_discarded()) return errorJson(400, "malformed JSON");
    auto dimension = [&](const char* key) -> std::optional<int> {
        if (!body.is_object() || !body.contains(key) || !body[key].is_number_integer()) {
            return std::nullopt;
        }
        auto v = body[key].get<long long>();
        if (v < 1 || v > 100000) return std::nullopt;
        return static_cast<int>(v);
    };
    auto w = dimension("width");
    auto h = dimension("height");
    if (!w || !h) return errorJson(400, "width and height must be whole pixels");
    {
        std::lock_guard<std::mutex> lock(appMutex_);
        ScreenMode::setPixelSize(std::make_pair(*w, *h));
    }
    return view(req.header("host"));
}

Response WebServer::attachment(const Request& req) {
    auto serial = parseInteger(req.param("serial"));
    auto index = parseInteger(req.param("index"));
    if (!serial || !index || *serial < 0 || *index < 0) return plain(404, "no such attachment");
    std::lock_guard<std::mutex> lock(appMutex_);
    Screen* top = navigator_.top();
    if (!top || top->serial() != static_cast<uint64_t>(*serial) || !top->composer()) {
        return plain(404, "no such attachment");
    }
    const auto& files = top->composer()->draft.attachments;
    if (static_cast<unsigned long long>(*index) >= files.size()) {
        return plain(404, "no such attachment");
    }
    const MailAttachment& a = files[static_cast<size_t>(*index)];
    Response r;
    if (!a.path.empty() && !streamFile(r, a.path)) return plain(404, "no such attachment");
    r.contentType = isMimeType(a.mimeType) ? a.mimeType : "application/octet-stream";
    if (a.path.empty()) r.body = a.bytes;
    r.headers.emplace_back("Content-Disposition", contentDisposition(a.fileName));
    return r;
}

Response WebServer::document(const Request& req) {
    const std::string name = req.param("name");
    std::lock_guard<std::mutex> lock(appMutex_);
    if (!offeredDocuments_.count(name)) return plain(404, "no such document");
    Response r;
    if (!streamFile(r, DocumentsDirectory::file(name))) return plain(404, "no such document");
    r.contentType = documentType(name);
    r.headers.emplace_back("Content-Disposition", contentDisposition(name));
    return r;
}

Response WebServer::backup(const Request& req) {
    // Only a backup the folder lists, by its name alone: nothing else of the page's request
    // reaches the file system.
    const auto path = LedgerBackup(DocumentsDirectory::path()).pathOf(req.param("name"));
    Response r;
    if (!path || !streamFile(r, *path)) return plain(404, "no such backup");
    r.contentType = "application/vnd.sqlite3";
    r.headers.emplace_back("Content-Disposition", contentDisposition(req.param("name")));
    return r;
}

Response WebServer::upload(const Request& req, const BodyReader& body, bool* closeAfter) {
    Response refused;
    if (!hostAllowed(req.header("host"))) {
        refused = plain(403, "forbidden host");
    } else if (!authorised(req)) {
        refused = plain(403, "missing or wrong access token");
    } else if (!req.header("origin").empty() && !originAllowed(req.header("origin"))) {
        refused = plain(403, "foreign origin");
    } else if (lower(req.header("content-type")) != "application/octet-stream") {
        refused = plain(415, "content type must be application/octet-stream");
    } else if (!parseInteger(req.param("serial")) || req.param("id").empty()) {
        refused = errorJson(400, "an upload names the screen's serial and the file picker's id");
    }
    if (refused.status != 200) {
        *closeAfter = !dropBody(req, body);
        return refused;
    }

    // Stored beside the ledger, in a file only this user may read; removed when the screen
    // lets go of it.
    auto file = std::make_shared<UploadedFile>();
    const auto declared = parseInteger(req.header("content-length"));
    if (declared && static_cast<uint64_t>(*declared) > kMaxUploadBytes) {
        file->refused = true;
        file->bytes = static_cast<uint64_t>(*declared);
        *closeAfter = true;
    } else {
        file->path = LedgerBackup(DocumentsDirectory::path()).temporaryPath();
        std::FILE* out = nullptr;
        if (const int fd =
                ::open(file->path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            fd >= 0)
            out = ::fdopen(fd, "wb");
        bool written = out != nullptr;
        const bool whole = written && body([&](const char* data, size_t n) {
                               file->refused = file->bytes + n > kMaxUploadBytes;
                               written = !file->refused && std::fwrite(data, 1, n, out) == n;
                               file->bytes += n;
                               return written;
                           });
        if (out && std::fclose(out) != 0) written = false;
        if (!whole && written) {
            *closeAfter = true;
            return plain(400, "the upload was cut short");
        }
        // Too large, or the disk would not take it: refused, and the screen says so.
        if (!written) {
            *closeAfter = !whole;
            file->refused = true;
            std::remove(file->path.c_str());
            file->path.clear();
        }
    }
    {
        std::lock_guard<std::mutex> lock(appMutex_);
        Screen* top = navigator_.top();
        if (!top) return errorJson(503, "no screen");
        if (static_cast<uint64_t>(*parseInteger(req.param("serial"))) != top->serial())
            return errorJson(409, "stale screen");
        UIEvent e;
        e.type = "file";
        e.id = req.param("id");
        e.file = std::move(file);
        const bool applied = top->handleEvent(e);
        navigator_.drain();
        if (!applied) return errorJson(422, "event does not apply to this screen");
    }
    return view(req.header("host"));
}

}  // namespace web
