#pragma once
// UTF-8 checks for the files the export writes: spreadsheets refuse what is not UTF-8.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Utf8 {

// The length of the valid UTF-8 sequence at `s[i]` (1 to 4), with its code point in `cp`;
// 0 when the bytes there are not UTF-8 (overlong forms, surrogates and values past the last
// code point included).
size_t sequenceAt(std::string_view s, size_t i, uint32_t& cp);

// Whether the whole text is valid UTF-8.
bool valid(std::string_view s);
// The length of the longest valid UTF-8 start of `s`: what a file read a piece at a time can
// check, carrying the rest (a character cut by the piece's end) over to the next piece.
size_t validPrefix(std::string_view s);

}  // namespace Utf8
