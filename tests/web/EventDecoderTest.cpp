// Decoding the page's events: every type with its fields, and the shapes that must be
// refused before they reach a screen.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "toolkit/ViewNode.h"
#include "web/EventDecoder.h"
#include "web/ViewJson.h"

using nlohmann::json;
using web::decodeEvent;

namespace {

std::string refusal(const std::string& body) {
    std::string why;
    auto e = decodeEvent(json::parse(body), &why);
    return e ? "" : why;
}

// The decoded event in one line: serial, type, then every field that is set.
std::string decoded(const std::string& body) {
    std::string why;
    auto d = decodeEvent(json::parse(body), &why);
    if (!d) return "refused: " + why;
    const UIEvent& e = d->event;
    std::string out = std::to_string(d->serial) + " " + e.type;
    auto add = [&](const char* k, const std::string& v) {
        if (!v.empty()) out += std::string(" ") + k + "=" + v;
    };
    add("id", e.id);
    add("action", e.action);
    add("value", e.value);
    add("replacement", e.replacement);
    out += " row=" + std::to_string(e.row) + " index=" + std::to_string(e.index);
    if (e.type == "text")
        out += " range=" + std::to_string(e.location) + "+" + std::to_string(e.length);
    for (const auto& [k, v] : e.fields) out += " " + k + ":" + v;
    return out;
}

}  // namespace

TEST(EventDecoder, DecodesEachEventTypeWithItsFields) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {R"({"serial":7,"type":"tap","action":"saveEvent","id":"table","row":3})",
         "7 tap id=table action=saveEvent row=3 index=-1"},
        {R"({"serial":1,"type":"text","id":"f","location":2,"length":1,"replacement":"é"})",
         "1 text id=f replacement=é row=-1 index=-1 range=2+1"},
        {R"({"serial":1,"type":"alert","row":-1})", "1 alert row=-1 index=-1"},
        {R"({"serial":1,"type":"chart","id":"c","value":"leaveChart"})",
         "1 chart id=c value=leaveChart row=-1 index=-1"},
        {R"({"serial":1,"type":"mail","action":"send","fields":{"to":"a@b.c, d@e.f","body":"B"}})",
         "1 mail action=send row=-1 index=-1 body:B to:a@b.c, d@e.f"},
        {R"({"serial":1,"type":"mail","action":"cancelSendEvent"})",
         "1 mail action=cancelSendEvent row=-1 index=-1"},
        {R"({"serial":1,"type":"date","id":"d","value":"2024-02-29"})",
         "1 date id=d value=2024-02-29 row=-1 index=-1"},
        {R"({"serial":1,"type":"segment","id":"s","index":2})", "1 segment id=s row=-1 index=2"},
        {R"({"serial":1,"type":"back"})", "1 back row=-1 index=-1"},
    };
    for (const auto& [body, expected] : cases) EXPECT_EQ(decoded(body), expected) << body;
}

TEST(EventDecoder, RefusesWrongShapes) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {R"([1,2])", "event must be an object"},
        {R"({"type":"background"})", "missing serial"},
        {R"({"serial":"7","type":"background"})", "serial must be an integer"},
        {R"({"serial":-1,"type":"background"})", "serial out of range"},
        {R"({"serial":1,"type":"explode"})", "unknown event type explode"},
        {R"({"serial":1,"type":"tap"})", "missing action"},
        {R"({"serial":1,"type":"tap","action":""})", "action must not be empty"},
        {R"({"serial":1,"type":"tap","action":"x","row":1.5})", "row must be an integer"},
        {R"({"serial":1,"type":"text","id":"f","location":0,"length":0})", "missing replacement"},
        {R"({"serial":1,"type":"text","id":"f","location":-1,"length":0,"replacement":""})",
         "location out of range"},
        {R"({"serial":1,"type":"text","id":"f","location":0,"length":0,"replacement":5})",
         "replacement must be a string"},
        {R"({"serial":1,"type":"segment","id":"s","index":99999999999})", "index out of range"},
        {R"({"serial":1,"type":"chart","id":"c","value":"hover","index":1})",
         "unknown chart event hover"},
        {R"({"serial":1,"type":"chart","id":"c","value":"enter"})", "missing index"},
        {R"({"serial":1,"type":"mail","action":"print"})", "unknown mail action print"},
        {R"({"serial":1,"type":"mail","action":"send","fields":{"cc":"x"}})",
         "unknown mail field cc"},
        {R"({"serial":1,"type":"mail","action":"send","fields":{"to":["x"]}})",
         "mail field to must be a string"},
        {R"({"serial":1,"type":"date","id":"d","value":"2024-02-30"})",
         "value must be a date YYYY-MM-DD"},
    };
    for (const auto& [body, why] : cases) EXPECT_EQ(refusal(body), why) << body;
}

