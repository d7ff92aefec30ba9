#include "storage/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

float parseFloat(std::string_view s) {
    const LeadingNumber n = scanLeadingNumber(s);
    if (n.mantissa.empty()) return 0.0f;
    float value = 0.0f;
    auto [ptr, ec] = std::from_chars(n.number.data(), n.number.data() + n.number.size(), value,
                                     std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a float: decide which from the decimal magnitude
        // of the first significant digit, as the C library does (±inf or ±0).
        long position = static_cast<long>(n.intDigits);  // digits before the point
        bool found = false;
        for (char c : n.mantissa) {
            if (c == '.') continue;
            if (c != '0') {
                found = true;
                break;
            }
            --position;
        }
        value =
            (found && position + n.exponent > 0) ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (ec != std::errc()) {
        value = 0.0f;
    }
    return n.negative ? -value : value;
}

int parseInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long v = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > limit) {
            v = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -v : v);
}

std::string fixed(double value, int precision) {
    char buf[400];
    auto [ptr, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
    if (ec != std::errc()) return {};
    return std::string(buf, ptr);
}

}  // namespace

// Hand-rolled so that neither the process locale (a comma decimal point) nor the wider
// syntax of the C library (hex, inf, nan) can change what a stored text means.
LeadingNumber scanLeadingNumber(std::string_view s) {
    LeadingNumber n;
    size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) n.negative = s[i++] == '-';
    const size_t start = i;
    size_t fracDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++n.intDigits;
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        while (j < s.size() && isDigit(s[j])) ++j, ++fracDigits;
        if (n.intDigits + fracDigits > 0) i = j;
    }
    if (n.intDigits + fracDigits == 0) return LeadingNumber{};
    n.mantissa = s.substr(start, i - start);
    // An exponent counts only when at least one digit follows the 'e' and its sign.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) expNegative = s[j++] == '-';
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) {
                if (n.exponent < 100000) n.exponent = n.exponent * 10 + (s[j] - '0');
                ++j;
            }
            if (expNegative) n.exponent = -n.exponent;
            i = j;
        }
    }
    n.number = s.substr(start, i - start);
    return n;
}

float floatValue(const std::string& text) {
    return parseFloat(text);
}
float floatValue(const Text& text) {
    return text ? parseFloat(*text) : 0.0f;
}
float floatValue(std::string_view text) {
    return parseFloat(text);
}
float floatValue(const TextView& text) {
    return text ? parseFloat(*text) : 0.0f;
}

int intValue(const std::string& text) {
    return parseInt(text);
}
int intValue(const Text& text) {
    return text ? parseInt(*text) : 0;
}

std::string formatAmount(float value) {
    return fixed(static_cast<double>(value), 2);
}
std::string formatAmount(double value) {
    return fixed(value, 2);
}

std::string formatCount(long value) {
    return std::to_string(static_cast<unsigned long>(value));
}

std::string formatOneDecimal(double value) {
    return fixed(value, 1);
}

bool acceptsDecimalTyping(const std::string& current, long location, long length,
                          const std::string& replacement, long decimals) {
    constexpr long kWholeDigits = 12;  // beyond it an amount no longer reads back exactly
    if (replacement.empty()) return true;
    // Byte offsets of the code points at `location` and `location + length`.
    long index = 0;
    size_t from = std::string::npos, to = std::string::npos;
    for (size_t i = 0; i <= current.size(); ++i) {
        if (i < current.size() && (static_cast<unsigned char>(current[i]) & 0xC0) == 0x80)
            continue;  // continuation byte of a longer character
        if (index == location) from = i;
        if (index == location + length) to = i;
        ++index;
    }
    if (location < 0 || length < 0 || from == std::string::npos || to == std::string::npos)
        return false;
    const std::string result = current.substr(0, from) + replacement + current.substr(to);
    long whole = 0, fraction = 0;
    bool point = false;
    for (size_t i = 0; i < result.size(); ++i) {
        const char c = result[i];
        if (c == '.' && !point && i > 0) {
            point = true;
        } else if (isDigit(c)) {
            ++(point ? fraction : whole);
        } else {
            return false;
        }
    }
    return whole <= kWholeDigits && fraction <= decimals;
}
