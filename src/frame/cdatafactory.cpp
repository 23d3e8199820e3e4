#include "frame/cdatafactory.h"

#include "frame/classcatalog.h"

IDataBase* CDataFactory::CreateObject(const char* name) {
    try {
        return strataloom::CreateFromCatalog(name);
    } catch (...) {
        return nullptr;
    }
}

void CDataFactory::SetConnectString(const char* text) {
    connect_ = text ? text : "";
}

const char* CDataFactory::GetConnectString() {
    return connect_.c_str();
}
