// The web server over a real loopback socket with a small set of screens: access token
// and cookie, host and origin checks, stale screens, refused input, size limits, the
// fixed headers, and events reaching the screen logic.
#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/UI.h"
#include "web/Server.h"

using nlohmann::json;

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

// A form: a quantity field that refuses anything but digits, a button that opens the
// detail screen, one that presents a mail with an attachment, and a hidden one.
class FormScreen : public Screen {
  public:
    FormScreen() : Screen("FormScreen") {
        title = "Form";
        auto& qty = add<TextField>("quantityText");
        qty.shouldChangeCharacters = [](TextField&, long, long, const std::string& r) {
            return r.find_first_not_of("0123456789") == std::string::npos;
        };
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
    std::string quantity() {
        std::lock_guard<std::mutex> lock(mutex);
        auto* form = dynamic_cast<FormScreen*>(nav.at(0));
        return form->get<TextField>("quantityText")->text;
    }
    json textEvent(long location, long length, const std::string& replacement) {
        return {{"serial", topSerial()}, {"type", "text"},   {"id", "quantityText"},
                {"location", location},  {"length", length}, {"replacement", replacement}};
    }

    Navigator nav;
    std::mutex mutex;
    std::unique_ptr<web::WebServer> server;
    std::unique_ptr<httplib::Client> client;
};

}  // namespace

TEST_F(WebServerTest, RequiresTheAccessToken) {
    auto none = client->Get("/api/view");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->status, 403);
    EXPECT_EQ(none->body, "missing or wrong access token\n");

    std::string wrong = server->token();
    wrong[0] = wrong[0] == 'a' ? 'b' : 'a';
    auto bad = client->Get("/api/view", {{"Cookie", "mk_session=" + wrong}});
    EXPECT_EQ(bad->status, 403);
    auto badParam = client->Get(("/?token=" + wrong).c_str());
    EXPECT_EQ(badParam->status, 403);
    EXPECT_EQ(badParam->get_header_value("Set-Cookie"), "");
    auto empty = client->Get("/", {{"Cookie", "mk_session="}});
    EXPECT_EQ(empty->status, 403);

    EXPECT_EQ(client->Get("/api/view", session())->status, 200);
    EXPECT_EQ(client->Get(("/api/view?token=" + server->token()).c_str())->status, 200);
    EXPECT_EQ(server->token().size(), 32u);
    EXPECT_EQ(server->startURL(),
              "http://127.0.0.1:" + std::to_string(server->port()) + "/?token=" + server->token());
}

TEST_F(WebServerTest, FirstLoadTradesTheTokenForACookie) {
    auto res = client->Get(("/?token=" + server->token()).c_str());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 303);
    EXPECT_EQ(res->get_header_value("Location"), "/");
    EXPECT_EQ(res->get_header_value("Set-Cookie"),
              "mk_session=" + server->token() + "; HttpOnly; SameSite=Strict; Path=/");

    auto page = client->Get("/", session());
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(page->body.find("<script src=\"/app.js\""), std::string::npos);
    auto js = client->Get("/app.js", session());
    EXPECT_EQ(js->status, 200);
    EXPECT_NE(js->get_header_value("Content-Type").find("javascript"), std::string::npos);
    EXPECT_EQ(client->Get("/app.css", session())->status, 200);
}

TEST_F(WebServerTest, TwoServersHaveDifferentTokens) {
    web::WebServer other(nav, mutex);
    EXPECT_NE(other.token(), server->token());
}

