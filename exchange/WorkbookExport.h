#pragma once
// The orders workbook written beside the CSV, for spreadsheets: a sheet of the order headers
// (the CSV's eight columns, then partner and time) and a sheet of their lines. Numbers,
// dates and times are typed cells; texts are always text cells, never formulas.
#include <optional>
#include <string>
#include <string_view>

namespace WorkbookExport {

inline constexpr const char* kFileName = "Marrowkeeper3.xlsx";
inline constexpr const char* kMimeType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

// The workbook's full path in the documents directory.
std::string filePath();

// Writes the workbook of the ledger as it is now to `path`, replacing what is there, and
// returns the file's bytes; nothing when it cannot be written or read back.
std::optional<std::string> write(const std::string& path);

// A ledger text as a cell can hold it: broken UTF-8 becomes U+FFFD, characters XML cannot
// carry are replaced, a literal "_xHHHH_" is kept literal, and it is cut (at a character) to
// the 32767 bytes a cell holds. Replaces `out`.
void cellText(std::string& out, std::string_view text);

}  // namespace WorkbookExport
