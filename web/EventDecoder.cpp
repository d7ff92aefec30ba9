#include "web/EventDecoder.h"

#include <climits>
#include <set>

namespace web {

namespace {

using nlohmann::json;

// Reads members of one event object, remembering the first thing that was wrong.
class Reader {
  public:
    Reader(const json& obj, std::string* error) : obj_(obj), error_(error) {}

    bool ok() const { return ok_; }

    bool fail(const std::string& why) {
        if (ok_ && error_) *error_ = why;
        ok_ = false;
        return false;
    }

    // A string member; `required` members must be present and non-empty.
    bool string(const char* key, std::string* out, bool required) {
        auto it = obj_.find(key);
        if (it == obj_.end() || it->is_null()) {
            return required ? fail(std::string("missing ") + key) : true;
        }
        if (!it->is_string()) return fail(std::string(key) + " must be a string");
        *out = it->get<std::string>();
        if (required && out->empty()) return fail(std::string(key) + " must not be empty");
        return true;
    }

    // An integer member within [lo, hi].
    template <class T>
    bool integer(const char* key, T* out, bool required, long long lo, long long hi) {
        auto it = obj_.find(key);
        if (it == obj_.end() || it->is_null()) {
            return required ? fail(std::string("missing ") + key) : true;
        }
        if (!it->is_number_integer()) return fail(std::string(key) + " must be an integer");
        long long v = 0;
        if (it->is_number_unsigned()) {
            auto u = it->get<unsigned long long>();
            if (u > static_cast<unsigned long long>(LLONG_MAX)) {
                return fail(std::string(key) + " out of range");
            }
            v = static_cast<long long>(u);
        } else {
            v = it->get<long long>();
        }
        if (v < lo || v > hi) return fail(std::string(key) + " out of range");
        *out = static_cast<T>(v);
        return true;
    }

  private:
    const json& obj_;
    std::string* error_;
    bool ok_ = true;
};

bool decodeFields(const json& body, UIEvent* e, Reader* r) {
    auto it = body.find("fields");
    if (it == body.end() || it->is_null()) return true;
    if (!it->is_object()) return r->fail("fields must be an object");
    static const std::set<std::string> known = {"to", "subject", "body"};
    for (const auto& [key, value] : it->items()) {
        if (!known.count(key)) return r->fail("unknown mail field " + key);
        if (!value.is_string()) return r->fail("mail field " + key + " must be a string");
        e->fields[key] = value.get<std::string>();
    }
    return true;
}

}  // namespace

bool isCalendarDate(const std::string& t) {
    if (t.size() != 10 || t[4] != '-' || t[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (t[i] < '0' || t[i] > '9') return false;
    }
    int year = std::stoi(t.substr(0, 4));
    int month = std::stoi(t.substr(5, 2));
    int day = std::stoi(t.substr(8, 2));
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int last = days[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

std::optional<DecodedEvent> decodeEvent(const json& body, std::string* error) {
    if (!body.is_object()) {
        if (error) *error = "event must be an object";
        return std::nullopt;
    }
    DecodedEvent out;
    UIEvent& e = out.event;
    Reader r(body, error);
    constexpr long long kIndexMax = INT_MAX;
    // Text ranges count code points; no field is near this long.
    constexpr long long kTextMax = 1LL << 30;

    r.integer("serial", &out.serial, true, 0, LLONG_MAX);
    r.string("type", &e.type, true);
    if (!r.ok()) return std::nullopt;

    const std::string& t = e.type;
    if (t == "tap") {
        r.string("action", &e.action, true);
        r.string("id", &e.id, false);
        r.integer("row", &e.row, false, -1, kIndexMax);
    } else if (t == "row") {
        r.string("id", &e.id, true);
        r.integer("row", &e.row, true, 0, kIndexMax);
    } else if (t == "window") {
        r.string("id", &e.id, true);
        r.integer("first", &e.row, true, 0, kIndexMax);
    } else if (t == "text") {
        r.string("id", &e.id, true);
        r.integer("location", &e.location, true, 0, kTextMax);
        r.integer("length", &e.length, true, 0, kTextMax);
        r.string("replacement", &e.replacement, false);
        if (r.ok() && !body.contains("replacement")) r.fail("missing replacement");
    } else if (t == "return" || t == "focus") {
        r.string("id", &e.id, true);
    } else if (t == "date") {
        r.string("id", &e.id, true);
        r.string("value", &e.value, true);
        if (r.ok() && !isCalendarDate(e.value)) r.fail("value must be a date YYYY-MM-DD");
    } else if (t == "segment") {
        r.string("id", &e.id, true);
        r.integer("index", &e.index, true, 0, kIndexMax);
    } else if (t == "sheet") {
        r.integer("index", &e.index, true, 0, kIndexMax);
    } else if (t == "alert") {
        r.integer("row", &e.row, true, -1, kIndexMax);
    } else if (t == "chart") {
        r.string("id", &e.id, true);
        r.string("value", &e.value, true);
        static const std::set<std::string> kinds = {"enter", "leave", "leaveChart", "select"};
        if (r.ok() && !kinds.count(e.value)) r.fail("unknown chart event " + e.value);
        r.integer("index", &e.index, e.value != "leaveChart", -1, kIndexMax);
    } else if (t == "mail") {
        r.string("action", &e.action, true);
        static const std::set<std::string> actions = {"send", "save", "cancel", "cancelSendEvent"};
        if (r.ok() && !actions.count(e.action)) {
            r.fail("unknown mail action " + e.action);
        }
        decodeFields(body, &e, &r);
    } else if (t == "background" || t == "banner" || t == "back") {
        // nothing to read
    } else {
        r.fail("unknown event type " + t);
    }
    if (!r.ok()) return std::nullopt;
    return out;
}

}  // namespace web
