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

    // Answers every box with OK and shows no wait window: the host runs
    // unattended. False when the module lacks the hooks.
    bool Quiet() {
        auto setBox = reinterpret_cast<MessageBoxHandler (*)(MessageBoxHandler)>(
            Symbol("SetMessageBoxHandler"));
        auto setWait = reinterpret_cast<void (*)(WaitDialogBeginHandler, WaitDialogEndHandler)>(
            Symbol("SetWaitDialogHandlers"));
        if (!setBox || !setWait) return false;
        setBox([](const char*, const char*, unsigned int) { return IDOK; });
        setWait([](const char*) -> void* { return nullptr; }, [](void*) {});
        return true;
    }

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
