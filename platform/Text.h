#pragma once
// A text that may be absent: every record field, every user defaults value.
#include <optional>
#include <string>
#include <string_view>

using Text = std::optional<std::string>;
// A text read in place from a query's current row; absent for NULL.
using TextView = std::optional<std::string_view>;

inline const std::string& orEmpty(const Text& t) {
    static const std::string empty;
    return t ? *t : empty;
}

inline std::string orEmpty(const TextView& t) {
    return t ? std::string(*t) : std::string();
}
