// Curve sets that carry a version in every value, shape included, so that a
// well read back after concurrent or interrupted saves shows at once whether
// it holds exactly one saved version.
#pragma once

#include <string>

#include "strataloom/ilogdata.h"

namespace testsupport {

// DEPT (its own depth curve) and three more curves, every sample and the
// null value equal to version; the sample count changes with the version too.
// (A save replaces the curves of the names it holds: every version holds the
// same names.)
inline LogCurveSet VersionedCurves(const std::string& well, int version, int samples) {
    LogCurveSet set;
    set.WellName = well;
    set.NullValue = version;
    for (int c = 0; c < 4; ++c) {
        LogCurveRecord record;
        record.CurveName = c == 0 ? "DEPT" : "C" + std::to_string(c);
        record.Measure = "v" + std::to_string(version);
        record.DepthCurve = 0;
        record.CurveValue.assign(static_cast<std::size_t>(samples + version % 5), version);
        set.Records.push_back(record);
    }
    return set;
}

// The version a loaded set holds, or -1 when it is not exactly one saved version.
inline int VersionOf(const LogCurveSet& set, int samples) {
    if (set.Records.empty()) return -1;
    const int version = static_cast<int>(set.NullValue);
    const LogCurveSet expected = VersionedCurves(set.WellName, version, samples);
    if (set.Records.size() != expected.Records.size()) return -1;
    for (const LogCurveRecord& record : set.Records) {
        if (record.Measure != expected.Records[0].Measure ||
            record.CurveValue != expected.Records[0].CurveValue) {
            return -1;
        }
    }
    return version;
}

}  // namespace testsupport
