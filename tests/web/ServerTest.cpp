// The web server over a real loopback socket with a small set of screens: access token
// and cookie, host and origin checks, stale screens, refused input, size and nesting
// limits, stalled connections, the fixed headers, events reaching the screen logic,
// uploads, and backups served by listed name only.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/DocumentsDirectory.h"
#include "tests/sql/ScratchDir.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenMode.h"
#include "web/Server.h"

using nlohmann::json;
using testing::HasSubstr;

namespace {

class DetailScreen : public Screen {
  public:
    DetailScreen() : Screen("DetailScreen") {
        title = "Detail";
        add<Button>("backBtn").action = "backEvent";
        on("backEvent",
           [this](const ActionArgs&) { navigationController()->popViewControllerAnimated(true); });
    }
};

// A form: a button that opens the detail screen, a hidden one, and operations that present a
// mail with an attachment and open a link.
class FormScreen : public Screen {
  public:
    FormScreen() : Screen("FormScreen") {
        title = "Form";
        auto& open = add<Button>("openButton");
        open.action = "openDetailEvent";
        on("openDetailEvent", [this](const ActionArgs&) {
            navigationController()->pushViewController(std::make_unique<DetailScreen>(), true);
        });
        add<Button>("mailBtn").action = "mailEvent";
        add<Button>("storeBtn").action = "storeEvent";
        auto& hidden = add<Button>("hiddenBtn");
        hidden.action = "openDetailEvent";
        hidden.hidden = true;
        on("mailEvent", [this](const ActionArgs&) {
            ComposerSheet sheet;
            sheet.draft.subject = "Orders";
            sheet.draft.attachments.push_back({"Orders \"2024\".CSV", "text/csv", "a,b\n1,2\n"});
            sheet.draft.attachments.push_back(MailAttachment::file(
                "Orders.xlsx", "application/zip", DocumentsDirectory::file("Orders.xlsx")));
            presentComposer(std::move(sheet));
        });
        on("storeEvent", [this](const ActionArgs&) {
            navigationController()->openURL("https://example.org/app");
        });
        add<FilePicker>("filePicker").action = "fileEvent";
        on("fileEvent", [this](const ActionArgs& a) {
            picked = {a.file->refused, a.file->bytes, ScratchDir::read(a.file->path)};
        });
    }
    std::tuple<bool, uint64_t, std::string> picked;  // refused, size, content
};

class WebServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DocumentsDirectory::setPath(documents.path());
        nav.setRoot(std::make_unique<FormScreen>());
        server = std::make_unique<web::WebServer>(nav, mutex);
        ASSERT_TRUE(server->bind(0));
        ASSERT_TRUE(server->start());
        client = std::make_unique<httplib::Client>("127.0.0.1", server->port());
        client->set_connection_timeout(5);
        client->set_read_timeout(10);
    }
    void TearDown() override {
        client.reset();
        server->stop();
        ScreenMode::setPixelSize(std::nullopt);
    }

    httplib::Headers session() const {
        return {{"Cookie", "theme=dark; mk_session=" + server->token()}};
    }
    std::string origin() const { return "http://127.0.0.1:" + std::to_string(server->port()); }
    std::string cookie(const std::string& token) const { return "mk_session=" + token; }

    httplib::Result postJson(const std::string& path, const std::string& body,
                             httplib::Headers headers = {}) {
        if (headers.empty()) headers = session();
        return client->Post(path.c_str(), headers, body, "application/json");
    }
    httplib::Result event(const json& body) {
        return postJson("/api/event", body.dump(), session());
    }
    uint64_t topSerial() {
        std::lock_guard<std::mutex> lock(mutex);
        return nav.top()->serial();
    }
    // A connection of its own, for requests the HTTP client would not make.
    int connectRaw() {
        sockaddr_in to{
            AF_INET, htons(static_cast<uint16_t>(server->port())), {htonl(INADDR_LOOPBACK)}, {}};
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        EXPECT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
        return s;
    }

    ScratchDir documents;
    Navigator nav;
    std::mutex mutex;
    std::unique_ptr<web::WebServer> server;
    std::unique_ptr<httplib::Client> client;
};

}  // namespace

