// The module's exported entry points.
#include <new>

#include "frame/cdatafactory.h"
#include "strataloom/hooks.h"

extern "C" STRATALOOM_EXPORT IDataFactory* CreateDataFactoryObject() {
    return new (std::nothrow) CDataFactory();
}

extern "C" STRATALOOM_EXPORT void DeleteDataFactory(IDataFactory* factory) {
    delete factory;
}