TEST_F(WebServerTest, RefusesForeignHostsAndOrigins) {
    std::string port = std::to_string(server->port());
    auto rebinding = client->Get("/api/view", {{"Host", "attacker.example:" + port},
                                               {"Cookie", "mk_session=" + server->token()}});
    ASSERT_TRUE(rebinding);
    EXPECT_EQ(rebinding->status, 403);
    auto otherPort = client->Get(
        "/api/view", {{"Host", "127.0.0.1:1"}, {"Cookie", "mk_session=" + server->token()}});
    EXPECT_EQ(otherPort->status, 403);
    auto localhost = client->Get(
        "/api/view", {{"Host", "localhost:" + port}, {"Cookie", "mk_session=" + server->token()}});
    EXPECT_EQ(localhost->status, 200);

    uint64_t before = topSerial();
    json tap = {{"serial", before}, {"type", "tap"}, {"action", "openDetailEvent"}};
    auto headers = session();
    headers.emplace("Origin", "http://attacker.example");
    auto csrf = postJson("/api/event", tap.dump(), headers);
    EXPECT_EQ(csrf->status, 403);
    auto wrongType = client->Post("/api/event", session(), tap.dump(), "text/plain");
    EXPECT_EQ(wrongType->status, 415);
    EXPECT_EQ(topSerial(), before);
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
    uint64_t formSerial = view["screen"]["serial"];

    auto res = event({{"serial", formSerial}, {"type", "tap"}, {"action", "openDetailEvent"}});
    ASSERT_EQ(res->status, 200);
    view = json::parse(res->body);
    EXPECT_EQ(view["screen"]["screen"], "DetailScreen");
    EXPECT_EQ(view["screen"]["title"], "Detail");
    EXPECT_EQ(view["depth"], 2);
    EXPECT_EQ(view["transition"]["kind"], "push");
    EXPECT_EQ(view["transition"]["animated"], true);
    uint64_t detailSerial = view["screen"]["serial"];
    EXPECT_NE(detailSerial, formSerial);

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
    uint64_t serial = topSerial();
    auto malformed = postJson("/api/event", "{\"serial\": 1, \"type\": ");
    EXPECT_EQ(malformed->status, 400);
    EXPECT_EQ(json::parse(malformed->body)["error"], "malformed JSON");
    auto unknown = event({{"serial", serial}, {"type", "shake"}});
    EXPECT_EQ(unknown->status, 400);
    EXPECT_EQ(json::parse(unknown->body)["error"], "unknown event type shake");
    auto noAction = event({{"serial", serial}, {"type", "tap"}, {"action", "launchEvent"}});
    EXPECT_EQ(noAction->status, 422);
    auto noWidget = event({{"serial", serial}, {"type", "return"}, {"id", "nothingHere"}});
    EXPECT_EQ(noWidget->status, 422);
    auto hidden = event(
        {{"serial", serial}, {"type", "tap"}, {"action", "openDetailEvent"}, {"id", "hiddenBtn"}});
    EXPECT_EQ(hidden->status, 422);
    auto noSheet = event({{"serial", serial}, {"type", "sheet"}, {"index", 0}});
    EXPECT_EQ(noSheet->status, 422);
    auto wrongMethod = client->Delete("/api/event", session());
    EXPECT_EQ(wrongMethod->status, 405);
    EXPECT_EQ(nav.depth(), 1u);
    EXPECT_EQ(topSerial(), serial);
}

TEST_F(WebServerTest, OversizedBodiesAreRefused) {
    std::string big(web::kMaxBodyBytes + 10, ' ');
    auto res = postJson("/api/event", big);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 413);
    EXPECT_EQ(res->get_header_value("X-Content-Type-Options"), "nosniff");
}

TEST_F(WebServerTest, EveryAnswerCarriesTheSecurityHeaders) {
    std::vector<httplib::Result> answers;
    answers.push_back(client->Get("/"));
    answers.push_back(client->Get("/", session()));
    answers.push_back(client->Get("/nothing", session()));
    answers.push_back(client->Get("/api/view", session()));
    answers.push_back(postJson("/api/event", "nonsense"));
    for (auto& res : answers) {
        ASSERT_TRUE(res);
        EXPECT_EQ(res->get_header_value("Content-Security-Policy"),
                  "default-src 'self'; object-src 'none'; base-uri 'self'; form-action 'self'; "
                  "frame-ancestors 'none'")
            << res->status;
        EXPECT_EQ(res->get_header_value("X-Content-Type-Options"), "nosniff");
        EXPECT_EQ(res->get_header_value("Referrer-Policy"), "no-referrer");
        EXPECT_EQ(res->get_header_value("Cache-Control"), "no-store");
        EXPECT_EQ(res->get_header_value_count("Cache-Control"), 1u);
    }
}

TEST_F(WebServerTest, ServesOnlyItsOwnFiles) {
    for (const char* path : {"/../CMakeLists.txt", "/web/static/app.js", "/static/app.js",
                             "/index.html", "/%2e%2e/CMakeLists.txt", "/app.js/..", "/api"}) {
        auto res = client->Get(path, session());
        ASSERT_TRUE(res) << path;
        EXPECT_EQ(res->status, 404) << path;
    }
}

TEST_F(WebServerTest, TypingFilterDecidesThroughTextEvents) {
    ASSERT_EQ(event(textEvent(0, 0, "12"))->status, 200);
    EXPECT_EQ(quantity(), "12");
    auto refused = event(textEvent(2, 0, "x"));
    ASSERT_EQ(refused->status, 200);
    EXPECT_EQ(quantity(), "12");
    auto view = json::parse(refused->body);
    EXPECT_EQ(view["screen"]["widgets"][0]["text"], "12");
    EXPECT_EQ(view["screen"]["widgets"][0]["editing"], true);
    ASSERT_EQ(event(textEvent(1, 1, ""))->status, 200);
    EXPECT_EQ(quantity(), "1");
    // Past the end of the text: refused, text kept.
    ASSERT_EQ(event(textEvent(5, 1, "3"))->status, 200);
    EXPECT_EQ(quantity(), "1");
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

    std::string stale = "/api/attachment?serial=" + std::to_string(serial + 1000) + "&index=0";
    EXPECT_EQ(client->Get(stale.c_str(), session())->status, 404);
    std::string past = "/api/attachment?serial=" + std::to_string(serial) + "&index=1";
    EXPECT_EQ(client->Get(past.c_str(), session())->status, 404);
    std::string junk = "/api/attachment?serial=" + std::to_string(serial) + "&index=0x";
    EXPECT_EQ(client->Get(junk.c_str(), session())->status, 404);
    EXPECT_EQ(client->Get(path.c_str())->status, 403);
}
