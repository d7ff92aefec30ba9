#pragma once
// The mail composer sheet: a draft shown over a screen, whose recipients, subject and body
// the user may edit before choosing to send, save or cancel. The mail service
// (MailComposer) does what the choice asks.
#include <functional>
#include <map>
#include <string>

#include "platform/MailComposer.h"
#include "platform/MailDraft.h"
#include "toolkit/ViewNode.h"

class Screen;

struct ComposerSheet {
    MailDraft draft;
    // The user's choice ("send", "save", "cancel") with the fields as edited.
    std::function<void(const std::string& choice, const MailDraft& edited)> onChoice;

    // The draft with the fields the page sent ("to", "subject", "body"); the recipients
    // are the entries between commas and semicolons, trimmed, empty ones left out.
    MailDraft edited(const std::map<std::string, std::string>& fields) const;
    // Recipients, subject, body and the attachments by index, name, type and size (their
    // bytes are fetched apart).
    ViewNode describe() const;

    // Shows the draft over `screen`; after the user's choice the message is sent, saved
    // or dropped and `done` gets the outcome. The sheet stays up until the opener
    // dismisses it (Screen::dismissComposer).
    static void present(Screen& screen, MailDraft draft, MailComposer::Completion done);
};
