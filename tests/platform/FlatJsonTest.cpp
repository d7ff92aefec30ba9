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
