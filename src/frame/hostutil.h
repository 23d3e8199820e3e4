// The application utilities the data classes lean on: the wait window shown
// during long work, the directory the application runs from, and the places
// where the application's data files (the server backup) are found.
#pragma once

#include <string>
#include <vector>

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

// The directory of the file the module was loaded from (of the program, when
// the module's code is linked into it); empty when it cannot be found.
std::string GetModuleDirectory();

// The places searched for a data file of the application, in this order and
// each once: beside the running program, beside the module, the data folder
// that lies beside the module's folder (../share/strataloom, as in the build
// tree and in an install) and the data folder of the configured install.
std::vector<std::string> DataFilePlaces();

// The first of the places that holds fileName, as place + "/" + fileName;
// empty when none does.
std::string FindDataFile(const std::string& fileName);

// Why a data file could not be used: its name and every place searched.
std::string MissingDataFileReason(const std::string& fileName,
                                  const std::vector<std::string>& places);

// Where the data file is taken from: the place found, or, when it is nowhere,
// the place beside the program; the operation that needs the file then fails
// on it and gives MissingDataFileReason as its reason.
std::string LocateDataFile(const std::string& fileName);

}  // namespace strataloom
