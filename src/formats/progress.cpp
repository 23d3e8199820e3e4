#include "formats/progress.h"

#include <unistd.h>

namespace strataloom::formats {

namespace {
constexpr std::size_t kBarWidth = 30;
constexpr std::size_t kNameWidth = 40;
}  // namespace

void TerminalProgressBar::Show(std::size_t done, std::size_t total, const std::string& item) {
    done_ = done;
    total_ = total;
    item_ = item;
    Draw(static_cast<double>(done), item);
}

void TerminalProgressBar::Within(double fraction, const std::string& phase) {
    const int percent = static_cast<int>(fraction * 100.0);
    Draw(static_cast<double>(done_) + fraction,
         item_ + " (" + phase + (phase == "reading" ? " " + std::to_string(percent) + "%" : "") +
             ")");
}

void TerminalProgressBar::Draw(double filledItems, const std::string& label) {
    if (!enabled_ || total_ == 0) return;
    const auto filled = static_cast<std::size_t>(filledItems * kBarWidth / double(total_));
    std::string bar(kBarWidth, ' ');
    for (std::size_t i = 0; i < filled && i < kBarWidth; ++i) bar[i] = '=';
    if (filled < kBarWidth) bar[filled] = '>';
    // Only the end of a long name fits: the file name is at its end.
    const std::string name =
        label.size() > kNameWidth ? "..." + label.substr(label.size() - kNameWidth + 3) : label;
    stream_ << "\r\033[K[" << bar << "] " << done_ + 1 << "/" << total_ << "  " << name
            << std::flush;
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
