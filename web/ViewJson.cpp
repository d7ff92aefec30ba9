#include "web/ViewJson.h"

#include <cmath>
#include <limits>

namespace web {

namespace {

nlohmann::ordered_json number(double d) {
    if (!std::isfinite(d)) return nullptr;  // JSON has no NaN or infinity
    // 2^53: above it a double no longer counts every integer, so keep it as it is.
    constexpr double exact = 9007199254740992.0;
    if (std::trunc(d) == d && std::fabs(d) <= exact) return static_cast<long long>(d);
    return d;
}

}  // namespace

nlohmann::ordered_json toJson(const ViewNode& node) {
    if (node.isNull()) return nullptr;
    if (node.isBool()) return node.asBool();
    if (node.isNumber()) return number(node.asNumber());
    if (node.isString()) return node.asString();
    if (node.isArray()) {
        auto out = nlohmann::ordered_json::array();
        for (const auto& item : node.asArray()) out.push_back(toJson(item));
        return out;
    }
    auto out = nlohmann::ordered_json::object();
    for (const auto& [key, value] : node.asObject()) out[key] = toJson(value);
    return out;
}

}  // namespace web
