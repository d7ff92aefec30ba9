#include "toolkit/ViewNode.h"

ViewNode& ViewNode::set(const std::string& key, ViewNode value) {
    if (!isObject()) v_ = Object{};
    auto& obj = std::get<Object>(v_);
    for (auto& [k, v] : obj) {
        if (k == key) {
            v = std::move(value);
            return *this;
        }
    }
    // A widget's description has about a dozen members: grow once rather than four times
    // (the whole tree is rebuilt for every answer to the page).
    if (obj.empty()) obj.reserve(12);
    obj.emplace_back(key, std::move(value));
    return *this;
}

ViewNode& ViewNode::push(ViewNode value) {
    if (!isArray()) v_ = Array{};
    std::get<Array>(v_).push_back(std::move(value));
    return *this;
}

const ViewNode* ViewNode::get(const std::string& key) const {
    if (!isObject()) return nullptr;
    for (const auto& [k, v] : std::get<Object>(v_)) {
        if (k == key) return &v;
    }
    return nullptr;
}
