// Log curves against a real project database.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "strataloom/ilogdata.h"
#include "strataloom/lasterror.h"
#include "strataloom/logsamples.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

LogCurveRecord Curve(const std::string& name, int depthCurve, std::size_t count = 3) {
    LogCurveRecord record;
    record.CurveName = name;
    record.Measure = name + " unit";
    record.DepthCurve = depthCurve;
    for (std::size_t i = 0; i < count; ++i) record.CurveValue.push_back(i * 1.25 + 1.0 / 3.0);
    return record;
}

// DEPT (a depth curve) first, then the named curves, all linked to DEPT.
LogCurveSet Well(const std::string& well, const std::vector<std::string>& curves,
                 double nullValue = -9999.0) {
    LogCurveSet set;
    set.WellName = well;
    set.NullValue = nullValue;
    set.Records.push_back(Curve("DEPT", 0));
    for (const std::string& curve : curves) set.Records.push_back(Curve(curve, 0));
    return set;
}

const LogCurveRecord* Find(const LogCurveSet& set, const std::string& name) {
    for (const LogCurveRecord& record : set.Records) {
        if (record.CurveName == name) return &record;
    }
    return nullptr;
}

std::string DepthNameOf(const LogCurveSet& set, const std::string& name) {
    const LogCurveRecord* record = Find(set, name);
    if (!record || record->DepthCurve < 0) return "(none)";
    return set.Records.at(static_cast<std::size_t>(record->DepthCurve)).CurveName;
}

class LogDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        logs = Create<ILogData>("ILogData");
        ASSERT_TRUE(logs);
    }
    void AddRow(const std::string& well, const std::string& curve, const std::string& depth) {
        Exec(
            "insert into w_log_data (WellName, CurveName, Measure, DepthCurveName, NullValue) "
            "values ('" +
            well + "', '" + curve + "', 'm', '" + depth + "', -999.25)");
    }
    std::string StoredDepthName(const std::string& well, const std::string& curve) {
        return QueryText("select DepthCurveName as c from w_log_data where WellName='" + well +
                         "' and CurveName='" + curve + "'");
    }
    std::unique_ptr<ILogData> logs;
};

TEST_P(LogDataTest, SamplesRoundTripAtEveryLength) {
    LogCurveSet set = Well("W1", {});
    for (std::size_t count : {0u, 1u, 2u, 3u, 500u}) {
        set.Records.push_back(Curve("C" + std::to_string(count), 0, count));
    }
    ASSERT_EQ(1, logs->SaveCurves(set));
    EXPECT_EQ(1, Count("w_log_data where CurveValue is null"));
    LogCurveSet loaded;
    ASSERT_EQ(1, logs->LoadWellData("W1", loaded));
    EXPECT_EQ(-9999.0, loaded.NullValue);
    for (std::size_t count : {0u, 1u, 2u, 3u, 500u}) {
        const LogCurveRecord* curve = Find(loaded, "C" + std::to_string(count));
        ASSERT_TRUE(curve);
        EXPECT_EQ(Curve("x", 0, count).CurveValue, curve->CurveValue) << count;
        EXPECT_EQ("C" + std::to_string(count) + " unit", curve->Measure);
    }
}

