#pragma once
// The app fixture with pinned device facts, no mail settings from the environment, and the
// shared navigator set, as the running program has it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/DeviceFacts.h"
#include "platform/DocumentsDirectory.h"
#include "platform/MailComposer.h"
#include "tests/support/AppHarness.h"

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
        Navigator::setShared(nullptr);
        MailComposer::setTransport(nullptr);
        DeviceFacts::install(nullptr);
        AppHarness::TearDown();
    }
    void startApp() {
        start();
        Navigator::setShared(&nav());
    }

    // A mail choice as the page posts it, with the edited fields.
    bool mailChoice(const std::string& action, std::map<std::string, std::string> fields = {}) {
        UIEvent e;
        e.type = "mail";
        e.action = action;
        e.fields = std::move(fields);
        return send(e);
    }

    std::string path(const std::string& name) const { return dataDir_ + "/" + name; }
    static std::string readFile(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void writeFile(const std::string& p, const std::string& bytes) {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    void configureMail(const std::string& url) {
        writeFile(path("mail-settings.conf"), "# test server\nMARROWKEEPER_SMTP_URL=" + url +
                                                  "\nMARROWKEEPER_MAIL_FROM=ledger@example.org\n");
    }
    // The draft files written so far.
    std::vector<std::string> drafts() const {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(path("Drafts"), ec))
            out.push_back(e.path().string());
        return out;
    }

    std::shared_ptr<FixedDeviceFacts> facts_;
};
