#include "formats/interrupt.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace strataloom::formats {

namespace {

volatile std::sig_atomic_t requested = 0;
const char kImportNotice[] =
    "\nstrataloom: interrupted; finishing the well in hand, then stopping\n";
const char* volatile notice = kImportNotice;
struct sigaction previousInt;
struct sigaction previousTerm;

void OnSignal(int) {
    if (requested) return;
    requested = 1;
    // Only what is safe in a signal handler: one fixed text.
    const char* text = notice;
    const ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)written;
}

}  // namespace

InterruptGuard::InterruptGuard() : InterruptGuard(kImportNotice) {}

InterruptGuard::InterruptGuard(const char* text) {
    notice = text;
    requested = 0;
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool InterruptGuard::Requested() {
    return requested != 0;
}

}  // namespace strataloom::formats
