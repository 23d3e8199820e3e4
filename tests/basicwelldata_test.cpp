// Well headers against a real project database.
#include "dbaccess/connectionregistry.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

BasicWellRecord Well(const std::string& name, double depth = 1000.0) {
    BasicWellRecord well;
    well.WellName = name;
    well.WellType = "oil";
    well.Well_EW = 20500000.5;
    well.Well_SN = 4400000.25;
    well.WellFlag = '2';
    well.WellSymbol = 7;
    well.Kb = 10.5;
    well.Ekb = 9.25;
    well.WellDepth = depth;
    return well;
}

class BasicWellDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        wells = Create<IBasicWellData>("IBasicWellData");
        ASSERT_TRUE(wells);
    }
    std::unique_ptr<IBasicWellData> wells;
};

TEST_P(BasicWellDataTest, SavedWellLoadsBackFieldForField) {
    ASSERT_EQ(1, wells->SaveWell("P1", Well("W1", 2345.75)));
    BasicWellRecord loaded;
    loaded.WellFlag = 'x';
    ASSERT_EQ(1, wells->LoadWell("W1", loaded));
    EXPECT_EQ("W1", loaded.WellName);
    EXPECT_EQ("oil", loaded.WellType);
    EXPECT_EQ(20500000.5, loaded.Well_EW);
    EXPECT_EQ(4400000.25, loaded.Well_SN);
    EXPECT_EQ('2', loaded.WellFlag);
    EXPECT_EQ(7, loaded.WellSymbol);
    EXPECT_EQ(10.5, loaded.Kb);
    EXPECT_EQ(9.25, loaded.Ekb);
    EXPECT_EQ(2345.75, loaded.WellDepth);
    EXPECT_EQ("P1", QueryText("select ProjectName as c from w_well_data"));
}

TEST_P(BasicWellDataTest, LoadOfMissingWellLeavesRecordUntouched) {
    BasicWellRecord record = Well("Keep", 5.0);
    EXPECT_EQ(0, wells->LoadWell("Nowhere", record));
    EXPECT_EQ("Keep", record.WellName);
    EXPECT_EQ(5.0, record.WellDepth);
}

TEST_P(BasicWellDataTest, NamesAreListedInByteOrderAndOnlyForTheProject) {
    NameList names{"already"};
    EXPECT_EQ(0, wells->GetWellNames("P1", names));
    EXPECT_EQ(NameList{"already"}, names);
    for (const char* name : {"b", "B", "a", "A "}) ASSERT_EQ(1, wells->SaveWell("P1", Well(name)));
    ASSERT_EQ(1, wells->SaveWell("P2", Well("other")));
    ASSERT_EQ(1, wells->GetWellNames("P1", names));
    EXPECT_EQ((NameList{"already", "A ", "B", "a", "b"}), names);
}

TEST_P(BasicWellDataTest, SaveWellMovesAWellBetweenProjects) {
    ASSERT_EQ(1, wells->SaveWell("Old", Well("W1")));
    ASSERT_EQ(1, wells->SaveWell("New", Well("W1")));
    EXPECT_EQ(1, Count("w_well_data"));
    EXPECT_EQ(1, wells->IsWellExist("New", "W1"));
    EXPECT_EQ(0, wells->IsWellExist("Old", "W1"));
}

TEST_P(BasicWellDataTest, EmptyNamesAreRefusedWithTheirMessages) {
    EXPECT_EQ(0, wells->SaveWell("P1", Well("")));
    EXPECT_EQ(0, wells->DeleteWell("", "W1"));
    EXPECT_EQ(0, wells->DeleteWell("P1", nullptr));
    EXPECT_EQ(0, wells->DeleteWells("", NameList{"W1"}));
    EXPECT_EQ(0, wells->DeleteProjectWells(""));
    ASSERT_EQ(5u, Boxes().size());
    EXPECT_EQ("井名称不能为空！", Boxes()[0].text);
    EXPECT_EQ("(none)", Boxes()[0].caption);
    EXPECT_EQ(unsigned(MB_OK), Boxes()[0].type);
    EXPECT_EQ("工区名称\\井名称不能为空！", Boxes()[1].text);
    EXPECT_EQ("工区名称\\井名称不能为空！", Boxes()[2].text);
    EXPECT_EQ("工区名称不能为空！", Boxes()[3].text);
    EXPECT_EQ("工区名称不能为空！", Boxes()[4].text);
}

