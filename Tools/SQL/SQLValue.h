#pragma once
// One argument for a statement placeholder; bound by the kind it holds.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct SQLNull {};
struct SQLBytes {
    std::vector<uint8_t> bytes;
};

class SQLValue {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    using Variant = std::variant<std::monostate,  // absent
                                 SQLNull,         // the explicit null value
                                 SQLBytes, TimePoint, bool, int64_t, uint64_t, float, double,
                                 std::string>;

    SQLValue() = default;
    SQLValue(std::nullopt_t) {}
    SQLValue(SQLNull n) : v_(n) {}
    SQLValue(SQLBytes b) : v_(std::move(b)) {}
    SQLValue(TimePoint t) : v_(t) {}
    SQLValue(bool b) : v_(b) {}
    SQLValue(int i) : v_(int64_t(i)) {}
    SQLValue(long i) : v_(int64_t(i)) {}
    SQLValue(long long i) : v_(int64_t(i)) {}
    SQLValue(unsigned int u) : v_(int64_t(u)) {}
    SQLValue(unsigned long u) : v_(uint64_t(u)) {}
    SQLValue(unsigned long long u) : v_(uint64_t(u)) {}
    SQLValue(float f) : v_(f) {}
    SQLValue(double d) : v_(d) {}
    SQLValue(std::string s) : v_(std::move(s)) {}
    SQLValue(const char* s) : v_(std::string(s)) {}
    SQLValue(const std::optional<std::string>& t) {
        if (t) v_ = *t;
    }

    const Variant& value() const { return v_; }
    bool isAbsentOrNull() const { return v_.index() <= 1; }
    // For the trace log ("obj: %@").
    std::string description() const;

private:
    Variant v_;
};
