// The class catalog: every data class joins it while the module loads.
#pragma once

#include "strataloom/idatabase.h"

namespace strataloom {

// The most recently registered entry; a search walks from here through Next.
ClassEntry* ClassCatalogHead();
// First entry from head on whose interface name equals name exactly, or null.
ClassEntry* FindClassEntry(const char* interfaceName, ClassEntry* head = ClassCatalogHead());
// A new object of the class registered under interfaceName, or null after the
// box that says why: no such class, or the class could not be created.
IDataBase* CreateFromCatalog(const char* interfaceName, ClassEntry* head = ClassCatalogHead());

// Prepends its entry to the catalog. The head is a constant-initialised
// pointer, so registration works whatever order the units initialise in.
class ClassRegistrar {
  public:
    explicit ClassRegistrar(ClassEntry& entry);
};

}  // namespace strataloom
