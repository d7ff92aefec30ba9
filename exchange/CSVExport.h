#pragma once
// The orders export: a comma-separated file of order headers, one order per line, newest
// first, and the mail that carries it.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MailDraft.h"
#include "storage/LedgerFigures.h"
#include "storage/Records.h"

namespace CSVExport {

inline constexpr const char* kFileName = "Marrowkeeper3.CSV";
inline constexpr const char* kMimeType = "text/csv";

// The export file's full path in the documents directory.
std::string filePath();

// Whether a text begins as a spreadsheet formula would: "=", "+", "-", "@", a tab or a CR.
bool looksLikeFormula(std::string_view text);
// One field: as stored, but quoted (inner quotes doubled) when it holds a comma, a double
// quote, a CR or a LF, so every line keeps its eight columns. A text field that looks like
// a formula gets an apostrophe in front, which spreadsheets take as "this is text"; number
// fields stay as stored. `lead` goes first, inside the quotes (the row's leading blank).
void appendField(std::string& out, std::string_view value, bool isText = true,
                 std::string_view lead = {});
// The column titles, joined by commas, no line break.
std::string headerLine();
// The exported fields of a header, in file order.
using OrderFields = std::array<Text, 8>;
OrderFields orderFields(const SUserCommodity& order);
// Appends "\n " and the order's eight fields; columns 1, 2, 7 and 8 are texts.
void appendOrderLine(std::string& out, const OrderFields& fields);

// The orders to export, as they were when read: every order's finished line, newest first.
// Kept as text rather than records, so a large ledger costs about its file size.
struct Snapshot {
    std::string lines;
    size_t orders = 0;
    bool failed = false;  // the orders could not be read whole
    size_t size() const { return orders; }
    bool empty() const { return orders == 0; }
};
// Every order header of the ledger `figures` reads (the app's, by default).
Snapshot readSnapshot(LedgerFigures figures = {});

// Removes whatever is at `path` (ignoring failure) and leaves a new empty file there.
bool createFile(const std::string& path);
// Appends the parts, in order, in one write; false when the file cannot be opened or the
// bytes are not all written.
bool append(const std::string& path, const std::vector<std::string_view>& parts);
// The file's bytes, when it reads completely and is valid UTF-8.
std::optional<std::string> readBack(const std::string& path);
// Whether `bytes` is exactly the parts joined.
bool sameBytes(std::string_view bytes, const std::vector<std::string_view>& parts);

// The export mail: subject, one empty recipient, the HTML body, the file and the workbook
// attached.
MailDraft mail(std::string fileBytes, std::string workbookBytes);

}  // namespace CSVExport
