// Fuzz target of the LAS reader: any bytes must keep the promise of
// las_check.h, or the run stops on them.
#include <cstdint>
#include <cstdlib>

#include "las_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!lascheck::BrokenPromise(text).empty()) std::abort();
    return 0;
}
