#include "frame/cdatafactory.h"

#include "frame/classcatalog.h"
#include "frame/messagebox.h"

IDataBase* CDataFactory::CreateObject(const char* name) {
    try {
        const ClassEntry* entry = strataloom::FindClassEntry(name);
        if (!entry) {
            strataloom::AppMessageBox("型录表中没有找到该对象的相应类！", MB_OK);
            return nullptr;
        }
        IDataBase* object = entry->Creator ? entry->Creator() : nullptr;
        if (!object) strataloom::CaptionedMessageBox("创建该对象失败！", "错误信息", MB_OK);
        return object;
    } catch (...) {
        return nullptr;
    }
}

void CDataFactory::SetConnectString(const char* text) { connect_ = text ? text : ""; }

const char* CDataFactory::GetConnectString() { return connect_.c_str(); }