// Every answer, refused or not, carries the fixed headers once.
TEST_F(WebServerTest, TokenHostAndPathDecideAndEveryAnswerCarriesTheFixedHeaders) {
    std::string wrong = server->token();
    wrong[0] = wrong[0] == 'a' ? 'b' : 'a';
    const std::string port = std::to_string(server->port());
    const std::string good = cookie(server->token());
    // A backup, and the ledger behind a link named as a backup.
    std::filesystem::create_directory(documents.file("Backups"));
    ScratchDir::write(documents.file("Backups/voice-20150509-120000.sqlite"), "SQLite format 3");
    ScratchDir::write(documents.file("voice.sqlite"), "the ledger");
    std::filesystem::create_symlink("../voice.sqlite",
                                    documents.file("Backups/voice-20150509-120001.sqlite"));
    const std::vector<std::tuple<std::string, httplib::Headers, int>> cases = {
        {"/api/view", {}, 403},
        {"/api/view", {{"Cookie", cookie(wrong)}}, 403},
        {"/?token=" + wrong, {}, 403},
        {"/", {{"Cookie", cookie("")}}, 403},
        {"/api/view", {{"Host", "attacker.example:" + port}, {"Cookie", good}}, 403},  // rebinding
        {"/api/view", {{"Host", "127.0.0.1:1"}, {"Cookie", good}}, 403},
        {"/api/view", {{"Host", "localhost:" + port}, {"Cookie", good}}, 200},
        {"/api/view", session(), 200},
        {"/api/view?token=" + server->token(), {}, 200},
        {"/app.css", session(), 200},
        // Only its own files.
        {"/nothing", session(), 404},
        {"/../CMakeLists.txt", session(), 404},
        {"/web/static/app.js", session(), 404},
        {"/static/app.js", session(), 404},
        {"/index.html", session(), 404},
        {"/%2e%2e/CMakeLists.txt", session(), 404},
        {"/app.js/..", session(), 404},
        {"/api", session(), 404},
        // Only backups the folder lists, by name.
        {"/api/backup?name=voice-20150509-120000.sqlite", session(), 200},
        {"/api/backup?name=voice-20150509-120001.sqlite", session(), 404},
        {"/api/backup?name=../voice.sqlite", session(), 404},
        {"/api/backup?name=%2e%2e%2fvoice.sqlite", session(), 404},
        {"/api/backup?name=voice.sqlite", session(), 404},
        {"/api/backup?name=Backups/voice-20150509-120000.sqlite", session(), 404},
        {"/api/backup?name=/etc/passwd", session(), 404},
    };
    for (const auto& [path, headers, status] : cases) {
        auto res = client->Get(path.c_str(), headers);
        ASSERT_TRUE(res) << path;
        EXPECT_EQ(res->status, status) << path;
        EXPECT_EQ(res->has_header("Set-Cookie"), false) << path;
        for (const auto& [name, value] : web::securityHeaders()) {
            EXPECT_EQ(res->get_header_value(name), value) << path;
            EXPECT_EQ(res->get_header_value_count(name), 1u) << path << " " << name;
        }
    }
    EXPECT_EQ(client->Get("/api/view")->body, "missing or wrong access token\n");
    EXPECT_EQ(client->Get("/api/backup?name=voice-20150509-120000.sqlite", session())->body,
              "SQLite format 3");  // its name the attachment's: the browser test
    EXPECT_NE(web::WebServer(nav, mutex).token(), server->token());
}

