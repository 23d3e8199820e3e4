// Named well lists against a real project database.
#include "strataloom/iwelllistdata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

WellListSet List(const std::string& name, std::vector<WellListRecord> members) {
    return WellListSet{name, std::move(members)};
}

class WellListDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        lists = Create<IWellListData>("IWellListData");
        ASSERT_TRUE(lists);
    }
    std::unique_ptr<IWellListData> lists;
};

TEST_P(WellListDataTest, NamesAreListedOnceInAscendingOrder) {
    NameList names{"already"};
    EXPECT_EQ(0, lists->GetWellListNames(names));
    EXPECT_EQ(NameList{"already"}, names);
    ASSERT_EQ(1, lists->SaveWellList(List("b", {{"W1", 1}, {"W2", 2}})));
    ASSERT_EQ(1, lists->SaveWellList(List("a", {{"W3", 3}})));
    ASSERT_EQ(1, lists->GetWellListNames(names));
    EXPECT_EQ((NameList{"already", "a", "b"}), names);
}

TEST_P(WellListDataTest, SavingUnderAnExistingNameReplacesEveryMember) {
    ASSERT_EQ(1, lists->SaveWellList(List("L", {{"W1", 1}, {"W2", 2}, {"W3", 3}})));
    ASSERT_EQ(1, lists->SaveWellList(List("Other", {{"W1", 9}})));
    // Members need no well header: none exists in this database.
    ASSERT_EQ(1, lists->SaveWellList(List("L", {{"X", 7}, {"W1", 8}})));
    EXPECT_EQ(3, Count("b_welllist_data"));
    WellListSet loaded = List("stale", {{"kept", 0}});
    ASSERT_EQ(1, lists->LoadWellList("L", loaded));
    EXPECT_EQ("L", loaded.WellListName);
    ASSERT_EQ(3u, loaded.Records.size());
    std::sort(loaded.Records.begin() + 1, loaded.Records.end(),
              [](const WellListRecord& a, const WellListRecord& b) {
                  return a.WellNumber < b.WellNumber;
              });
    EXPECT_EQ("kept", loaded.Records[0].WellName);
    EXPECT_EQ("X", loaded.Records[1].WellName);
    EXPECT_EQ(7, loaded.Records[1].WellNumber);
    EXPECT_EQ("W1", loaded.Records[2].WellName);
    EXPECT_EQ(8, loaded.Records[2].WellNumber);
}

TEST_P(WellListDataTest, MissingListLoadsNothingAndAnEmptySaveRemovesTheList) {
    WellListSet untouched = List("mine", {{"W", 1}});
    EXPECT_EQ(0, lists->LoadWellList("L", untouched));
    EXPECT_EQ("mine", untouched.WellListName);
    EXPECT_EQ(1u, untouched.Records.size());
    ASSERT_EQ(1, lists->SaveWellList(List("L", {{"W1", 1}})));
    EXPECT_EQ(1, lists->IsWellListExist("L"));
    EXPECT_EQ(1, lists->SaveWellList(List("L", {})));
    EXPECT_EQ(0, lists->IsWellListExist("L"));
    EXPECT_EQ(0, Count("b_welllist_data"));
}

TEST_P(WellListDataTest, DeleteRemovesOnlyThatList) {
    ASSERT_EQ(1, lists->SaveWellList(List("O'Brien's %s", {{"W1", 1}, {"W2", 2}})));
    ASSERT_EQ(1, lists->SaveWellList(List("Other", {{"W1", 1}})));
    EXPECT_EQ(1, lists->IsWellListExist("O'Brien's %s"));
    EXPECT_EQ(1, lists->DeleteWellList("O'Brien's %s"));
    EXPECT_EQ(0, lists->IsWellListExist("O'Brien's %s"));
    EXPECT_EQ(1, lists->IsWellListExist("Other"));
    EXPECT_EQ(1, lists->DeleteWellList("never saved"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(WellListDataTest, EmptyListNamesAreRefused) {
    EXPECT_EQ(0, lists->SaveWellList(List("", {{"W1", 1}})));
    EXPECT_EQ(0, lists->DeleteWellList(""));
    EXPECT_EQ(0, lists->DeleteWellList(nullptr));
    EXPECT_EQ(0, lists->IsWellListExist(""));
    EXPECT_EQ(0, Count("b_welllist_data"));
    ASSERT_EQ(3u, Boxes().size());
    for (const testsupport::Box& box : Boxes()) {
        EXPECT_EQ("井列表名称不能为空！", box.text);
        EXPECT_EQ("(none)", box.caption);
    }
}

TEST_P(WellListDataTest, FailedSaveKeepsTheOldMembers) {
    ASSERT_EQ(1, lists->SaveWellList(List("L", {{"W1", 1}, {"W2", 2}})));
    RefuseInsertsWhere("b_welllist_data", "WellName", "bad");
    EXPECT_EQ(0, lists->SaveWellList(List("L", {{"W3", 3}, {"bad", 4}})));
    WellListSet loaded;
    ASSERT_EQ(1, lists->LoadWellList("L", loaded));
    ASSERT_EQ(2u, loaded.Records.size());
    EXPECT_EQ(0, Count("b_welllist_data where WellName='W3'"));
}

STRATALOOM_ENGINES(WellListDataTest);

}  // namespace
