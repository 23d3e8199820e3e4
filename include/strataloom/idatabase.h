// The root interfaces every host sees: data objects, the data factory and the
// class catalog entry that names each data class.
#pragma once

#include <string>
#include <vector>

#if defined(__GNUC__)
#define STRATALOOM_EXPORT __attribute__((visibility("default")))
#else
#define STRATALOOM_EXPORT
#endif

// A list of names (wells, curves, markers...). List operations only append to it.
typedef std::vector<std::string> NameList;

// Root of every data interface. A data object holds only its connection string;
// each operation opens and closes its own database session on it.
class IDataBase {
  public:
    virtual ~IDataBase() {}
    virtual void SetConnectString(const char* text) = 0;
};

// One entry of the class catalog: a data class and the interface it answers to.
struct ClassEntry {
    const char* ClassName;
    const char* InterfaceName;
    IDataBase* (*Creator)();
    ClassEntry* Next;
};

// Hands out data objects by interface name ("IBasicWellData", ...). The caller
// owns every object it gets and destroys it through the virtual destructor.
class IDataFactory {
  public:
    virtual ~IDataFactory() {}
    virtual IDataBase* CreateObject(const char* name) = 0;
    virtual void SetConnectString(const char* text) = 0;
    virtual const char* GetConnectString() = 0;
};
