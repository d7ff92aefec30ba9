#include "toolkit/ComposerSheet.h"

#include "platform/Localisation.h"
#include "toolkit/Screen.h"

MailDraft ComposerSheet::edited(const std::map<std::string, std::string>& fields) const {
    MailDraft edited = draft;
    if (auto it = fields.find("subject"); it != fields.end()) edited.subject = it->second;
    if (auto it = fields.find("body"); it != fields.end()) edited.body = it->second;
    if (auto it = fields.find("to"); it != fields.end()) {
        edited.to.clear();
        if (it->second.find_first_not_of(" \t\r\n") != std::string::npos)
            edited.to.push_back(it->second);
    }
    return edited;
}

ViewNode ComposerSheet::describe() const {
    const MailDraft& d = draft;
    ViewNode to = ViewNode::array();
    for (const auto& a : d.to) to.push(a);
    ViewNode atts = ViewNode::array();
    int i = 0;
    for (const auto& a : d.attachments) {
        ViewNode an = ViewNode::object();
        an.set("index", i++)
            .set("fileName", a.fileName)
            .set("mimeType", a.mimeType)
            .set("size", static_cast<unsigned long long>(a.size()));
        atts.push(std::move(an));
    }
    // The sheet's own words, in the app's language: the page has none of its own.
    ViewNode texts = ViewNode::object();
    for (const auto& [name, key] : {std::pair{"title", "KLMailTitle"},
                                    {"to", "KLMailTo"},
                                    {"subject", "KLMailSubject"},
                                    {"body", "KLMailBody"},
                                    {"attachments", "KLMailAttachments"},
                                    {"send", "KLMailSend"},
                                    {"save", "KLMailSaveDraft"},
                                    {"cancel", "KLCancel"},
                                    {"sending", "KLSending"}})
        texts.set(name, KL(key));
    ViewNode cn = ViewNode::object();
    cn.set("texts", std::move(texts))
        .set("to", std::move(to))
        .set("subject", d.subject)
        .set("body", d.body)
        .set("bodyIsHTML", d.bodyIsHTML)
        .set("attachments", std::move(atts))
        .set("sending", sending != nullptr);
    return cn;
}

void ComposerSheet::present(Screen& screen, MailDraft draft, MailComposer::Completion done) {
    ComposerSheet sheet;
    sheet.draft = std::move(draft);
    // The sheet belongs to the screen and calls this from the screen's own event.
    sheet.onChoice = [&screen, done](const std::string& choice, const MailDraft& edited) {
        if (choice == "send") {
            auto flag = std::make_shared<std::atomic<bool>>(false);
            screen.setComposerSending(flag);
            MailComposer::send(edited, flag, done);
            return;
        }
        MailError reason = MailError::None;
        MailResult result = MailComposer::finish(choice, edited, &reason);
        if (done) done(result, reason);
    };
    screen.presentComposer(std::move(sheet));
}
