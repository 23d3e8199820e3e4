// Perforations in the family suite: table w_shot_data.
#include "strataloom/ishotdata.h"
#include "support/plainmember.h"

namespace {

void ShotFields(ShotRecord& r, testsupport::FieldVisitor& v) {
    v(r.ShotDate)(r.TopDepth)(r.BottomDepth)(r.XH)(r.LayerNum)(r.Thickness)(r.Method)(r.GunType)(
        r.BulletType)(r.Density)(r.ShotRate)(r.WJYMC)(r.WJYMD)(r.JSXH)(r.LayerType)(r.Description);
}

testsupport::PlainTexts ShotTexts() {
    return {
        "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
        "exists( select w_shot_data.wellname from w_shot_data where w_well_data.wellname = "
        "w_shot_data.wellname )  order by w_well_data.wellname ",
        "select * from w_shot_data where WellName='W1' order by TopDepth",
        "select WellName from  w_shot_data where WellName in ('W1','W2')",
        "select * from  w_shot_data where WellName='W1'",
        "delete from  w_shot_data where WellName='W9'",
        "delete from  w_shot_data where WellName in ('W9')",
        "delete from w_shot_data where exists( select w_well_data.wellname from w_well_data where "
        "w_well_data.wellname = w_shot_data.wellname and  w_well_data.ProjectName = 'P9' )",
    };
}

}  // namespace

STRATALOOM_FAMILY_MEMBER(Shots, (std::make_unique<testsupport::PlainMember<IShotData, ShotSet>>(
                                    "Shots", "IShotData", "w_shot_data", &ShotFields, ShotTexts())))
