#include "exchange/WorkbookExport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "exchange/Utf8.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "storage/LedgerFigures.h"

namespace WorkbookExport {

namespace {

constexpr size_t kMaxCellBytes = 32767;
const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A spreadsheet reads "_xHHHH_" in a cell's text as the character HHHH.
bool escapeAt(std::string_view s, size_t i) {
    return i + 7 <= s.size() && s[i] == '_' && s[i + 1] == 'x' && isHex(s[i + 2]) &&
           isHex(s[i + 3]) && isHex(s[i + 4]) && isHex(s[i + 5]) && s[i + 6] == '_';
}

// A plain decimal as the ledger writes it ("%.2f", "%lu", "-3", "2.5"); anything else (empty,
// letters, exponents, a second point) stays text.
std::optional<double> plainNumber(std::string_view t) {
    size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
    size_t digits = 0, points = 0;
    for (size_t k = i; k < t.size(); ++k) {
        if (t[k] >= '0' && t[k] <= '9')
            ++digits;
        else if (t[k] == '.' && ++points == 1)
            continue;
        else
            return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    double v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return v;
}

int digitsAt(std::string_view t, size_t at, size_t count) {
    int v = 0;
    for (size_t k = at; k < at + count; ++k) {
        if (k >= t.size() || t[k] < '0' || t[k] > '9') return -1;
        v = v * 10 + (t[k] - '0');
    }
    return v;
}

// "yyyy/MM/dd", a real calendar day the spreadsheet can show (from 1900).
std::optional<lxw_datetime> calendarDate(std::string_view t) {
    if (t.size() != 10 || t[4] != '/' || t[7] != '/') return std::nullopt;
    const int y = digitsAt(t, 0, 4), m = digitsAt(t, 5, 2), d = digitsAt(t, 8, 2);
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1900 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return std::nullopt;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (m == 2 && d == 29 && !leap) return std::nullopt;
    return lxw_datetime{y, m, d, 0, 0, 0};
}

// "HH:mm" as the fraction of a day a time cell holds.
std::optional<double> dayFraction(std::string_view t) {
    if (t.size() != 5 || t[2] != ':') return std::nullopt;
    const int h = digitsAt(t, 0, 2), m = digitsAt(t, 3, 2);
    if (h < 0 || h > 23 || m < 0 || m > 59) return std::nullopt;
    return (h * 60 + m) / 1440.0;
}

// Columns a sheet widens to fit: CJK and other wide characters take two places.
size_t displayWidth(std::string_view s) {
    size_t w = 0;
    for (size_t i = 0; i < s.size();) {
        uint32_t cp = 0;
        const size_t len = Utf8::sequenceAt(s, i, cp);
        w += cp >= 0x1100 ? 2 : 1;
        i += len ? len : 1;
    }
    return w;
}

enum class Kind { Text, Count, Quantity, Price, Money, Date, Time };

struct Formats {
    lxw_format *header, *totalLabel;
    // By Kind; the total row's versions are bold.
    std::array<lxw_format*, 7> cell{}, total{};
};

Formats makeFormats(lxw_workbook* wb) {
    Formats f;
    f.header = workbook_add_format(wb);
    format_set_bold(f.header);
    format_set_bottom(f.header, LXW_BORDER_THIN);
    f.totalLabel = workbook_add_format(wb);
    format_set_bold(f.totalLabel);
    format_set_top(f.totalLabel, LXW_BORDER_THIN);
    const char* patterns[] = {nullptr,    "0",          "#,##0.00#", "#,##0.00#",
                              "#,##0.00", "yyyy/mm/dd", "hh:mm"};
    for (size_t k = 0; k < f.cell.size(); ++k) {
        if (!patterns[k]) continue;
        f.cell[k] = workbook_add_format(wb);
        format_set_num_format(f.cell[k], patterns[k]);
        f.total[k] = workbook_add_format(wb);
        format_set_num_format(f.total[k], patterns[k]);
        format_set_bold(f.total[k]);
        format_set_top(f.total[k], LXW_BORDER_THIN);
    }
    return f;
}

// One sheet: a bold frozen header with filters, typed rows, a total row, fitted widths.
class Sheet {
  public:
    Sheet(lxw_workbook* wb, const Formats& formats, const std::string& name,
          std::vector<std::pair<std::string, Kind>> columns)
        : formats_(formats), columns_(std::move(columns)) {
        ws_ = workbook_add_worksheet(wb, name.c_str());
        // A name the format refuses (too long, odd characters) falls back to "SheetN".
        if (!ws_) ws_ = workbook_add_worksheet(wb, nullptr);
        widths_.assign(columns_.size(), 0);
        sums_.assign(columns_.size(), 0);
        ok_ = ws_ != nullptr;
        if (!ok_) return;
        for (size_t c = 0; c < columns_.size(); ++c) {
            cellText(buffer_, columns_[c].first);
            check(worksheet_write_string(ws_, 0, col(c), buffer_.c_str(), formats_.header));
            widen(c, displayWidth(buffer_) + 3);  // room for the filter button
        }
    }

    template <size_t N>
    void row(const std::array<TextView, N>& fields) {
        if (!ok_) return;
        ++row_;
        for (size_t c = 0; c < N; ++c) {
            if (fields[c]) write(c, *fields[c]);
        }
    }

    // Filters over header and rows, the header frozen, the total row (`total` in its first
    // cell), the widths.
    bool finish(const std::string& totalLabel) {
        if (!ok_) return false;
        worksheet_freeze_panes(ws_, 1, 0);
        check(worksheet_autofilter(ws_, 0, 0, row_, col(columns_.size() - 1)));
        const lxw_row_t total = row_ + 1;
        cellText(buffer_, totalLabel);
        check(worksheet_write_string(ws_, total, 0, buffer_.c_str(), formats_.totalLabel));
        for (size_t c = 1; c < columns_.size(); ++c) {
            const Kind k = columns_[c].second;
            lxw_format* f = formats_.total[static_cast<size_t>(k)];
            if (k != Kind::Count && k != Kind::Quantity && k != Kind::Money) {
                check(worksheet_write_blank(ws_, total, col(c), formats_.totalLabel));
                continue;
            }
            // SUBTOTAL follows the filter; the stored result is the sum of every row.
            if (row_ == 0) {
                check(worksheet_write_number(ws_, total, col(c), 0, f));
                continue;
            }
            char range[32];
            lxw_rowcol_to_range(range, 1, col(c), row_, col(c));
            const std::string formula = std::string("=SUBTOTAL(109,") + range + ")";
            check(worksheet_write_formula_num(ws_, total, col(c), formula.c_str(), f, sums_[c]));
        }
        for (size_t c = 0; c < columns_.size(); ++c) {
            const double width = static_cast<double>(std::min<size_t>(widths_[c] + 2, 60));
            check(worksheet_set_column(ws_, col(c), col(c), std::max(width, 8.0), nullptr));
        }
        return ok_;
    }

  private:
    static lxw_col_t col(size_t c) { return static_cast<lxw_col_t>(c); }
    void check(lxw_error e) { ok_ = ok_ && e == LXW_NO_ERROR; }
    void widen(size_t c, size_t w) { widths_[c] = std::max(widths_[c], w); }

    void write(size_t c, std::string_view v) {
        const Kind k = columns_[c].second;
        lxw_format* f = formats_.cell[static_cast<size_t>(k)];
        if (k == Kind::Date) {
            if (auto d = calendarDate(v)) {
                check(worksheet_write_datetime(ws_, row_, col(c), &*d, f));
                widen(c, 10);
                return;
            }
        } else if (k == Kind::Time) {
            if (auto t = dayFraction(v)) {
                check(worksheet_write_number(ws_, row_, col(c), *t, f));
                widen(c, 5);
                return;
            }
        } else if (k != Kind::Text) {
            if (auto n = plainNumber(v)) {
                check(worksheet_write_number(ws_, row_, col(c), *n, f));
                sums_[c] += *n;
                // Digits, group separators and the point.
                widen(c, v.size() + v.size() / 3 + 1);
                return;
            }
        }
        // Texts, and whatever a typed column holds that is not its type, stay as stored.
        if (v.empty()) return;
        cellText(buffer_, v);
        check(worksheet_write_string(ws_, row_, col(c), buffer_.c_str(), nullptr));
        widen(c, displayWidth(buffer_));
    }

    const Formats& formats_;
    std::vector<std::pair<std::string, Kind>> columns_;
    lxw_worksheet* ws_ = nullptr;
    lxw_row_t row_ = 0;  // the last row written; 0 is the header
    bool ok_ = true;
    std::vector<size_t> widths_;
    std::vector<double> sums_;
    std::string buffer_;
};

// The file in one piece, sized from the file: no growing copies of a large workbook.
}  // namespace

std::string filePath() {
    return DocumentsDirectory::file(kFileName);
}

void cellText(std::string& out, std::string_view s) {
    out.clear();
    bool plain = true;
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '_') {
            plain = false;
            break;
        }
    }
    if (plain) {
        out.assign(s.substr(0, kMaxCellBytes));
        return;
    }
    for (size_t i = 0; i < s.size();) {
        uint32_t cp = 0;
        const size_t len = Utf8::sequenceAt(s, i, cp);
        const size_t before = out.size();
        if (len == 0 || cp == 0xfffe || cp == 0xffff) {
            out += kReplacement;  // broken UTF-8, or a character XML cannot carry
        } else {
            if (escapeAt(s, i)) out += "_x005F";  // the escape of '_' itself
            out.append(s, i, len);
        }
        if (out.size() > kMaxCellBytes) {
            out.resize(before);
            break;
        }
        i += len ? len : 1;
    }
}

