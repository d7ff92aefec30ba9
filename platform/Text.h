#pragma once
// A text that may be absent: every record field, every user defaults value.
#include <optional>
#include <string>

using Text = std::optional<std::string>;

inline const std::string& orEmpty(const Text& t) {
    static const std::string empty;
    return t ? *t : empty;
}
