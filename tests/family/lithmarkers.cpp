// Lithology markers in the family suite: table w_lith_marker_data.
#include "strataloom/ilithologymarkerdata.h"
#include "support/family.h"

namespace {

using testsupport::FieldVisitor;

void LithMarkerFields(LithMarkerRecord& r, FieldVisitor& v) {
    v(r.LithMarkerName)(r.TopDepth)(r.BottomDepth)(r.LithName)(r.LithDescription);
}

class LithMarkers : public testsupport::StandardMember<ILithologyMarkerData, LithMarkerSet> {
  public:
    LithMarkers()
        : StandardMember("LithMarkers", "ILithologyMarkerData", "w_lith_marker_data",
                         &LithMarkerFields) {}

    // Only the single-well save checks its argument.
    std::vector<testsupport::Refusal> Refusals() override {
        return {
            {"save", [this] { return Object().SaveWellData(LithMarkerSet()); }, "井名称不能为空！"},
        };
    }

    std::vector<testsupport::Statements> ExactStatements() override {
        ILithologyMarkerData& m = Object();
        const std::string loadW1 =
            "select * from w_lith_marker_data where WellName='W1' order by TopDepth";
        // The multi-well save deletes before it opens the session of its inserts.
        const std::vector<std::string> saveW1 = {
            "w_lith_marker_data", "delete from  w_lith_marker_data where WellName in ('W1')",
            "w_lith_marker_data", "SaveData w_lith_marker_data 0"};
        std::vector<std::string> saveProject = saveW1;
        saveProject.insert(saveProject.begin(), "w_lith_marker_data");
        return {
            {"wells with data",
             [&m] {
                 NameList names;
                 m.GetWellNamesWithData("P1", names);
             },
             {"select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' "
              "and exists( select w_lith_marker_data.wellname from w_lith_marker_data where "
              "w_well_data.wellname = w_lith_marker_data.wellname )  order by "
              "w_well_data.wellname "}},
            {"load well",
             [&m] {
                 LithMarkerSet set;
                 m.LoadWellData("W1", set);
             },
             {loadW1}},
            {"load wells",
             [&m] {
                 std::vector<LithMarkerSet> sets;
                 m.LoadWellsData({"W1", "W1"}, sets);
             },
             {loadW1, loadW1}},
            {"load project",
             [&m] {
                 std::vector<LithMarkerSet> sets;
                 m.LoadProjectData("P1", sets);
             },
             {"select * from w_well_data where ProjectName='P1'", loadW1}},
            {"exists",
             [&m] { m.IsWellDataExist(""); },
             {"w_lith_marker_data", "select * from  w_lith_marker_data where WellName=''"}},
            {"save well",
             [&m] {
                 LithMarkerSet set;
                 set.WellName = "W1";
                 set.Records.resize(1);
                 m.SaveWellData(set);
             },
             {"w_lith_marker_data", "delete from  w_lith_marker_data where WellName='W1'",
              "SaveData w_lith_marker_data 1"}},
            {"stored wells",
             [&m] {
                 NameList names;
                 m.GetWellsWithData(SetsOf({"W1", "W2"}), names);
             },
             {"w_lith_marker_data",
              "select WellName from  w_lith_marker_data where WellName in ('W1','W2')"}},
            {"save wells", [&m] { m.SaveWellsData(SetsOf({"W1"})); }, saveW1},
            {"save project", [&m] { m.SaveProjectData("", SetsOf({"W1"})); }, saveProject},
            {"delete well",
             [&m] { m.DeleteWellData(""); },
             {"w_lith_marker_data", "delete from w_lith_marker_data where WellName=''"}},
            {"delete wells",
             [&m] {
                 m.DeleteWellsData({"W9", "W8"});
             },
             {"w_lith_marker_data",
              "delete from  w_lith_marker_data where WellName in ('W9','W8')"}},
            {"delete project",
             [&m] { m.DeleteProjectData("P9"); },
             {"w_lith_marker_data",
              "delete from w_lith_marker_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_lith_marker_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(LithMarkers, std::make_unique<LithMarkers>())
