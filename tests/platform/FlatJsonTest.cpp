#include <gtest/gtest.h>

#include "platform/FlatJson.h"

using Map = std::map<std::string, std::string>;

TEST(FlatJson, ReadsEscapesAndUnicode) {
    auto m = flatjson::parse(
        R"({"q":"say \"hi\"","path":"a\\b\/c","ctl":"\b\f\n\r\t","u":"\u00e9\u4e2d",)"
        R"("pair":"\ud83d\ude00","raw":"café 中 😀","upper":"\u00C9"})");
    ASSERT_TRUE(m);
    EXPECT_EQ((*m)["q"], "say \"hi\"");
    EXPECT_EQ((*m)["path"], "a\\b/c");
    EXPECT_EQ((*m)["ctl"], "\b\f\n\r\t");
    EXPECT_EQ((*m)["u"], "é中");
    EXPECT_EQ((*m)["pair"], "😀");
    EXPECT_EQ((*m)["raw"], "café 中 😀");
    EXPECT_EQ((*m)["upper"], "É");
}

TEST(FlatJson, AcceptsWhitespaceEmptyObjectsAndRepeatedKeys) {
    EXPECT_EQ(flatjson::parse(" \n{ } \n"), Map{});
    EXPECT_EQ(flatjson::parse("\xEF\xBB\xBF{\"a\":\"1\"}"), (Map{{"a", "1"}}));
    EXPECT_EQ(flatjson::parse("{\"a\":\"1\",\"a\":\"2\"}"), (Map{{"a", "2"}}));
    EXPECT_EQ(flatjson::parse("{\"\":\"\"}"), (Map{{"", ""}}));
}

TEST(FlatJson, RejectsWhatIsNotAFlatObjectOfStrings) {
    const char* bad[] = {
        "",
        "[]",
        "{",
        "{\"a\":\"1\",}",
        "{\"a\" \"1\"}",
        "{\"a\":1}",
        "{\"a\":null}",
        "{\"a\":{\"b\":\"c\"}}",
        "{\"a\":\"1\"} x",
        "{\"a\":\"unterminated}",
        "{\"a\":\"bad \\x escape\"}",
        "{\"a\":\"\\u12\"}",
        "{\"a\":\"\\ud83d alone\"}",
        "{\"a\":\"\\ude00\"}",
        "{\"a\":\"\\ud83d\\u0041\"}",
        "{\"a\":\"raw\nnewline\"}",
        "{'a':'1'}",
    };
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(flatjson::parse(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(FlatJson, WriteThenReadGivesTheSameValues) {
    Map values = {{"plain", "text"},
                  {"quotes \"and\" \\slashes\\", "line1\nline2\r\n\ttab"},
                  {"controls", std::string("\x01\x1f\x7f", 3) + std::string(1, '\0') + "end"},
                  {"emoji", "😀 中文 ñ"},
                  {"", "empty key"},
                  {"empty value", ""}};
    const std::string text = flatjson::write(values);
    // Control characters never appear raw in the file; UTF-8 stays readable.
    for (char c : text) {
        if (c != '\n') {
            EXPECT_GE(static_cast<unsigned char>(c), 0x20);
        }
    }
    EXPECT_NE(text.find("😀 中文 ñ"), std::string::npos);
    EXPECT_EQ(flatjson::parse(text), values);
    EXPECT_EQ(flatjson::parse(flatjson::write({})), Map{});
}
