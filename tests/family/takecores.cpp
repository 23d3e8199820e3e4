// Drilling cores in the family suite: table w_takecore_data.
#include "datadefine/ctakecoredata.h"
#include "support/family.h"

namespace {

void TakeCoreFields(TakeCoreRecord& r, testsupport::FieldVisitor& v) {
    v(r.CoreName)(r.TopDepth)(r.BottomDepth)(r.CoreLength)(r.CoreDrill)(r.GainRate)(r.Color)(
        r.LithName)(r.OilBearingClass)(r.LithDescription)(r.Remark);
}

class TakeCores
    : public testsupport::ProjectLoadingMember<ITakeCoreData, TakeCoreSet, CTakeCoreData> {
  public:
    TakeCores()
        : ProjectLoadingMember("TakeCores", "ITakeCoreData", "w_takecore_data", &TakeCoreFields) {}

    std::vector<std::string> Columns() const override {
        return {"CoreName",        "TopDepth",        "BottomDepth", "CoreLength",
                "CoreDrill",       "GainRate",        "Color",       "LithName",
                "OilBearingClass", "LithDescription", "Remark"};
    }

    std::map<std::string, std::vector<std::string>> Texts() const override {
        const std::string table = "w_takecore_data";
        const std::string wellsWithData =
            "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
            "exists( select w_takecore_data.wellname from w_takecore_data where "
            "w_well_data.wellname = w_takecore_data.wellname )  order by w_well_data.wellname ";
        // No order: the cores come as the database keeps them.
        const std::string loadW1 = "select * from w_takecore_data where WellName='W1'";
        return {
            {"wells with data", {wellsWithData}},
            {"load well", {loadW1}},
            {"load project", {wellsWithData, loadW1}},
            {"stored wells",
             {table, "select WellName from  w_takecore_data where WellName in ('W1','W2')"}},
            {"exists", {table, "select * from  w_takecore_data where WellName='W1'"}},
            {"save well",
             {table, "delete from  w_takecore_data where WellName='W1'",
              "SaveData w_takecore_data 1"}},
            {"save wells",
             {table, table, "delete from  w_takecore_data where WellName in ('W1')",
              "SaveData w_takecore_data 0"}},
            {"delete well", {table, "delete from  w_takecore_data where WellName='W9'"}},
            {"delete wells", {table, "delete from  w_takecore_data where WellName in ('W9','W8')"}},
            {"delete project",
             {table,
              "delete from w_takecore_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_takecore_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(TakeCores, std::make_unique<TakeCores>())