TEST_F(WebServerTest, FirstLoadTradesTheTokenForACookie) {
    auto res = client->Get(("/?token=" + server->token()).c_str());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 303);
    EXPECT_EQ(res->get_header_value("Location"), "/");
    EXPECT_EQ(res->get_header_value("Set-Cookie"),
              "mk_session=" + server->token() + "; HttpOnly; SameSite=Strict; Path=/");

    auto page = client->Get("/", session());
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(page->body.find("<script type=\"module\" src=\"/app.js\""), std::string::npos);
    EXPECT_THAT(client->Get("/js/render.js", session())->get_header_value("Content-Type"),
                HasSubstr("javascript"));
}

TEST_F(WebServerTest, EventsComeFromItsOwnOriginAsJson) {
    json tap = {{"serial", topSerial()}, {"type", "tap"}, {"action", "openDetailEvent"}};
    auto headers = session();
    headers.emplace("Origin", "http://attacker.example");
    EXPECT_EQ(postJson("/api/event", tap.dump(), headers)->status, 403);  // CSRF
    EXPECT_EQ(client->Post("/api/event", session(), tap.dump(), "text/plain")->status, 415);
    EXPECT_EQ(nav.depth(), 1u);
    headers = session();
    headers.emplace("Origin", origin());
    EXPECT_EQ(postJson("/api/event", tap.dump(), headers)->status, 200);
    EXPECT_EQ(nav.depth(), 2u);
}

TEST_F(WebServerTest, EventsRunScreenLogicAndAnswerWithTheNewView) {
    auto first = client->Get("/api/view", session());
    ASSERT_EQ(first->status, 200);
    auto view = json::parse(first->body);
    EXPECT_EQ(view["screen"]["screen"], "FormScreen");
    EXPECT_EQ(view["depth"], 1);
    EXPECT_EQ(view["transition"]["kind"], "root");
    EXPECT_EQ(view["banner"], "");
    uint64_t formSerial = view["screen"]["serial"];
    nav.setBanner("Damaged");

    auto res = event({{"serial", formSerial}, {"type", "tap"}, {"action", "openDetailEvent"}});
    ASSERT_EQ(res->status, 200);
    view = json::parse(res->body);
    EXPECT_EQ(view["depth"], 2);
    EXPECT_EQ(view["banner"], "Damaged") << "on every screen";
    EXPECT_EQ(view["transition"]["kind"], "push");
    EXPECT_EQ(view["transition"]["animated"], true);
    uint64_t detailSerial = view["screen"]["serial"];

    // The page still drew the form: the tap must not act on the detail screen.
    auto stale = event({{"serial", formSerial}, {"type", "tap"}, {"action", "backEvent"}});
    EXPECT_EQ(stale->status, 409);
    EXPECT_EQ(json::parse(stale->body)["error"], "stale screen");
    EXPECT_EQ(nav.depth(), 2u);

    res = event({{"serial", detailSerial}, {"type", "tap"}, {"action", "backEvent"}});
    ASSERT_EQ(res->status, 200);
    view = json::parse(res->body);
    EXPECT_EQ(view["screen"]["serial"], formSerial);
    EXPECT_EQ(view["transition"]["kind"], "pop");

    res = event({{"serial", formSerial}, {"type", "tap"}, {"action", "storeEvent"}});
    EXPECT_EQ(json::parse(res->body)["openURLs"], json::array({"https://example.org/app"}));
    EXPECT_EQ(json::parse(client->Get("/api/view", session())->body)["openURLs"], json::array());
}

