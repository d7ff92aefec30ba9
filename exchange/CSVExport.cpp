#include "exchange/CSVExport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"

namespace CSVExport {

namespace {

bool validUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t len;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xe0) == 0xc0) {
            len = 2;
            cp = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            len = 3;
            cp = c & 0x0f;
        } else if ((c & 0xf8) == 0xf0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xc0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3f);
        }
        // Overlong forms, surrogates and values past the last code point are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            (cp >= 0xd800 && cp <= 0xdfff) || cp > 0x10ffff)
            return false;
        i += len;
    }
    return true;
}

}  // namespace

std::string filePath() {
    return DocumentsDirectory::file(kFileName);
}

std::string field(const Text& value) {
    const std::string& v = orEmpty(value);
    if (v.find_first_of(",\"\r\n") == std::string::npos) return v;
    std::string out = "\"";
    for (char c : v) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string headerLine() {
    // Third column holds the quantity total, fourth the number of lines.
    const char* keys[] = {"KLCSVType",  "KLCSVOrderName", "KLCSVQuantity", "KLCSVItems",
                          "KLCSVTotal", "KLCSVDate",      "KLCSVWeek",     "KLCSVNotes"};
    std::string line;
    for (const char* key : keys) {
        if (!line.empty()) line += ',';
        line += field(KL(key));
    }
    return line;
}

std::string orderLine(const SUserCommodity& o) {
    const Text* fields[] = {&o.orderSalesAndPurchaseType, &o.orderName,        &o.orderTotalCounts,
                            &o.orderTotalEntrys,          &o.orderTotalAmount, &o.recordeDateTime,
                            &o.recordeWeekTime,           &o.remarkNotes};
    std::string line = "\n ";
    bool first = true;
    for (const Text* f : fields) {
        if (!first) line += ',';
        first = false;
        line += field(*f);
    }
    return line;
}

std::string fileBytes(const std::vector<SUserCommodity>& orders) {
    std::string bytes = headerLine();
    for (const auto& o : orders) bytes += orderLine(o);
    return bytes;
}

bool createFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);  // nothing there is fine
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out);
}

bool append(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

std::optional<std::string> readBack(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    std::string s = bytes.str();
    if (!validUtf8(s)) return std::nullopt;
    return s;
}

MailDraft mail(const std::string& fileBytes) {
    MailDraft d;
    d.subject = KL("KLExportData");
    d.to = {""};
    d.body = KL("KLAppName") + ": \n";
    d.bodyIsHTML = true;
    d.attachments.push_back(MailAttachment{kFileName, kMimeType, fileBytes});
    return d;
}

}  // namespace CSVExport
