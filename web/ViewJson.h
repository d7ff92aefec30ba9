#pragma once
// Turns the toolkit's neutral view tree into JSON for the page.
#include <nlohmann/json.hpp>

#include "platform/ViewNode.h"

namespace web {

// Numbers that hold a whole value are written as integers (serials, counts, indexes);
// everything else keeps its fraction. Member order is kept as the screen built it.
nlohmann::ordered_json toJson(const ViewNode& node);

}  // namespace web
