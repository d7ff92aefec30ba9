#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "EnvGuard.h"
#include "platform/Clock.h"
#include "platform/DocumentsDirectory.h"

namespace fs = std::filesystem;

TEST(DocumentsDirectory, ResolutionOrder) {
    EnvGuard env;
    env.set("MARROWKEEPER_HOME", "/srv/mk");
    env.set("XDG_DATA_HOME", "/xdg");
    env.set("HOME", "/home/u");
    EXPECT_EQ(DocumentsDirectory::resolve(std::string("/explicit")), "/explicit");
    EXPECT_EQ(DocumentsDirectory::resolve(std::nullopt), "/srv/mk");
    env.set("MARROWKEEPER_HOME", "");
    EXPECT_EQ(DocumentsDirectory::resolve(std::nullopt), "/xdg/marrowkeeper");
    env.unset("MARROWKEEPER_HOME");
    env.unset("XDG_DATA_HOME");
    EXPECT_EQ(DocumentsDirectory::resolve(std::nullopt), "/home/u/.local/share/marrowkeeper");
    EXPECT_EQ(DocumentsDirectory::resolve(std::string("")), "/home/u/.local/share/marrowkeeper");
}

TEST(DocumentsDirectory, FileJoinsThePathInUse) {
    const std::string saved = DocumentsDirectory::path();
    DocumentsDirectory::setPath("/data/dir");
    EXPECT_EQ(DocumentsDirectory::path(), "/data/dir");
    EXPECT_EQ(DocumentsDirectory::file("voice.sqlite"), "/data/dir/voice.sqlite");
    DocumentsDirectory::setPath(saved);
}

TEST(DocumentsDirectory, EnsureCreatesParentsAndRejectsNonDirectories) {
    std::string tmpl = (fs::temp_directory_path() / "mk-docs-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const std::string root = tmpl;

    const std::string nested = root + "/a/b/c";
    std::string error;
    EXPECT_TRUE(DocumentsDirectory::ensure(nested, &error)) << error;
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_TRUE(DocumentsDirectory::ensure(nested, &error)) << error;  // already there

    const std::string plain = root + "/file";
    std::ofstream(plain) << "x";
    error.clear();
    EXPECT_FALSE(DocumentsDirectory::ensure(plain, &error));
    EXPECT_NE(error.find(plain), std::string::npos) << error;
    EXPECT_NE(error.find("not a directory"), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(DocumentsDirectory::ensure(plain + "/below", &error));
    EXPECT_NE(error.find(plain + "/below"), std::string::npos) << error;
    EXPECT_FALSE(DocumentsDirectory::ensure("", nullptr));

    fs::remove_all(root);
}

TEST(SystemClock, TimeZoneComesFromTZ) {
    EnvGuard env;
    SystemClock clock;
    env.set("TZ", "Asia/Tokyo");
    EXPECT_EQ(clock.timeZoneId(), "Asia/Tokyo");
    env.set("TZ", ":Europe/Madrid");
    EXPECT_EQ(clock.timeZoneId(), "Europe/Madrid");
    env.set("TZ", "");
    EXPECT_FALSE(clock.timeZoneId().empty());
    env.unset("TZ");
    EXPECT_FALSE(clock.timeZoneId().empty());
}

TEST(Clock, InstallReplacesAndRestoresTheProcessClock) {
    auto fixed = std::make_shared<FixedClock>(Clock::TimePoint(std::chrono::seconds(1431187370)),
                                              "Asia/Tokyo");
    Clock::install(fixed);
    EXPECT_EQ(&Clock::current(), fixed.get());
    EXPECT_EQ(Clock::current().timeZoneId(), "Asia/Tokyo");
    fixed->advance(std::chrono::seconds(5));
    EXPECT_EQ(Clock::current().now(), Clock::TimePoint(std::chrono::seconds(1431187375)));
    Clock::install(nullptr);
    EXPECT_NE(dynamic_cast<SystemClock*>(&Clock::current()), nullptr);
    const auto before = std::chrono::system_clock::now();
    EXPECT_GE(Clock::current().now(), before);
}
