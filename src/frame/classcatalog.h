// The class catalog: every data class joins it while the module loads.
#pragma once

#include "strataloom/idatabase.h"

namespace strataloom {

// The most recently registered entry; a search walks from here through Next.
ClassEntry* ClassCatalogHead();
// First entry whose interface name equals name exactly, or null.
ClassEntry* FindClassEntry(const char* interfaceName);

// Prepends its entry to the catalog. The head is a constant-initialised
// pointer, so registration works whatever order the units initialise in.
class ClassRegistrar {
public:
    explicit ClassRegistrar(ClassEntry& entry);
};

}  // namespace strataloom
