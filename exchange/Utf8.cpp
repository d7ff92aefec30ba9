#include "exchange/Utf8.h"

#include <cstring>

namespace Utf8 {

size_t sequenceAt(std::string_view s, size_t i, uint32_t& cp) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t len;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xe0) == 0xc0) {
        len = 2;
        cp = c & 0x1f;
    } else if ((c & 0xf0) == 0xe0) {
        len = 3;
        cp = c & 0x0f;
    } else if ((c & 0xf8) == 0xf0) {
        len = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xc0) != 0x80) return 0;
        cp = (cp << 6) | (cc & 0x3f);
    }
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
        (cp >= 0xd800 && cp <= 0xdfff) || cp > 0x10ffff)
        return 0;
    return len;
}

bool valid(std::string_view s) {
    return validPrefix(s) == s.size();
}

size_t validPrefix(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        // Eight ASCII bytes at a time: most of a ledger is.
        while (i + 8 <= s.size()) {
            uint64_t word;
            std::memcpy(&word, s.data() + i, 8);
            if (word & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i == s.size()) break;
        uint32_t cp;
        const size_t len = sequenceAt(s, i, cp);
        if (len == 0) return i;
        i += len;
    }
    return i;
}

}  // namespace Utf8