TEST_P(LogDataTest, WellLoadLinksEveryCurveToItsDepthCurve) {
    AddRow("W1", "GR", "DEPT");
    AddRow("W1", "DEPT", "DEPT");
    AddRow("W1", "SP", "DEPT");
    AddRow("W1", "ODD", "MISSING");
    LogCurveSet empty;
    empty.WellName = "keep";
    EXPECT_EQ(0, logs->LoadWellData("Nowhere", empty));
    EXPECT_EQ("keep", empty.WellName);

    LogCurveSet set;
    ASSERT_EQ(1, logs->LoadWellData("W1", set));
    EXPECT_EQ("W1", set.WellName);
    EXPECT_EQ(-999.25, set.NullValue);
    ASSERT_EQ(4u, set.Records.size());
    const int dept = static_cast<int>(Find(set, "DEPT") - set.Records.data());
    EXPECT_EQ(dept, Find(set, "GR")->DepthCurve);
    EXPECT_EQ(dept, Find(set, "SP")->DepthCurve);
    EXPECT_EQ(dept, Find(set, "DEPT")->DepthCurve);
    EXPECT_EQ(-1, Find(set, "ODD")->DepthCurve);

    // Loading again into the same set: the new curves link among themselves,
    // the earlier ones keep their links.
    ASSERT_EQ(1, logs->LoadWellData("W1", set));
    ASSERT_EQ(8u, set.Records.size());
    for (std::size_t i = 0; i < 4; ++i) {
        const LogCurveRecord& old = set.Records[i];
        const LogCurveRecord& fresh = set.Records[i + 4];
        EXPECT_EQ(old.CurveName, fresh.CurveName);
        EXPECT_EQ(old.DepthCurve < 0 ? -1 : old.DepthCurve + 4, fresh.DepthCurve) << i;
    }
}

// Repeated curve names: per name, the scan of the loaded records stops where
// the curve and its depth curve have both been met, and links the last
// record of the name met until then to the last of its depth curve.
TEST_P(LogDataTest, RepeatedNamesLinkAsAScanOfTheLoadedRecordsFindsThem) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"GR", "DEPT"}, {"DEPT", "DEPT"}, {"GR", "DEPT"},   {"DEPT", "DEPT"}, {"SP", "DEPT"},
        {"SP", "DEPT"}, {"RT", "NONE"},   {"TDEP", "TDEP"}, {"CAL", "TDEP"},  {"TDEP", "TDEP"}};
    std::map<std::string, std::string> depthOf;
    for (const auto& [curve, depth] : rows) {
        AddRow("W1", curve, depth);
        depthOf[curve] = depth;
    }
    LogCurveSet set;
    ASSERT_EQ(1, logs->LoadWellData("W1", set));
    ASSERT_EQ(rows.size(), set.Records.size());
    for (const auto& [curve, depth] : depthOf) {
        int curveAt = -1;
        int depthAt = -1;
        for (std::size_t i = 0; i < set.Records.size(); ++i) {
            if (set.Records[i].CurveName == curve) curveAt = static_cast<int>(i);
            if (set.Records[i].CurveName == depth) depthAt = static_cast<int>(i);
            if (curveAt >= 0 && depthAt >= 0) break;
        }
        ASSERT_GE(curveAt, 0) << curve;
        EXPECT_EQ(depthAt, set.Records[static_cast<std::size_t>(curveAt)].DepthCurve) << curve;
    }
}

TEST_P(LogDataTest, CurveLoadBringsItsDepthCurveFirst) {
    ASSERT_EQ(1, logs->SaveCurves(Well("W1", {"GR"}, -1.5)));
    Exec("update w_log_data set NullValue = -2.5 where CurveName = 'GR'");
    LogCurveSet set;
    ASSERT_EQ(1, logs->LoadCurve("W1", "GR", set));
    ASSERT_EQ(2u, set.Records.size());
    EXPECT_EQ("DEPT", set.Records[0].CurveName);
    EXPECT_EQ("GR", set.Records[1].CurveName);
    EXPECT_EQ(0, set.Records[0].DepthCurve);
    EXPECT_EQ(0, set.Records[1].DepthCurve);
    EXPECT_EQ(-1.5, set.NullValue);

    // A depth curve loads as itself twice; the records present stay as they were.
    ASSERT_EQ(1, logs->LoadCurve("W1", "DEPT", set));
    ASSERT_EQ(4u, set.Records.size());
    EXPECT_EQ("DEPT", set.Records[2].CurveName);
    EXPECT_EQ("DEPT", set.Records[3].CurveName);
    EXPECT_EQ(2, set.Records[2].DepthCurve);
    EXPECT_EQ(2, set.Records[3].DepthCurve);
    EXPECT_EQ(0, set.Records[1].DepthCurve);

    // A depth curve that names another curve still loads.
    AddRow("W3", "GR", "D3");
    AddRow("W3", "D3", "OTHER");
    LogCurveSet odd;
    ASSERT_EQ(1, logs->LoadCurve("W3", "GR", odd));
    ASSERT_EQ(2u, odd.Records.size());
    EXPECT_EQ("D3", odd.Records[0].CurveName);
    EXPECT_EQ(0, odd.Records[1].DepthCurve);

    // A missing depth curve appends nothing, but the well and null value are taken.
    AddRow("W2", "SP", "GONE");
    LogCurveSet orphan;
    EXPECT_EQ(0, logs->LoadCurve("W2", "SP", orphan));
    EXPECT_TRUE(orphan.Records.empty());
    EXPECT_EQ("W2", orphan.WellName);
    EXPECT_EQ(-999.25, orphan.NullValue);
}

