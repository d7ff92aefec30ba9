// The mail composer end to end (SMTP against a loopback server, refusal, drafts), the MIME
// it writes, the about screen with its feedback mail and store link, and the device facts.
#include <gtest/gtest.h>
#include <sys/utsname.h>

#include "app/MoreViewController.h"
#include "exchange/AboutViewController.h"
#include "platform/Localisation.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/SUserCommodityDB.h"
#include "tests/exchange/ExchangeHarness.h"
#include "tests/exchange/MimeReader.h"
#include "tests/exchange/SmtpTestServer.h"

using namespace std::string_literals;

namespace {

const char* const kFeedbackBody =
    "\n{Marrowkeeper v1.2 | es_ES,es \nLinux 6.1.0-18-amd64 | ThinkPad X1} \n";

class MailFlow : public ExchangeHarness {
  protected:
    // One order, the More screen, the export row: the composer is up.
    void exportOneOrder() {
        SUserCommodity o;
        o.orderSalesAndPurchaseType = "Sales";
        o.orderName = "Hammer";
        o.orderTotalCounts = "1.00";
        o.orderTotalEntrys = "1";
        o.orderTotalAmount = "9.99";
        ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(o));
        ASSERT_TRUE(tap("jumpMoreItems2Event"));
        ASSERT_TRUE(selectRow("tableView", 1));
        ASSERT_TRUE(top()->composer().has_value());
    }
    void openAbout() {
        ASSERT_TRUE(tap("jumpMoreItems2Event"));
        ASSERT_TRUE(selectRow("tableView", 2));
        ASSERT_NE(topAs<AboutViewController>(), nullptr);
    }
    void expectPopup(const std::string& text, double seconds) {
        ASSERT_FALSE(top()->toasts().empty());
        EXPECT_EQ(top()->toasts().back().text, text);
        EXPECT_TRUE(top()->toasts().back().centred);
        EXPECT_DOUBLE_EQ(top()->toasts().back().seconds, seconds);
        EXPECT_FALSE(top()->composer().has_value());
    }
};

class RecordingTransport : public MailTransport {
  public:
    bool accept = true;
    int calls = 0;
    std::vector<std::string> recipients;
    bool send(const std::string&, const std::vector<std::string>& to, const std::string&,
              std::string*) override {
        ++calls;
        recipients = to;
        return accept;
    }
};

bool validUtf8Start(const std::string& s) {
    return s.empty() || (static_cast<unsigned char>(s[0]) & 0xc0) != 0x80;
}

}  // namespace

TEST_F(MailFlow, ExportMailTravelsOverSmtpWithTheFileAttached) {
    startApp();
    SmtpTestServer server;
    configureMail(server.url());
    exportOneOrder();
    const std::string file = readFile(path("Marrowkeeper3.CSV"));

    const std::string subject = "Ledger \xE2\x80\x93 mayo \xC3\xB1";  // "Ledger – mayo ñ"
    ASSERT_TRUE(mailChoice("send", {{"to", " Boss <boss@example.com> ; "},
                                    {"subject", subject},
                                    {"body", "<b>Orders</b> \xE2\x82\xAC"}}));
    server.wait();
    expectPopup("Sent", 1.0);

    const auto& got = server.received();
    EXPECT_EQ(got.mailFrom, "ledger@example.org");
    EXPECT_EQ(got.recipients, std::vector<std::string>{"boss@example.com"});
    EXPECT_TRUE(got.gotQuit);
    MimeMessage m = readMessage(got.data);
    EXPECT_EQ(m.top.header("from"), "ledger@example.org");
    EXPECT_EQ(m.top.header("to"), "Boss <boss@example.com>");
    EXPECT_NE(m.top.header("subject").find("=?UTF-8?B?"), std::string::npos);
    EXPECT_EQ(decodeWords(m.top.header("subject")), subject);
    EXPECT_EQ(m.top.header("date"), "Sat, 09 May 2015 14:02:50 +0000");
    EXPECT_EQ(m.top.header("mime-version"), "1.0");
    EXPECT_EQ(m.top.header("message-id").front(), '<');
    EXPECT_NE(m.top.header("message-id").find("@example.org>"), std::string::npos);
    EXPECT_EQ(m.top.header("x-unsent"), "");
    EXPECT_EQ(m.top.header("content-type").rfind("multipart/mixed;", 0), 0u);

    ASSERT_EQ(m.parts.size(), 2u);
    EXPECT_EQ(m.parts[0].header("content-type"), "text/html; charset=UTF-8");
    EXPECT_EQ(m.parts[0].decoded(), "<b>Orders</b> \xE2\x82\xAC");
    EXPECT_EQ(m.parts[1].header("content-type"), "text/csv; name=\"Marrowkeeper3.CSV\"");
    EXPECT_EQ(m.parts[1].header("content-disposition"),
              "attachment; filename=\"Marrowkeeper3.CSV\"");
    EXPECT_EQ(m.parts[1].decoded(), file);
    // The file stays after the mail.
    EXPECT_EQ(readFile(path("Marrowkeeper3.CSV")), file);
}

