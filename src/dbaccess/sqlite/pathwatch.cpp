#include "dbaccess/sqlite/pathwatch.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <mutex>

namespace strataloom::db {
namespace {

// File systems whose every change passes through this machine's kernel, so
// an event is raised for it; on others (network shares) a change made
// elsewhere raises nothing here.
bool LocalFileSystem(const std::string& directory) {
    struct statfs info {};
    if (::statfs(directory.c_str(), &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0xEF53UL:      // ext2/3/4
        case 0x58465342UL:  // xfs
        case 0x9123683EUL:  // btrfs
        case 0x01021994UL:  // tmpfs
        case 0x794C7630UL:  // overlay
        case 0xF2F52010UL:  // f2fs
            return true;
        default:
            return false;
    }
}

constexpr std::uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                       IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// The process's one watcher. Generation counts the moments something
// changed along a watched path; it starts at 1 so that 0 can mean "never".
class Watcher {
  public:
    static Watcher& Instance() {
        static Watcher* watcher = [] {
            auto* made = new Watcher();  // lives as long as the process
            // The watcher is used only while a connection registry's lock is
            // held, and the registry holds all of those across a fork, so no
            // thread holds the watcher's lock then.
            pthread_atfork(nullptr, nullptr, [] { Instance().AfterForkInChild(); });
            return made;
        }();
        return *watcher;
    }

    std::uint64_t Current() {
        std::lock_guard<std::mutex> lock(mutex_);
        Drain();
        return generation_;
    }

    // Watches every directory along path; false when one cannot be watched.
    bool WatchAlong(const std::string& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (fd_ < 0 && !broken_) {
            fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            broken_ = fd_ < 0;
        }
        if (fd_ < 0) return false;
        // A relative path names another file when the working directory
        // changes, which raises no event.
        if (!std::filesystem::path(path).is_absolute()) return false;
        std::filesystem::path directory = std::filesystem::path(path).parent_path();
        if (directory.empty() || !LocalFileSystem(directory.string())) return false;
        for (;;) {
            if (::inotify_add_watch(fd_, directory.c_str(), kEntryEvents) < 0) return false;
            if (directory == directory.root_path() || !directory.has_parent_path()) return true;
            directory = directory.parent_path();
        }
    }

  private:
    void Drain() {
        if (fd_ < 0) return;
        alignas(inotify_event) std::array<char, 4096> events;
        for (;;) {
            const ssize_t got = ::read(fd_, events.data(), events.size());
            if (got > 0) {
                ++generation_;
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            return;  // EAGAIN: nothing more
        }
    }

    // The child shares the parent's watcher: reading it would take the
    // parent's events. It gets one of its own when it next needs one.
    void AfterForkInChild() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        ++generation_;
    }

    std::mutex mutex_;
    int fd_ = -1;
    bool broken_ = false;  // no watcher could be made: every check looks
    std::uint64_t generation_ = 1;
};

}  // namespace

bool PathWatch::Unchanged() const {
    return looked_ != 0 && Watcher::Instance().Current() == looked_;
}

std::uint64_t PathWatch::BeforeLooking() const {
    // Watches are made again by path before every look, and before the
    // moment is taken: a renamed directory takes its watch along, and the
    // one now at its name needs one, else a change to it would go unseen.
    Watcher& watcher = Watcher::Instance();
    return watcher.WatchAlong(path_) ? watcher.Current() : 0;
}

void PathWatch::Looked(std::uint64_t before) {
    looked_ = before;
}

}  // namespace strataloom::db
