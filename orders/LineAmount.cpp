#include "orders/LineAmount.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "storage/NumberText.h"

namespace {

// A decimal read exactly: value = digits / 10^scale.
struct Decimal {
    __int128 digits = 0;
    int scale = 0;
};

// The leading number of a text when it is plain (sign, digits, point, digits) and has at
// most 18 digits; absent for anything else (an exponent, more digits), which is read the
// approximate way. Text without a leading number is 0, as everywhere else.
std::optional<Decimal> plainDecimal(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    Decimal d;
    int count = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (++count > 18) return std::nullopt;
            d.digits = d.digits * 10 + (c - '0');
            if (point) ++d.scale;
        } else {
            break;
        }
    }
    if (count > 0 && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && s[j] >= '0' && s[j] <= '9') return std::nullopt;
    }
    if (negative) d.digits = -d.digits;
    return d;
}

std::string cents(__int128 c) {
    const bool negative = c < 0;
    if (negative) c = -c;
    std::string whole;
    for (__int128 w = c / 100; w > 0 || whole.empty(); w /= 10)
        whole.insert(whole.begin(), static_cast<char>('0' + static_cast<int>(w % 10)));
    const int rest = static_cast<int>(c % 100);
    return std::string(negative && c != 0 ? "-" : "") + whole + "." +
           static_cast<char>('0' + rest / 10) + static_cast<char>('0' + rest % 10);
}

}  // namespace

std::string lineAmount(const Text& quantity, const Text& unitPrice) {
    const auto q = plainDecimal(orEmpty(quantity));
    const auto p = plainDecimal(orEmpty(unitPrice));
    if (!q || !p) {
        const double product =
            static_cast<double>(floatValue(quantity)) * static_cast<double>(floatValue(unitPrice));
        return std::isfinite(product) ? formatAmount(product) : formatAmount(0.0);
    }
    // At most 36 digits: within the 38 an __int128 holds.
    __int128 value = q->digits * p->digits;
    int scale = q->scale + p->scale;
    for (; scale < 2; ++scale) value *= 10;
    if (scale > 2) {
        __int128 unit = 1;
        for (int k = 2; k < scale; ++k) unit *= 10;
        const __int128 rest = value % unit;
        value /= unit;
        if (2 * (rest < 0 ? -rest : rest) >= unit) value += rest < 0 ? -1 : 1;
    }
    return cents(value);
}