TEST_F(WebServerTest, BadEventsAreRefusedAndChangeNothing) {
    const uint64_t serial = topSerial();
    const std::string tap = R"({"serial":)" + std::to_string(serial) + R"(,"type":"tap",)";
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"{\"serial\": 1, \"type\": ", 400, "malformed JSON"},
        {R"({"serial":1,"type":"shake"})", 400, "unknown event type shake"},
        {tap + R"("action":"launchEvent"})", 422, "event does not apply to this screen"},
        {R"({"serial":)" + std::to_string(serial) + R"(,"type":"return","id":"nothingHere"})", 422,
         "event does not apply to this screen"},
        {tap + R"("action":"openDetailEvent","id":"hiddenBtn"})", 422,
         "event does not apply to this screen"},
        {R"({"serial":)" + std::to_string(serial) + R"(,"type":"sheet","index":0})", 422,
         "event does not apply to this screen"},
        {std::string(web::kMaxBodyBytes + 10, ' '), 413, "request too large"},
        // Refused before parsing: a megabyte of brackets would cost hundreds of MB parsed.
        {std::string(web::kMaxBodyBytes - 1, '['), 400, "nested too deeply"},
        {std::string(65, '[') + std::string(65, ']'), 400, "nested too deeply"},
        {std::string(64, '[') + std::string(64, ']'), 400, "event must be an object"},
        {tap + R"("action":"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[["})",
         422, "event does not apply to this screen"},
    };
    for (const auto& [body, status, why] : cases) {
        auto res = postJson("/api/event", body);
        ASSERT_TRUE(res) << body.substr(0, 80);
        EXPECT_EQ(res->status, status) << body.substr(0, 80);
        EXPECT_THAT(res->body, HasSubstr(why)) << body.substr(0, 80);
    }
    EXPECT_EQ(client->Delete("/api/event", session())->status, 405);
    EXPECT_EQ(nav.depth(), 1u);
    EXPECT_EQ(topSerial(), serial);
}

