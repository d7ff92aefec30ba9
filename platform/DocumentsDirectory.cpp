// Minimal stand-in until the full documents directory resolution lands: an explicit
// directory set at start-up, else the current directory.
#include "platform/DocumentsDirectory.h"

namespace {
std::string& currentPath() {
    static std::string dir = ".";
    return dir;
}
}  // namespace

const std::string& DocumentsDirectory::path() { return currentPath(); }

void DocumentsDirectory::setPath(const std::string& dir) { currentPath() = dir; }

std::string DocumentsDirectory::file(const std::string& name) { return path() + "/" + name; }
