// Progress of a command that works through files, and through one large file.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace strataloom::formats {

class ProgressReporter {
  public:
    virtual ~ProgressReporter() = default;
    // Work on item, the done+1-th of total, begins.
    virtual void Show(std::size_t done, std::size_t total, const std::string& item) = 0;
    // How far the item shown has come (0 to 1), and in which step ("reading",
    // "saving"): a single large file shows progress as well.
    virtual void Within(double fraction, const std::string& phase) {
        (void)fraction;
        (void)phase;
    }
    // Takes the progress off the screen, before other output and at the end.
    virtual void Clear() = 0;
};

// A one-line bar redrawn in place: "[=======>      ]  3/10  name". Draws only
// when enabled (the stream is a terminal); otherwise does nothing.
class TerminalProgressBar : public ProgressReporter {
  public:
    TerminalProgressBar(std::ostream& stream, bool enabled) : stream_(stream), enabled_(enabled) {}
    void Show(std::size_t done, std::size_t total, const std::string& item) override;
    void Within(double fraction, const std::string& phase) override;
    void Clear() override;

  private:
    void Draw(double filled, const std::string& label);

    std::ostream& stream_;
    bool enabled_;
    bool shown_ = false;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    std::string item_;
};

// Whether standard error is a terminal, where a progress bar belongs.
bool StandardErrorIsTerminal();

}  // namespace strataloom::formats
