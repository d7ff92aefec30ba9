#include "platform/FlatJson.h"

#include <cstdint>

namespace flatjson {
namespace {

class Reader {
  public:
    explicit Reader(std::string_view text) : s_(text) {}

    std::optional<std::map<std::string, std::string>> object() {
        std::map<std::string, std::string> out;
        skipBom();
        skipSpace();
        if (!take('{')) return fail("expected '{'");
        skipSpace();
        if (take('}')) return finish(std::move(out));
        for (;;) {
            skipSpace();
            std::string key;
            if (!string(key)) return std::nullopt;
            skipSpace();
            if (!take(':')) return fail("expected ':'");
            skipSpace();
            std::string value;
            if (!string(value)) return std::nullopt;
            out[std::move(key)] = std::move(value);
            skipSpace();
            if (take(',')) continue;
            if (take('}')) return finish(std::move(out));
            return fail("expected ',' or '}'");
        }
    }

    std::string error;

  private:
    std::optional<std::map<std::string, std::string>> finish(
        std::map<std::string, std::string> out) {
        skipSpace();
        if (pos_ != s_.size()) return fail("unexpected text after the object");
        return out;
    }

    std::nullopt_t fail(const std::string& what) {
        if (error.empty()) error = what + " at offset " + std::to_string(pos_);
        return std::nullopt;
    }

    bool bad(const std::string& what) {
        fail(what);
        return false;
    }

    void skipBom() {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    }
    void skipSpace() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }
    bool take(char c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool hex4(uint32_t& v) {
        if (s_.size() - pos_ < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= uint32_t(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= uint32_t(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= uint32_t(c - 'A' + 10);
            else
                return false;
        }
        return true;
    }

    static void appendUtf8(std::string& out, uint32_t cp) {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }

    bool string(std::string& out) {
        if (!take('"')) return bad("expected a string");
        for (;;) {
            if (pos_ >= s_.size()) return bad("unterminated string");
            char c = s_[pos_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return bad("control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) return bad("unterminated escape");
            char e = s_[pos_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    uint32_t cp;
                    if (!hex4(cp)) return bad("bad \\u escape");
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        uint32_t low;
                        if (!(take('\\') && take('u') && hex4(low) && low >= 0xDC00 &&
                              low <= 0xDFFF))
                            return bad("unpaired surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                        return bad("unpaired surrogate");
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default:
                    return bad("unknown escape");
            }
        }
    }

    std::string_view s_;
    size_t pos_ = 0;
};

}  // namespace

std::optional<std::map<std::string, std::string>> parse(std::string_view text, std::string* error) {
    Reader r(text);
    auto out = r.object();
    if (!out && error) *error = r.error;
    return out;
}

std::string quote(std::string_view text) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
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
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    out += "\\u00";
                    out += hex[u >> 4];
                    out += hex[u & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::string write(const std::map<std::string, std::string>& values) {
    if (values.empty()) return "{}\n";
    std::string out = "{\n";
    bool first = true;
    for (const auto& [k, v] : values) {
        if (!first) out += ",\n";
        first = false;
        out += "  ";
        out += quote(k);
        out += ": ";
        out += quote(v);
    }
    out += "\n}\n";
    return out;
}

}  // namespace flatjson
