// Map polylines against a real project database.
#include <algorithm>

#include "strataloom/icsdata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

std::vector<double> Values(std::size_t count, double base) {
    std::vector<double> values;
    for (std::size_t i = 0; i < count; ++i) values.push_back(base + 0.25 * i + 1e-11);
    return values;
}

CSRecord Line(const std::string& marker, const std::string& name, char type = '0',
              std::size_t vertices = 4) {
    CSRecord line;
    line.MarkerName = marker;
    line.CSName = name;
    line.CSType = type;
    line.Xcoor = Values(vertices, 20500000.0);
    line.Ycoor = Values(vertices, 4400000.0);
    line.Depth = Values(vertices, -1500.0);
    line.TurnPoint1 = 1;
    line.TurnPoint2 = 2;
    return line;
}

NameList Sorted(NameList names) {
    std::sort(names.begin(), names.end());
    return names;
}

NameList NamesOf(const std::vector<CSRecord>& lines) {
    NameList names;
    for (const CSRecord& line : lines) names.push_back(line.MarkerName + "/" + line.CSName);
    return Sorted(names);
}

class CSDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        lines = Create<ICSData>("ICSData");
        ASSERT_TRUE(lines);
    }
    // One line of each type code on H1 (named after its code) and one of
    // codes '0' and '3' on H2.
    void SaveOneOfEachType() {
        std::vector<CSRecord> all;
        for (char type : {'0', '1', '2', '3', '4'}) all.push_back(Line("H1", {'T', type}, type));
        all.push_back(Line("H2", "T0", '0'));
        all.push_back(Line("H2", "T3", '3'));
        ASSERT_EQ(1, lines->SaveCSList(all));
        ASSERT_TRUE(Boxes().empty());
    }
    std::unique_ptr<ICSData> lines;
};

// The types each filter value selects, in every operation that takes one.
TEST_P(CSDataTest, TypeFiltersSelectTheirFamilies) {
    SaveOneOfEachType();
    struct Case {
        int filter;
        NameList names;
    };
    const std::vector<Case> cases{{0, {"T0", "T1", "T2"}}, {1, {"T3"}},        {2, {"T4"}},
                                  {3, {"T3", "T4"}},       {-1, {"T3", "T4"}}, {7, {"T3", "T4"}}};
    for (const Case& c : cases) {
        NameList names;
        ASSERT_EQ(1, lines->GetCSNames(c.filter, names)) << c.filter;
        EXPECT_EQ(c.names, Sorted(names)) << c.filter;
        names.clear();
        ASSERT_EQ(1, lines->GetMarkerCSNames("H1", c.filter, names)) << c.filter;
        EXPECT_EQ(c.names, Sorted(names)) << c.filter;

        std::vector<CSRecord> loaded;
        ASSERT_EQ(1, lines->LoadMarkerCS("H1", c.filter, loaded)) << c.filter;
        NameList expected;
        for (const std::string& name : c.names) expected.push_back("H1/" + name);
        EXPECT_EQ(expected, NamesOf(loaded)) << c.filter;

        loaded.clear();
        ASSERT_EQ(1, lines->LoadCSByNames("H1", c.filter, {"T0", "T1", "T2", "T3", "T4"}, loaded));
        EXPECT_EQ(expected, NamesOf(loaded)) << c.filter;

        loaded.clear();
        ASSERT_EQ(1, lines->LoadAllCS(c.filter, loaded)) << c.filter;
        if (c.filter != 2) {  // H2 holds one line of each family
            expected.push_back(c.filter == 0 ? "H2/T0" : "H2/T3");
            expected = Sorted(expected);
        }
        EXPECT_EQ(expected, NamesOf(loaded)) << c.filter;
    }
    NameList markers;
    ASSERT_EQ(1, lines->GetMarkerNamesOfTypes012(markers));
    EXPECT_EQ((NameList{"H1", "H2"}), Sorted(markers));
    markers.clear();
    Exec("delete from b_cs_data where MarkerName='H2'");
    ASSERT_EQ(1, lines->GetMarkerNamesOfTypes34(markers));
    EXPECT_EQ(NameList{"H1"}, markers);
}

