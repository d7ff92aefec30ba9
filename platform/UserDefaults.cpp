#include "platform/UserDefaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>

#include "platform/AtomicFile.h"
#include "platform/DocumentsDirectory.h"
#include "platform/FlatJson.h"

namespace {

std::unique_ptr<UserDefaults>& standardStore() {
    static std::unique_ptr<UserDefaults> store;
    return store;
}

// Reads the whole file. Absent when it cannot be opened or read; `missing` tells a file
// that does not exist apart from one that cannot be read.
std::optional<std::string> readFile(const std::string& path, bool& missing, std::string& why) {
    missing = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT;
        why = std::strerror(errno);
        return std::nullopt;
    }
    std::string data;
    char buf[8192];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            why = std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

std::string stamp() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

// Keeps a settings file that cannot be used for later inspection, under a dated name
// that does not overwrite an earlier one.
void moveAside(const std::string& path, const std::string& why) {
    std::string base = path + ".broken-" + stamp();
    std::string target = base;
    struct stat st;
    for (int i = 1; ::lstat(target.c_str(), &st) == 0; ++i) target = base + "-" + std::to_string(i);
    if (::rename(path.c_str(), target.c_str()) == 0) {
        std::cerr << "user defaults: " << path << " is unusable (" << why << "); moved to "
                  << target << ", starting empty\n";
    } else {
        std::cerr << "user defaults: " << path << " is unusable (" << why
                  << ") and could not be moved aside (" << std::strerror(errno)
                  << "); starting empty\n";
    }
}

}  // namespace

UserDefaults& UserDefaults::standardUserDefaults() {
    auto& store = standardStore();
    if (!store)
        store = std::make_unique<UserDefaults>(DocumentsDirectory::file("user-defaults.json"));
    return *store;
}

void UserDefaults::resetStandardUserDefaults() {
    standardStore().reset();
}

UserDefaults::UserDefaults(std::string filePath) : path_(std::move(filePath)) {
    load();
}

void UserDefaults::load() {
    values_.clear();
    bool missing = false;
    std::string why;
    auto data = readFile(path_, missing, why);
    if (!data) {
        if (!missing) moveAside(path_, why);
        return;
    }
    std::string error;
    auto parsed = flatjson::parse(*data, &error);
    if (!parsed) {
        moveAside(path_, "malformed: " + error);
        return;
    }
    values_ = std::move(*parsed);
    dirty_ = false;
}

Text UserDefaults::stringForKey(const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void UserDefaults::setObject_forKey(const std::string& value, const std::string& key) {
    auto [it, inserted] = values_.try_emplace(key, value);
    if (!inserted && it->second == value) return;
    it->second = value;
    dirty_ = true;
}

void UserDefaults::removeObjectForKey(const std::string& key) {
    if (values_.erase(key) > 0) dirty_ = true;
}

int UserDefaults::removeLeftoverTemporaryFiles() const {
    return AtomicFile::removeLeftovers(path_);
}

bool UserDefaults::synchronize() {
    // Screens store the same hand-over values again at every appearance; an fsync for an
    // unchanged file would cost more than the whole screen.
    if (!dirty_) return true;
    if (!AtomicFile::replace(path_, flatjson::write(values_), 0644)) return false;
    dirty_ = false;
    return true;
}
