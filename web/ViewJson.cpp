#include "web/ViewJson.h"

#include <charconv>
#include <cmath>

namespace web {

namespace {

// A fraction, or a whole value too large to count exactly: the shortest digits that read
// back as the same double, laid out as the page's JSON library writes numbers (plain
// decimals from 1e-4 up to 1e15, an exponent of at least two digits beyond).
void appendFraction(std::string& out, double d) {
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    const std::string_view sci(buf, static_cast<size_t>(r.ptr - buf));
    const size_t e = sci.find('e');
    std::string digits;
    size_t i = 0;
    if (sci[0] == '-') {
        out += '-';
        i = 1;
    }
    for (; i < e; ++i)
        if (sci[i] != '.') digits += sci[i];
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);
    const int k = static_cast<int>(digits.size());
    const int n = exponent + 1;  // the value is 0.digits times ten to the n
    if (k <= n && n <= 15) {
        out += digits;
        out.append(static_cast<size_t>(n - k), '0');
        out += ".0";
    } else if (0 < n && n <= 15) {
        out.append(digits, 0, static_cast<size_t>(n));
        out += '.';
        out.append(digits, static_cast<size_t>(n));
    } else if (-4 < n && n <= 0) {
        out += "0.";
        out.append(static_cast<size_t>(-n), '0');
        out += digits;
    } else {
        out += digits[0];
        if (k > 1) {
            out += '.';
            out.append(digits, 1);
        }
        const int x = n - 1;
        out += x < 0 ? "e-" : "e+";
        const int mag = x < 0 ? -x : x;
        if (mag < 10) out += '0';
        out += std::to_string(mag);
    }
}

void appendNumber(std::string& out, double d) {
    if (!std::isfinite(d)) {
        out += "null";  // JSON has no NaN or infinity
        return;
    }
    // 2^53: above it a double no longer counts every integer, so keep it as it is.
    constexpr double exact = 9007199254740992.0;
    if (std::trunc(d) == d && std::fabs(d) <= exact) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(d));
        out.append(buf, r.ptr);
    } else {
        appendFraction(out, d);
    }
}

// Length of the valid UTF-8 sequence starting at s[i], or 0 when the bytes there start no
// valid sequence. `bad` receives how many bytes form the maximal invalid prefix (at least 1).
size_t utf8Sequence(std::string_view s, size_t i, size_t& bad) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    size_t len;
    unsigned char lo = 0x80, hi = 0xbf;  // range of the second byte
    if (c >= 0xc2 && c <= 0xdf) {
        len = 2;
    } else if (c >= 0xe0 && c <= 0xef) {
        len = 3;
        if (c == 0xe0) lo = 0xa0;  // no overlong forms
        if (c == 0xed) hi = 0x9f;  // no surrogates
    } else if (c >= 0xf0 && c <= 0xf4) {
        len = 4;
        if (c == 0xf0) lo = 0x90;
        if (c == 0xf4) hi = 0x8f;  // nothing past U+10FFFF
    } else {
        bad = 1;
        return 0;
    }
    for (size_t k = 1; k < len; ++k) {
        const size_t at = i + k;
        const bool ok = at < s.size() &&
                        (k == 1 ? byte(at) >= lo && byte(at) <= hi : (byte(at) & 0xc0) == 0x80);
        if (!ok) {
            bad = k;  // the byte that broke the sequence is read again on its own
            return 0;
        }
    }
    return len;
}

}  // namespace

void appendJsonString(std::string& out, std::string_view s) {
    static const char* hex = "0123456789abcdef";
    out += '"';
    size_t i = 0;
    while (i < s.size()) {
        // Runs of plain printable ASCII go out in one piece.
        size_t run = i;
        while (run < s.size()) {
            const auto c = static_cast<unsigned char>(s[run]);
            if (c < 0x20 || c == '"' || c == '\\' || c >= 0x80) break;
            ++run;
        }
        out.append(s.data() + i, run - i);
        i = run;
        if (i == s.size()) break;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            size_t bad = 0;
            if (const size_t len = utf8Sequence(s, i, bad)) {
                out.append(s.data() + i, len);
                i += len;
            } else {
                out += "\xEF\xBF\xBD";
                i += bad;
            }
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
        }
        ++i;
    }
    out += '"';
}

void appendJson(std::string& out, const ViewNode& node) {
    if (node.isNull()) {
        out += "null";
    } else if (node.isBool()) {
        out += node.asBool() ? "true" : "false";
    } else if (node.isNumber()) {
        appendNumber(out, node.asNumber());
    } else if (node.isString()) {
        appendJsonString(out, node.asString());
    } else if (node.isArray()) {
        out += '[';
        bool first = true;
        for (const auto& item : node.asArray()) {
            if (!first) out += ',';
            first = false;
            appendJson(out, item);
        }
        out += ']';
    } else {
        out += '{';
        bool first = true;
        for (const auto& [key, value] : node.asObject()) {
            if (!first) out += ',';
            first = false;
            appendJsonString(out, key);
            out += ':';
            appendJson(out, value);
        }
        out += '}';
    }
}

std::string toJsonText(const ViewNode& node) {
    std::string out;
    appendJson(out, node);
    return out;
}

}  // namespace web