TEST_P(CSDataTest, DeletesByTypeTakeOnlyTheirFamily) {
    SaveOneOfEachType();
    EXPECT_EQ(1, lines->DeleteMarkerCS("H1", 1));
    EXPECT_EQ(0, Count("b_cs_data where CSName='T3' and MarkerName='H1'"));
    EXPECT_EQ(6, Count("b_cs_data"));
    EXPECT_EQ(1, lines->DeleteMarkerCS("H1", 0));
    EXPECT_EQ(3, Count("b_cs_data"));
    EXPECT_EQ(1, lines->DeleteCSByType(2));
    EXPECT_EQ(0, Count("b_cs_data where CSType='4'"));
    EXPECT_EQ(1, lines->DeleteCSByType(9));  // '3' and '4'
    EXPECT_EQ(1, Count("b_cs_data"));
    EXPECT_EQ(1, lines->IsCSExist("H2", "T0"));
    EXPECT_EQ(1, lines->DeleteCSByType(0));
    EXPECT_EQ(0, Count("b_cs_data"));
    EXPECT_EQ(0, lines->IsMarkerCSExist("H2"));
}

TEST_P(CSDataTest, EveryStatementKeepsItsText) {
    StatementLog log;
    NameList names;
    std::vector<CSRecord> loaded;
    CSRecord one;
    lines->GetMarkerNamesOfTypes012(names);
    lines->GetMarkerNamesOfTypes34(names);
    lines->GetCSNames(0, names);
    lines->GetCSNames(1, names);
    lines->GetCSNames(2, names);
    lines->GetCSNames(5, names);
    lines->GetMarkerCSNames("H1", 3, names);
    lines->LoadAllCS(2, loaded);
    lines->LoadAllCS(-4, loaded);
    lines->LoadCSByNames("H1", 0, {"F1", "F2"}, loaded);
    lines->LoadMarkerCS("H1", 1, loaded);
    lines->LoadCS("H1", "F1", one);
    lines->IsMarkerCSExist("H1");
    lines->IsCSExist("H1", "F1");
    lines->SaveCS(Line("H1", "F1"));
    lines->SaveCSList({Line("H1", "F2"), Line("H2", "F3")});
    lines->DeleteMarkerCS("H1", 2);
    lines->DeleteCS("H1", "F1");
    lines->DeleteCSByType(0);
    lines->DeleteCSByType(8);
    const std::vector<std::string> expected{
        "select distinct MarkerName from b_cs_data where CSType in ('0','1','2')",
        "select distinct MarkerName from b_cs_data where CSType in ('3','4')",
        "select distinct CSName from b_cs_data where CSType in ('0','1','2')",
        "select distinct CSName from b_cs_data where CSType='3'",
        "select distinct CSName from b_cs_data where CSType='4'",
        "select distinct CSName from b_cs_data where CSType in('3','4')",
        "select distinct CSName from b_cs_data where MarkerName='H1' and CSType in ('3','4')",
        "select * from b_cs_data where CSType='4'",
        "select * from b_cs_data where CSType in ('3','4')",
        "select * from b_cs_data where MarkerName='H1' and CSType in ('0','1','2') and CSName='F1'",
        "select * from b_cs_data where MarkerName='H1' and CSType in ('0','1','2') and CSName='F2'",
        "select * from b_cs_data where MarkerName='H1' and CSType='3'",
        "select * from b_cs_data where MarkerName='H1' and CSName='F1'",
        "b_cs_data",
        "select * from b_cs_data where MarkerName='H1'",
        "b_cs_data",
        "select * from b_cs_data where CSName='F1' and MarkerName='H1'",
        // SaveCS: the existence test, then the write.
        "b_cs_data",
        "select * from b_cs_data where CSName='F1' and MarkerName='H1'",
        "b_cs_data",
        "delete from b_cs_data where CSName='F1' and MarkerName='H1'",
        "SaveData b_cs_data 1",
        // SaveCSList: the existence tests, then every delete, then the inserts.
        "b_cs_data",
        "select * from b_cs_data where CSName='F2' and MarkerName='H1'",
        "b_cs_data",
        "select * from b_cs_data where CSName='F3' and MarkerName='H2'",
        "delete from b_cs_data where (CSName='F2' and MarkerName='H1')",
        "delete from b_cs_data where (CSName='F3' and MarkerName='H2')",
        "b_cs_data",
        "SaveData b_cs_data 2",
        "b_cs_data",
        "delete from b_cs_data where MarkerName='H1' and CSType='4'",
        "b_cs_data",
        "delete from b_cs_data where CSName='F1' and MarkerName='H1'",
        "delete from b_cs_data where CSType in ('0','1','2')",
        "delete from b_cs_data where CSType in ('3','4')",
    };
    EXPECT_EQ(expected, log.texts);
}