TEST_P(BasicWellDataTest, SaveWellsReplacesExistingWellsAndKeepsOneRowPerName) {
    ASSERT_EQ(1, wells->SaveWell("P1", Well("W1", 1.0)));
    ASSERT_EQ(1, wells->SaveWell("Other", Well("W2", 2.0)));
    ASSERT_EQ(1, wells->SaveWells("P1", {Well("W1", 10.0), Well("W2", 20.0), Well("W3", 30.0)}));
    EXPECT_EQ(3, Count("w_well_data"));
    EXPECT_EQ(3, Count("w_well_data where ProjectName='P1'"));
    BasicWellRecord w2;
    ASSERT_EQ(1, wells->LoadWell("W2", w2));
    EXPECT_EQ(20.0, w2.WellDepth);
}

TEST_P(BasicWellDataTest, SaveWellsEdgeCases) {
    EXPECT_EQ(1, wells->SaveWells("", {}));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(0, wells->SaveWells("", {Well("W1")}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("工区名称不能为空！", Boxes()[0].text);
    EXPECT_EQ(0, Count("w_well_data"));
}

// For every box: whether a write transaction on the database was open while
// it waited. A box that waits inside one keeps the project locked for others.
std::string g_probedConnect;
std::vector<bool> g_boxesInsideWrite;
int NoteWriteWhileBoxWaits(const char*, const char*, unsigned int) {
    const auto connection = strataloom::db::AcquireConnection(g_probedConnect);
    g_boxesInsideWrite.push_back(connection && connection->InScope());
    return IDOK;
}

TEST_P(BasicWellDataTest, RefusalsWaitOutsideAnyWriteTransaction) {
    g_probedConnect = Connect();
    g_boxesInsideWrite.clear();
    const MessageBoxHandler previous = SetMessageBoxHandler(&NoteWriteWhileBoxWaits);
    EXPECT_EQ(0, wells->SaveWells("", {Well("W1")}));
    EXPECT_EQ(0, wells->SaveWell("P1", Well("")));
    EXPECT_EQ(0, wells->DeleteWell("P1", ""));
    EXPECT_EQ(0, wells->DeleteWells(nullptr, NameList{"W1"}));
    EXPECT_EQ(0, wells->DeleteProjectWells(""));
    SetMessageBoxHandler(previous);
    EXPECT_EQ(std::vector<bool>(5, false), g_boxesInsideWrite);
    EXPECT_EQ(0, Count("w_well_data"));
}

TEST_P(BasicWellDataTest, FailedInsertKeepsTheRowsTheDeleteRemoved) {
    ASSERT_EQ(1, wells->SaveWells("P1", {Well("W1", 1.0), Well("W2", 2.0)}));
    RefuseInsertsWhere("w_well_data", "WellName", "bad");
    EXPECT_EQ(0, wells->SaveWells("P1", {Well("W1", 10.0), Well("bad"), Well("W2", 20.0)}));
    EXPECT_EQ(0, wells->SaveWell("P1", Well("bad")));
    EXPECT_EQ(2, Count("w_well_data"));
    BasicWellRecord w1;
    ASSERT_EQ(1, wells->LoadWell("W1", w1));
    EXPECT_EQ(1.0, w1.WellDepth);
}

TEST_P(BasicWellDataTest, ProjectWellsAndExistingWellsAcrossProjects) {
    ASSERT_EQ(1, wells->SaveWells("P1", {Well("W1"), Well("W2")}));
    ASSERT_EQ(1, wells->SaveWell("P2", Well("X")));
    std::vector<BasicWellRecord> loaded(1);
    ASSERT_EQ(1, wells->LoadProjectWells("P1", loaded));
    ASSERT_EQ(3u, loaded.size());
    EXPECT_EQ("W1", loaded[1].WellName);
    EXPECT_EQ("W2", loaded[2].WellName);
    NameList existing;
    ASSERT_EQ(1,
              wells->GetExistingWells("ignored", {Well("X"), Well("nope"), Well("W2")}, existing));
    std::sort(existing.begin(), existing.end());
    EXPECT_EQ((NameList{"W2", "X"}), existing);
    NameList none;
    EXPECT_EQ(0, wells->GetExistingWells("", {}, none));
}

TEST_P(BasicWellDataTest, DeletesKeepTheirProjectFilter) {
    ASSERT_EQ(1, wells->SaveWells("P1", {Well("W1"), Well("W2"), Well("W3")}));
    ASSERT_EQ(1, wells->SaveWell("P2", Well("X")));
    EXPECT_EQ(1, wells->DeleteWells("P1", NameList{}));
    EXPECT_EQ(1, wells->DeleteWells("P2", NameList{"W1"}));
    EXPECT_EQ(4, Count("w_well_data"));
    EXPECT_EQ(1, wells->DeleteWell("P2", "W2"));
    EXPECT_EQ(4, Count("w_well_data"));
    EXPECT_EQ(1, wells->DeleteWell("P1", "W2"));
    EXPECT_EQ(1, wells->DeleteWells("P1", NameList{"W1"}));
    EXPECT_EQ(2, Count("w_well_data"));
    EXPECT_EQ(1, wells->DeleteProjectWells("P1"));
    EXPECT_EQ(1, Count("w_well_data"));
    EXPECT_EQ(1, wells->IsWellExist("P2", "X"));
}

TEST_P(BasicWellDataTest, NamesWithQuotesAndPercentSignsAreStoredAsGiven) {
    const std::string odd = "O'Brien's %s%d well'; drop table w_well_data; --";
    ASSERT_EQ(1, wells->SaveWell("Pro'ject", Well(odd)));
    NameList names;
    ASSERT_EQ(1, wells->GetWellNames("Pro'ject", names));
    EXPECT_EQ(NameList{odd}, names);
    EXPECT_EQ(1, wells->IsWellExist("Pro'ject", odd.c_str()));
    EXPECT_EQ(1, wells->DeleteWells("Pro'ject", NameList{odd}));
    EXPECT_EQ(0, Count("w_well_data"));
}

TEST_P(BasicWellDataTest, NullColumnsReadAsEmptyOrZero) {
    Exec("insert into w_well_data (ProjectName, WellName) values ('P1', 'Sparse')");
    BasicWellRecord sparse;
    ASSERT_EQ(1, wells->LoadWell("Sparse", sparse));
    EXPECT_EQ("", sparse.WellType);
    EXPECT_EQ(0.0, sparse.WellDepth);
    EXPECT_EQ('\0', sparse.WellFlag);
}

TEST_P(BasicWellDataTest, MissingDatabaseFailsEverythingAndCreatesNothing) {
    const std::string missing = Connect() + ".missing";
    wells->SetConnectString(missing.c_str());
    NameList names;
    BasicWellRecord record;
    EXPECT_EQ(0, wells->GetWellNames("P1", names));
    EXPECT_EQ(0, wells->SaveWell("P1", Well("W1")));
    EXPECT_EQ(0, wells->SaveWells("P1", {Well("W1")}));
    EXPECT_EQ(0, wells->LoadWell("W1", record));
    EXPECT_EQ(0, wells->DeleteProjectWells("P1"));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

STRATALOOM_ENGINES(BasicWellDataTest);

}  // namespace
