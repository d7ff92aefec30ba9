// The mail composer end to end against a loopback SMTP server (address lists, encoded
// headers, credentials only over TLS) and its drafts, the about screen with its feedback
// mail, locale line and store link, and the mail settings screen with its private file.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "exchange/AboutViewController.h"
#include "platform/Localisation.h"
#include "storage/ConstParameterAndMethod.h"
#include "tests/exchange/ExchangeHarness.h"
#include "tests/platform/EnvGuard.h"

using MailFlow = ExchangeHarness;

TEST_F(MailFlow, ExportMailReachesAnAddressListWithEncodedHeadersAndSavesAsDraft) {
    startApp();
    startSmtp();
    orders({{"Sales", "Hammer"}});
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    ASSERT_TRUE(selectRow("tableView", 1));
    // The export's one empty recipient left as it is: nobody to send to, nothing sent.
    ASSERT_TRUE(mailChoice("send"));
    expectPopup("Failed to send", 1.0);

    // A quoted comma stays inside one address, whatever separates the entries; the names and
    // the subject travel encoded, every header line plain ASCII.
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(mailChoice("send", {{"to",
                                     "\"Doe, John\" <j@example.com>; Zoë Ñandú "
                                     "<zoe@example.com>, "},
                                    {"subject", "Ledger – mayo ñ"},
                                    {"body", "<b>Orders</b> €"}}));
    expectPopup("Sent", 1.0);
    EXPECT_EQ(smtpLog(), "mail from ledger@example.org to j@example.com zoe@example.com\n");
    EXPECT_EQ(mailDump(path("smtp-received")), R"(ASCII head
From: ledger@example.org
To: "Doe, John" <j@example.com>, Zoë Ñandú <zoe@example.com>
Subject: Ledger – mayo ñ
Date: Sat, 09 May 2015 14:02:50 +0000
text/html  '<b>Orders</b> €'
text/csv Marrowkeeper3.CSV (the file)
application/vnd.openxmlformats-officedocument.spreadsheetml.sheet Marrowkeeper3.xlsx (the file)
)");

    // Saved instead: an .eml file marked unsent with the same attachments, where a typed line
    // break cannot start a header of its own.
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(mailChoice("save", {{"subject", "Hi\r\nBcc: x@example.com"}}));
    expectPopup("", 1.0);
    ASSERT_EQ(drafts().size(), 1u);
    EXPECT_TRUE(drafts()[0].ends_with(".eml"));
    EXPECT_EQ(mailDump(drafts()[0]), R"(ASCII head
From: ledger@example.org
To: undisclosed-recipients:;
Subject: Hi  Bcc: x@example.com
Date: Sat, 09 May 2015 14:02:50 +0000
X-Unsent: 1
text/html  'Marrowkeeper: \n'
text/csv Marrowkeeper3.CSV (the file)
application/vnd.openxmlformats-officedocument.spreadsheetml.sheet Marrowkeeper3.xlsx (the file)
)");
}

TEST_F(MailFlow, AboutScreenOffersFeedbackWithTheAppsLocaleAndOpensTheStorePage) {
    startApp();
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    ASSERT_TRUE(selectRow("tableView", 5));  // the about screen
    EXPECT_EQ(labelText("appNameVersionLbl"), "Marrowkeeper v1.2");
    // Linux 6.x compares lower than 7.0: the reviews page.
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(nav().takeURLsToOpen(),
              std::vector<std::string>{"https://apps.example.com/reviews?id=1009872365"});
    for (const char* v : {"7.0", "7", "10.0", "7.0.1-rc", "6.9.9", "6.10", ""})
        EXPECT_EQ(ConstParameterAndMethod::appStorePageLink("42", v).ends_with("/app/id42"),
                  v[0] == '7' || v[0] == '1')
            << v;

    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(top()->composer().has_value());
    const MailDraft& d = top()->composer()->draft;
    ASSERT_EQ(d.to.size(), 1u);
    EXPECT_EQ(d.subject + "|" + d.to[0] + "|" + (d.bodyIsHTML ? "html" : "plain") + "|" + d.body,
              "Feedback|feedback@marrowkeeper.example|plain|"
              "\n{Marrowkeeper v1.2 | es_ES,es \nLinux 6.1.0-18-amd64 | ThinkPad X1} \n");

    // On this machine the locale line is the app's language (--lang), with the environment's
    // region when that speaks the same language.
    DeviceFacts::install(nullptr);
    EnvGuard env;
    env.unset("LC_ALL");
    env.unset("LC_MESSAGES");
    for (const auto& [app, lang, locale] : {std::array<const char*, 3>{"es", "C", "es"},
                                            {"es", "es_MX.UTF-8", "es_MX"},
                                            {"zh-Hans", "zh_CN.UTF-8@x", "zh_Hans_CN"},
                                            {"en", "de_DE.UTF-8", "en"}}) {
        env.set("LANG", lang);
        Localisation::select(app);
        const std::string body = AboutViewController::feedbackBody();
        EXPECT_NE(body.find(" | " + std::string(locale) + "," + app + " \n"), std::string::npos)
            << body;
    }
}

