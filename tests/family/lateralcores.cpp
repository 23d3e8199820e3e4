// Sidewall cores in the family suite: table w_lateralcore_data.
#include "strataloom/ilateralcoredata.h"
#include "support/plainmember.h"

namespace {

void LateralCoreFields(LateralCoreRecord& r, testsupport::FieldVisitor& v) {
    v(r.LateralCoreName)(r.Depth)(r.Color)(r.LithName)(r.OilBearingClass)(r.LithDescription)(
        r.Remark);
}

testsupport::PlainTexts LateralCoreTexts() {
    return {
        "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
        "exists( select w_lateralcore_data.wellname from w_lateralcore_data where "
        "w_well_data.wellname = w_lateralcore_data.wellname )  order by w_well_data.wellname ",
        "select * from w_lateralcore_data where WellName='W1'",
        "select WellName from  w_lateralcore_data where WellName in ('W1','W2')",
        "select * from  w_lateralcore_data where WellName='W1'",
        "delete from  w_lateralcore_data where WellName='W9'",
        "delete from  w_lateralcore_data where WellName in ('W9')",
        "delete from w_lateralcore_data where exists( select w_well_data.wellname from "
        "w_well_data where w_well_data.wellname = w_lateralcore_data.wellname and  "
        "w_well_data.ProjectName = 'P9' )",
    };
}

}  // namespace

STRATALOOM_FAMILY_MEMBER(
    LateralCores, (std::make_unique<testsupport::PlainMember<ILateralCoreData, LateralCoreSet>>(
                      "LateralCores", "ILateralCoreData", "w_lateralcore_data", &LateralCoreFields,
                      LateralCoreTexts())))