TEST_P(LogDataTest, SavesWriteDepthCurveNamesFromPositions) {
    LogCurveSet set = Well("W1", {"GR"});
    set.Records.push_back(Curve("NONE", -1));
    set.Records.push_back(Curve("FAR", 7));
    set.Records.push_back(Curve("SELF", 4));
    ASSERT_EQ(1, logs->SaveCurves(set));
    EXPECT_EQ("DEPT", StoredDepthName("W1", "DEPT"));
    EXPECT_EQ("DEPT", StoredDepthName("W1", "GR"));
    EXPECT_EQ("", StoredDepthName("W1", "NONE"));
    EXPECT_EQ("", StoredDepthName("W1", "FAR"));
    EXPECT_EQ("SELF", StoredDepthName("W1", "SELF"));

    set.WellName = "W2";
    ASSERT_EQ(1, logs->SaveWellsCurves("", {set}));
    EXPECT_EQ("DEPT", StoredDepthName("W2", "GR"));
    EXPECT_EQ("", StoredDepthName("W2", "FAR"));
    EXPECT_EQ("SELF", StoredDepthName("W2", "SELF"));
}

TEST_P(LogDataTest, ProjectLoadKeepsLinksInsideEachCopiedSet) {
    Exec("insert into w_well_data (ProjectName, WellName) values ('P1', 'A')");
    Exec("insert into w_well_data (ProjectName, WellName) values ('P1', 'B')");
    ASSERT_EQ(1, logs->SaveCurves(Well("A", {"GR", "SP"})));
    LogCurveSet b = Well("B", {"AC"});
    std::swap(b.Records[0], b.Records[1]);  // AC first, then DEPT
    b.Records[0].DepthCurve = 1;
    b.Records[1].DepthCurve = 1;
    ASSERT_EQ(1, logs->SaveCurves(b));
    std::vector<LogCurveSet> sets;
    ASSERT_EQ(1, logs->LoadProjectData("P1", sets));
    ASSERT_EQ(2u, sets.size());
    for (const LogCurveSet& set : sets) {
        for (const LogCurveRecord& record : set.Records) {
            EXPECT_EQ("DEPT", DepthNameOf(set, record.CurveName)) << set.WellName;
        }
    }
    Exec("insert into w_well_data (ProjectName, WellName) values ('P1', 'Bare')");
    std::vector<LogCurveSet> partial;
    EXPECT_EQ(0, logs->LoadProjectData("P1", partial));
}

