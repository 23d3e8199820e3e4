// What a host compiled against the public headers alone needs to drive the
// module: loading it with dlopen, data objects from its factory, and a tally
// of checks.
#pragma once

#include <dlfcn.h>

#include <cstdio>
#include <memory>
#include <string>

#include "strataloom/strataloom.h"

namespace host {

namespace detail {
inline int g_boxesShown = 0;
inline int CountingBox(const char*, const char*, unsigned int) {
    ++g_boxesShown;
    return IDOK;
}
inline void* NoWaitWindow(const char*) {
    return nullptr;
}
inline void EndNoWaitWindow(void*) {}
}  // namespace detail

class Module {
  public:
    explicit Module(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
        if (!handle_) {
            std::fprintf(stderr, "dlopen: %s\n", dlerror());
            return;
        }
        create_ = reinterpret_cast<CreateDataFactoryObjectFunc>(
            dlsym(handle_, "CreateDataFactoryObject"));
        destroy_ = reinterpret_cast<DeleteDataFactoryFunc>(dlsym(handle_, "DeleteDataFactory"));
        if (create_) factory_ = create_();
    }
    ~Module() {
        if (factory_ && destroy_) destroy_(factory_);
        if (handle_) dlclose(handle_);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    bool Loaded() const { return factory_ != nullptr && destroy_ != nullptr; }
    void* Symbol(const char* name) const { return dlsym(handle_, name); }
    IDataFactory& Factory() { return *factory_; }
    void DeleteFactory() {
        destroy_(factory_);
        factory_ = nullptr;
    }

    // Counts the module's boxes, answering each with OK, and shows no wait
    // window, so that a check runs without a user. False without the hooks.
    bool QuietHooks() {
        auto setBox = reinterpret_cast<MessageBoxHandler (*)(MessageBoxHandler)>(
            Symbol("SetMessageBoxHandler"));
        auto setWait = reinterpret_cast<void (*)(WaitDialogBeginHandler, WaitDialogEndHandler)>(
            Symbol("SetWaitDialogHandlers"));
        if (!setBox || !setWait) return false;
        setBox(&detail::CountingBox);
        setWait(&detail::NoWaitWindow, &detail::EndNoWaitWindow);
        return true;
    }
    // Boxes shown since QuietHooks.
    static int BoxesShown() { return detail::g_boxesShown; }

    template <class Interface>
    std::unique_ptr<Interface> Create(const char* name, const std::string& connect) {
        std::unique_ptr<Interface> object(dynamic_cast<Interface*>(factory_->CreateObject(name)));
        if (object) object->SetConnectString(connect.c_str());
        return object;
    }

  private:
    void* handle_;
    CreateDataFactoryObjectFunc create_ = nullptr;
    DeleteDataFactoryFunc destroy_ = nullptr;
    IDataFactory* factory_ = nullptr;
};

// Stores well headers of the given names in the project, as the well-bore
// checks need them for their project operations.
inline bool SaveProjectWells(Module& module, const std::string& db, const char* project,
                             const NameList& names) {
    auto wells = module.Create<IBasicWellData>("IBasicWellData", db);
    std::vector<BasicWellRecord> records(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) records[i].WellName = names[i];
    return wells && wells->SaveWells(project, records) == 1;
}

class Checks {
  public:
    void operator()(bool ok, const std::string& what) {
        std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
        if (!ok) ++failures_;
    }
    int Finish() const {
        std::printf("%d failed\n", failures_);
        return failures_ == 0 ? 0 : 1;
    }

  private:
    int failures_ = 0;
};

}  // namespace host
