#pragma once
// Checks and decodes the events the page posts. Anything of the wrong shape is refused
// with a short reason; nothing is guessed.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "toolkit/Screen.h"

namespace web {

struct DecodedEvent {
    uint64_t serial = 0;  // the screen the page drew when the user acted
    UIEvent event;
};

// Decodes {serial, type, ...fields}. On failure returns nullopt and sets `error`.
std::optional<DecodedEvent> decodeEvent(const nlohmann::json& body, std::string* error);

// True for "YYYY-MM-DD" with a real month and a day the month has.
bool isCalendarDate(const std::string& text);

}  // namespace web
