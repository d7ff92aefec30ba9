// The settings file format: one flat object of strings.
#include <gtest/gtest.h>

#include "platform/FlatJson.h"

using Map = std::map<std::string, std::string>;

TEST(FlatJson, ReadsEscapesUnicodeAndRepeatedKeys) {
    EXPECT_EQ(flatjson::parse(R"({"q":"say \"hi\"","path":"a\\b\/c","ctl":"\b\f\n\r\t",)"
                              R"("u":"\u00e9\u4e2d\u00C9","pair":"\ud83d\ude00","raw":"café 😀"})"),
              (Map{{"q", "say \"hi\""},
                   {"path", "a\\b/c"},
                   {"ctl", "\b\f\n\r\t"},
                   {"u", "é中É"},
                   {"pair", "😀"},
                   {"raw", "café 😀"}}));
    EXPECT_EQ(flatjson::parse(" \n{ } \n"), Map{});
    EXPECT_EQ(flatjson::parse("\xEF\xBB\xBF{\"a\":\"1\",\"a\":\"2\",\"\":\"\"}"),
              (Map{{"a", "2"}, {"", ""}}));
}

TEST(FlatJson, RejectsWhatIsNotAFlatObjectOfStrings) {
    for (const char* text : {"", "[]", "{", R"({"a":"1",})", R"({"a" "1"})", R"({"a":1})",
                             R"({"a":null})", R"({"a":{"b":"c"}})", R"({"a":"1"} x)",
                             R"({"a":"unterminated})", R"({"a":"bad \x escape"})",
                             R"({"a":"\u12"})", R"({"a":"\ud83d alone"})", R"({"a":"\ude00"})",
                             R"({"a":"\ud83d\u0041"})", "{\"a\":\"raw\nnewline\"}", "{'a':'1'}"}) {
        std::string error;
        EXPECT_FALSE(flatjson::parse(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(FlatJson, WriteThenReadGivesTheSameValues) {
    Map values = {{"quotes \"and\" \\slashes\\", "line1\nline2\r\n\ttab"},
                  {"controls", std::string("\x01\x1f\x7f", 3) + std::string(1, '\0') + "end"},
                  {"emoji", "😀 中文 ñ"},
                  {"", ""}};
    const std::string text = flatjson::write(values);
    // Control characters never appear raw in the file; UTF-8 stays readable.
    for (char c : text) {
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
    }
    EXPECT_NE(text.find("😀 中文 ñ"), std::string::npos);
    EXPECT_EQ(flatjson::parse(text), values);
    EXPECT_EQ(flatjson::parse(flatjson::write({})), Map{});
}
