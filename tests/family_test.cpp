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
    EXPECT_EQ(3, std::count(stored.begin(), stored.end(), "A"));
    EXPECT_EQ(1, std::count(stored.begin(), stored.end(), "B"));
    EXPECT_EQ(4u, stored.size());
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
    for (const testsupport::Statements& statements : member().ExactStatements()) {
        StatementLog log;
        statements.call();
        EXPECT_EQ(statements.texts, log.texts) << statements.what;
    }
}

TEST_P(FamilyTest, AFreshRecordHoldsZerosAndEmptyTextsAndKeepsThem) {
    std::vector<std::string> fresh;
    const int saved = member().SaveFreshRecord("W", fresh);
    if (saved < 0) GTEST_SKIP() << "no fresh-record save";
    ASSERT_EQ(1, saved);
    for (const std::string& field : fresh) {
        const bool zero = field.size() > 2 && field.compare(field.size() - 2, 2, " 0") == 0;
        EXPECT_TRUE(zero || field == "text " || field == "array") << field;
    }
    std::vector<std::string> loaded;
    ASSERT_EQ(1, member().LoadWell("W", loaded));
    EXPECT_EQ(fresh, loaded);
}

TEST_P(FamilyTest, EachFieldIsStoredInTheColumnOfItsName) {
    const std::vector<std::string> checks = member().ColumnChecks(7);
    if (checks.empty()) GTEST_SKIP() << "the profile names no columns";
    ASSERT_EQ(1, member().SaveWell("W", 1, 7));
    for (const std::string& check : checks) {
        if (check.empty()) continue;
        EXPECT_EQ(1, Count(member().Table() + " where WellName = 'W' and " + check)) << check;
    }
}

TEST_P(FamilyTest, AFailedMultiWellSaveLeavesEveryWellAsItWas) {
    const int saved = member().SaveWells({"A", "B"}, 2, 1);
    if (saved < 0) GTEST_SKIP() << "no multi-well save";
    ASSERT_EQ(1, saved);
    RefuseInsertsWhere(member().Table(), "WellName", "B");
    EXPECT_EQ(0, member().SaveWells({"A", "B"}, 3, 50));
    std::vector<std::string> loaded;
    ASSERT_EQ(1, member().LoadWell("A", loaded));
    EXPECT_EQ(member().Expected(2, 1), loaded);
    ASSERT_EQ(1, member().LoadWell("B", loaded));
    EXPECT_EQ(member().Expected(2, 101), loaded);

    // The wells saved are replaced whole; the others keep their rows.
    ASSERT_EQ(1, member().SaveWells({"A", "C"}, 1, 7));
    ASSERT_EQ(1, member().LoadWell("A", loaded));
    EXPECT_EQ(member().Expected(1, 7), loaded);
    ASSERT_EQ(1, member().LoadWell("C", loaded));
    EXPECT_EQ(member().Expected(1, 107), loaded);
    EXPECT_EQ(2, RowsOf("B"));
}

TEST_P(FamilyTest, MultiWellCallsWithoutWellsChangeNothing) {
    ASSERT_EQ(1, member().SaveWell("A", 1, 1));
    StatementLog log;
    const int saved = member().SaveWells({}, 1, 1);
    if (saved < 0) GTEST_SKIP() << "no multi-well save";
    EXPECT_EQ(0, saved);
    EXPECT_EQ(0, member().DeleteWells({}));
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(1, RowsOf("A"));
}

TEST_P(FamilyTest, ProjectLoadTakesTheWellsWithRowsInNameOrder) {
    NameList loaded;
    const int empty = member().LoadProject("P1", "", loaded);
    if (empty < 0) GTEST_SKIP() << "no project load";
    EXPECT_EQ(1, empty);
    EXPECT_TRUE(loaded.empty());

    for (const char* well : {"C", "A", "B"}) AddWell("P1", well);
    AddWell("P2", "D");
    ASSERT_EQ(1, member().SaveWell("C", 1, 1));
    ASSERT_EQ(1, member().SaveWell("A", 2, 5));
    ASSERT_EQ(1, member().SaveWell("D", 1, 9));
    ASSERT_EQ(1, member().LoadProject("P1", "", loaded));
    EXPECT_EQ((NameList{"A 2", "C 1"}), loaded);

    // The first well that fails ends the load; the wells before it stay.
    loaded.clear();
    EXPECT_EQ(0, member().LoadProject("P1", "C", loaded));
    EXPECT_EQ((NameList{"A 2"}), loaded);

    // A well list that cannot be read is a failure, not an empty project.
    Exec("drop table w_well_data");
    loaded.clear();
    EXPECT_EQ(0, member().LoadProject("P1", "", loaded));
    EXPECT_TRUE(loaded.empty());
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
