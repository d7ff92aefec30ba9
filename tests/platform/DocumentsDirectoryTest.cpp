// Where the ledger lives.
#include <gtest/gtest.h>

#include <filesystem>

#include "EnvGuard.h"
#include "platform/DocumentsDirectory.h"
#include "tests/sql/ScratchDir.h"

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

TEST(DocumentsDirectory, EnsureCreatesParentsAndRejectsNonDirectories) {
    ScratchDir dir;
    const std::string nested = dir.file("a/b/c"), plain = dir.file("file");
    std::string error;
    EXPECT_TRUE(DocumentsDirectory::ensure(nested, &error)) << error;
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_TRUE(DocumentsDirectory::ensure(nested, &error)) << error;  // already there

    ScratchDir::write(plain, "x");
    EXPECT_FALSE(DocumentsDirectory::ensure(plain, &error));
    EXPECT_NE(error.find(plain), std::string::npos) << error;
    EXPECT_NE(error.find("not a directory"), std::string::npos) << error;
    EXPECT_FALSE(DocumentsDirectory::ensure("", nullptr));
}
