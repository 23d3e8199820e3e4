// Oil tests in the family suite: table w_oiltest_data.
#include "datadefine/coiltestdata.h"
#include "support/family.h"

namespace {

using testsupport::FieldVisitor;

void OilTestFields(OilTestRecord& r, FieldVisitor& v) {
    v(r.XH)(r.CW)(r.JSXH)(r.TopDepth)(r.BottomDepth)(r.LayerNum)(r.Thickness)(r.Builder);
    v(r.Purpose)(r.BeginDate)(r.FinishDate)(r.CSLB)(r.Approach)(r.Method)(r.YYBHFW)(r.TYBHFW);
    v(r.JY)(r.LY)(r.JW)(r.LW)(r.UnitOilProduct)(r.UnitGasProduct)(r.UnitWaterProduct);
    v(r.TotalOilProduct)(r.TotalGasProduct)(r.TotalWaterProduct)(r.MQRGJD)(r.ProductTime);
    v(r.ProductDepth)(r.Conclusion);
}

class OilTests : public testsupport::ProjectLoadingMember<IOilTestData, OilTestSet, COilTestData> {
  public:
    OilTests()
        : ProjectLoadingMember("OilTests", "IOilTestData", "w_oiltest_data", &OilTestFields) {}

    std::vector<std::string> Columns() const override {
        return {"XH",
                "CW",
                "JSXH",
                "TopDepth",
                "BottomDepth",
                "LayerNum",
                "Thickness",
                "Builder",
                "Purpose",
                "BeginDate",
                "FinishDate",
                "CSLB",
                "Approach",
                "Method",
                "YYBHFW",
                "TYBHFW",
                "JY",
                "LY",
                "JW",
                "LW",
                "UnitOilProduct",
                "UnitGasProduct",
                "UnitWaterProduct",
                "TotalOilProduct",
                "TotalGasProduct",
                "TotalWaterProduct",
                "MQRGJD",
                "ProductTime",
                "ProductDepth",
                "Conclusion"};
    }

    std::map<std::string, std::vector<std::string>> Texts() const override {
        const std::string wellsWithData =
            "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
            "exists( select w_oiltest_data.wellname from w_oiltest_data where "
            "w_well_data.wellname = w_oiltest_data.wellname )  order by w_well_data.wellname ";
        const std::string table = "w_oiltest_data";
        return {
            {"wells with data", {wellsWithData}},
            {"load well", {"select * from w_oiltest_data where WellName='W1'"}},
            {"stored wells",
             {table, "select WellName from  w_oiltest_data where WellName in ('W1','W2')"}},
            {"load project", {wellsWithData, "select * from w_oiltest_data where WellName='W1'"}},
            {"exists", {table, "select * from  w_oiltest_data where WellName='W1'"}},
            {"save well",
             {table, "delete from  w_oiltest_data where WellName='W1'",
              "SaveData w_oiltest_data 1"}},
            {"save wells",
             {table, table, "delete from  w_oiltest_data where WellName in ('W1')",
              "SaveData w_oiltest_data 0"}},
            {"delete well", {table, "delete from  w_oiltest_data where WellName='W9'"}},
            {"delete wells", {table, "delete from  w_oiltest_data where WellName in ('W9','W8')"}},
            {"delete project",
             {table,
              "delete from w_oiltest_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_oiltest_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(OilTests, std::make_unique<OilTests>())
