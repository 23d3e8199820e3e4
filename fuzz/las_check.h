// What the LAS reader promises for any input, checked by the fuzz target and
// by the test that replays what the fuzzer once found: a file is read or
// refused with a reason, and a file that reads, written again, reads back
// to the same curves, names, units and values bit for bit.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "formats/las.h"

namespace lascheck {

inline bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool SameCurves(const strataloom::formats::LasFile& a,
                       const strataloom::formats::LasFile& b) {
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

// Empty when the promise holds, else what broke it.
inline std::string BrokenPromise(std::string_view text) {
    strataloom::formats::LasFile las;
    strataloom::formats::Diagnostics diagnostics("input.las");
    if (!strataloom::formats::ParseLas(text, las, diagnostics)) {
        return diagnostics.Error().empty() ? "refused without a reason" : "";
    }
    strataloom::formats::LasFile again;
    strataloom::formats::Diagnostics second("written.las");
    if (!strataloom::formats::ParseLas(strataloom::formats::WriteLas(las), again, second)) {
        return "what was written does not read: " + second.Error();
    }
    return SameCurves(las, again) ? "" : "what was written reads back different";
}

}  // namespace lascheck