TEST_P(LogDataTest, DeleteCurveTakesTheDepthCurveOnlyWithItsLastUser) {
    ASSERT_EQ(1, logs->SaveCurves(Well("W1", {"GR", "SP"})));
    ASSERT_EQ(1, logs->DeleteCurve("W1", "GR"));
    EXPECT_EQ(1, Count("w_log_data where CurveName='DEPT'"));
    ASSERT_EQ(1, logs->DeleteCurve("W1", "SP"));
    EXPECT_EQ(0, Count("w_log_data"));

    // Deleting a depth curve takes only its own row.
    ASSERT_EQ(1, logs->SaveCurves(Well("W1", {"GR"})));
    ASSERT_EQ(1, logs->DeleteCurve("W1", "DEPT"));
    EXPECT_EQ(1, Count("w_log_data where CurveName='GR'"));
    EXPECT_EQ("DEPT", StoredDepthName("W1", "GR"));

    // A curve without depth curve never takes an unnamed curve with it.
    AddRow("W2", "RAW", "");
    AddRow("W2", "", "");
    ASSERT_EQ(1, logs->DeleteCurve("W2", "RAW"));
    EXPECT_EQ(1, Count("w_log_data where WellName='W2'"));

    // Another well's users of the same name do not count.
    AddRow("W3", "GR", "TIME");
    AddRow("W3", "TIME", "TIME");
    AddRow("W4", "GR", "TIME");
    ASSERT_EQ(1, logs->DeleteCurve("W3", "GR"));
    EXPECT_EQ(0, Count("w_log_data where WellName='W3'"));
    EXPECT_EQ(1, Count("w_log_data where WellName='W4'"));

    // A depth curve that does not name itself stays while another curve uses it.
    AddRow("W5", "GR", "D5");
    AddRow("W5", "SP", "D5");
    AddRow("W5", "D5", "");
    ASSERT_EQ(1, logs->DeleteCurve("W5", "GR"));
    EXPECT_EQ(1, Count("w_log_data where WellName='W5' and CurveName='D5'"));
    ASSERT_EQ(1, logs->DeleteCurve("W5", "SP"));
    EXPECT_EQ(0, Count("w_log_data where WellName='W5'"));

    EXPECT_EQ(0, logs->DeleteCurve("W1", "UNKNOWN"));
}

TEST_P(LogDataTest, CurveNameListsAndExistingCurves) {
    AddRow("W1", "SP", "DEPT");
    AddRow("W1", "DEPT", "DEPT");
    AddRow("W1", "GR", "DEPT");
    AddRow("W1", "TIME", "TIME");
    NameList curves, depths;
    ASSERT_EQ(1, logs->GetCurveNames("W1", curves, depths));
    EXPECT_EQ((NameList{"DEPT", "GR", "SP", "TIME"}), curves);
    EXPECT_EQ((NameList{"DEPT", "DEPT", "DEPT", "TIME"}), depths);
    NameList depthCurves;
    ASSERT_EQ(1, logs->GetDepthCurveNames("W1", depthCurves));
    std::sort(depthCurves.begin(), depthCurves.end());
    EXPECT_EQ((NameList{"DEPT", "TIME"}), depthCurves);
    LogCurveSet values;
    ASSERT_EQ(1, logs->LoadDepthCurves("W1", values));
    EXPECT_EQ(2u, values.Records.size());
    EXPECT_EQ("", values.WellName);

    StatementLog log;
    LogCurveSet probe;
    probe.WellName = "W1";
    NameList existing;
    EXPECT_EQ(0, logs->GetExistingCurveNames(probe, existing));
    probe.Records = {Curve("NEW", -1)};
    EXPECT_EQ(0, logs->GetExistingCurveNames(probe, existing));
    EXPECT_TRUE(existing.empty());
    probe.Records = {Curve("GR", -1), Curve("NEW", -1), Curve("SP", -1)};
    ASSERT_EQ(1, logs->GetExistingCurveNames(probe, existing));
    std::sort(existing.begin(), existing.end());
    EXPECT_EQ((NameList{"GR", "SP"}), existing);
    EXPECT_TRUE(
        log.Has("select CurveName from w_log_data where WellName='W1' and CurveName in "
                "(  )"));
    EXPECT_TRUE(
        log.Has("select CurveName from w_log_data where WellName='W1' and CurveName in "
                "( 'NEW' )"));
    EXPECT_TRUE(
        log.Has("select CurveName from w_log_data where WellName='W1' and CurveName in "
                "( 'GR','NEW','SP' )"));
}

