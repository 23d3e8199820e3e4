// Drilling cores in the family suite: table w_takecore_data.
#include "strataloom/itakecoredata.h"
#include "support/plainmember.h"

namespace {

void TakeCoreFields(TakeCoreRecord& r, testsupport::FieldVisitor& v) {
    v(r.CoreName)(r.TopDepth)(r.BottomDepth)(r.CoreLength)(r.CoreDrill)(r.GainRate)(r.Color)(
        r.LithName)(r.OilBearingClass)(r.LithDescription)(r.Remark);
}

testsupport::PlainTexts TakeCoreTexts() {
    return {
        "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
        "exists( select w_takecore_data.wellname from w_takecore_data where "
        "w_well_data.wellname = w_takecore_data.wellname )  order by w_well_data.wellname ",
        "select * from w_takecore_data where WellName='W1'",
        "select WellName from  w_takecore_data where WellName in ('W1','W2')",
        "select * from  w_takecore_data where WellName='W1'",
        "delete from  w_takecore_data where WellName='W9'",
        "delete from  w_takecore_data where WellName in ('W9')",
        "delete from w_takecore_data where exists( select w_well_data.wellname from w_well_data "
        "where w_well_data.wellname = w_takecore_data.wellname and  w_well_data.ProjectName = "
        "'P9' )",
    };
}

}  // namespace

STRATALOOM_FAMILY_MEMBER(TakeCores,
                         (std::make_unique<testsupport::PlainMember<ITakeCoreData, TakeCoreSet>>(
                             "TakeCores", "ITakeCoreData", "w_takecore_data", &TakeCoreFields,
                             TakeCoreTexts())))
