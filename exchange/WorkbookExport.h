#pragma once
// The orders workbook written beside the CSV, for spreadsheets: a sheet of the order headers
// (the CSV's eight columns, then partner and time) and a sheet of their lines. Numbers,
// dates and times are typed cells; texts are always text cells, never formulas.
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "storage/LedgerFigures.h"

namespace WorkbookExport {

inline constexpr const char* kFileName = "Marrowkeeper3.xlsx";
inline constexpr const char* kMimeType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

// The workbook's full path in the documents directory.
std::string filePath();

// The texts the workbook shows (sheet names, column titles, the total row's), by key.
using Texts = std::map<std::string, std::string>;
Texts texts();

// Writes the workbook of the ledger `figures` reads to `path`, replacing what is there; false
// when it cannot be written whole or the file is not there afterwards. Touches nothing
// of the app but what it is given: with the texts taken on the app's thread and a connection
// of its own (LedgerSnapshot), it may run on another thread.
bool write(const std::string& path, LedgerFigures figures = {},
           const Texts& texts = WorkbookExport::texts());

// A ledger text as a cell can hold it: broken UTF-8 becomes U+FFFD, characters XML cannot
// carry are replaced, a literal "_xHHHH_" is kept literal, and it is cut (at a character) to
// the 32767 bytes a cell holds. Replaces `out`.
void cellText(std::string& out, std::string_view text);

}  // namespace WorkbookExport
