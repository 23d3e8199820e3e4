// The root interfaces every host sees: data objects, the data factory and the
// class catalog entry that names each data class.
//
// What holds for every data interface of the module:
//
// - Building a host. The records, NameList and the vectors of records are
//   std::string and std::vector objects that the host creates and the module
//   fills or reads, and data objects are destroyed by the host through their
//   virtual destructors. Host and module must therefore be built with the same
//   C++ standard library and the same library ABI (on Debian: g++ or clang++
//   with libstdc++, the default; not clang++ -stdlib=libc++). C++17 headers.
// - Results. Every operation returns an int: 1 for success, 0 for failure.
//   An existence test (Is...Exist) answers 1 for yes and 0 for no. A load or a
//   list that finds no row returns 0 as well, so 0 from a load may mean
//   "nothing stored" rather than an error. An argument the operation refuses
//   (an empty well or project name, for instance) is shown in a message box
//   (see hooks.h) before 0 is returned. No exception leaves the module.
// - Output. Loads and lists append to the vectors and NameLists they are
//   given, in the order rows arrive; they never clear them, and what was
//   appended before a failure stays. A record given to a single-row load keeps
//   its fields when nothing is found (exceptions are noted at the operation).
// - Writes. Every save and delete is all-or-nothing: on 0 the database is as it
//   was before the call. Saves replace: the rows of the same key (well, curve,
//   list, project...) are deleted and the record's rows written in their place.
//   Deletes return 1 also when there was nothing to delete (exceptions are
//   noted at the operation).
// - Sessions and threads. A data object holds only its connection string; each
//   operation opens and closes its own database session on it, on the caller's
//   thread. An object is used by one thread at a time; several objects may work
//   on one database at once.
// - Text. Names and texts are UTF-8; names are compared and sorted by their
//   bytes.
// - Numbers. The module stores every number as given and converts nothing:
//   map coordinates are in the unit of the project's map projection, depths and
//   elevations in the project's depth unit (one unit per project, usually
//   metres). -99999.0 is the usual mark of a coordinate or depth without a value.
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
    // Copies the connection string the object's operations use; call it before
    // any other operation. A project database file ("/data/Field/Field.mdb",
    // which must exist) or a server database ("host=... dbname=Field" or
    // "postgresql://host/Field"); the factory's own string is not passed on.
    virtual void SetConnectString(const char* text) = 0;
};

// One entry of the class catalog: a data class and the interface it answers to.
struct ClassEntry {
    const char* ClassName;      // the data class, e.g. "CWellListData"
    const char* InterfaceName;  // the name CreateObject takes, e.g. "IWellListData"
    IDataBase* (*Creator)();    // makes one object of the class
    ClassEntry* Next;           // the entry registered before this one; null for the first
};

// Hands out data objects by interface name ("IBasicWellData", ...). The caller
// owns every object it gets and destroys it through the virtual destructor.
class IDataFactory {
  public:
    virtual ~IDataFactory() {}
    // A new object of the data class whose interface has exactly this name
    // (case counts); cast it to that interface. Null, after a message box, for
    // a name no class answers to. The object's connection string is empty, and
    // it may outlive the factory.
    virtual IDataBase* CreateObject(const char* name) = 0;
    // Keeps a connection string for the host's own use; objects do not get it.
    virtual void SetConnectString(const char* text) = 0;
    // The string kept by SetConnectString (empty at first); valid until the
    // next SetConnectString or the factory's deletion.
    virtual const char* GetConnectString() = 0;
};
