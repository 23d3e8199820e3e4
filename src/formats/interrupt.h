// Interrupting an import. While a guard lives, SIGINT and SIGTERM only set a
// flag: the import finishes the well (or the file's tops or surveys) in
// hand, which each land whole, looks at the flag before the next one and
// stops there, so that every well is either as it was or fully imported.
#pragma once

namespace strataloom::formats {

// The exit code of a command stopped by a signal (128 + SIGINT, as shells do).
constexpr int kExitInterrupted = 130;

class InterruptGuard {
  public:
    // Installs the handlers; the ones before come back with the destructor.
    // notice, a text that outlives the guard, is what a signal prints.
    InterruptGuard();
    explicit InterruptGuard(const char* notice);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Whether a signal came since the guard was made.
    static bool Requested();
};

}  // namespace strataloom::formats
