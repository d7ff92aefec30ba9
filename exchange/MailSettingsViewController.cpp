#include "exchange/MailSettingsViewController.h"

#include "exchange/MailOutcome.h"
#include "platform/Localisation.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

MailSettingsViewController::MailSettingsViewController()
    : Screen("MailSettingsViewController", true) {}

MailSettingsViewController::~MailSettingsViewController() {
    // Nobody is left to hear how the test went.
    if (testMail_) *testMail_ = true;
}

TextField& MailSettingsViewController::field(const char* id, const char* key,
                                             const std::string& text) {
    auto& f = add<TextField>(id);
    f.caption = KL(key);
    f.text = text;
    f.keyboard = "email";
    f.onReturn = [this](TextField&) { endEditing(); };
    return f;
}

void MailSettingsViewController::viewDidLoad() {
    title = KL("KLMailSettings");
    background = "white";
    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "saveMailSettingsBtn", "saveMailSettingsEvent", "nav_done");

    const MailSettings stored = MailSettings::loadFile();
    server_ = &field("serverAddressText", "KLMailServer", stored.url);
    server_->placeholder = "smtps://mail.example.com:465";
    server_->keyboard = "text";
    user_ = &field("userNameText", "KLMailUser", stored.user);
    password_ = &field("passwordText", "KLMailPassword", stored.password);
    password_->keyboard = "password";
    sender_ = &field("senderAddressText", "KLMailSender", stored.from);
    sender_->placeholder = "shop@example.com";

    auto& environment = add<Label>("environmentLbl");
    const auto overrides = MailSettings::environmentOverrides();
    environment.hidden = overrides.empty();
    environment.text = KL("KLMailSetInEnvironment");
    for (size_t i = 0; i < overrides.size(); ++i)
        environment.text += (i ? ", " : " ") + overrides[i];

    testButton_ = &add<Button>("sendTestMailBtn");
    testButton_->title = KL("KLSendTestMail");
    testButton_->action = "sendTestMailEvent";
    testButton_->style = "primary";
    sending_ = &add<Label>("sendingTestMailLbl");
    sending_->text = KL("KLSending");
    sending_->hidden = true;

    on("saveMailSettingsEvent", [this](const ActionArgs&) { saveMailSettingsEvent(); });
    on("sendTestMailEvent", [this](const ActionArgs&) { sendTestMailEvent(); });
    on("backgroundTap", [this](const ActionArgs&) { endEditing(); });
}

std::optional<MailSettings> MailSettingsViewController::typed() {
    MailSettings s{server_->text, user_->text, password_->text, sender_->text};
    const bool server = s.url.empty() || (s.url.rfind("smtp://", 0) == 0 && s.url.size() > 7) ||
                        (s.url.rfind("smtps://", 0) == 0 && s.url.size() > 8);
    if (!server) {
        server_->shake();
        return std::nullopt;
    }
    if (!s.from.empty()) {
        auto one = mime::envelopeRecipients({s.from});
        if (!one || one->size() != 1) {
            sender_->shake();
            return std::nullopt;
        }
    }
    return s;
}

void MailSettingsViewController::saveMailSettingsEvent() {
    endEditing();
    auto settings = typed();
    if (!settings) return;
    if (!settings->save()) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}

void MailSettingsViewController::sendTestMailEvent() {
    endEditing();
    auto settings = typed();
    if (testMail_ || !settings) return;
    if (!settings->save()) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    MailDraft draft;
    draft.to = {MailSettings::load().sender()};
    draft.subject = KL("KLSendTestMail");
    draft.body = KL("KLTestMailBody");
    testMail_ = std::make_shared<std::atomic<bool>>(false);
    testButton_->hidden = true;
    sending_->hidden = false;
    MailComposer::send(draft, testMail_, [this](MailResult result, MailError error) {
        testMailFinished(result, error);
    });
}

void MailSettingsViewController::testMailFinished(MailResult result, MailError error) {
    testMail_.reset();
    testButton_->hidden = false;
    sending_->hidden = true;
    // Mail that is not set up is what this screen is for.
    reportMailOutcome(*this, result, error, 2.0, false);
}