TEST_P(CSDataTest, SaveOfAnExistingLineAsksAndNoChangesNothing) {
    ASSERT_EQ(1, lines->SaveCS(Line("H1", "F1", '2', 5)));
    ASSERT_TRUE(Boxes().empty());

    Capture().SetAnswer(IDNO);
    EXPECT_EQ(0, lines->SaveCS(Line("H1", "F1", '3', 9)));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("\"H1\"中已经存在F1,是否覆盖?", Boxes()[0].text);
    EXPECT_EQ("(none)", Boxes()[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_YESNO), Boxes()[0].type);
    CSRecord stored;
    ASSERT_EQ(1, lines->LoadCS("H1", "F1", stored));
    EXPECT_EQ('2', stored.CSType);
    EXPECT_EQ(5u, stored.Xcoor.size());

    // Without a handler of the host's the question is answered No.
    const MessageBoxHandler capture = SetMessageBoxHandler(nullptr);
    EXPECT_EQ(0, lines->SaveCS(Line("H1", "F1", '3', 9)));
    SetMessageBoxHandler(capture);

    Capture().SetAnswer(IDYES);
    ASSERT_EQ(1, lines->SaveCS(Line("H1", "F1", '3', 9)));
    EXPECT_EQ(2u, Boxes().size());
    EXPECT_EQ(1, Count("b_cs_data"));
    ASSERT_EQ(1, lines->LoadCS("H1", "F1", stored));
    EXPECT_EQ('3', stored.CSType);
    EXPECT_EQ(Line("H1", "F1", '3', 9).Xcoor, stored.Xcoor);

    // The same name on another marker is another line: no question.
    ASSERT_EQ(1, lines->SaveCS(Line("H2", "F1")));
    EXPECT_EQ(2u, Boxes().size());
}

