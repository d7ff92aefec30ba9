#pragma once
// Turns the toolkit's neutral view tree into JSON text for the page.
#include <string>
#include <string_view>

#include "toolkit/ViewNode.h"

namespace web {

// Appends `node` as compact JSON. Numbers that hold a whole value are written as integers
// (serials, counts, indexes); everything else keeps its fraction (shortest text that reads
// back as the same double). Member order is kept as the screen built it. Non-finite numbers
// become null.
void appendJson(std::string& out, const ViewNode& node);
std::string toJsonText(const ViewNode& node);

// Appends `s` as a JSON string literal. Ledger texts may hold broken UTF-8: each maximal
// invalid sequence becomes one U+FFFD, so the page always receives valid text.
void appendJsonString(std::string& out, std::string_view s);

}  // namespace web