TEST_P(LogDataTest, StatementsKeepTheirExactText) {
    Exec("insert into w_well_data (ProjectName, WellName) values ('P1', 'W1')");
    StatementLog log;
    ASSERT_EQ(1, logs->SaveCurves(Well("W1", {"GR"})));
    NameList names, depths;
    LogCurveSet depthValues, curve, well;
    std::vector<LogCurveSet> project;
    EXPECT_EQ(1, logs->GetWellNamesWithData("P1", names));
    EXPECT_EQ(1, logs->GetCurveNames("W1", names, depths));
    EXPECT_EQ(1, logs->GetDepthCurveNames("W1", names));
    EXPECT_EQ(1, logs->LoadDepthCurves("W1", depthValues));
    EXPECT_EQ(1, logs->LoadCurve("W1", "GR", curve));
    EXPECT_EQ(1, logs->LoadWellData("W1", well));
    EXPECT_EQ(1, logs->LoadProjectData("P1", project));
    EXPECT_EQ(1, logs->DeleteCurve("W1", "GR"));
    EXPECT_EQ(1, logs->DeleteWellData("W1"));
    const std::vector<std::string> expected{
        "w_log_data",
        "delete from  w_log_data where CurveName in ( 'DEPT','GR' ) AND WellName='W1'",
        "w_log_data",
        "SaveData w_log_data 2",
        "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
        "exists( select w_log_data.wellname from w_log_data where w_well_data.wellname = "
        "w_log_data.wellname )  order by w_well_data.wellname ",
        // No blank before "order".
        "select CurveName, DepthCurveName from w_log_data where WellName='W1'order by CurveName",
        "select CurveName, DepthCurveName from w_log_data where WellName='W1'",
        "select NullValue, CurveValue from w_log_data where WellName='W1' and CurveName = "
        "DepthCurveName ",
        "select * from w_log_data where WellName='W1' and CurveName='GR'",
        "select * from w_log_data where WellName='W1' and CurveName='DEPT'",
        "select * from w_log_data where WellName='W1'",
        "select WellName from w_well_data where ProjectName='P1'",
        "select * from w_log_data where WellName='W1'",
        "w_log_data",
        "select DepthCurveName from w_log_data where WellName='W1' and CurveName='GR'",
        "select * from w_log_data where WellName='W1' and DepthCurveName='DEPT'",
        "delete from  w_log_data where WellName='W1' and CurveName='GR'",
        "delete from  w_log_data where WellName='W1' and CurveName='DEPT'",
        "w_log_data",
        "delete from  w_log_data where WellName='W1'",
    };
    EXPECT_EQ(expected, log.texts);
}

TEST_P(LogDataTest, WellDeletesSendOneInList) {
    for (const char* well : {"W1", "W2", "W3", "W4"})
        ASSERT_EQ(1, logs->SaveCurves(Well(well, {"GR"})));
    StatementLog log;
    EXPECT_EQ(1, logs->DeleteWellsData(NameList{}));
    EXPECT_EQ(8, Count("w_log_data"));
    EXPECT_EQ(1, logs->DeleteWellsData(NameList{"W1"}));
    EXPECT_EQ(1, logs->DeleteWellsData(NameList{"W2", "W3", "W9"}));
    EXPECT_EQ(1, logs->DeleteCurves("W4", NameList{"GR", "XX"}));
    EXPECT_EQ(0, logs->DeleteCurves("W4", NameList{}));
    EXPECT_TRUE(log.Has("delete from  w_log_data where WellName in ()"));
    EXPECT_TRUE(log.Has("delete from  w_log_data where WellName in ('W1')"));
    EXPECT_TRUE(log.Has("delete from  w_log_data where WellName in ('W2','W3','W9')"));
    EXPECT_TRUE(
        log.Has("delete from  w_log_data where CurveName in ( 'GR','XX' ) AND "
                "WellName='W4'"));
    EXPECT_EQ(1, Count("w_log_data"));
    EXPECT_EQ(1, Count("w_log_data where WellName='W4' and CurveName='DEPT'"));
}

