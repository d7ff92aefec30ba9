#pragma once
// The orders export: a comma-separated file of order headers, one order per line, newest
// first, and the mail that carries it.
#include <optional>
#include <string>
#include <vector>

#include "platform/UI.h"
#include "storage/Records.h"

namespace CSVExport {

inline constexpr const char* kFileName = "Marrowkeeper3.CSV";
inline constexpr const char* kMimeType = "text/csv";

// The export file's full path in the documents directory.
std::string filePath();

// One field: as stored, but quoted (inner quotes doubled) when it holds a comma, a double
// quote, a CR or a LF, so every line keeps its eight columns.
std::string field(const Text& value);
// The column titles, joined by commas, no line break.
std::string headerLine();
// "\n " and the order's eight fields.
std::string orderLine(const SUserCommodity& order);
// The whole file: the header line, then every order's line; no final line break.
std::string fileBytes(const std::vector<SUserCommodity>& orders);

// Removes whatever is at `path` (ignoring failure) and leaves a new empty file there.
bool createFile(const std::string& path);
// Appends `bytes` to the file; false when it cannot be opened or fully written.
bool append(const std::string& path, const std::string& bytes);
// The file's bytes, when it reads completely and is valid UTF-8.
std::optional<std::string> readBack(const std::string& path);

// The export mail: subject, one empty recipient, the HTML body and the file attached.
MailDraft mail(const std::string& fileBytes);

}  // namespace CSVExport
