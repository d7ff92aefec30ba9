#pragma once
// The orders export: a comma-separated file of order headers, one order per line, newest
// first, and the mail that carries it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// The export writes and reads its file this much at a time.
inline constexpr size_t kPieceBytes = 1 << 16;

// What a file holds, or was meant to hold, told without keeping its bytes: its length and a
// 64-bit FNV-1a digest, enough to see a file that is not what was written.
struct Digest {
    uint64_t length = 0;
    uint64_t hash = 14695981039346656037ull;
    void add(std::string_view bytes);
    bool operator==(const Digest&) const = default;
};

// Removes whatever is at `path` (ignoring failure) and leaves a new empty file there.
bool createFile(const std::string& path);
// Appends `header` and every order's line of the ledger `figures` reads (the app's, by
// default), newest first, a piece at a time: a twenty-year ledger's file is never held
// whole. What it appended; nothing when the orders could not be read whole or a write failed.
std::optional<Digest> appendOrders(const std::string& path, const std::string& header,
                                   LedgerFigures figures = {});
// The file read back a piece at a time: what it holds, when it reads completely and is valid
// UTF-8.
std::optional<Digest> readBack(const std::string& path);

// The export mail: subject, one empty recipient, the HTML body, the file and the workbook
// attached from where the export wrote them (read when the mail is sent or saved).
MailDraft mail();

}  // namespace CSVExport
