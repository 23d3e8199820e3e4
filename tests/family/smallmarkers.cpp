// Small-layer markers in the family suite: table w_smallmarker_data.
#include "datadefine/csmallmarkerdata.h"
#include "support/family.h"

namespace {

using testsupport::FieldVisitor;

void SmallMarkerFields(SmallMarkerRecord& r, FieldVisitor& v) {
    v(r.SmallMarkerName)(r.MiddleMarkerName)(r.MarkerName)(r.TopDepth)(r.BottomDepth)(r.SandHeight)(
        r.SandHeightType)(r.SandEffTop)(r.SandEffHeight1)(r.SandEffHeight2)(r.DcjsConclusion)(
        r.SmallMarkerDescription);
}

class SmallMarkers
    : public testsupport::ProjectLoadingMember<ISmallMarkerData, SmallMarkerSet, CSmallMarkerData> {
  public:
    SmallMarkers()
        : ProjectLoadingMember("SmallMarkers", "ISmallMarkerData", "w_smallmarker_data",
                               &SmallMarkerFields) {}

    std::vector<std::string> Columns() const override {
        return {"SmallMarkerName", "MiddleMarkerName", "MarkerName",     "TopDepth",
                "BottomDepth",     "SandHeight",       "SandHeightType", "SandEffTop",
                "SandEffHeight1",  "SandEffHeight2",   "DcjsConclusion", "SmallMarkerDescription"};
    }

    std::map<std::string, std::vector<std::string>> Texts() const override {
        const std::string table = "w_smallmarker_data";
        const std::string wellsWithData =
            "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' "
            "and exists( select w_smallmarker_data.wellname from w_smallmarker_data where "
            "w_well_data.wellname = w_smallmarker_data.wellname )  order by "
            "w_well_data.wellname ";
        const std::string loadW1 = "select * from w_smallmarker_data where WellName='W1'";
        return {
            {"wells with data", {wellsWithData}},
            {"load well", {loadW1}},
            {"load project", {wellsWithData, loadW1}},
            {"exists", {table, "select * from  w_smallmarker_data where WellName='W1'"}},
            {"save well",
             {table, "delete from  w_smallmarker_data where WellName='W1'",
              "SaveData w_smallmarker_data 1"}},
            {"stored wells",
             {table, "select WellName from  w_smallmarker_data where WellName in ('W1','W2')"}},
            {"save wells",
             {table, table, "delete from  w_smallmarker_data where WellName in ('W1')",
              "SaveData w_smallmarker_data 0"}},
            {"delete well", {table, "delete from  w_smallmarker_data where WellName='W9'"}},
            {"delete wells",
             {table, "delete from  w_smallmarker_data where WellName in ('W9','W8')"}},
            {"delete project",
             {table,
              "delete from w_smallmarker_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_smallmarker_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
        };
    }

    std::vector<testsupport::Statements> OwnStatements() override {
        ISmallMarkerData& m = Object();
        return {
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
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(SmallMarkers, std::make_unique<SmallMarkers>())
