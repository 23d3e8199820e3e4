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

    std::vector<std::string> Columns() const override {
        return {"LithMarkerName", "TopDepth", "BottomDepth", "LithName", "LithDescription"};
    }

    // Its project load and its empty multi-well calls are its own, under
    // test in lithologymarkerdata_test.
    std::string CannotRun(Case c) const override {
        if (c == Case::ProjectLoad) return "the project load takes every well of the project";
        if (c == Case::EmptyMultiWellCalls) return "no wells are saved and deleted like any others";
        return "";
    }

    // Only the single-well save checks its argument.
    std::vector<testsupport::Refusal> Refusals() override {
        return {
            {"save", [this] { return Object().SaveWellData(LithMarkerSet()); }, "井名称不能为空！"},
        };
    }

    std::map<std::string, std::vector<std::string>> Texts() const override {
        const std::string table = "w_lith_marker_data";
        return {
            {"wells with data",
             {"select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' "
              "and exists( select w_lith_marker_data.wellname from w_lith_marker_data where "
              "w_well_data.wellname = w_lith_marker_data.wellname )  order by "
              "w_well_data.wellname "}},
            {"load well", {LoadW1()}},
            {"exists", {table, "select * from  w_lith_marker_data where WellName='W1'"}},
            {"save well",
             {table, "delete from  w_lith_marker_data where WellName='W1'",
              "SaveData w_lith_marker_data 1"}},
            {"stored wells",
             {table, "select WellName from  w_lith_marker_data where WellName in ('W1','W2')"}},
            {"save wells", SaveW1()},
            // One blank after "from" here, where the deletes of the saves have two.
            {"delete well", {table, "delete from w_lith_marker_data where WellName='W9'"}},
            {"delete wells",
             {table, "delete from  w_lith_marker_data where WellName in ('W9','W8')"}},
            {"delete project",
             {table,
              "delete from w_lith_marker_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_lith_marker_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }

    std::vector<testsupport::Statements> OwnStatements() override {
        ILithologyMarkerData& m = Object();
        std::vector<std::string> saveProject = SaveW1();
        saveProject.insert(saveProject.begin(), "w_lith_marker_data");
        return {
            {"load wells",
             [&m] {
                 std::vector<LithMarkerSet> sets;
                 m.LoadWellsData({"W1", "W1"}, sets);
             },
             {LoadW1(), LoadW1()}},
            {"load project",
             [&m] {
                 std::vector<LithMarkerSet> sets;
                 m.LoadProjectData("P1", sets);
             },
             {"select * from w_well_data where ProjectName='P1'", LoadW1()}},
            {"exists without a name",
             [&m] { m.IsWellDataExist(""); },
             {"w_lith_marker_data", "select * from  w_lith_marker_data where WellName=''"}},
            {"delete well without a name",
             [&m] { m.DeleteWellData(""); },
             {"w_lith_marker_data", "delete from w_lith_marker_data where WellName=''"}},
            {"save project", [this] { Object().SaveProjectData("", SetsOf({"W1"})); }, saveProject},
        };
    }

  private:
    static std::string LoadW1() {
        return "select * from w_lith_marker_data where WellName='W1' order by TopDepth";
    }
    // The multi-well save deletes before it opens the session of its inserts.
    static std::vector<std::string> SaveW1() {
        return {"w_lith_marker_data", "delete from  w_lith_marker_data where WellName in ('W1')",
                "w_lith_marker_data", "SaveData w_lith_marker_data 0"};
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(LithMarkers, std::make_unique<LithMarkers>())
