#include "support/childprocess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace testsupport {

ChildProcess::ChildProcess(const std::vector<std::string>& args) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return;
    std::vector<std::string> all{STRATALOOM_TEST_WORKER};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    output_ = pipeEnds[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !ended_) {
        Kill();
        Wait();
    }
    if (output_ >= 0) ::close(output_);
}

bool ChildProcess::ReadLine(std::string& line, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (output_ < 0 || left <= 0) return false;
        pollfd watched{output_, POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(left)) <= 0) continue;
        char chunk[4096];
        const ssize_t got = ::read(output_, chunk, sizeof chunk);
        if (got <= 0) {
            ::close(output_);
            output_ = -1;
            if (buffer_.empty()) return false;
            buffer_ += '\n';
            continue;
        }
        buffer_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::vector<std::string> ChildProcess::ReadRest() {
    std::vector<std::string> lines;
    std::string line;
    while (ReadLine(line, std::chrono::seconds(60))) lines.push_back(line);
    return lines;
}

void ChildProcess::Kill() {
    if (pid_ > 0 && !ended_) ::kill(pid_, SIGKILL);
}

int ChildProcess::Wait() {
    if (pid_ <= 0) return -1;
    if (!ended_) {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0) {
            if (errno != EINTR) return -1;
        }
        ended_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
    return status_;
}

}  // namespace testsupport
