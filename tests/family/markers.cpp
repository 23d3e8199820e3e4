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

    std::string CannotRun(Case c) const override {
        if (c == Case::ProjectLoad) return "no project load: LoadAllWellsData reads every well";
        return "";
    }

    std::map<std::string, std::vector<std::string>> Texts() const override {
        const std::string table = "w_marker_data";
        return {
            {"wells with data",
             {"select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' "
              "and exists( select w_marker_data.wellname from w_marker_data where "
              "w_well_data.wellname = w_marker_data.wellname )  order by w_well_data.wellname "}},
            {"load well", {"select * from w_marker_data where WellName='W1' order by TopDepth"}},
            {"exists", {table, "select * from  w_marker_data where WellName='W1'"}},
            {"save well",
             {table, "delete from  w_marker_data where WellName='W1'", "SaveData w_marker_data 1"}},
            {"stored wells",
             {table, "select WellName from  w_marker_data where WellName in ('W1','W2')"}},
            {"save wells",
             {table, table, "delete from  w_marker_data where WellName in ('W1')",
              "SaveData w_marker_data 0"}},
            {"delete well", {table, "delete from  w_marker_data where WellName='W9'"}},
            {"delete wells", {table, "delete from  w_marker_data where WellName in ('W9','W8')"}},
            {"delete project",
             {table,
              "delete from w_marker_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_marker_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }

    std::vector<testsupport::Statements> OwnStatements() override {
        IMarkerData& m = Object();
        return {
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
            {"load all",
             [&m] {
                 std::vector<MarkerSet> sets;
                 m.LoadAllWellsData("", sets);
             },
             {"select * from w_marker_data order by WellName, TopDepth"}},
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(Markers, std::make_unique<Markers>())
