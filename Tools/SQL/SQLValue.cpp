#include "Tools/SQL/SQLValue.h"

#include <cstdio>

std::string SQLValue::description() const {
    struct Describe {
        std::string operator()(std::monostate) const { return "(null)"; }
        std::string operator()(SQLNull) const { return "<null>"; }
        std::string operator()(const SQLBytes& b) const {
            return "<" + std::to_string(b.bytes.size()) + " bytes>";
        }
        std::string operator()(const TimePoint& t) const {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.6f",
                          std::chrono::duration<double>(t.time_since_epoch()).count());
            return buf;
        }
        std::string operator()(bool b) const { return b ? "1" : "0"; }
        std::string operator()(int64_t i) const { return std::to_string(i); }
        std::string operator()(uint64_t u) const { return std::to_string(u); }
        std::string operator()(float f) const {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%g", static_cast<double>(f));
            return buf;
        }
        std::string operator()(double d) const {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.17g", d);
            return buf;
        }
        std::string operator()(const std::string& s) const { return s; }
    };
    return std::visit(Describe{}, v_);
}
