#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/DocumentsDirectory.h"
#include "platform/UserDefaults.h"

namespace fs = std::filesystem;

namespace {

class UserDefaultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "mk-defaults-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        file_ = dir_ + "/user-defaults.json";
    }
    void TearDown() override {
        UserDefaults::resetStandardUserDefaults();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    static void writeFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::vector<std::string> namesIn() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir_;
    std::string file_;
};

}  // namespace

TEST_F(UserDefaultsTest, MissingFileIsAnEmptyStore) {
    UserDefaults d(file_);
    EXPECT_TRUE(d.values().empty());
    EXPECT_FALSE(d.stringForKey("yyyy/MM/dd").has_value());
    EXPECT_TRUE(namesIn().empty());  // reading creates nothing
}

TEST_F(UserDefaultsTest, ValuesSurviveARestart) {
    const std::string tricky = "say \"hi\"\nsecond line\t\\ 😀 \x01 中文";
    {
        UserDefaults d(file_);
        d.setObject_forKey("yyyy/MM/dd", "yyyy/MM/dd");
        d.setObject_forKey("111", "000");
        d.setObject_forKey(tricky, "key with \"quotes\"\n");
        d.setObject_forKey("", "empty");
        d.setObject_forKey("gone", "removed");
        d.removeObjectForKey("removed");
        ASSERT_TRUE(d.synchronize());
    }
    UserDefaults again(file_);
    EXPECT_EQ(again.stringForKey("yyyy/MM/dd"), Text("yyyy/MM/dd"));
    EXPECT_EQ(again.stringForKey("000"), Text("111"));
    EXPECT_EQ(again.stringForKey("key with \"quotes\"\n"), Text(tricky));
    EXPECT_EQ(again.stringForKey("empty"), Text(""));  // empty is not absent
    EXPECT_FALSE(again.stringForKey("removed"));
    EXPECT_EQ(again.values().size(), 4u);
    // Only the settings file is left behind: no temporary files.
    EXPECT_EQ(namesIn(), std::vector<std::string>{"user-defaults.json"});
}

TEST_F(UserDefaultsTest, ReadsEscapesWrittenByOthers) {
    writeFile(file_, R"({"pair":"\ud83d\ude00","e":"caf\u00e9","nl":"a\nb"})");
    UserDefaults d(file_);
    EXPECT_EQ(d.stringForKey("pair"), Text("😀"));
    EXPECT_EQ(d.stringForKey("e"), Text("café"));
    EXPECT_EQ(d.stringForKey("nl"), Text("a\nb"));
}

TEST_F(UserDefaultsTest, MalformedFileIsMovedAsideAndTheStoreStartsEmpty) {
    const std::string garbage = "{\"a\": \"1\", oops";
    writeFile(file_, garbage);
    testing::internal::CaptureStderr();
    UserDefaults d(file_);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(d.values().empty());
    EXPECT_NE(err.find(file_), std::string::npos) << err;

    auto names = namesIn();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(
        std::regex_match(names[0], std::regex(R"(user-defaults\.json\.broken-\d{8}-\d{6}(-\d+)?)")))
        << names[0];
    EXPECT_EQ(readFile(dir_ + "/" + names[0]), garbage);  // kept for inspection

    // The store works normally afterwards.
    d.setObject_forKey("v", "k");
    ASSERT_TRUE(d.synchronize());
    EXPECT_EQ(UserDefaults(file_).stringForKey("k"), Text("v"));
}

TEST_F(UserDefaultsTest, TwoBrokenFilesInTheSameSecondAreBothKept) {
    writeFile(file_, "not json");
    testing::internal::CaptureStderr();
    { UserDefaults d(file_); }
    writeFile(file_, "[\"still not\"]");
    { UserDefaults d(file_); }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(namesIn().size(), 2u);
}

TEST_F(UserDefaultsTest, StaleTemporaryFileFromACrashIsIgnored) {
    {
        UserDefaults d(file_);
        d.setObject_forKey("old", "k");
        ASSERT_TRUE(d.synchronize());
    }
    // A crash after writing the temporary file but before the rename.
    writeFile(file_ + ".tmp-ABC123", "{\"k\": \"half-writ");
    UserDefaults d(file_);
    EXPECT_EQ(d.stringForKey("k"), Text("old"));
    d.setObject_forKey("new", "k");
    ASSERT_TRUE(d.synchronize());
    EXPECT_EQ(UserDefaults(file_).stringForKey("k"), Text("new"));
}

TEST_F(UserDefaultsTest, FailedRenameReportsFalseAndLeavesNoTemporaryFile) {
    UserDefaults d(file_);
    d.setObject_forKey("v", "k");
    // A non-empty directory where the file should go cannot be replaced by rename.
    fs::create_directory(file_);
    writeFile(file_ + "/keep", "x");
    EXPECT_FALSE(d.synchronize());
    EXPECT_EQ(namesIn(), std::vector<std::string>{"user-defaults.json"});
    EXPECT_EQ(readFile(file_ + "/keep"), "x");
}

TEST_F(UserDefaultsTest, FailedWriteKeepsTheOldFile) {
    {
        UserDefaults d(file_);
        d.setObject_forKey("old", "k");
        ASSERT_TRUE(d.synchronize());
    }
    const std::string before = readFile(file_);
    UserDefaults d(file_);
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
    EXPECT_EQ(readFile(file_), before);
    EXPECT_EQ(namesIn(), std::vector<std::string>{"user-defaults.json"});
    EXPECT_EQ(UserDefaults(file_).stringForKey("k"), Text("old"));
    // Once there is room again the same store writes fine.
    EXPECT_TRUE(d.synchronize());
}

TEST_F(UserDefaultsTest, StandardStoreLoadsFromTheDocumentsDirectoryLazily) {
    const std::string saved = DocumentsDirectory::path();
    DocumentsDirectory::setPath(dir_);
    UserDefaults::resetStandardUserDefaults();
    writeFile(file_, R"({"yyyy/MM/dd":"yyyy/MM/dd"})");
    auto& store = UserDefaults::standardUserDefaults();
    EXPECT_EQ(store.filePath(), file_);
    EXPECT_EQ(store.stringForKey("yyyy/MM/dd"), Text("yyyy/MM/dd"));
    EXPECT_EQ(&store, &UserDefaults::standardUserDefaults());

    // After a reset the store reflects the file, not the old in-memory values.
    store.setObject_forKey("unsaved", "x");
    UserDefaults::resetStandardUserDefaults();
    EXPECT_FALSE(UserDefaults::standardUserDefaults().stringForKey("x"));
    UserDefaults::resetStandardUserDefaults();
    DocumentsDirectory::setPath(saved);
}
