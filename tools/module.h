// The module as the host program's commands use it: found relative to the
// program (or named by STRATALOOM_MODULE), loaded with dlopen, its factory
// made once, and its failure reason printed after an operation fails.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "strataloom/strataloom.h"

namespace tool {

// The directory of the running program.
std::string ProgramDirectory();

// The file name of the module, "libstrataloom.so.MAJOR".
std::string ModuleFileName();

// The module named by STRATALOOM_MODULE; empty when that is not set.
std::string NamedModule();

// Where the module is looked for, in order: STRATALOOM_MODULE when set, else
// the library folder beside the program's folder (build tree and install).
std::vector<std::string> ModuleCandidates();

// The folders that may hold the template project database (Projects.mdb),
// beside the program's folder, in build tree and install alike.
std::vector<std::string> TemplateDirCandidates();

class Module {
  public:
    Module() = default;
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Loads the module and makes its factory; on failure prints why and
    // returns false. The module's message boxes are answered at once and
    // kept for its failure reason; its wait window is one line on standard
    // error.
    bool Load();

    const std::string& Path() const { return path_; }
    // The loaded module's version; empty when it does not tell it.
    std::string Version() const;
    // How many message boxes the module has shown since it was loaded.
    int BoxesShown() const;

    // A data object of the interface, on the connection string; null (and
    // the module's reason printed) when the factory does not make one.
    template <class Interface>
    std::unique_ptr<Interface> Create(const char* interfaceName, const std::string& connect) {
        std::unique_ptr<Interface> object(
            dynamic_cast<Interface*>(factory_->CreateObject(interfaceName)));
        if (object) {
            object->SetConnectString(connect.c_str());
        } else {
            PrintFailureReason();
        }
        return object;
    }

    // The module's factory; valid after Load has succeeded.
    IDataFactory& Factory() { return *factory_; }

    // The module's reason for the last failed operation of this thread; the
    // text of the last box it showed when it tells none (modules before that
    // was exported never do); else empty.
    std::string FailureReason() const;
    // Prints the failure reason, when there is one.
    void PrintFailureReason() const;

  private:
    void* Symbol(const char* name) const;

    std::string path_;
    void* handle_ = nullptr;
    IDataFactory* factory_ = nullptr;
    DeleteDataFactoryFunc destroy_ = nullptr;
};

}  // namespace tool
