#include "formats/progress.h"

#include <unistd.h>

namespace strataloom::formats {

namespace {
constexpr std::size_t kBarWidth = 30;
constexpr std::size_t kNameWidth = 40;
}  // namespace

void TerminalProgressBar::Show(std::size_t done, std::size_t total, const std::string& item) {
    if (!enabled_ || total == 0) return;
    const std::size_t filled = done * kBarWidth / total;
    std::string bar(kBarWidth, ' ');
    for (std::size_t i = 0; i < filled; ++i) bar[i] = '=';
    if (filled < kBarWidth) bar[filled] = '>';
    // Only the end of a long name fits: the file name is at its end.
    const std::string name =
        item.size() > kNameWidth ? "..." + item.substr(item.size() - kNameWidth + 3) : item;
    stream_ << "\r\033[K[" << bar << "] " << done + 1 << "/" << total << "  " << name << std::flush;
    shown_ = true;
}

void TerminalProgressBar::Clear() {
    if (!shown_) return;
    stream_ << "\r\033[K" << std::flush;
    shown_ = false;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace strataloom::formats
