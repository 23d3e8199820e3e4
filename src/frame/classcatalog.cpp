#include "frame/classcatalog.h"

#include <cstring>

#include "frame/messagebox.h"

namespace strataloom {

namespace {
ClassEntry* g_head = nullptr;  // zero before any constructor runs
}

ClassEntry* ClassCatalogHead() {
    return g_head;
}

ClassEntry* FindClassEntry(const char* interfaceName, ClassEntry* head) {
    if (!interfaceName) return nullptr;
    for (ClassEntry* entry = head; entry; entry = entry->Next) {
        if (std::strcmp(entry->InterfaceName, interfaceName) == 0) return entry;
    }
    return nullptr;
}

IDataBase* CreateFromCatalog(const char* interfaceName, ClassEntry* head) {
    const ClassEntry* entry = FindClassEntry(interfaceName, head);
    if (!entry) {
        AppMessageBox("型录表中没有找到该对象的相应类！", MB_OK);
        return nullptr;
    }
    IDataBase* object = entry->Creator ? entry->Creator() : nullptr;
    if (!object) CaptionedMessageBox("创建该对象失败！", "错误信息", MB_OK);
    return object;
}

ClassRegistrar::ClassRegistrar(ClassEntry& entry) {
    entry.Next = g_head;
    g_head = &entry;
}

}  // namespace strataloom