TEST_P(LogDataTest, ProjectDeleteLeavesOtherProjectsRows) {
    Exec("insert into w_well_data (ProjectName, WellName) values ('P1', 'A')");
    Exec("insert into w_well_data (ProjectName, WellName) values ('P2', 'B')");
    for (const char* well : {"A", "B", "Loose"}) ASSERT_EQ(1, logs->SaveCurves(Well(well, {"GR"})));
    NameList wells;
    ASSERT_EQ(1, logs->GetWellNamesWithData("P1", wells));
    EXPECT_EQ(NameList{"A"}, wells);
    StatementLog log;
    EXPECT_EQ(1, logs->DeleteProjectData("P1"));
    EXPECT_TRUE(
        log.Has("delete from w_log_data where exists( select w_well_data.wellname from "
                "w_well_data where w_well_data.wellname = w_log_data.wellname and  "
                "w_well_data.ProjectName = 'P1' )"));
    EXPECT_EQ(0, Count("w_log_data where WellName='A'"));
    EXPECT_EQ(2, Count("w_log_data where WellName='B'"));
    EXPECT_EQ(2, Count("w_log_data where WellName='Loose'"));
}

TEST_P(LogDataTest, SavesReplaceCurveByCurveAndAllOrNothing) {
    ASSERT_EQ(1, logs->SaveCurves(Well("W1", {"GR", "SP"})));
    LogCurveSet update;
    update.WellName = "W1";
    update.NullValue = 5.0;
    update.Records = {Curve("GR", -1, 6)};
    ASSERT_EQ(1, logs->SaveCurves(update));
    EXPECT_EQ(3, Count("w_log_data where WellName='W1'"));
    EXPECT_EQ("", StoredDepthName("W1", "GR"));

    StatementLog log;
    LogCurveSet noRecords;
    noRecords.WellName = "W1";
    ASSERT_EQ(1, logs->SaveWellsCurves("", {Well("W1", {"SP"}), noRecords, Well("W2", {})}));
    EXPECT_EQ((std::vector<std::string>{
                  "w_log_data",
                  "delete * from  w_log_data where WellName='W1' and CurveName='DEPT'",
                  "delete * from  w_log_data where WellName='W1' and CurveName='SP'",
                  "delete * from  w_log_data where WellName='W2' and CurveName='DEPT'",
                  "SaveData w_log_data 3",
              }),
              log.texts);
    EXPECT_EQ(4, Count("w_log_data"));

    RefuseInsertsWhere("w_log_data", "CurveName", "bad");
    EXPECT_EQ(0, logs->SaveCurves(Well("W1", {"GR", "bad"})));
    EXPECT_EQ(0, logs->SaveWellsCurves("", {Well("W1", {"SP"}), Well("W2", {"bad"})}));
    EXPECT_EQ(4, Count("w_log_data"));
    EXPECT_EQ("", StoredDepthName("W1", "GR"));
}

