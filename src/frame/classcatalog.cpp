#include "frame/classcatalog.h"

#include <cstring>

namespace strataloom {

namespace {
ClassEntry* g_head = nullptr;  // zero before any constructor runs
}

ClassEntry* ClassCatalogHead() { return g_head; }

ClassEntry* FindClassEntry(const char* interfaceName) {
    if (!interfaceName) return nullptr;
    for (ClassEntry* entry = g_head; entry; entry = entry->Next) {
        if (std::strcmp(entry->InterfaceName, interfaceName) == 0) return entry;
    }
    return nullptr;
}

ClassRegistrar::ClassRegistrar(ClassEntry& entry) {
    entry.Next = g_head;
    g_head = &entry;
}

}  // namespace strataloom
