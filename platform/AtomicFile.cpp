#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace AtomicFile {

namespace {

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// The folder a path names its file in.
std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// A temporary copy is named "<file>.tmp-" and six characters of mkstemp's.
constexpr const char* kTempMark = ".tmp-";

}  // namespace

bool replace(const std::string& path, const std::string& bytes, mode_t mode) {
    std::string tmp = path + kTempMark + "XXXXXX";
    // mkstemp makes the file readable by its owner only; a wider mode is set afterwards.
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    // The rename is only durable once the directory entry is on disk.
    const int dfd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

int removeLeftovers(const std::string& path) {
    const std::string dir = folderOf(path);
    const std::string prefix = path.substr(path.rfind('/') + 1) + kTempMark;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
            ::unlink((dir + "/" + name).c_str()) == 0)
            ++removed;
    }
    ::closedir(d);
    return removed;
}

}  // namespace AtomicFile
