#pragma once
// A reader and writer for one flat JSON object of text values: {"key": "value", ...}.
// Enough for the user defaults file and the localisation catalogs; nested values,
// numbers and literals are rejected rather than guessed at.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace flatjson {

// The object's members, or absent when the text is not one flat object of strings
// (`error`, when given, then says what is wrong and where). A repeated key keeps its
// last value.
std::optional<std::map<std::string, std::string>> parse(std::string_view text,
                                                        std::string* error = nullptr);

// The members as an object, one per line, keys in order. Quotes, backslashes and
// control characters are escaped; other UTF-8 is written as is.
std::string write(const std::map<std::string, std::string>& values);

// One JSON string literal, quotes included.
std::string quote(std::string_view text);

}  // namespace flatjson
