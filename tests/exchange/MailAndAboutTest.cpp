// The mail composer end to end (SMTP against a loopback server, refusal, drafts), the MIME
// it writes, the about screen with its feedback mail and store link, and the mail settings.
#include <gtest/gtest.h>

#include <sstream>

#include "exchange/AboutViewController.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/SUserCommodityDB.h"
#include "tests/exchange/ExchangeHarness.h"

using namespace std::string_literals;

namespace {

class MailFlow : public ExchangeHarness {
  protected:
    // One order, the More screen, the export row: the composer is up.
    void exportOneOrder() {
        SUserCommodity o;
        o.orderName = "Hammer";
        ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(o));
        ASSERT_TRUE(tap("jumpMoreItems2Event"));
        ASSERT_TRUE(selectRow("tableView", 1));
        ASSERT_TRUE(top()->composer().has_value());
    }
    void openAbout() {
        ASSERT_TRUE(tap("jumpMoreItems2Event"));
        ASSERT_TRUE(selectRow("tableView", 3));
        ASSERT_NE(topAs<AboutViewController>(), nullptr);
    }
};

}  // namespace

TEST_F(MailFlow, ExportMailTravelsOverSmtpWithTheFileAttachedAndSavesAsDraft) {
    startApp();
    startSmtp(/*refuse=*/false);
    exportOneOrder();
    const std::string file = readFile(path("Marrowkeeper3.CSV"));
    // The export's one empty recipient left as it is: nobody to send to, nothing sent.
    ASSERT_TRUE(mailChoice("send"));
    expectPopup("Failed to send", 1.0);
    EXPECT_FALSE(std::filesystem::exists(path("smtp-received")));

    ASSERT_TRUE(selectRow("tableView", 1));

    const std::string subject = "Ledger \xE2\x80\x93 mayo \xC3\xB1";  // "Ledger – mayo ñ"
    ASSERT_TRUE(mailChoice("send", {{"to", " Boss <boss@example.com> ; "},
                                    {"subject", subject},
                                    {"body", "<b>Orders</b> \xE2\x82\xAC"}}));
    expectPopup("Sent", 1.0);

    // The server wrote the envelope, then the message as received.
    std::istringstream got(readFile(path("smtp-received")));
    std::string from, to;
    std::getline(got, from);
    std::getline(got, to);
    EXPECT_EQ(from, "ledger@example.org");
    EXPECT_EQ(to, "boss@example.com");
    Mime m = Mime::read(got.str().substr(from.size() + to.size() + 2));
    EXPECT_EQ(m["from"], "ledger@example.org");
    EXPECT_EQ(m["to"], "Boss <boss@example.com>");
    ASSERT_TRUE(m["subject"].starts_with("=?UTF-8?B?")) << m["subject"];
    EXPECT_EQ(mime::decodeBase64(m["subject"].substr(10, m["subject"].size() - 12)), subject);
    EXPECT_EQ(m["date"], "Sat, 09 May 2015 14:02:50 +0000");
    EXPECT_EQ(m["x-unsent"], "");
    ASSERT_EQ(m.parts.size(), 3u);
    EXPECT_EQ(m.parts[0]["content-type"], "text/html; charset=UTF-8");
    EXPECT_EQ(m.parts[0].decoded(), "<b>Orders</b> \xE2\x82\xAC");
    EXPECT_EQ(m.parts[1]["content-type"], "text/csv; name=\"Marrowkeeper3.CSV\"");
    EXPECT_EQ(m.parts[1]["content-disposition"], "attachment; filename=\"Marrowkeeper3.CSV\"");
    EXPECT_EQ(m.parts[1].decoded(), file);
    EXPECT_EQ(readFile(path("Marrowkeeper3.CSV")), file);  // the file stays

    // Saved instead: an .eml file marked unsent that reads back with the same attachment.
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(mailChoice("save"));
    expectPopup("", 1.0);
    ASSERT_EQ(drafts().size(), 1u);
    EXPECT_EQ(std::filesystem::path(drafts()[0]).extension(), ".eml");
    Mime draft = Mime::read(readFile(drafts()[0]));
    EXPECT_EQ(draft["x-unsent"], "1");
    EXPECT_EQ(draft["subject"], "Export data");
    EXPECT_EQ(draft["to"], "undisclosed-recipients:;");
    ASSERT_EQ(draft.parts.size(), 3u);
    EXPECT_EQ(draft.parts[0].decoded(), "Marrowkeeper: \n");
    EXPECT_EQ(draft.parts[1].decoded(), file);
}