TEST_P(CSDataTest, ListSaveNamesAtMostFiveExistingLines) {
    std::vector<CSRecord> seven;
    for (int i = 1; i <= 7; ++i) seven.push_back(Line("H1", "L" + std::to_string(i), '1'));
    ASSERT_EQ(1, lines->SaveCSList(seven));
    ASSERT_TRUE(Boxes().empty());

    std::vector<CSRecord> changed = seven;
    for (CSRecord& line : changed) line.CSType = '4';
    changed.push_back(Line("H1", "New"));
    Capture().SetAnswer(IDNO);
    {
        StatementLog log;
        EXPECT_EQ(0, lines->SaveCSList(changed));
        // The existence tests stop once five lines are found.
        EXPECT_EQ(10u, log.texts.size());
    }
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("已经存在\"L1\",\"L2\",\"L3\",\"L4\",\"L5\"等,\n是否覆盖?", Boxes()[0].text);
    EXPECT_EQ(static_cast<unsigned>(MB_YESNO), Boxes()[0].type);
    EXPECT_EQ(7, Count("b_cs_data where CSType='1'"));
    EXPECT_EQ(0, lines->IsCSExist("H1", "New"));

    Capture().SetAnswer(IDYES);
    ASSERT_EQ(1, lines->SaveCSList(changed));
    EXPECT_EQ(8, Count("b_cs_data"));
    EXPECT_EQ(7, Count("b_cs_data where CSType='4'"));

    Capture().Clear();
    Capture().SetAnswer(IDNO);
    EXPECT_EQ(0, lines->SaveCSList({Line("H2", "Other"), Line("H1", "L6"), Line("H1", "New")}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("已经存在\"L6\",\"New\",\n是否覆盖?", Boxes()[0].text);
    EXPECT_EQ(0, lines->IsCSExist("H2", "Other"));

    StatementLog log;
    EXPECT_EQ(1, lines->SaveCSList({}));
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(1u, Boxes().size());
}

TEST_P(CSDataTest, FailedListSaveLeavesEveryLineAsItWas) {
    ASSERT_EQ(1, lines->SaveCSList({Line("H1", "A", '0', 3), Line("H1", "B", '0', 3)}));
    RefuseInsertsWhere("b_cs_data", "CSName", "bad");
    Capture().SetAnswer(IDYES);
    EXPECT_EQ(0, lines->SaveCSList({Line("H1", "A", '1', 8), Line("H1", "bad"), Line("H1", "B")}));
    EXPECT_EQ(1u, Boxes().size());  // A and B existed: asked once, answered Yes
    EXPECT_EQ(2, Count("b_cs_data where CSType='0'"));
    EXPECT_EQ(2, Count("b_cs_data"));
    EXPECT_EQ(0, lines->SaveCS(Line("H1", "bad")));

    // A delete that fails stops the save; the deletes run before it are undone.
    RefuseDeletesWhere("b_cs_data", "CSName", "B");
    EXPECT_EQ(0, lines->SaveCSList({Line("H1", "A", '1', 8), Line("H1", "B", '1', 8)}));
    EXPECT_EQ(2, Count("b_cs_data where CSType='0'"));
    CSRecord a;
    ASSERT_EQ(1, lines->LoadCS("H1", "A", a));
    EXPECT_EQ(3u, a.Xcoor.size());
}

TEST_P(CSDataTest, ArraysOfEveryLengthRoundTrip) {
    for (std::size_t count : {0u, 1u, 2u, 3u, 4u, 250u}) {
        const std::string name = "F" + std::to_string(count);
        ASSERT_EQ(1, lines->SaveCS(Line("H1", name, '0', count)));
        CSRecord loaded;
        ASSERT_EQ(1, lines->LoadCS("H1", name.c_str(), loaded)) << count;
        EXPECT_EQ("H1", loaded.MarkerName);
        EXPECT_EQ(name, loaded.CSName);
        EXPECT_EQ(1, loaded.TurnPoint1);
        EXPECT_EQ(2, loaded.TurnPoint2);
        const CSRecord saved = Line("H1", name, '0', count);
        EXPECT_EQ(saved.Xcoor, loaded.Xcoor) << count;
        EXPECT_EQ(saved.Ycoor, loaded.Ycoor) << count;
        EXPECT_EQ(saved.Depth, loaded.Depth) << count;
    }
    // An empty array leaves its column unset.
    EXPECT_EQ(1, Count("b_cs_data where Xcoor is null and Depth is null"));

    CSRecord noDepth = Line("H2", "N", '4', 6);
    noDepth.Depth.clear();
    ASSERT_EQ(1, lines->SaveCS(noDepth));
    EXPECT_EQ(1, Count("b_cs_data where MarkerName='H2' and Depth is null"));
    std::vector<CSRecord> loaded;
    ASSERT_EQ(1, lines->LoadMarkerCS("H2", 2, loaded));
    ASSERT_EQ(1u, loaded.size());
    EXPECT_TRUE(loaded[0].Depth.empty());
    EXPECT_EQ(noDepth.Ycoor, loaded[0].Ycoor);
    EXPECT_EQ('4', loaded[0].CSType);
}

TEST_P(CSDataTest, NewLineIsOfTheFirstFamilyAndLoadsKeepWhatTheyFound) {
    CSRecord fresh;
    fresh.MarkerName = "H1";
    fresh.CSName = "Fresh";
    fresh.Xcoor = Values(3, 1.0);
    fresh.Ycoor = Values(3, 2.0);
    ASSERT_EQ(1, lines->SaveCS(fresh));
    std::vector<CSRecord> loaded;
    ASSERT_EQ(1, lines->LoadMarkerCS("H1", 0, loaded));
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ('0', loaded[0].CSType);
    EXPECT_EQ(0, loaded[0].TurnPoint1);
    EXPECT_EQ(0, loaded[0].TurnPoint2);

    // Names without a line are skipped; the loads append to what is there.
    ASSERT_EQ(1, lines->LoadCSByNames("H1", 0, {"None", "Fresh", "Other"}, loaded));
    ASSERT_EQ(2u, loaded.size());
    EXPECT_EQ("Fresh", loaded[1].CSName);
    EXPECT_EQ("H1", loaded[1].MarkerName);
    ASSERT_EQ(1, lines->LoadCSByNames("H1", 0, {"None"}, loaded));
    {
        StatementLog log;
        EXPECT_EQ(1, lines->LoadCSByNames("H1", 0, {}, loaded));
        EXPECT_TRUE(log.texts.empty());
    }
    EXPECT_EQ(0, lines->LoadMarkerCS("H2", 0, loaded));
    EXPECT_EQ(0, lines->LoadAllCS(1, loaded));
    EXPECT_EQ(2u, loaded.size());

    CSRecord kept = Line("keep", "kept", '3', 7);
    EXPECT_EQ(0, lines->LoadCS("H1", "None", kept));
    EXPECT_EQ("keep", kept.MarkerName);
    EXPECT_EQ(7u, kept.Xcoor.size());
}

TEST_P(CSDataTest, EmptyNamesAreRefusedBeforeAnyDelete) {
    SaveOneOfEachType();
    StatementLog log;
    EXPECT_EQ(0, lines->DeleteMarkerCS("", 0));
    EXPECT_EQ(0, lines->DeleteMarkerCS(nullptr, 1));
    EXPECT_EQ(0, lines->DeleteCS("H1", ""));
    EXPECT_EQ(0, lines->DeleteCS("", "T0"));
    EXPECT_TRUE(log.texts.empty());
    ASSERT_EQ(4u, Boxes().size());
    for (const testsupport::Box& box : Boxes()) {
        EXPECT_EQ("名称不能为空！", box.text);
        EXPECT_EQ(static_cast<unsigned>(MB_OK), box.type);
    }
    EXPECT_EQ(7, Count("b_cs_data"));
    EXPECT_EQ(1, lines->DeleteCS("H1", "missing"));
}

TEST_P(CSDataTest, ReleasingTouchesNoDatabase) {
    StatementLog log;
    std::vector<CSPoint> points(100);
    lines->ReleasePointList(points);
    EXPECT_TRUE(points.empty());
    EXPECT_EQ(0u, points.capacity());

    CSRecord line = Line("H1", "F1", '3', 50);
    lines->ClearCSRecord(line);
    EXPECT_TRUE(line.CSName.empty());
    EXPECT_EQ(0u, line.Xcoor.capacity());
    EXPECT_EQ(0u, line.Ycoor.capacity());
    EXPECT_EQ(0u, line.Depth.capacity());
    EXPECT_EQ("H1", line.MarkerName);
    EXPECT_EQ('3', line.CSType);
    EXPECT_EQ(1, line.TurnPoint1);
    EXPECT_EQ(2, line.TurnPoint2);

    int a = 0, b = 0;
    EXPECT_EQ(0, lines->Reserved(&a, &b));
    EXPECT_EQ(0, lines->Reserved(nullptr, nullptr));
    EXPECT_TRUE(log.texts.empty());
}

STRATALOOM_ENGINES(CSDataTest);

}  // namespace
