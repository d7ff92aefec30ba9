#pragma once
// A mail as the user composes it: recipients, subject, body and attached files. The
// composer sheet shows and edits it; the mail service sends or saves it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// An attached file: its bytes, or the path of a file that holds them, read when the mail is
// built (a large export is then never held in memory).
struct MailAttachment {
    std::string fileName;
    std::string mimeType;
    std::string bytes;
    std::string path = {};  // empty: the bytes are `bytes`

    static MailAttachment file(std::string fileName, std::string mimeType, std::string path) {
        return {std::move(fileName), std::move(mimeType), {}, std::move(path)};
    }
    // The bytes it attaches; a file that cannot be read counts none.
    uint64_t size() const {
        if (path.empty()) return bytes.size();
        std::error_code ec;
        const auto n = std::filesystem::file_size(path, ec);
        return ec ? 0 : n;
    }
};

struct MailDraft {
    std::vector<std::string> to;
    std::string subject;
    std::string body;
    bool bodyIsHTML = false;
    std::vector<MailAttachment> attachments;
};