TEST(EventDecoder, DatesMustBeRealCalendarDays) {
    for (const char* d : {"2024-02-29", "2000-02-29"}) EXPECT_TRUE(web::isCalendarDate(d)) << d;
    for (const char* d : {"1900-02-29", "2023-02-29", "2024-04-31", "2024-13-01", "2024-1-01",
                          "2024/01/01", "0000-01-01"})
        EXPECT_FALSE(web::isCalendarDate(d)) << d;
}

TEST(ViewJson, KeepsOrderTypesAndWholeNumbers) {
    ViewNode node = ViewNode::object();
    ViewNode list = ViewNode::array();
    list.push(1.5).push(nullptr).push(true).push(-0.1).push(1e-7).push(-42);
    node.set("z", 3)
        .set("a", "text <b>&</b>")
        .set("list", std::move(list))
        .set("big", 18446744073709551615ULL)
        .set("nan", std::nan(""))
        .set("empty", ViewNode::object());
    const std::string text = web::toJsonText(node);
    EXPECT_EQ(text, R"({"z":3,"a":"text <b>&</b>","list":[1.5,null,true,-0.1,1e-07,-42],)"
                    R"("big":1.8446744073709552e+19,"nan":null,"empty":{}})");

    // Fractions and huge values are written as the JSON library writes them.
    for (double d : {0.5, -2.25, 123456.789, 1e-4, 1.5e-4, 0.00012, 3e-300, 1e15 + 0.5,
                     4503599627370495.5, 1e16, -1e300, 1.7976931348623157e308, 6.02e23}) {
        ViewNode n(d);
        EXPECT_EQ(web::toJsonText(n), nlohmann::ordered_json(d).dump()) << d;
    }
}

// The page parses what the writer gives; strings must read exactly as the JSON library
// writes them, broken UTF-8 included (replaced, never passed on).
TEST(ViewJson, StringsMatchTheJsonLibraryIncludingBrokenUtf8) {
    const std::vector<std::string> cases = {
        "quote \" back \\ slash / end",
        std::string("ctl \b\f\n\r\t \x01\x1f \x7f ") + '\0' + "nul",
        "caf\xC3\xA9 \xE6\x9D\xB1 \xF0\x9F\x98\x80",
        "lone \xC3( and \x80 \xBF",
        "overlong \xC0\xAF \xE0\x80\xAF \xF0\x80\x80\xAF",
        "surrogate \xED\xA0\x80 high \xF4\x90\x80\x80 \xF5\x80",
        "\xE1\x41\xE1\x80\x41",
    };
    for (const auto& s : cases) {
        std::string mine;
        web::appendJsonString(mine, s);
        const std::string theirs = nlohmann::ordered_json(s).dump(
            -1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        EXPECT_EQ(mine, theirs) << s;
    }
    // Every byte pair and a few triples, against the same reference.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; b += (a >= 0x80 ? 1 : 37)) {
            const std::string s{char(a), char(b), char(0x80 | (a & 0x3f)), 'x'};
            std::string mine;
            web::appendJsonString(mine, s);
            ASSERT_EQ(mine, nlohmann::ordered_json(s).dump(
                                -1, ' ', false, nlohmann::ordered_json::error_handler_t::replace))
                << a << " " << b;
        }
    }
}
