#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string readAll(int fd) {
    std::string content;
    char buf[512];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, offset);
        if (n <= 0) break;
        content.append(buf, static_cast<size_t>(n));
        offset += n;
        if (content.size() > 4096) break;  // not ours to make sense of
    }
    return content;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& dir) {
    const std::string path = dir + "/" + kFileName;
    // Close-on-exec: a browser started from here must not hold the lock after we die.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        error_ = "cannot open " + path + ": " + std::strerror(errno);
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            state_ = State::HeldByOther;
        } else {
            error_ = "cannot lock " + path + ": " + std::strerror(errno);
        }
        return;
    }
    state_ = State::Owned;
    // The address carries the access token.
    ::fchmod(fd_, 0600);
    previousUnclean_ = !readAll(fd_).empty();
    // From here until a clean exit the file says that an instance runs: a stale address
    // of a crashed instance must not be handed to the next start.
    write("running\n");
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> InstanceLock::runningAddress() const {
    if (state_ != State::HeldByOther) return std::nullopt;
    const std::string content = readAll(fd_);
    // Only a whole line: the owner may be writing it right now.
    const size_t end = content.find('\n');
    if (end == std::string::npos || content.rfind("http://", 0) != 0) return std::nullopt;
    return content.substr(0, end);
}

bool InstanceLock::publishAddress(const std::string& url) {
    return state_ == State::Owned && write(url + "\n");
}

bool InstanceLock::markCleanExit() {
    return state_ == State::Owned && write("");
}

bool InstanceLock::write(const std::string& content) {
    // Written over the old text, then cut to length: a reader sees the old line or the new
    // one, never an empty file in between. Not synced: a sync would cost every start tens
    // of milliseconds, and the ledger's first commit, which SQLite syncs, normally takes
    // this change to the disk with it (the file system commits both in one journal step).
    if (!content.empty() &&
        ::pwrite(fd_, content.data(), content.size(), 0) != static_cast<ssize_t>(content.size()))
        return false;
    return ::ftruncate(fd_, static_cast<off_t>(content.size())) == 0;
}
