// Small-layer markers in the family suite: table w_smallmarker_data.
#include "strataloom/ismallmarkerdata.h"
#include "support/family.h"

namespace {

using testsupport::FieldVisitor;

void SmallMarkerFields(SmallMarkerRecord& r, FieldVisitor& v) {
    v(r.SmallMarkerName)(r.MiddleMarkerName)(r.MarkerName)(r.TopDepth)(r.BottomDepth)(r.SandHeight)(
        r.SandHeightType)(r.SandEffTop)(r.SandEffHeight1)(r.SandEffHeight2)(r.DcjsConclusion)(
        r.SmallMarkerDescription);
}

class SmallMarkers : public testsupport::StandardMember<ISmallMarkerData, SmallMarkerSet> {
  public:
    SmallMarkers()
        : StandardMember("SmallMarkers", "ISmallMarkerData", "w_smallmarker_data",
                         &SmallMarkerFields) {}

    std::vector<testsupport::Refusal> Refusals() override {
        const char* well = "井名称不能为空！";
        return {
            {"exists", [this] { return Object().IsWellDataExist(""); }, well},
            {"save", [this] { return Object().SaveWellData(SmallMarkerSet()); }, well},
            {"delete well", [this] { return Object().DeleteWellData(nullptr); }, well},
            {"delete project", [this] { return Object().DeleteProjectData(""); },
             "工区名称不能为空！"},
        };
    }

    std::vector<testsupport::Statements> ExactStatements() override {
        ISmallMarkerData& m = Object();
        const std::string wellsWithData =
            "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' "
            "and exists( select w_smallmarker_data.wellname from w_smallmarker_data where "
            "w_well_data.wellname = w_smallmarker_data.wellname )  order by "
            "w_well_data.wellname ";
        const std::string loadW1 = "select * from w_smallmarker_data where WellName='W1'";
        return {
            {"wells with data",
             [&m] {
                 NameList names;
                 m.GetWellNamesWithData("P1", names);
             },
             {wellsWithData}},
            {"small marker names",
             [&m] {
                 NameList names;
                 m.GetSmallMarkerNames("P1", names);
             },
             {"select distinct w_smallmarker_data.SmallMarkerName from w_smallmarker_data where "
              "exists( select w_well_data.wellname from w_well_data where "
              "w_well_data.ProjectName = 'P1' )"}},
            {"well small marker names",
             [&m] {
                 NameList names;
                 m.GetWellSmallMarkerNames("W1", names);
             },
             {"select SmallMarkerName from w_smallmarker_data where WellName='W1'"}},
            {"load well",
             [&m] {
                 SmallMarkerSet set;
                 m.LoadWellData("W1", set);
             },
             {loadW1}},
            {"load project",
             [&m] {
                 std::vector<SmallMarkerSet> sets;
                 m.LoadProjectData("P1", sets);
             },
             {wellsWithData, loadW1}},
            {"exists",
             [&m] { m.IsWellDataExist("W1"); },
             {"w_smallmarker_data", "select * from  w_smallmarker_data where WellName='W1'"}},
            {"save well",
             [&m] {
                 SmallMarkerSet set;
                 set.WellName = "W1";
                 set.Records.resize(1);
                 m.SaveWellData(set);
             },
             {"w_smallmarker_data", "delete from  w_smallmarker_data where WellName='W1'",
              "SaveData w_smallmarker_data 1"}},
            {"stored wells",
             [&m] {
                 NameList names;
                 m.GetWellsWithData(SetsOf({"W1", "W2"}), names);
             },
             {"w_smallmarker_data",
              "select WellName from  w_smallmarker_data where WellName in ('W1','W2')"}},
            {"save wells",
             [&m] { m.SaveWellsData("", SetsOf({"W1"})); },
             {"w_smallmarker_data", "w_smallmarker_data",
              "delete from  w_smallmarker_data where WellName in ('W1')",
              "SaveData w_smallmarker_data 0"}},
            {"delete well",
             [&m] { m.DeleteWellData("W9"); },
             {"w_smallmarker_data", "delete from  w_smallmarker_data where WellName='W9'"}},
            {"delete wells",
             [&m] {
                 m.DeleteWellsData({"W9", "W8"});
             },
             {"w_smallmarker_data",
              "delete from  w_smallmarker_data where WellName in ('W9','W8')"}},
            {"delete project",
             [&m] { m.DeleteProjectData("P9"); },
             {"w_smallmarker_data",
              "delete from w_smallmarker_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_smallmarker_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(SmallMarkers, std::make_unique<SmallMarkers>())
