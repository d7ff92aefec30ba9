#pragma once
// The mail settings: the SMTP server's address, the user name and password and the sender
// address, stored in "mail-settings.conf" (MailSettings). An environment variable set for a
// key wins over what is stored here, and the screen names those that are set. A test mail to
// the sender address shows whether the settings work; it is sent outside the app's lock,
// like every mail, and its outcome comes back as a pop-up.
#include <optional>

#include "platform/MailComposer.h"
#include "toolkit/Screen.h"

class MailSettingsViewController : public Screen {
  public:
    MailSettingsViewController();
    ~MailSettingsViewController() override;
    void viewDidLoad() override;

  private:
    // The settings as typed; nothing, and the field shaken, when the server is not an
    // smtp:// or smtps:// address or the sender is not one address.
    std::optional<MailSettings> typed();
    // Stores what is typed, then leaves.
    void saveMailSettingsEvent();
    // Stores what is typed (what works in the test is then what later mails use), then
    // mails the sender address.
    void sendTestMailEvent();
    void testMailFinished(MailResult result, MailError error);
    TextField& field(const char* id, const char* key, const std::string& text);

    TextField* server_ = nullptr;
    TextField* user_ = nullptr;
    TextField* password_ = nullptr;
    TextField* sender_ = nullptr;
    Button* testButton_ = nullptr;
    Label* sending_ = nullptr;
    MailComposer::SendFlag testMail_;  // while the test mail is on its way
};