TEST_F(MailFlow, FeedbackRefusedByTheServerReportsFailedForTwoSeconds) {
    startApp();
    SmtpTestServer server(/*refuseRecipients=*/true);
    configureMail(server.url());
    openAbout();
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(top()->composer().has_value());
    const MailDraft& d = top()->composer()->draft;
    EXPECT_EQ(d.subject, "Feedback");
    EXPECT_EQ(d.to, std::vector<std::string>{AboutViewController::kFeedbackAddress});
    EXPECT_EQ(d.body, kFeedbackBody);
    EXPECT_FALSE(d.bodyIsHTML);
    EXPECT_TRUE(d.attachments.empty());

    ASSERT_TRUE(mailChoice("send"));
    server.wait();
    expectPopup("Failed to send", 2.0);
    EXPECT_TRUE(server.received().recipients.empty());
    EXPECT_TRUE(server.received().data.empty());

    // Saved instead: a plain-text body, the address kept.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(mailChoice("save", {{"body", "Hola \xC3\xB1"}}));
    expectPopup("", 2.0);
    ASSERT_EQ(drafts().size(), 1u);
    MimeMessage m = readMessage(readFile(drafts()[0]));
    EXPECT_EQ(m.top.header("to"), AboutViewController::kFeedbackAddress);
    ASSERT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(m.parts[0].header("content-type"), "text/plain; charset=UTF-8");
    EXPECT_EQ(m.parts[0].decoded(), "Hola \xC3\xB1");
}

TEST_F(MailFlow, SendingWithoutServerOrRecipientFailsAndTheTransportCanBeSwapped) {
    startApp();
    // No settings at all.
    exportOneOrder();
    ASSERT_TRUE(mailChoice("send", {{"to", "boss@example.com"}}));
    expectPopup("Failed to send", 1.0);

    // A settings file with an address that is not SMTP.
    writeFile(path("mail-settings.conf"), "MARROWKEEPER_SMTP_URL=file:///etc/passwd\n");
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(mailChoice("send", {{"to", "boss@example.com"}}));
    expectPopup("Failed to send", 1.0);

    auto transport = std::make_shared<RecordingTransport>();
    MailComposer::setTransport(transport);
    // The export's one empty recipient left as it is: nobody to send to.
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(mailChoice("send"));
    expectPopup("Failed to send", 1.0);
    EXPECT_EQ(transport->calls, 0);

    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(mailChoice("send", {{"to", "a@example.com,, b@example.com"}}));
    expectPopup("Sent", 1.0);
    EXPECT_EQ(transport->recipients, (std::vector<std::string>{"a@example.com", "b@example.com"}));

    transport->accept = false;
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(mailChoice("send", {{"to", "a@example.com"}}));
    expectPopup("Failed to send", 1.0);
}

TEST_F(MailFlow, SavedDraftsAreSeparateEmlFilesThatParseBack) {
    startApp();
    exportOneOrder();
    const std::string file = readFile(path("Marrowkeeper3.CSV"));
    ASSERT_TRUE(mailChoice("save"));
    expectPopup("", 1.0);
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(mailChoice("save", {{"subject", "Second\r\nBcc: someone@example.com"}}));

    auto files = drafts();
    ASSERT_EQ(files.size(), 2u);
    std::sort(files.begin(), files.end());
    for (const auto& f : files) EXPECT_EQ(std::filesystem::path(f).extension(), ".eml");

    MimeMessage first = readMessage(readFile(files[0]));
    EXPECT_EQ(first.top.header("x-unsent"), "1");
    EXPECT_EQ(first.top.header("subject"), "Export data");
    EXPECT_EQ(first.top.header("to"), "undisclosed-recipients:;");
    ASSERT_EQ(first.parts.size(), 2u);
    EXPECT_EQ(first.parts[0].decoded(), "Marrowkeeper: \n");
    EXPECT_EQ(first.parts[1].decoded(), file);

    // A typed line break cannot start a header of its own.
    MimeMessage second = readMessage(readFile(files[1]));
    EXPECT_EQ(second.top.header("bcc"), "");
    EXPECT_EQ(second.top.header("subject"), "Second  Bcc: someone@example.com");
    for (const auto& name : second.headerNames) EXPECT_NE(name, "bcc");
}

