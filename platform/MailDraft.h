#pragma once
// A mail as the user composes it: recipients, subject, body and attached files. The
// composer sheet shows and edits it; the mail service sends or saves it.
#include <string>
#include <vector>

struct MailAttachment {
    std::string fileName;
    std::string mimeType;
    std::string bytes;
};

struct MailDraft {
    std::vector<std::string> to;
    std::string subject;
    std::string body;
    bool bodyIsHTML = false;
    std::vector<MailAttachment> attachments;
};
