#pragma once
// A neutral tree of values describing what a screen shows. The web layer turns it into
// JSON; nothing here knows about any wire format.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

class ViewNode {
  public:
    using Array = std::vector<ViewNode>;
    using Object = std::vector<std::pair<std::string, ViewNode>>;  // keeps insertion order

    ViewNode() = default;  // null
    ViewNode(std::nullptr_t) {}
    ViewNode(bool b) : v_(b) {}
    ViewNode(int i) : v_(static_cast<double>(i)) {}
    ViewNode(long i) : v_(static_cast<double>(i)) {}
    ViewNode(unsigned long i) : v_(static_cast<double>(i)) {}
    ViewNode(long long i) : v_(static_cast<double>(i)) {}
    ViewNode(unsigned long long i) : v_(static_cast<double>(i)) {}
    ViewNode(double d) : v_(d) {}
    ViewNode(std::string s) : v_(std::move(s)) {}
    ViewNode(const char* s) : v_(std::string(s)) {}
    ViewNode(Array a) : v_(std::move(a)) {}

    static ViewNode object() {
        ViewNode n;
        n.v_ = Object{};
        return n;
    }
    static ViewNode array() {
        ViewNode n;
        n.v_ = Array{};
        return n;
    }

    // Object access: sets (or replaces) a member and returns *this for chaining.
    ViewNode& set(const std::string& key, ViewNode value);
    // Array access.
    ViewNode& push(ViewNode value);

    bool isNull() const { return v_.index() == 0; }
    bool isBool() const { return v_.index() == 1; }
    bool isNumber() const { return v_.index() == 2; }
    bool isString() const { return v_.index() == 3; }
    bool isArray() const { return v_.index() == 4; }
    bool isObject() const { return v_.index() == 5; }
    bool asBool() const { return std::get<bool>(v_); }
    double asNumber() const { return std::get<double>(v_); }
    const std::string& asString() const { return std::get<std::string>(v_); }
    const Array& asArray() const { return std::get<Array>(v_); }
    const Object& asObject() const { return std::get<Object>(v_); }
    // Member lookup on objects; nullptr when absent or not an object.
    const ViewNode* get(const std::string& key) const;

  private:
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> v_;
};
