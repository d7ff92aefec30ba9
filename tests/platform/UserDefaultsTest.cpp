// The settings file: survives restarts, is replaced atomically, a broken one is kept aside,
// and its reader takes nothing but a flat object of strings.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <regex>

#include "platform/FlatJson.h"
#include "platform/UserDefaults.h"
#include "tests/sql/ScratchDir.h"

namespace fs = std::filesystem;
using V = std::vector<std::string>;

namespace {

class UserDefaultsTest : public ::testing::Test {
  protected:
    V namesIn() const {
        V names;
        for (const auto& e : fs::directory_iterator(dir.path()))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    void save(const std::string& value) {
        UserDefaults d(file);
        d.setObject_forKey(value, "k");
        ASSERT_TRUE(d.synchronize());
    }

    ScratchDir dir;
    const std::string file = dir.file("user-defaults.json");
};

}  // namespace

TEST_F(UserDefaultsTest, ValuesSurviveARestart) {
    const std::string tricky =
        "say \"hi\"\nsecond line\t\\ 😀 \x01\x1f\x7f 中文" + std::string(1, '\0');
    {
        UserDefaults d(file);
        EXPECT_TRUE(d.values().empty());
        EXPECT_TRUE(namesIn().empty());  // reading a missing file creates nothing
        d.setObject_forKey("yyyy/MM/dd", "yyyy/MM/dd");
        d.setObject_forKey(tricky, "key with \"quotes\"\n");
        d.setObject_forKey("", "empty");
        d.setObject_forKey("gone", "removed");
        d.removeObjectForKey("removed");
        ASSERT_TRUE(d.synchronize());
    }
    // Control characters never stand raw in the file.
    for (char c : ScratchDir::read(file))
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
    UserDefaults again(file);
    EXPECT_EQ(again.stringForKey("yyyy/MM/dd"), Text("yyyy/MM/dd"));
    EXPECT_EQ(again.stringForKey("key with \"quotes\"\n"), Text(tricky));
    EXPECT_EQ(again.stringForKey("empty"), Text(""));  // empty is not absent
    EXPECT_FALSE(again.stringForKey("removed"));
    EXPECT_EQ(again.values().size(), 3u);
    EXPECT_EQ(namesIn(), V{"user-defaults.json"});  // no temporary files left
}

TEST_F(UserDefaultsTest, AMalformedFileIsMovedAsideAndKept) {
    const std::string garbage = "{\"a\": \"1\", oops";
    ScratchDir::write(file, garbage);
    testing::internal::CaptureStderr();
    UserDefaults d(file);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(file), std::string::npos);
    EXPECT_TRUE(d.values().empty());
    auto names = namesIn();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(
        std::regex_match(names[0], std::regex(R"(user-defaults\.json\.broken-\d{8}-\d{6})")))
        << names[0];
    EXPECT_EQ(ScratchDir::read(dir.file(names[0])), garbage);  // kept for inspection
}

TEST_F(UserDefaultsTest, CrashBetweenWriteAndRenameKeepsTheOldValuesAndStartRemovesTheCopy) {
    save("old");
    ScratchDir::write(file + ".tmp-ABC123", "{\"k\": \"half-writ");
    ScratchDir::write(file + ".tmp-notes", "not a name the writes use");
    UserDefaults d(file);
    EXPECT_EQ(d.stringForKey("k"), Text("old"));
    EXPECT_EQ(d.removeLeftoverTemporaryFiles(), 1);
    EXPECT_EQ(namesIn(), (V{"user-defaults.json", "user-defaults.json.tmp-notes"}));
}

TEST_F(UserDefaultsTest, FailedWriteOrRenameKeepsTheOldFileAndLeavesNoTemporary) {
    save("old");
    const std::string before = ScratchDir::read(file);
    UserDefaults d(file);
    d.setObject_forKey(std::string(4096, 'n'), "k");
    // A full disk, simulated with a file size limit (root ignores permissions).
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = d.synchronize();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ScratchDir::read(file), before);
    EXPECT_EQ(namesIn(), V{"user-defaults.json"});
    EXPECT_TRUE(d.synchronize());  // once there is room again

    // A non-empty directory where the file should go cannot be replaced by rename.
    fs::remove(file);
    fs::create_directory(file);
    ScratchDir::write(file + "/keep", "x");
    d.setObject_forKey("changed", "k");
    EXPECT_FALSE(d.synchronize());
    EXPECT_EQ(namesIn(), V{"user-defaults.json"});
    EXPECT_EQ(ScratchDir::read(file + "/keep"), "x");
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
