// Decoding the page's events: every type with its fields, and the shapes that must be
// refused before they reach a screen.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/ViewNode.h"
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

}  // namespace

TEST(EventDecoder, DecodesEachEventTypeWithItsFields) {
    std::string why;
    auto tap = decodeEvent(json::parse(R"({"serial":7,"type":"tap","action":"saveEvent",
        "id":"table","row":3})"),
                           &why);
    ASSERT_TRUE(tap) << why;
    EXPECT_EQ(tap->serial, 7u);
    EXPECT_EQ(tap->event.action, "saveEvent");
    EXPECT_EQ(tap->event.id, "table");
    EXPECT_EQ(tap->event.row, 3);

    auto text = decodeEvent(json::parse(R"({"serial":1,"type":"text","id":"f","location":2,
        "length":1,"replacement":"é"})"),
                            &why);
    ASSERT_TRUE(text) << why;
    EXPECT_EQ(text->event.location, 2);
    EXPECT_EQ(text->event.length, 1);
    EXPECT_EQ(text->event.replacement, "é");

    auto cancel = decodeEvent(json::parse(R"({"serial":1,"type":"alert","row":-1})"), &why);
    ASSERT_TRUE(cancel) << why;
    EXPECT_EQ(cancel->event.row, -1);

    auto leave = decodeEvent(json::parse(R"({"serial":1,"type":"chart","id":"c",
        "value":"leaveChart"})"),
                             &why);
    ASSERT_TRUE(leave) << why;
    EXPECT_EQ(leave->event.index, -1);

    auto mail = decodeEvent(json::parse(R"({"serial":1,"type":"mail","action":"send",
        "fields":{"to":"a@b.c, d@e.f","subject":"S","body":"B"}})"),
                            &why);
    ASSERT_TRUE(mail) << why;
    EXPECT_EQ(mail->event.fields.at("to"), "a@b.c, d@e.f");
    EXPECT_EQ(mail->event.fields.at("body"), "B");

    auto date = decodeEvent(json::parse(R"({"serial":1,"type":"date","id":"d",
        "value":"2024-02-29"})"),
                            &why);
    ASSERT_TRUE(date) << why;
    EXPECT_EQ(date->event.value, "2024-02-29");

    EXPECT_TRUE(decodeEvent(json::parse(R"({"serial":1,"type":"background"})"), &why));
    EXPECT_TRUE(decodeEvent(json::parse(R"({"serial":1,"type":"focus","id":"f"})"), &why));
}

TEST(EventDecoder, RefusesWrongShapes) {
    EXPECT_EQ(refusal(R"([1,2])"), "event must be an object");
    EXPECT_EQ(refusal(R"({"type":"background"})"), "missing serial");
    EXPECT_EQ(refusal(R"({"serial":"7","type":"background"})"), "serial must be an integer");
    EXPECT_EQ(refusal(R"({"serial":-1,"type":"background"})"), "serial out of range");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"explode"})"), "unknown event type explode");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"tap"})"), "missing action");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"tap","action":""})"), "action must not be empty");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"tap","action":"x","row":1.5})"),
              "row must be an integer");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"text","id":"f","location":0,"length":0})"),
              "missing replacement");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"text","id":"f","location":-1,"length":0,
        "replacement":""})"),
              "location out of range");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"text","id":"f","location":0,"length":0,
        "replacement":5})"),
              "replacement must be a string");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"row","id":"t","row":-1})"), "row out of range");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"segment","id":"s","index":99999999999})"),
              "index out of range");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"alert","row":-2})"), "row out of range");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"chart","id":"c","value":"hover","index":1})"),
              "unknown chart event hover");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"chart","id":"c","value":"enter"})"), "missing index");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"mail","action":"print"})"),
              "unknown mail action print");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"mail","action":"send","fields":{"cc":"x"}})"),
              "unknown mail field cc");
    EXPECT_EQ(refusal(R"({"serial":1,"type":"mail","action":"send","fields":{"to":["x"]}})"),
              "mail field to must be a string");
}

TEST(EventDecoder, DatesMustBeRealCalendarDays) {
    for (const char* d : {"2024-02-29", "2000-02-29"}) EXPECT_TRUE(web::isCalendarDate(d)) << d;
    for (const char* d : {"1900-02-29", "2023-02-29", "2024-04-31", "2024-13-01", "2024-1-01",
                          "2024/01/01", "0000-01-01"})
        EXPECT_FALSE(web::isCalendarDate(d)) << d;
    EXPECT_EQ(refusal(R"({"serial":1,"type":"date","id":"d","value":"2024-02-30"})"),
              "value must be a date YYYY-MM-DD");
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
    auto j = nlohmann::ordered_json::parse(text);
    EXPECT_TRUE(j["z"].is_number_integer());
    EXPECT_EQ(j["list"][3].get<double>(), -0.1);

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
        "",
        "plain",
        "quote \" back \\ slash / end",
        std::string("ctl \b\f\n\r\t \x01\x1f \x7f ") + '\0' + "nul",
        "caf\xC3\xA9 \xE6\x9D\xB1 \xF0\x9F\x98\x80",
        "lone \xC3( and \x80 \xBF",
        "overlong \xC0\xAF \xE0\x80\xAF \xF0\x80\x80\xAF",
        "surrogate \xED\xA0\x80 high \xF4\x90\x80\x80 \xF5\x80",
        "cut at end \xE6\x9D",
        "\xF0\x9F\x98",
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
