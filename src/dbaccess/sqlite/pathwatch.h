// Tells, without looking at the file system, that nothing can have replaced
// a project file since it was last looked at: the directories along its path
// are watched for entries created, deleted or renamed, by one watcher per
// process. Any such event anywhere along any watched path, a lost event, a
// file system the watcher cannot see into (network shares) or a watcher that
// could not be made all answer "look again", so the answer is never wrong,
// only sometimes not cheap.
#pragma once

#include <cstdint>
#include <string>

namespace strataloom::db {

class PathWatch {
  public:
    explicit PathWatch(std::string path) : path_(std::move(path)) {}

    // True when the file at the path is the one it was when Looked was last
    // called: nothing along the path has changed since.
    bool Unchanged() const;
    // Call before looking at the file; pass the answer to Looked once the
    // file proved to be the same. Used only under a connection registry's
    // lock (see the fork note in the implementation).
    std::uint64_t BeforeLooking() const;
    // The file was looked at and was the same: until something along the
    // path changes, Unchanged answers true.
    void Looked(std::uint64_t before);

  private:
    std::string path_;
    std::uint64_t looked_ = 0;  // 0: never, or not watchable
};

}  // namespace strataloom::db
