#include "toolkit/ComposerSheet.h"

#include "toolkit/Screen.h"

MailDraft ComposerSheet::edited(const std::map<std::string, std::string>& fields) const {
    MailDraft edited = draft;
    if (auto it = fields.find("subject"); it != fields.end()) edited.subject = it->second;
    if (auto it = fields.find("body"); it != fields.end()) edited.body = it->second;
    if (auto it = fields.find("to"); it != fields.end()) {
        edited.to.clear();
        std::string cur;
        for (char c : it->second + ",") {
            if (c == ',' || c == ';') {
                auto b = cur.find_first_not_of(" \t\r\n");
                auto en = cur.find_last_not_of(" \t\r\n");
                if (b != std::string::npos) edited.to.push_back(cur.substr(b, en - b + 1));
                cur.clear();
            } else {
                cur += c;
            }
        }
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
            .set("size", static_cast<unsigned long long>(a.bytes.size()));
        atts.push(std::move(an));
    }
    ViewNode cn = ViewNode::object();
    cn.set("to", std::move(to))
        .set("subject", d.subject)
        .set("body", d.body)
        .set("bodyIsHTML", d.bodyIsHTML)
        .set("attachments", std::move(atts));
    return cn;
}

void ComposerSheet::present(Screen& screen, MailDraft draft, MailComposer::Completion done) {
    ComposerSheet sheet;
    sheet.draft = std::move(draft);
    sheet.onChoice = [done](const std::string& choice, const MailDraft& edited) {
        MailError reason = MailError::None;
        MailResult result = MailComposer::finish(choice, edited, &reason);
        if (done) done(result, reason);
    };
    screen.presentComposer(std::move(sheet));
}
