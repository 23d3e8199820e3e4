// The module's exported entry points.
#include <new>

#include "frame/cdatafactory.h"
#include "strataloom/hooks.h"
#include "strataloom/version.h"

namespace {

#define STRATALOOM_TEXT(x) #x
#define STRATALOOM_NUMBER_TEXT(x) STRATALOOM_TEXT(x)

constexpr bool SameText(const char* a, const char* b) {
    return *a == *b && (*a == '\0' || SameText(a + 1, b + 1));
}

// The text and the three numbers of the version header are kept by hand.
static_assert(
    SameText(STRATALOOM_VERSION,
             STRATALOOM_NUMBER_TEXT(STRATALOOM_VERSION_MAJOR) "." STRATALOOM_NUMBER_TEXT(
                 STRATALOOM_VERSION_MINOR) "." STRATALOOM_NUMBER_TEXT(STRATALOOM_VERSION_PATCH)),
    "STRATALOOM_VERSION must spell MAJOR.MINOR.PATCH");

}  // namespace

extern "C" STRATALOOM_EXPORT IDataFactory* CreateDataFactoryObject() {
    return new (std::nothrow) CDataFactory();
}

extern "C" STRATALOOM_EXPORT void DeleteDataFactory(IDataFactory* factory) {
    delete factory;
}

extern "C" STRATALOOM_EXPORT const char* StrataloomVersion(void) {
    return STRATALOOM_VERSION;
}
