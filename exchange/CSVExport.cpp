#include "exchange/CSVExport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
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

Snapshot readSnapshot(LedgerFigures figures) {
    Snapshot s;
    s.failed = !figures.eachExportRow([&s](const OrderFields& fields) {
        appendOrderLine(s.lines, fields);
        ++s.orders;
    });
    s.lines.shrink_to_fit();
    return s;
}

bool createFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);  // nothing there is fine
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    return ::close(fd) == 0;
}

bool append(const std::string& path, const std::vector<std::string_view>& parts) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return false;
    std::vector<iovec> io;
    for (auto p : parts) {
        if (!p.empty()) io.push_back({const_cast<char*>(p.data()), p.size()});
    }
    bool ok = true;
    size_t at = 0;  // first part not yet fully written
    while (ok && at < io.size()) {
        const ssize_t n = ::writev(fd, io.data() + at, static_cast<int>(io.size() - at));
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        // A short write: skip what went out and write the rest.
        auto left = static_cast<size_t>(n);
        while (at < io.size() && left >= io[at].iov_len) left -= io[at++].iov_len;
        if (at < io.size()) {
            io[at].iov_base = static_cast<char*>(io[at].iov_base) + left;
            io[at].iov_len -= left;
        }
    }
    return ::close(fd) == 0 && ok;
}

std::optional<std::string> readBack(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::string s;
    // Sized from the file, plus one byte to see the end in the same read.
    s.resize(::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096);
    size_t used = 0;
    bool ok = true;
    for (;;) {
        if (used == s.size()) s.resize(s.size() * 2);
        const ssize_t n = ::read(fd, s.data() + used, s.size() - used);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        used += static_cast<size_t>(n);
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    s.resize(used);
    if (!Utf8::valid(s)) return std::nullopt;
    return s;
}

bool sameBytes(std::string_view bytes, const std::vector<std::string_view>& parts) {
    size_t at = 0;
    for (auto p : parts) {
        if (bytes.size() - at < p.size() || bytes.compare(at, p.size(), p) != 0) return false;
        at += p.size();
    }
    return at == bytes.size();
}

MailDraft mail(std::string fileBytes, std::string workbookBytes) {
    MailDraft d;
    d.subject = KL("KLExportData");
    d.to = {""};
    d.body = KL("KLAppName") + ": \n";
    d.bodyIsHTML = true;
    d.attachments.push_back(MailAttachment{kFileName, kMimeType, std::move(fileBytes)});
    d.attachments.push_back(MailAttachment{WorkbookExport::kFileName, WorkbookExport::kMimeType,
                                           std::move(workbookBytes)});
    return d;
}

}  // namespace CSVExport
