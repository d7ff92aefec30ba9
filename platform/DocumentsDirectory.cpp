#include "platform/DocumentsDirectory.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

std::string& currentPath() {
    static std::string dir;
    return dir;
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

}  // namespace

std::string DocumentsDirectory::resolve(const std::optional<std::string>& explicitDir) {
    if (explicitDir && !explicitDir->empty()) return *explicitDir;
    if (auto home = env("MARROWKEEPER_HOME"); !home.empty()) return home;
    if (auto xdg = env("XDG_DATA_HOME"); !xdg.empty()) return xdg + "/marrowkeeper";
    auto home = env("HOME");
    if (home.empty()) home = ".";
    return home + "/.local/share/marrowkeeper";
}

const std::string& DocumentsDirectory::path() {
    auto& dir = currentPath();
    if (dir.empty()) dir = resolve(std::nullopt);
    return dir;
}

void DocumentsDirectory::setPath(const std::string& dir) {
    currentPath() = dir;
}

bool DocumentsDirectory::ensure(const std::string& dir, std::string* error) {
    namespace fs = std::filesystem;
    auto failed = [&](const std::string& why) {
        if (error) *error = "documents directory " + dir + ": " + why;
        return false;
    };
    if (dir.empty()) return failed("no path given");
    std::error_code ec;
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) return failed("is not a directory");
    fs::create_directories(dir, ec);
    if (ec) return failed("cannot be created (" + ec.message() + ")");
    if (!fs::is_directory(dir, ec)) return failed("is not a directory");
    if (::access(dir.c_str(), W_OK | X_OK) != 0)
        return failed(std::string("is not writable (") + std::strerror(errno) + ")");
    return true;
}

std::string DocumentsDirectory::file(const std::string& name) {
    return path() + "/" + name;
}

std::string DocumentsDirectory::fileURL(const std::string& name) {
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : file(name)) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}
