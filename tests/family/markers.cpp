// Well markers in the family suite: table w_marker_data.
#include "strataloom/imarkerdata.h"
#include "support/family.h"

namespace {

using testsupport::FieldVisitor;

void MarkerFields(MarkerRecord& r, FieldVisitor& v) {
    v(r.MarkerName)(r.TopDepth)(r.BottomDepth)(r.Description);
}

class Markers : public testsupport::StandardMember<IMarkerData, MarkerSet> {
  public:
    Markers() : StandardMember("Markers", "IMarkerData", "w_marker_data", &MarkerFields) {}

    std::vector<std::string> Columns() const override {
        return {"MarkerName", "TopDepth", "BottomDepth", "Description"};
    }

    std::vector<testsupport::Refusal> Refusals() override {
        const char* well = "井名称不能为空！";
        return {
            {"exists", [this] { return Object().IsWellDataExist(""); }, well},
            {"save", [this] { return Object().SaveWellData(MarkerSet()); }, well},
            {"delete well", [this] { return Object().DeleteWellData(""); }, well},
            {"delete project", [this] { return Object().DeleteProjectData(""); },
             "工区名称不能为空！"},
        };
    }

    std::vector<testsupport::Statements> ExactStatements() override {
        IMarkerData& m = Object();
        return {
            {"wells with data",
             [&m] {
                 NameList names;
                 m.GetWellNamesWithData("P1", names);
             },
             {"select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' "
              "and exists( select w_marker_data.wellname from w_marker_data where "
              "w_well_data.wellname = w_marker_data.wellname )  order by w_well_data.wellname "}},
            {"marker names",
             [&m] {
                 NameList names;
                 m.GetMarkerNames("P1", names);
             },
             {"select distinct w_marker_data.MarkerName from w_marker_data where exists( select "
              "w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' )"}},
            {"well marker names",
             [&m] {
                 NameList names;
                 m.GetWellMarkerNames("W1", names);
             },
             {"select MarkerName from w_marker_data where WellName='W1'"}},
            {"load by name",
             [&m] {
                 std::vector<MarkerSet> sets;
                 m.LoadMarkersByName("P1", "M1", sets);
             },
             {"select distinct * from w_marker_data where w_marker_data.MarkerName = 'M1'and "
              "exists( select w_well_data.wellname from w_well_data where "
              "w_well_data.ProjectName = 'P1' )"}},
            {"load well",
             [&m] {
                 MarkerSet set;
                 m.LoadWellData("W1", set);
             },
             {"select * from w_marker_data where WellName='W1' order by TopDepth"}},
            {"load all",
             [&m] {
                 std::vector<MarkerSet> sets;
                 m.LoadAllWellsData("", sets);
             },
             {"select * from w_marker_data order by WellName, TopDepth"}},
            {"exists",
             [&m] { m.IsWellDataExist("W1"); },
             {"w_marker_data", "select * from  w_marker_data where WellName='W1'"}},
            {"save well",
             [&m] {
                 MarkerSet set;
                 set.WellName = "W1";
                 set.Records.resize(1);
                 m.SaveWellData(set);
             },
             {"w_marker_data", "delete from  w_marker_data where WellName='W1'",
              "SaveData w_marker_data 1"}},
            {"stored wells",
             [&m] {
                 NameList names;
                 m.GetWellsWithData(SetsOf({"W1", "W2"}), names);
             },
             {"w_marker_data",
              "select WellName from  w_marker_data where WellName in ('W1','W2')"}},
            {"save wells",
             [&m] { m.SaveWellsData("", SetsOf({"W1"})); },
             {"w_marker_data", "w_marker_data",
              "delete from  w_marker_data where WellName in ('W1')", "SaveData w_marker_data 0"}},
            {"delete well",
             [&m] { m.DeleteWellData("W9"); },
             {"w_marker_data", "delete from  w_marker_data where WellName='W9'"}},
            {"delete wells",
             [&m] { m.DeleteWellsData({"W9"}); },
             {"w_marker_data", "delete from  w_marker_data where WellName in ('W9')"}},
            {"delete project",
             [&m] { m.DeleteProjectData("P9"); },
             {"w_marker_data",
              "delete from w_marker_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_marker_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(Markers, std::make_unique<Markers>())
