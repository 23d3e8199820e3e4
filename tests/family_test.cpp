// What every member of the per-well table family shares, on every engine.
#include "support/family.h"

#include <algorithm>
#include <tuple>

#include "support/statementlog.h"

namespace {

using testsupport::Engine;
using testsupport::FamilyMember;
using testsupport::StatementLog;

using FamilyParam = std::tuple<FamilyMember*, Engine>;

class FamilyTest : public ::testing::TestWithParam<FamilyParam>, public testsupport::ProjectDb {
  protected:
    void SetUp() override {
        Open(std::get<1>(GetParam()));
        if (IsSkipped() || HasFatalFailure()) return;
        member().Attach(*this);
    }
    void TearDown() override {
        member().Detach();
        Close();
    }
    FamilyMember& member() const { return *std::get<0>(GetParam()); }
    void AddWell(const std::string& project, const std::string& well) {
        Exec("insert into w_well_data (ProjectName, WellName) values ('" + project + "', '" + well +
             "')");
    }
    long RowsOf(const std::string& well) {
        return Count(member().Table() + " where WellName = '" + well + "'");
    }
};

TEST_P(FamilyTest, EveryFieldRoundTripsAndASaveReplacesTheWell) {
    const std::string well = "W'1 %d 井";
    ASSERT_EQ(1, member().SaveWell(well, 3, 10));
    std::vector<std::string> loaded;
    ASSERT_EQ(1, member().LoadWell(well, loaded));
    EXPECT_EQ(member().Expected(3, 10), loaded);

    ASSERT_EQ(1, member().SaveWell(well, 2, 20));
    ASSERT_EQ(1, member().LoadWell(well, loaded));
    EXPECT_EQ(member().Expected(2, 20), loaded);

    EXPECT_EQ(0, member().LoadWell("no such well", loaded));
    EXPECT_TRUE(loaded.empty());
}

TEST_P(FamilyTest, WellsAreListedOncePerStoredRow) {
    AddWell("P1", "A");
    AddWell("P1", "B");
    AddWell("P1", "C");
    AddWell("P2", "D");
    ASSERT_EQ(1, member().SaveWell("A", 3, 1));
    ASSERT_EQ(1, member().SaveWell("B", 1, 5));
    ASSERT_EQ(1, member().SaveWell("D", 1, 7));

    NameList withData;
    ASSERT_EQ(1, member().WellsWithData("P1", withData));
    EXPECT_EQ((NameList{"A", "B"}), withData);

    NameList stored;
    ASSERT_EQ(1, member().StoredWells({"A", "C", "B"}, stored));
    const long listingsOfA = member().ListsEveryStoredRow() ? 3 : 1;
    EXPECT_EQ(listingsOfA, std::count(stored.begin(), stored.end(), "A"));
    EXPECT_EQ(1, std::count(stored.begin(), stored.end(), "B"));
    EXPECT_EQ(listingsOfA + 1, static_cast<long>(stored.size()));
}

TEST_P(FamilyTest, ProjectDeleteLeavesOtherProjectsRows) {
    AddWell("P1", "A");
    AddWell("P2", "B");
    ASSERT_EQ(1, member().SaveWell("A", 2, 1));
    ASSERT_EQ(1, member().SaveWell("B", 2, 3));
    ASSERT_EQ(1, member().DeleteProject("P1"));
    EXPECT_EQ(0, RowsOf("A"));
    EXPECT_EQ(2, RowsOf("B"));

    ASSERT_EQ(1, member().DeleteWell("B"));
    EXPECT_EQ(0, RowsOf("B"));
}

TEST_P(FamilyTest, AFailedInsertLeavesTheOldRows) {
    ASSERT_EQ(1, member().SaveWell("A", 2, 1));
    RefuseInsertsWhere(member().Table(), "WellName", "A");
    EXPECT_EQ(0, member().SaveWell("A", 3, 30));
    std::vector<std::string> loaded;
    ASSERT_EQ(1, member().LoadWell("A", loaded));
    EXPECT_EQ(member().Expected(2, 1), loaded);
}

TEST_P(FamilyTest, RefusalsComeBeforeAnyStatement) {
    for (const testsupport::Refusal& refusal : member().Refusals()) {
        Capture().Clear();
        StatementLog log;
        EXPECT_EQ(0, refusal.call()) << refusal.what;
        EXPECT_TRUE(log.texts.empty()) << refusal.what << ": " << log.texts.front();
        ASSERT_EQ(1u, Boxes().size()) << refusal.what;
        EXPECT_EQ(refusal.message, Boxes()[0].text) << refusal.what;
    }
}

TEST_P(FamilyTest, StatementsKeepTheirExactText) {
    AddWell("P1", "W1");
    ASSERT_EQ(1, member().SaveWell("W1", 2, 1));
    testsupport::ExpectStatements(member().ExactStatements());
}

TEST_P(FamilyTest, ProjectLoadAppendsEveryWellWithRowsInNameOrder) {
    // A project without wells with rows: 1, nothing appended.
    std::vector<std::string> described;
    const int empty = member().LoadProject("P1", described);
    if (empty == FamilyMember::kUnsupported) GTEST_SKIP() << "no project load";
    EXPECT_EQ(1, empty);
    EXPECT_EQ((std::vector<std::string>{"well mine"}), described);

    AddWell("P1", "B");
    AddWell("P1", "A");
    AddWell("P1", "C");
    AddWell("P2", "D");
    ASSERT_EQ(1, member().SaveWell("B", 1, 5));
    ASSERT_EQ(1, member().SaveWell("A", 2, 1));
    ASSERT_EQ(1, member().SaveWell("D", 1, 7));
    ASSERT_EQ(1, member().LoadProject("P1", described));
    std::vector<std::string> expected{"well mine", "well A"};
    for (const std::string& field : member().Expected(2, 1)) expected.push_back(field);
    expected.push_back("well B");
    for (const std::string& field : member().Expected(1, 5)) expected.push_back(field);
    EXPECT_EQ(expected, described);

    // A table that cannot be read is a failure, not a project without rows.
    Exec("drop table " + member().Table());
    EXPECT_EQ(0, member().LoadProject("P1", described));
    EXPECT_EQ((std::vector<std::string>{"well mine"}), described);
}

TEST_P(FamilyTest, MultiWellSaveReplacesEveryWellOrNone) {
    ASSERT_EQ(1, member().SaveWell("A", 2, 1));
    // Empty input touches nothing.
    const int none = member().SaveWells({}, {}, 0);
    if (none == FamilyMember::kUnsupported) GTEST_SKIP() << "no multi-well save";
    EXPECT_EQ(0, none);
    EXPECT_EQ(0, member().DeleteWells({}));
    EXPECT_EQ(2, RowsOf("A"));

    // Sets without records clear their wells.
    ASSERT_EQ(1, member().SaveWells({"A", "B"}, {0, 0}, 0));
    EXPECT_EQ(0, RowsOf("A"));

    ASSERT_EQ(1, member().SaveWells({"A", "B"}, {1, 2}, 40));
    std::vector<std::string> loaded;
    ASSERT_EQ(1, member().LoadWell("A", loaded));
    EXPECT_EQ(member().Expected(1, 40), loaded);
    ASSERT_EQ(1, member().LoadWell("B", loaded));
    EXPECT_EQ(member().Expected(2, 50), loaded);

    // A save that fails on its last well leaves every well as it was, the
    // deletes of the wells before included.
    RefuseInsertsWhere(member().Table(), "WellName", "B");
    EXPECT_EQ(0, member().SaveWells({"A", "B"}, {3, 3}, 60));
    ASSERT_EQ(1, member().LoadWell("A", loaded));
    EXPECT_EQ(member().Expected(1, 40), loaded);
    EXPECT_EQ(2, RowsOf("B"));

    ASSERT_EQ(1, member().DeleteWells({"A", "B"}));
    EXPECT_EQ(0, RowsOf("A") + RowsOf("B"));
}

std::string MemberAndEngine(const ::testing::TestParamInfo<FamilyParam>& info) {
    const bool server = std::get<1>(info.param) == Engine::Server;
    return std::get<0>(info.param)->Name() + (server ? "_Server" : "_Sqlite");
}

INSTANTIATE_TEST_SUITE_P(Members, FamilyTest,
                         ::testing::Combine(::testing::ValuesIn(testsupport::FamilyMembers()),
                                            ::testing::Values(Engine::Sqlite, Engine::Server)),
                         MemberAndEngine);

}  // namespace
