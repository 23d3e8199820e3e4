// The application utilities the data classes lean on: the wait window shown
// during long work, and the directory the application runs from.
#pragma once

#include <string>

#include "strataloom/waitdialog.h"

namespace strataloom {

// Shows the wait window through the host's handler; the handle closes it.
void* BeginWaitingDlg(const char* text);
void EndWaitingDlg(void* handle);

// Keeps the wait window up for the life of the object.
class WaitingDlg {
  public:
    explicit WaitingDlg(const char* text) : handle_(BeginWaitingDlg(text)) {}
    ~WaitingDlg() { EndWaitingDlg(handle_); }
    WaitingDlg(const WaitingDlg&) = delete;
    WaitingDlg& operator=(const WaitingDlg&) = delete;

  private:
    void* handle_;
};

// The directory of the running program, without a trailing separator (so the
// root directory is empty text); empty as well when it cannot be found.
std::string GetCommandDirectory();

}  // namespace strataloom