TEST_F(MailFlow, CredentialsTravelOnlyOverTlsOrToALoopbackServer) {
    startApp();
    startSmtp();
    const std::string port = std::to_string(smtpPort_);
    MailSettings s{"smtp://mail.example.com:" + port, "shop", "secret", "ledger@example.org"};
    // The loopback server reached under a remote name: it offers no STARTTLS, so the
    // session ends before any AUTH and any mail, and the pop-up says why.
    MailComposer::setTransport(
        std::make_shared<SmtpTransport>(s, "mail.example.com:" + port + ":127.0.0.1:" + port));
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    ASSERT_TRUE(selectRow("tableView", 5));  // the about screen
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(mailChoice("send"));
    expectPopup(KL("KLMailNeedsTLS"), 2.0);
    EXPECT_EQ(smtpLog(), "");
    // Under its loopback address the login is made and the feedback goes out.
    s.url = "smtp://127.0.0.1:" + port;
    MailComposer::setTransport(std::make_shared<SmtpTransport>(s));
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(mailChoice("send"));
    expectPopup("Sent", 2.0);
    EXPECT_EQ(smtpLog(),
              "AUTH PLAIN shop:secret\nmail from ledger@example.org to "
              "feedback@marrowkeeper.example\n");

    for (const char* host :
         {"localhost", "a.localhost", "127.8.9.10", "[::1]", "::ffff:127.0.0.1", "LocalHost"})
        EXPECT_TRUE(SmtpTransport::loopbackHost(host)) << host;
    for (const char* host : {"128.0.0.1", "localhost.example.com", "[::2]", "0.0.0.0", ""})
        EXPECT_FALSE(SmtpTransport::loopbackHost(host)) << host;
}

TEST_F(MailFlow, AddressListsAndAttachmentNames) {
    // An entry that is not an address spoils the list instead of being dropped from it.
    EXPECT_FALSE(mime::envelopeRecipients({"a@example.com", "foo@"}));
    EXPECT_FALSE(mime::envelopeRecipients({"not an address"}));
    EXPECT_EQ(mime::envelopeRecipients({"Team: a@x.org, \"B (x)\" <b@x.org>;", " "}),
              (std::vector<std::string>{"a@x.org", "b@x.org"}));
    MailDraft d;
    d.attachments = {{"Pedidos año – 1.csv", "text/csv", "x"}};
    auto message = mime::buildMessage(d, "me@example.org", {}, "1@example.org", false);
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("filename*=UTF-8''Pedidos%20a%C3%B1o%20%E2%80%93%201.csv"),
              std::string::npos);
}

TEST_F(MailFlow, SendWithoutSettingsLeadsToTheSettingsWhichAreKeptPrivateAndTested) {
    startApp();
    startSmtp();
    // A file without a server, as a user may have written it.
    ScratchDir::write(path("mail-settings.conf"),
                      "# mine\n\n MARROWKEEPER_MAIL_FROM = old@example.org \r\nnonsense\n");
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    ASSERT_TRUE(selectRow("tableView", 5));  // the about screen
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(mailChoice("send"));
    // Instead of a plain failure, a pop-up with the way to the settings.
    ASSERT_TRUE(top()->tableAlert().has_value());
    EXPECT_EQ(top()->tableAlert()->title, KL("KLMailNotSetUp"));
    ASSERT_TRUE(alertRow(0));
    ASSERT_EQ(top()->className(), "MailSettingsViewController");
    EXPECT_EQ(fieldText("senderAddressText"), "old@example.org");

    ASSERT_TRUE(setText("serverAddressText", "mail.example.com"));  // not an SMTP address
    ASSERT_TRUE(tap("saveMailSettingsEvent"));
    EXPECT_EQ(top()->get<TextField>("serverAddressText")->shakeCount, 1);
    const std::string server = "smtp://127.0.0.1:" + std::to_string(smtpPort_);
    ASSERT_TRUE(setText("serverAddressText", server));
    ASSERT_TRUE(setText("senderAddressText", "Zoë <ledger@example.org>"));
    // The test mail stores what it tests and goes to the sender.
    ASSERT_TRUE(tap("sendTestMailEvent"));
    expectPopup("Sent", 2.0);
    EXPECT_EQ(smtpLog(), "mail from ledger@example.org to ledger@example.org\n");
    EXPECT_EQ(std::filesystem::status(path("mail-settings.conf")).permissions(),
              std::filesystem::perms(0600));

    // The environment wins key by key.
    EnvGuard env;
    env.set("MARROWKEEPER_SMTP_USER", "env@example.com");
    const MailSettings s = MailSettings::load();
    EXPECT_EQ(s.url + " " + s.user + " " + s.from,
              server + " env@example.com Zoë <ledger@example.org>");
}