Texts texts() {
    Texts t;
    for (const char* key :
         {"KLCSVOrdersSheet", "KLCSVLinesSheet", "KLCSVType", "KLCSVOrderName", "KLCSVQuantity",
          "KLCSVItems", "KLCSVTotal", "KLCSVDate", "KLCSVWeek", "KLCSVNotes", "KLCSVPartner",
          "KLCSVTime", "KLSubcategory", "KLModel", "KLUnits", "KLCSVUnitPrice", "KLTotal"})
        t[key] = KL(key);
    return t;
}

bool write(const std::string& path, LedgerFigures figures, const Texts& texts) {
    const auto text = [&texts](const char* key) {
        const auto it = texts.find(key);
        return it == texts.end() ? std::string(key) : it->second;
    };
    std::remove(path.c_str());
    // Rows go to a temporary file as they are written: a five-year ledger would otherwise
    // hold every cell in memory.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    if (!wb) return false;
    const Formats formats = makeFormats(wb);
    bool ok = true;
    {
        Sheet orders(wb, formats, text("KLCSVOrdersSheet"),
                     {{text("KLCSVType"), Kind::Text},
                      {text("KLCSVOrderName"), Kind::Text},
                      {text("KLCSVQuantity"), Kind::Quantity},
                      {text("KLCSVItems"), Kind::Count},
                      {text("KLCSVTotal"), Kind::Money},
                      {text("KLCSVDate"), Kind::Date},
                      {text("KLCSVWeek"), Kind::Text},
                      {text("KLCSVNotes"), Kind::Text},
                      {text("KLCSVPartner"), Kind::Text},
                      {text("KLCSVTime"), Kind::Time}});
        // A sheet of some of the orders would pass for the whole ledger.
        ok = figures.eachWorkbookOrder([&](const std::array<TextView, 10>& r) { orders.row(r); });
        ok = orders.finish(text("KLTotal")) && ok;
    }
    {
        Sheet lines(wb, formats, text("KLCSVLinesSheet"),
                    {{text("KLCSVOrderName"), Kind::Text},
                     {text("KLCSVDate"), Kind::Date},
                     {text("KLSubcategory"), Kind::Text},
                     {text("KLModel"), Kind::Text},
                     {text("KLUnits"), Kind::Text},
                     {text("KLCSVQuantity"), Kind::Quantity},
                     {text("KLCSVUnitPrice"), Kind::Price},
                     {text("KLCSVTotal"), Kind::Money}});
        ok =
            figures.eachWorkbookLine([&](const std::array<TextView, 8>& r) { lines.row(r); }) && ok;
        ok = lines.finish(text("KLTotal")) && ok;
    }
    // Closing writes the file; it frees the workbook whatever happens.
    ok = workbook_close(wb) == LXW_NO_ERROR && ok;
    std::error_code ec;
    return ok && std::filesystem::is_regular_file(path, ec);
}

}  // namespace WorkbookExport