TEST_P(LogDataTest, EmptyNamesAreRefusedBeforeAnyStatement) {
    StatementLog log;
    LogCurveSet unnamed = Well("", {"GR"});
    EXPECT_EQ(0, logs->SaveCurves(unnamed));
    EXPECT_EQ(0, logs->DeleteCurve("", "GR"));
    EXPECT_EQ(0, logs->DeleteCurves(nullptr, NameList{"GR"}));
    EXPECT_EQ(0, logs->DeleteWellData(""));
    EXPECT_EQ(0, logs->DeleteProjectData(""));
    LogCurveSet noRecords;
    noRecords.WellName = "W1";
    EXPECT_EQ(0, logs->SaveCurves(noRecords));
    EXPECT_TRUE(log.texts.empty());
    ASSERT_EQ(5u, Boxes().size());
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ("井名称不能为空！", Boxes()[i].text);
    EXPECT_EQ("工区名称不能为空！", Boxes()[4].text);
}

// The NaN load gives what LoadWellData gives with each row's null value as
// NaN outside depth curves; lengths around the copy's blocks of 2 and 8
// values reach every tail, on the server's reads and the file's alike.
bool SameOrBothNaN(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : a == b;
}

TEST_P(LogDataTest, NullsAsNaNLoadReplacesNullsOutsideDepthCurvesOnly) {
    LogCurveSet set = Well("W1", {}, -999.25);
    set.Records[0].CurveValue = {-999.25, 1.0, 2.0};  // a depth curve keeps even the null
    for (std::size_t count : {1u, 2u, 3u, 7u, 8u, 9u, 17u}) {
        LogCurveRecord curve = Curve("C" + std::to_string(count), 0, count);
        curve.CurveValue.front() = -999.25;
        curve.CurveValue.back() = -999.25;
        set.Records.push_back(std::move(curve));
    }
    ASSERT_EQ(1, logs->SaveCurves(set));
    LogCurveSet stored;
    ASSERT_EQ(1, logs->LoadWellData("W1", stored));
    LogCurveSet passedOver = stored;
    StrataloomNullsToNaN(&passedOver);
    LogCurveSet loaded;
    ASSERT_EQ(1, StrataloomLoadWellDataNullsAsNaN(logs.get(), "W1", &loaded));
    ASSERT_EQ(stored.Records.size(), loaded.Records.size());
    for (std::size_t i = 0; i < stored.Records.size(); ++i) {
        const LogCurveRecord& before = stored.Records[i];
        ASSERT_EQ(before.CurveValue.size(), loaded.Records[i].CurveValue.size());
        EXPECT_EQ(before.DepthCurve, loaded.Records[i].DepthCurve);
        for (std::size_t v = 0; v < before.CurveValue.size(); ++v) {
            const double expected = before.CurveName != "DEPT" && before.CurveValue[v] == -999.25
                                        ? std::numeric_limits<double>::quiet_NaN()
                                        : before.CurveValue[v];
            EXPECT_TRUE(SameOrBothNaN(expected, loaded.Records[i].CurveValue[v]))
                << before.CurveName << "[" << v << "]";
            EXPECT_TRUE(SameOrBothNaN(expected, passedOver.Records[i].CurveValue[v]));
        }
    }
    // Each row's own null value counts: -999.25 is no null of this row.
    Exec("update w_log_data set NullValue = 1.5 where CurveName = 'C9'");
    LogCurveSet ownNull;
    ASSERT_EQ(1, StrataloomLoadWellDataNullsAsNaN(logs.get(), "W1", &ownNull));
    const LogCurveRecord* c9 = Find(ownNull, "C9");
    ASSERT_TRUE(c9);
    EXPECT_EQ(-999.25, c9->CurveValue.front());
    EXPECT_TRUE(std::isnan(Find(ownNull, "C8")->CurveValue.front()));

    LogCurveSet none;
    EXPECT_EQ(0, StrataloomLoadWellDataNullsAsNaN(logs.get(), "Nowhere", &none));
    EXPECT_TRUE(none.Records.empty());
    EXPECT_EQ(0, StrataloomLoadWellDataNullsAsNaN(nullptr, "W1", &none));
    EXPECT_STREQ("no log data object or no curve set was given", StrataloomLastError());
}

STRATALOOM_ENGINES(LogDataTest);

}  // namespace
