#pragma once
// The mail composer sheet: a draft shown over a screen, whose recipients, subject and body
// the user may edit before choosing to send, save or cancel. The mail service
// (MailComposer) does what the choice asks.
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/MailComposer.h"
#include "platform/MailDraft.h"
#include "toolkit/ViewNode.h"

class Screen;

struct ComposerSheet {
    MailDraft draft;
    // The user's choice ("send", "save", "cancel") with the fields as edited.
    std::function<void(const std::string& choice, const MailDraft& edited)> onChoice;
    // Set while the mail is on its way: the page shows the sheet busy, and only its cancel
    // control ("cancelSendEvent") applies, which raises the flag for the send to give up.
    std::shared_ptr<std::atomic<bool>> sending;

    // The draft with the fields the page sent ("to", "subject", "body"). The recipients stay
    // as typed, one entry: only an address list parser knows which commas separate
    // addresses ("Doe, John" <j@example.com> is one).
    MailDraft edited(const std::map<std::string, std::string>& fields) const;
    // Recipients, subject, body, the attachments by index, name, type and size (their
    // bytes are fetched apart), whether it is sending, and the sheet's texts.
    ViewNode describe() const;

    // Shows the draft over `screen`; after the user's choice the message is sent, saved
    // or dropped and `done` gets the outcome. While it is sent (outside the app's lock) the
    // sheet shows so and can cancel it. The sheet stays up until the opener dismisses it
    // (Screen::dismissComposer).
    static void present(Screen& screen, MailDraft draft, MailComposer::Completion done);
};
