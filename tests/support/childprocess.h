// A test worker run as a separate process (tests/worker): a second host on
// the same project, one that holds a lock, or one killed in the middle of a
// save. Its standard output is read line by line.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace testsupport {

class ChildProcess {
  public:
    // Starts the test worker with args.
    explicit ChildProcess(const std::vector<std::string>& args);
    // Kills the worker if it still runs, and waits for it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // The next line of output; false at its end or when none came in time.
    bool ReadLine(std::string& line, std::chrono::milliseconds timeout);
    // Every line left, up to the end of the output.
    std::vector<std::string> ReadRest();
    void Kill();
    // Waits for the end: the exit code, or minus the signal that ended it.
    int Wait();

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
    bool ended_ = false;
    int status_ = 0;
};

}  // namespace testsupport