TEST_F(MailFlow, FeedbackRefusedByTheServerReportsFailedForTwoSeconds) {
    startApp();
    startSmtp(/*refuse=*/true);
    openAbout();
    EXPECT_EQ(labelText("appNameVersionLbl"), "Marrowkeeper v1.2");
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(top()->composer().has_value());
    const MailDraft& d = top()->composer()->draft;
    EXPECT_EQ(d.subject, "Feedback");
    EXPECT_EQ(d.to, std::vector<std::string>{AboutViewController::kFeedbackAddress});
    EXPECT_EQ(d.body, "\n{Marrowkeeper v1.2 | es_ES,es \nLinux 6.1.0-18-amd64 | ThinkPad X1} \n");

    ASSERT_TRUE(mailChoice("send"));
    expectPopup("Failed to send", 2.0);
    EXPECT_EQ(readFile(path("smtp-received")), AboutViewController::kFeedbackAddress);

    // Saved instead: plain text, the address kept, and a typed line break cannot start a
    // header of its own.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(mailChoice("save", {{"subject", "Hi\r\nBcc: x@example.com"}, {"body", "Hola"}}));
    expectPopup("", 2.0);
    ASSERT_EQ(drafts().size(), 1u);
    Mime m = Mime::read(readFile(drafts()[0]));
    EXPECT_EQ(m["to"], AboutViewController::kFeedbackAddress);
    EXPECT_EQ(m["subject"], "Hi  Bcc: x@example.com");
    EXPECT_EQ(m["bcc"], "");
    ASSERT_EQ(m.parts.size(), 1u);
    EXPECT_EQ(m.parts[0]["content-type"], "text/plain; charset=UTF-8");
    EXPECT_EQ(m.parts[0].decoded(), "Hola");
}

TEST_F(MailFlow, AboutScreenOpensTheStorePageForTheSystemVersionAndFailsWithoutSettings) {
    startApp();
    openAbout();
    // Linux 6.x compares lower than 7.0: the reviews page.
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(nav().takeURLsToOpen(),
              std::vector<std::string>{"https://apps.example.com/reviews?id=1009872365"});
    facts_->release = "10.2.0";
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(nav().takeURLsToOpen(),
              std::vector<std::string>{"https://apps.example.com/app/id1009872365"});
    // Without mail settings the feedback cannot be sent.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(mailChoice("send"));
    expectPopup("Failed to send", 2.0);
    for (const char* v : {"7.0", "7", "10.0", "7.0.1-rc", "6.9.9", "6.10", ""})
        EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", v).ends_with("/app/id42"),
                  v[0] == '7' || v[0] == '1')
            << v;
}

TEST(Mime, Base64KnownValuesAndHeaderWordsThatNeverSplitACharacter) {
    EXPECT_EQ(mime::base64("Man"), "TWFu");
    EXPECT_EQ(mime::base64("M"), "TQ==");
    EXPECT_EQ(mime::base64("\xFF\xFE\x00"s), "//4A");
    std::string text;
    for (int i = 0; i < 30; ++i) text += "a\xC3\xB1\xE2\x82\xAC\xF0\x9F\x93\xA6";  // a ñ € 📦
    std::string encoded = mime::encodeHeader(text);
    std::istringstream words(encoded);
    std::string decoded;
    for (std::string word; std::getline(words, word, ' ');) {
        if (word.ends_with("\r\n")) word.resize(word.size() - 2);
        EXPECT_LE(word.size(), 75u);
        ASSERT_TRUE(word.starts_with("=?UTF-8?B?")) << word;
        std::string bytes = mime::decodeBase64(word.substr(10, word.size() - 12));
        EXPECT_NE(static_cast<unsigned char>(bytes[0]) & 0xc0, 0x80) << word;
        decoded += bytes;
    }
    EXPECT_EQ(decoded, text);
}

TEST_F(MailFlow, MailSettingsFromTheFileWithTheEnvironmentWinningKeyByKey) {
    writeFile(path("mail-settings.conf"),
              "# comment\n\n MARROWKEEPER_SMTP_URL = smtp://f:25 \r\n"
              "MARROWKEEPER_SMTP_USER=me@example.com\nnonsense\n");
    setenv("MARROWKEEPER_SMTP_USER", "env@example.com", 1);
    MailSettings s = MailSettings::load();
    unsetenv("MARROWKEEPER_SMTP_USER");
    EXPECT_EQ(s.url, "smtp://f:25");
    EXPECT_EQ(s.sender(), "env@example.com");
    EXPECT_FALSE(MailSettings::parse("MARROWKEEPER_SMTP_USER=x\n").configured());
}
