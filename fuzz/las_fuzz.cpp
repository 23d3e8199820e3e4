// Fuzz target of the LAS reader: any bytes must be read or refused with an
// error, never crash; and a file that reads must, once written again, read
// back to the same curves, names, units and values bit for bit.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "formats/las.h"

namespace {

using strataloom::formats::Diagnostics;
using strataloom::formats::LasFile;

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameCurves(const LasFile& a, const LasFile& b) {
    if (a.curves.size() != b.curves.size() || !SameBits(a.nullValue, b.nullValue)) return false;
    for (std::size_t c = 0; c < a.curves.size(); ++c) {
        const auto& x = a.curves[c];
        const auto& y = b.curves[c];
        if (x.header.mnemonic != y.header.mnemonic || x.header.unit != y.header.unit ||
            x.values.size() != y.values.size()) {
            return false;
        }
        for (std::size_t i = 0; i < x.values.size(); ++i) {
            if (!SameBits(x.values[i], y.values[i])) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    LasFile las;
    Diagnostics diagnostics("fuzz.las");
    if (!strataloom::formats::ParseLas(text, las, diagnostics)) {
        if (diagnostics.Error().empty()) std::abort();  // a refusal must say why
        return 0;
    }
    const std::string written = strataloom::formats::WriteLas(las);
    LasFile again;
    Diagnostics second("again.las");
    if (!strataloom::formats::ParseLas(written, again, second) || !SameCurves(las, again)) {
        std::abort();
    }
    return 0;
}
