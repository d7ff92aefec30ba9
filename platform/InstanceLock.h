#pragma once
// One running instance per data folder: an exclusive lock on the file "marrowkeeper.lock"
// there, which the kernel releases when the process ends however it ends, so a crash never
// blocks the next start. The file (mode 0600: only its user can read the token in the
// address) also carries the state of its owner:
//   empty            the last instance exited cleanly;
//   "running\n"      an instance holds the folder and is starting;
//   an address line  an instance serves the folder at that address.
// Finding anything but empty when taking the lock means the instance before ended
// without a clean exit.
#include <chrono>
#include <optional>
#include <string>

class InstanceLock {
  public:
    enum class State { Owned, HeldByOther, Failed };

    static constexpr const char* kFileName = "marrowkeeper.lock";

    // Tries once to take the lock of `dir`; does not wait.
    explicit InstanceLock(const std::string& dir);
    // Releases the lock; the file keeps what was last written to it.
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State state() const { return state_; }
    // Failed: why the file could not be opened or locked.
    const std::string& error() const { return error_; }
    // HeldByOther: the owner's address once it has published one.
    std::optional<std::string> runningAddress() const;

    // Owned: whether the instance before this one ended without a clean exit.
    bool previousRunEndedUncleanly() const { return previousUnclean_; }
    // Owned: tells later starts where this instance serves.
    bool publishAddress(const std::string& url);
    // Owned: records a clean exit (the file is emptied).
    bool markCleanExit();

  private:
    bool write(const std::string& content);

    int fd_ = -1;
    State state_ = State::Failed;
    std::string error_;
    bool previousUnclean_ = false;
};