TEST_F(MailFlow, AboutScreenShowsVersionRowsAndOpensTheStorePage) {
    startApp();
    openAbout();
    auto* about = topAs<AboutViewController>();
    EXPECT_EQ(about->layout(), "AboutViewController");
    ScreenMode::setPixelSize(std::make_pair(640, 960));
    EXPECT_EQ(AboutViewController().layout(), "AboutViewController");
    EXPECT_EQ(about->title, "About");
    EXPECT_EQ(about->background, "white");
    EXPECT_EQ(labelText("appNameVersionLbl"), "Marrowkeeper v1.2");
    auto* table = about->get<TableView>("tableView");
    ASSERT_NE(table, nullptr);
    EXPECT_DOUBLE_EQ(table->rowHeight, 60);
    EXPECT_FALSE(table->scrollEnabled);
    ASSERT_EQ(table->rows.size(), 2u);
    const char* texts[] = {"Feedback", "Rate the app"};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(table->rows[i].layout, "MoreCell");
        EXPECT_TRUE(table->rows[i].arrow);
        ASSERT_NE(table->rows[i].field("showNameCell"), nullptr);
        EXPECT_EQ(table->rows[i].field("showNameCell")->text, texts[i]);
    }

    // Linux 6.x compares lower than 7.0: the reviews page.
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(nav().takeURLsToOpen(),
              std::vector<std::string>{"https://apps.example.com/reviews?id=1009872365"});
    facts_->release = "10.2.0";
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(nav().takeURLsToOpen(),
              std::vector<std::string>{"https://apps.example.com/app/id1009872365"});
    setenv("MARROWKEEPER_STORE_URL", "https://store.test/{id}/rate?again={id}", 1);
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(nav().takeURLsToOpen(),
              std::vector<std::string>{"https://store.test/1009872365/rate?again=1009872365"});
    EXPECT_FALSE(top()->composer().has_value());

    size_t depth = nav().depth();
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(nav().depth(), depth - 1);
    EXPECT_NE(topAs<MoreViewController>(), nullptr);
}

TEST(StoreLink, SystemVersionsCompareNumerically) {
    unsetenv("MARROWKEEPER_STORE_URL");
    unsetenv("MARROWKEEPER_STORE_REVIEWS_URL");
    const std::string page = "https://apps.example.com/app/id42";
    const std::string reviews = "https://apps.example.com/reviews?id=42";
    EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", "7.0"), page);
    EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", "7"), page);
    EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", "10.0"), page);
    EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", "7.0.1-rc"), page);
    EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", "6.9.9"), reviews);
    EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", "6.10"), reviews);
    EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", ""), reviews);
    // Without a shared navigator nothing is opened and nothing breaks.
    Navigator::setShared(nullptr);
    ConstParameterAndMethod::gotoAppStorePageRaisal("42");
}

TEST(Mime, Base64KnownValuesInShortLines) {
    EXPECT_EQ(mime::base64("Man"), "TWFu");
    EXPECT_EQ(mime::base64("Ma"), "TWE=");
    EXPECT_EQ(mime::base64("M"), "TQ==");
    EXPECT_EQ(mime::base64("\xFF\xFE\x00"s), "//4A");
    std::string all;
    for (int i = 0; i < 512; ++i) all += static_cast<char>(i);
    std::string lines = mime::base64Lines(all);
    EXPECT_EQ(mime::decodeBase64(lines), all);
    size_t start = 0;
    for (size_t nl; (nl = lines.find("\r\n", start)) != std::string::npos; start = nl + 2)
        EXPECT_LE(nl - start, 76u);
    EXPECT_EQ(start, lines.size());
}

