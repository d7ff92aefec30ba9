// The web server over a real loopback socket with a small set of screens: access token
// and cookie, host and origin checks, stale screens, refused input, size and nesting
// limits, stalled connections, the fixed headers, and events reaching the screen logic.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

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
            presentComposer(std::move(sheet));
        });
        on("storeEvent", [this](const ActionArgs&) {
            navigationController()->openURL("https://example.org/app");
        });
    }
};

class WebServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
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
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(server->port()));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<int> sockets;  // the first four stay silent, the others trickle
    for (int i = 0; i < 8; ++i) {
        sockets.push_back(::socket(AF_INET, SOCK_STREAM, 0));
        ASSERT_EQ(::connect(sockets.back(), reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    }
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
                               {std::to_string(serial), "1"},
                               {std::to_string(serial), "0x"}}) {
        const std::string other = "/api/attachment?serial=" + s + "&index=" + i;
        EXPECT_EQ(client->Get(other.c_str(), session())->status, 404) << other;
    }
    EXPECT_EQ(client->Get(path.c_str())->status, 403);
}
