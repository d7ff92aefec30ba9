#include "storage/TextSearch.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>

#include <algorithm>

namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

std::string TextSearch::fold(std::string_view text) {
    // Names and models are mostly ASCII, whose folding is lower case; NFKC leaves it as is.
    if (isAscii(text)) return asciiLower(text);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkcCaseFold = icu::Normalizer2::getNFKCCasefoldInstance(status);
    if (U_FAILURE(status)) return asciiLower(text);
    std::string out;
    out.reserve(text.size());
    icu::StringByteSink<std::string> sink(&out);
    nfkcCaseFold->normalizeUTF8(0, icu::StringPiece(text.data(), static_cast<int32_t>(text.size())),
                                sink, nullptr, status);
    return U_SUCCESS(status) ? out : asciiLower(text);
}

TextSearch::TextSearch(std::string_view typed) : folded_(fold(typed)) {
    // Typing is one line: a list keeps the texts of a row one per line, and a match must not
    // span two of them.
    std::replace_if(
        folded_.begin(), folded_.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    // Folding first: it turns other spaces (no-break, ideographic) into plain ones.
    const auto first = std::find_if_not(folded_.begin(), folded_.end(), isSpace);
    const auto last = std::find_if_not(folded_.rbegin(), folded_.rend(), isSpace).base();
    folded_ = first < last ? std::string(first, last) : std::string();
}