TEST(Mime, HeaderWordsStayShortAndNeverSplitACharacter) {
    EXPECT_EQ(mime::encodeHeader("Plain subject"), "Plain subject");
    // Text that merely looks encoded is encoded so it reads back as typed.
    EXPECT_EQ(decodeWords(mime::encodeHeader("=?UTF-8?B?QQ==?=")), "=?UTF-8?B?QQ==?=");
    std::string text;
    for (int i = 0; i < 30; ++i) text += "a\xC3\xB1\xE2\x82\xAC\xF0\x9F\x93\xA6";  // a ñ € 📦
    std::string encoded = mime::encodeHeader(text);
    EXPECT_EQ(decodeWords(encoded), text);
    size_t start = 0, words = 0;
    while (start < encoded.size()) {
        size_t nl = encoded.find("\r\n ", start);
        std::string word = encoded.substr(start, nl == std::string::npos ? nl : nl - start);
        if (start > 0) {
            EXPECT_EQ(encoded.substr(start - 3, 3), "\r\n ");
        }
        EXPECT_LE(word.size(), 75u);
        ASSERT_EQ(word.rfind("=?UTF-8?B?", 0), 0u);
        std::string bytes = mime::decodeBase64(word.substr(10, word.size() - 12));
        EXPECT_TRUE(validUtf8Start(bytes)) << words;
        ++words;
        if (nl == std::string::npos) break;
        start = nl + 3;
    }
    EXPECT_GT(words, 5u);
}

TEST(MailSettingsFile, KeysFromTheFileAndTheEnvironmentKeyByKey) {
    MailSettings s = MailSettings::parse(
        "# comment\n\n  MARROWKEEPER_SMTP_URL = smtps://mail.example.com:465 \r\n"
        "MARROWKEEPER_SMTP_USER=me@example.com\nMARROWKEEPER_SMTP_PASSWORD=a=b\nnonsense\n"
        "OTHER=1\n");
    EXPECT_EQ(s.url, "smtps://mail.example.com:465");
    EXPECT_EQ(s.user, "me@example.com");
    EXPECT_EQ(s.password, "a=b");
    EXPECT_TRUE(s.configured());
    EXPECT_EQ(s.sender(), "me@example.com");
    s.from = "shop@example.com";
    EXPECT_EQ(s.sender(), "shop@example.com");
    EXPECT_FALSE(MailSettings::parse("MARROWKEEPER_SMTP_USER=x\n").configured());
    EXPECT_EQ(MailSettings::parse("").sender().rfind("marrowkeeper@", 0), 0u);
}

class MailSettingsLoad : public ExchangeHarness {};

TEST_F(MailSettingsLoad, EnvironmentOverridesTheFileKeyByKey) {
    writeFile(path("mail-settings.conf"),
              "MARROWKEEPER_SMTP_URL=smtp://file.example:25\nMARROWKEEPER_SMTP_USER=fileuser\n");
    EXPECT_EQ(MailSettings::load().url, "smtp://file.example:25");
    setenv("MARROWKEEPER_SMTP_URL", "smtp://env.example:2525", 1);
    MailSettings s = MailSettings::load();
    unsetenv("MARROWKEEPER_SMTP_URL");
    EXPECT_EQ(s.url, "smtp://env.example:2525");
    EXPECT_EQ(s.user, "fileuser");
}

TEST(SystemFacts, ComeFromTheMachineAndTheLocaleEnvironment) {
    struct utsname u {};
    ASSERT_EQ(uname(&u), 0);
    SystemDeviceFacts facts;
    EXPECT_EQ(facts.systemName(), u.sysname);
    EXPECT_EQ(facts.systemVersion(), u.release);
    EXPECT_FALSE(facts.model().empty());
    EXPECT_EQ(facts.applicationVersion(), MK_VERSION);

    std::string saved[3];
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) {
        const char* v = std::getenv(names[i]);
        saved[i] = v ? v : "";
        unsetenv(names[i]);
    }
    setenv("LANG", "es_ES.UTF-8", 1);
    EXPECT_EQ(facts.localeIdentifier(), "es_ES");
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(facts.localeIdentifier(), "en_US");
    for (int i = 0; i < 3; ++i) {
        if (saved[i].empty())
            unsetenv(names[i]);
        else
            setenv(names[i], saved[i].c_str(), 1);
    }
}
