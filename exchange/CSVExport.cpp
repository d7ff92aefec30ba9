#include "exchange/CSVExport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "exchange/Utf8.h"
#include "exchange/WorkbookExport.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "storage/LedgerFigures.h"

namespace CSVExport {

std::string filePath() {
    return DocumentsDirectory::file(kFileName);
}

bool looksLikeFormula(std::string_view v) {
    return !v.empty() && (v[0] == '=' || v[0] == '+' || v[0] == '-' || v[0] == '@' ||
                          v[0] == '\t' || v[0] == '\r');
}

void appendField(std::string& out, std::string_view v, bool isText, std::string_view lead) {
    const bool quoted = v.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quoted) out += '"';
    out += lead;
    if (isText && looksLikeFormula(v)) out += '\'';
    if (!quoted) {
        out += v;
        return;
    }
    for (char c : v) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string headerLine() {
    // Third column holds the quantity total, fourth the number of lines.
    const char* keys[] = {"KLCSVType",  "KLCSVOrderName", "KLCSVQuantity", "KLCSVItems",
                          "KLCSVTotal", "KLCSVDate",      "KLCSVWeek",     "KLCSVNotes"};
    std::string line;
    for (const char* key : keys) {
        if (!line.empty()) line += ',';
        appendField(line, KL(key));
    }
    return line;
}

OrderFields orderFields(const SUserCommodity& o) {
    return {o.orderSalesAndPurchaseType, o.orderName,       o.orderTotalCounts, o.orderTotalEntrys,
            o.orderTotalAmount,          o.recordeDateTime, o.recordeWeekTime,  o.remarkNotes};
}

void appendOrderLine(std::string& out, const OrderFields& fields) {
    // Kind, name, weekday and notes are texts; the rest are numbers and the date.
    static constexpr bool kText[] = {true, true, false, false, false, false, true, true};
    out += '\n';
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        // The line's leading blank belongs to the first field, inside its quotes if any.
        appendField(out, orEmpty(fields[i]), kText[i], i == 0 ? " " : "");
    }
}

void Digest::add(std::string_view bytes) {
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    length += bytes.size();
}

bool createFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);  // nothing there is fine
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    return ::close(fd) == 0;
}

std::optional<Digest> appendOrders(const std::string& path, const std::string& header,
                                   LedgerFigures figures) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    Digest written;
    std::string piece = header;
    bool ok = true;
    // Writes the piece whole, a short write continued where it stopped; after a failure it
    // only lets the piece go.
    const auto flush = [&] {
        written.add(piece);
        for (size_t done = 0; ok && done < piece.size();) {
            const ssize_t n = ::write(fd, piece.data() + done, piece.size() - done);
            if (n >= 0)
                done += static_cast<size_t>(n);
            else
                ok = errno == EINTR;
        }
        piece.clear();
    };
    const bool read = figures.eachExportRow([&](const OrderFields& fields) {
        appendOrderLine(piece, fields);
        if (piece.size() >= kPieceBytes) flush();
    });
    flush();
    ok = ::close(fd) == 0 && ok;
    if (!read || !ok) return std::nullopt;
    return written;
}

std::optional<Digest> readBack(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    Digest seen;
    std::string piece(kPieceBytes, '\0');
    size_t carried = 0;  // the start of a character the last piece cut, moved to the front
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, piece.data() + carried, piece.size() - carried);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        const size_t have = carried + static_cast<size_t>(n);
        const std::string_view bytes(piece.data(), have);
        const size_t valid = Utf8::validPrefix(bytes);
        // At the end nothing may be left over; before it, at most a cut character's start.
        if (n == 0 ? valid != have : have - valid >= 4) {
            ok = false;
            break;
        }
        seen.add(bytes.substr(carried, have - carried));
        if (n == 0) break;
        carried = have - valid;
        std::memmove(piece.data(), piece.data() + valid, carried);
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    return seen;
}

MailDraft mail() {
    MailDraft d;
    d.subject = KL("KLExportData");
    d.to = {""};
    d.body = KL("KLAppName") + ": \n";
    d.bodyIsHTML = true;
    d.attachments.push_back(MailAttachment::file(kFileName, kMimeType, filePath()));
    d.attachments.push_back(MailAttachment::file(
        WorkbookExport::kFileName, WorkbookExport::kMimeType, WorkbookExport::filePath()));
    return d;
}

}  // namespace CSVExport
