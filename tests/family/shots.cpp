// Perforations in the family suite: table w_shot_data.
#include "datadefine/cshotdata.h"
#include "support/family.h"

namespace {

void ShotFields(ShotRecord& r, testsupport::FieldVisitor& v) {
    v(r.ShotDate)(r.TopDepth)(r.BottomDepth)(r.XH)(r.LayerNum)(r.Thickness)(r.Method)(r.GunType)(
        r.BulletType)(r.Density)(r.ShotRate)(r.WJYMC)(r.WJYMD)(r.JSXH)(r.LayerType)(r.Description);
}

class Shots : public testsupport::ProjectLoadingMember<IShotData, ShotSet, CShotData> {
  public:
    Shots() : ProjectLoadingMember("Shots", "IShotData", "w_shot_data", &ShotFields) {}

    std::vector<std::string> Columns() const override {
        return {"ShotDate", "TopDepth", "BottomDepth", "XH",         "LayerNum", "Thickness",
                "Method",   "GunType",  "BulletType",  "Density",    "ShotRate", "WJYMC",
                "WJYMD",    "JSXH",     "LayerType",   "Description"};
    }

    std::map<std::string, std::vector<std::string>> Texts() const override {
        const std::string table = "w_shot_data";
        const std::string wellsWithData =
            "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
            "exists( select w_shot_data.wellname from w_shot_data where "
            "w_well_data.wellname = w_shot_data.wellname )  order by w_well_data.wellname ";
        const std::string loadW1 =
            "select * from w_shot_data where WellName='W1' order by TopDepth";
        return {
            {"wells with data", {wellsWithData}},
            {"load well", {loadW1}},
            {"load project", {wellsWithData, loadW1}},
            {"stored wells",
             {table, "select WellName from  w_shot_data where WellName in ('W1','W2')"}},
            {"exists", {table, "select * from  w_shot_data where WellName='W1'"}},
            {"save well",
             {table, "delete from  w_shot_data where WellName='W1'", "SaveData w_shot_data 1"}},
            {"save wells",
             {table, table, "delete from  w_shot_data where WellName in ('W1')",
              "SaveData w_shot_data 0"}},
            {"delete well", {table, "delete from  w_shot_data where WellName='W9'"}},
            {"delete wells", {table, "delete from  w_shot_data where WellName in ('W9','W8')"}},
            {"delete project",
             {table,
              "delete from w_shot_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_shot_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(Shots, std::make_unique<Shots>())
