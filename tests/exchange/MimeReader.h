#pragma once
// Reads a multipart MIME message back, independently of the code that wrote it.
#include <map>
#include <string>
#include <vector>

#include "platform/MailComposer.h"

struct MimePart {
    std::map<std::string, std::string> headers;  // lower-case names, unfolded values
    std::string body;                            // as transferred
    std::string header(const std::string& name) const {
        auto it = headers.find(name);
        return it == headers.end() ? "" : it->second;
    }
    std::string decoded() const {
        return header("content-transfer-encoding") == "base64" ? mime::decodeBase64(body) : body;
    }
};

struct MimeMessage {
    MimePart top;
    std::vector<MimePart> parts;
    std::vector<std::string> headerNames;  // in order, as written
};

inline MimePart readPart(const std::string& text, std::vector<std::string>* names = nullptr) {
    MimePart p;
    auto end = text.find("\r\n\r\n");
    std::string head = text.substr(0, end);
    p.body = end == std::string::npos ? "" : text.substr(end + 4);
    std::string current;
    auto flush = [&] {
        auto colon = current.find(':');
        if (colon == std::string::npos) return;
        std::string name = current.substr(0, colon);
        for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        std::string value = current.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        p.headers[name] = value;
        if (names) names->push_back(name);
    };
    size_t pos = 0;
    while (pos <= head.size()) {
        auto nl = head.find("\r\n", pos);
        std::string line = head.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            current += line;  // folded continuation
        } else {
            flush();
            current = line;
        }
        if (nl == std::string::npos) break;
        pos = nl + 2;
    }
    flush();
    return p;
}

inline MimeMessage readMessage(const std::string& text) {
    MimeMessage m;
    m.top = readPart(text, &m.headerNames);
    std::string type = m.top.header("content-type");
    auto b = type.find("boundary=\"");
    if (b == std::string::npos) return m;
    std::string boundary = "--" + type.substr(b + 10, type.find('"', b + 10) - b - 10);
    const std::string& body = m.top.body;
    size_t pos = body.find(boundary);
    while (pos != std::string::npos) {
        size_t start = pos + boundary.size();
        if (body.compare(start, 2, "--") == 0) break;  // closing boundary
        start += 2;                                    // CRLF after the boundary
        size_t next = body.find("\r\n" + boundary, start);
        if (next == std::string::npos) break;
        m.parts.push_back(readPart(body.substr(start, next - start)));
        pos = next + 2;
    }
    return m;
}

// "=?UTF-8?B?...?=" words (folded or not) back to text; other text unchanged.
inline std::string decodeWords(const std::string& value) {
    std::string out;
    size_t pos = 0;
    while (pos < value.size()) {
        auto start = value.find("=?UTF-8?B?", pos);
        if (start == std::string::npos) {
            out += value.substr(pos);
            break;
        }
        std::string between = value.substr(pos, start - pos);
        if (between.find_first_not_of(" \t\r\n") != std::string::npos) out += between;
        auto end = value.find("?=", start + 10);
        out += mime::decodeBase64(value.substr(start + 10, end - start - 10));
        pos = end + 2;
    }
    return out;
}