// Connections opened and left silent, or sending a byte at a time, and the idle keep-alive
// connections of two tabs: real requests are still answered at once.
TEST_F(WebServerTest, StalledConnectionsLeaveRoomForRealRequests) {
    std::vector<int> sockets;  // the first four stay silent, the others trickle
    for (int i = 0; i < 8; ++i) sockets.push_back(connectRaw());
    std::atomic<bool> done{false};
    std::thread trickle([&] {  // a request line that never ends, a byte every 50 ms
        for (int n = 0; !done; ++n, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
            for (size_t i = 4; i < sockets.size(); ++i)
                ::send(sockets[i], n < 5 ? &"GET /"[n] : "a", 1, MSG_NOSIGNAL);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    httplib::Client tabA("127.0.0.1", server->port()), tabB("127.0.0.1", server->port());
    for (int i = 0; i < 12; ++i) {
        auto& tab = i % 2 ? tabA : tabB;
        tab.set_keep_alive(true);
        tab.set_read_timeout(1, 0);  // the stalls of old held every worker for 5 s and more
        auto res = tab.Get("/api/view", session());
        EXPECT_TRUE(res && res->status == 200) << i;
    }
    done = true;
    trickle.join();
    for (int s : sockets) ::close(s);
}

TEST_F(WebServerTest, ScreenSizeReportPicksTheLayoutOfNewScreens) {
    auto res = postJson("/api/screen", R"({"width":640,"height":1136})");
    ASSERT_EQ(res->status, 200);
    EXPECT_EQ(json::parse(res->body)["screen"]["screen"], "FormScreen");
    EXPECT_EQ(ScreenMode::layoutFor("X"), "X");
    EXPECT_EQ(postJson("/api/screen", R"({"width":640,"height":960})")->status, 200);
    EXPECT_EQ(ScreenMode::layoutFor("X"), "X960");
    for (const char* bad : {R"({"width":640})", R"({"width":0,"height":960})",
                            R"({"width":"640","height":960})", R"([640,960])"}) {
        EXPECT_EQ(postJson("/api/screen", bad)->status, 400) << bad;
    }
    EXPECT_EQ(ScreenMode::pixelSize(), std::make_optional(std::make_pair(640, 960)));
}

TEST_F(WebServerTest, AttachmentsOfTheComposerOnTop) {
    uint64_t serial = topSerial();
    std::string path = "/api/attachment?serial=" + std::to_string(serial) + "&index=0";
    EXPECT_EQ(client->Get(path.c_str(), session())->status, 404);  // no composer yet
    auto res = event({{"serial", serial}, {"type", "tap"}, {"action", "mailEvent"}});
    ASSERT_EQ(res->status, 200);
    auto composer = json::parse(res->body)["screen"]["composer"];
    EXPECT_EQ(composer["attachments"][0]["fileName"], "Orders \"2024\".CSV");
    // One kept in a file is sent from it as it stands, in pieces; one whose file is gone is not.
    std::string workbook(200000, 'w');
    workbook[123456] = 'x';
    ScratchDir::write(documents.file("Orders.xlsx"), workbook);
    const std::string second = path.substr(0, path.size() - 1) + "1";
    EXPECT_EQ(client->Get(second.c_str(), session())->body, workbook);
    std::filesystem::remove(documents.file("Orders.xlsx"));
    EXPECT_EQ(client->Get(second.c_str(), session())->status, 404);

    auto file = client->Get(path.c_str(), session());
    ASSERT_EQ(file->status, 200);
    EXPECT_EQ(file->body, "a,b\n1,2\n");
    EXPECT_EQ(file->get_header_value("Content-Type"), "text/csv");
    // Checked on the core: the HTTP client decodes percent escapes in header values.
    web::Request req;
    req.method = "GET";
    req.path = "/api/attachment";
    req.params = {{"serial", std::to_string(serial)}, {"index", "0"}};
    req.headers = {{"host", "localhost:" + std::to_string(server->port())},
                   {"cookie", "mk_session=" + server->token()}};
    EXPECT_EQ(server->handle(req).header("Content-Disposition"),
              "attachment; filename=\"Orders _2024_.CSV\"; "
              "filename*=UTF-8''Orders%20%222024%22.CSV");

    for (const auto& [s, i] : {std::pair{std::to_string(serial + 1000), "0"},
                               {std::to_string(serial), "2"},
                               {std::to_string(serial), "0x"}}) {
        const std::string other = "/api/attachment?serial=" + s + "&index=" + i;
        EXPECT_EQ(client->Get(other.c_str(), session())->status, 404) << other;
    }
    EXPECT_EQ(client->Get(path.c_str())->status, 403);
}

TEST_F(WebServerTest, UploadsStreamToTheFilePickerAndArePastTheirLimitRefusedUnread) {
    const std::string path = "/api/upload?serial=" + std::to_string(topSerial()) + "&id=";
    const std::string file(3 << 20, 'x');  // past the limit of other bodies
    auto upload = [&](const std::string& id, const char* type = "application/octet-stream") {
        return client->Post((path + id).c_str(), session(), file, type)->status;
    };
    EXPECT_EQ(upload("filePicker", "application/json"), 415);
    EXPECT_EQ(upload("openButton"), 422);
    EXPECT_EQ(upload("filePicker"), 200);
    auto& picked = dynamic_cast<FormScreen*>(nav.top())->picked;
    EXPECT_EQ(picked, std::make_tuple(false, uint64_t{file.size()}, file));
    // Larger than a restore takes: answered at once, the body unread.
    const int s = connectRaw();
    const std::string request = "POST " + path + "filePicker HTTP/1.1\r\nHost: 127.0.0.1:" +
                                std::to_string(server->port()) +
                                "\r\nCookie: " + cookie(server->token()) +
                                "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                                std::to_string(web::kMaxUploadBytes + 1) + "\r\n\r\nabc";
    ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
    char answer[64] = {};
    ::recv(s, answer, sizeof answer - 1, 0);
    ::close(s);
    EXPECT_THAT(answer, HasSubstr("200 OK"));
    EXPECT_EQ(picked, std::make_tuple(true, web::kMaxUploadBytes + 1, std::string()));
    // Nothing stays behind.
    EXPECT_TRUE(std::filesystem::is_empty(documents.path()));
}
