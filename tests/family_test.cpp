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
    // What LoadProject describes for the caller's set "mine" followed by the
    // given wells, each saved with (well, records, seed).
    struct SavedWell {
        std::string well;
        int records;
        int seed;
    };
    std::vector<std::string> WellsDescribed(const std::vector<SavedWell>& wells) const {
        std::vector<std::string> described{"well mine"};
        for (const SavedWell& saved : wells) {
            described.push_back("well " + saved.well);
            for (const std::string& field : member().Expected(saved.records, saved.seed)) {
                described.push_back(field);
            }
        }
        return described;
    }
};

// Skips the running case for a member whose profile says it cannot run it,
// with the profile's reason.
#define SKIP_UNLESS_MEMBER_RUNS(aCase)                                   \
    if (const std::string why = member().CannotRun(aCase); !why.empty()) \
    GTEST_SKIP() << member().Name() << ": " << why

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

TEST_P(FamilyTest, AFreshRecordHoldsItsInitialValuesAndKeepsThem) {
    std::vector<std::string> fresh;
    ASSERT_EQ(1, member().SaveFreshRecord("W", fresh));
    EXPECT_EQ(member().InitialValues(), fresh);
    std::vector<std::string> loaded;
    ASSERT_EQ(1, member().LoadWell("W", loaded));
    EXPECT_EQ(fresh, loaded);
}

TEST_P(FamilyTest, EachFieldIsStoredInTheColumnOfItsName) {
    const std::vector<std::string> checks = member().ColumnChecks(7);
    ASSERT_FALSE(checks.empty());
    ASSERT_EQ(1, member().SaveWell("W", 1, 7));
    for (const std::string& check : checks) {
        if (check.empty()) continue;
        EXPECT_EQ(1, Count(member().Table() + " where WellName = 'W' and " + check)) << check;
    }
}

TEST_P(FamilyTest, ProjectLoadAppendsEveryWellWithRowsInNameOrder) {
    SKIP_UNLESS_MEMBER_RUNS(FamilyMember::Case::ProjectLoad);
    // A project without wells with rows: 1, nothing appended.
    std::vector<std::string> described;
    EXPECT_EQ(1, member().LoadProject("P1", "", described));
    EXPECT_EQ((std::vector<std::string>{"well mine"}), described);

    AddWell("P1", "B");
    AddWell("P1", "A");
    AddWell("P1", "C");
    AddWell("P2", "D");
    ASSERT_EQ(1, member().SaveWell("B", 1, 5));
    ASSERT_EQ(1, member().SaveWell("A", 2, 1));
    ASSERT_EQ(1, member().SaveWell("D", 1, 7));
    ASSERT_EQ(1, member().LoadProject("P1", "", described));
    EXPECT_EQ(WellsDescribed({{"A", 2, 1}, {"B", 1, 5}}), described);

    // A table that cannot be read is a failure, not a project without rows.
    Exec("drop table " + member().Table());
    EXPECT_EQ(0, member().LoadProject("P1", "", described));
    EXPECT_EQ((std::vector<std::string>{"well mine"}), described);
}

TEST_P(FamilyTest, ProjectLoadStopsAtTheFirstWellThatFails) {
    SKIP_UNLESS_MEMBER_RUNS(FamilyMember::Case::ProjectLoad);
    for (const char* well : {"C", "A", "B"}) AddWell("P1", well);
    ASSERT_EQ(1, member().SaveWell("C", 1, 1));
    ASSERT_EQ(1, member().SaveWell("A", 2, 5));
    // The sets of the wells before it stay.
    std::vector<std::string> described;
    EXPECT_EQ(0, member().LoadProject("P1", "C", described));
    EXPECT_EQ(WellsDescribed({{"A", 2, 5}}), described);
}

TEST_P(FamilyTest, MultiWellCallsWithoutWellsChangeNothing) {
    SKIP_UNLESS_MEMBER_RUNS(FamilyMember::Case::MultiWellSave);
    SKIP_UNLESS_MEMBER_RUNS(FamilyMember::Case::EmptyMultiWellCalls);
    ASSERT_EQ(1, member().SaveWell("A", 1, 1));
    StatementLog log;
    EXPECT_EQ(0, member().SaveWells({}, {}, 1));
    EXPECT_EQ(0, member().DeleteWells({}));
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(1, RowsOf("A"));
}

TEST_P(FamilyTest, MultiWellSaveReplacesTheWellsItNamesOnly) {
    SKIP_UNLESS_MEMBER_RUNS(FamilyMember::Case::MultiWellSave);
    ASSERT_EQ(1, member().SaveWell("A", 2, 1));
    // Sets without records clear their wells.
    ASSERT_EQ(1, member().SaveWells({"A", "B"}, {0, 0}, 0));
    EXPECT_EQ(0, RowsOf("A"));

    ASSERT_EQ(1, member().SaveWells({"A", "B"}, {1, 2}, 40));
    std::vector<std::string> loaded;
    ASSERT_EQ(1, member().LoadWell("A", loaded));
    EXPECT_EQ(member().Expected(1, 40), loaded);
    ASSERT_EQ(1, member().LoadWell("B", loaded));
    EXPECT_EQ(member().Expected(2, 50), loaded);

    // The wells saved are replaced whole; the others keep their rows.
    ASSERT_EQ(1, member().SaveWells({"A", "C"}, {2, 1}, 70));
    ASSERT_EQ(1, member().LoadWell("A", loaded));
    EXPECT_EQ(member().Expected(2, 70), loaded);
    ASSERT_EQ(1, member().LoadWell("C", loaded));
    EXPECT_EQ(member().Expected(1, 80), loaded);
    ASSERT_EQ(1, member().LoadWell("B", loaded));
    EXPECT_EQ(member().Expected(2, 50), loaded);

    ASSERT_EQ(1, member().DeleteWells({"A", "B"}));
    EXPECT_EQ(0, RowsOf("A") + RowsOf("B"));
    EXPECT_EQ(1, RowsOf("C"));
}

TEST_P(FamilyTest, AFailedMultiWellSaveLeavesEveryWellAsItWas) {
    SKIP_UNLESS_MEMBER_RUNS(FamilyMember::Case::MultiWellSave);
    ASSERT_EQ(1, member().SaveWells({"A", "B"}, {2, 2}, 1));
    // The save fails on its last well: the deletes of the wells before it
    // are undone too.
    RefuseInsertsWhere(member().Table(), "WellName", "B");
    EXPECT_EQ(0, member().SaveWells({"A", "B"}, {3, 3}, 60));
    std::vector<std::string> loaded;
    ASSERT_EQ(1, member().LoadWell("A", loaded));
    EXPECT_EQ(member().Expected(2, 1), loaded);
    ASSERT_EQ(1, member().LoadWell("B", loaded));
    EXPECT_EQ(member().Expected(2, 11), loaded);
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
