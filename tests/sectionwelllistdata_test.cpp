// Cross-section well line-ups against a real project database.
#include "strataloom/isectionwelllistdata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

class SectionWellListDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        sections = Create<ISectionWellListData>("ISectionWellListData");
        ASSERT_TRUE(sections);
    }
    std::string Combination(const std::string& section) {
        return QueryText(
            "select Section_WellList as c from b_sectionwelllist_data where "
            "Setction_Name='" +
            section + "'");
    }
    std::unique_ptr<ISectionWellListData> sections;
};

TEST_P(SectionWellListDataTest, SavingUnderAnExistingNameLeavesOneRow) {
    ASSERT_EQ(1, sections->SaveSection({"S1", "W1,W2"}));
    ASSERT_EQ(1, sections->SaveSection({"S1", "W3,W4,W5"}));
    EXPECT_EQ(1, Count("b_sectionwelllist_data"));
    SectionWellListRecord loaded;
    ASSERT_EQ(1, sections->LoadSection("S1", loaded));
    EXPECT_EQ("S1", loaded.Setction_Name);
    EXPECT_EQ("W3,W4,W5", loaded.Section_WellList);
}

TEST_P(SectionWellListDataTest, EmptyTextsAreRefusedNameFirst) {
    EXPECT_EQ(0, sections->SaveSection({"", ""}));
    EXPECT_EQ(0, sections->SaveSection({"S1", ""}));
    EXPECT_EQ(0, sections->DeleteSection(""));
    EXPECT_EQ(0, Count("b_sectionwelllist_data"));
    ASSERT_EQ(3u, Boxes().size());
    EXPECT_EQ("剖面名称不能为空！", Boxes()[0].text);
    EXPECT_EQ("(none)", Boxes()[0].caption);
    EXPECT_EQ("井名组合不能为空！", Boxes()[1].text);
    EXPECT_EQ("剖面名称不能为空！", Boxes()[2].text);
}

TEST_P(SectionWellListDataTest, MissingSectionLeavesTheRecordUnchanged) {
    SectionWellListRecord record{"mine", "W9"};
    EXPECT_EQ(0, sections->LoadSection("S1", record));
    EXPECT_EQ("mine", record.Setction_Name);
    EXPECT_EQ("W9", record.Section_WellList);
}

TEST_P(SectionWellListDataTest, SaveSectionsKeepsOneRowPerNameTheLastWinning) {
    ASSERT_EQ(1, sections->SaveSection({"S1", "old"}));
    ASSERT_EQ(1, sections->SaveSection({"S3", "untouched"}));
    ASSERT_EQ(1, sections->SaveSections({{"S1", "first"}, {"S2", "two"}, {"S1", "last"}}));
    EXPECT_EQ(3, Count("b_sectionwelllist_data"));
    EXPECT_EQ("last", Combination("S1"));
    EXPECT_EQ("two", Combination("S2"));
    EXPECT_EQ("untouched", Combination("S3"));
    EXPECT_EQ(1, sections->SaveSections({}));
    EXPECT_EQ(3, Count("b_sectionwelllist_data"));
}

TEST_P(SectionWellListDataTest, NamesAndAllSectionsAppendToWhatTheCallerHas) {
    NameList names{"already"};
    EXPECT_EQ(0, sections->GetSectionNames(names));
    std::vector<SectionWellListRecord> all(1);
    EXPECT_EQ(0, sections->LoadAllSections(all));
    ASSERT_EQ(1, sections->SaveSections({{"b", "W1"}, {"O'Brien's %s", "W2"}, {"a", "W3"}}));
    ASSERT_EQ(1, sections->GetSectionNames(names));
    EXPECT_EQ((NameList{"already", "O'Brien's %s", "a", "b"}), names);
    ASSERT_EQ(1, sections->LoadAllSections(all));
    ASSERT_EQ(4u, all.size());
    std::sort(all.begin() + 1, all.end(),
              [](const auto& x, const auto& y) { return x.Setction_Name < y.Setction_Name; });
    EXPECT_EQ("O'Brien's %s", all[1].Setction_Name);
    EXPECT_EQ("W2", all[1].Section_WellList);
}

TEST_P(SectionWellListDataTest, DeletesRemoveOneOrAllSections) {
    EXPECT_EQ(1, sections->DeleteAllSections());
    ASSERT_EQ(1, sections->SaveSections({{"S1", "W1"}, {"S2", "W2"}}));
    EXPECT_EQ(1, sections->DeleteSection("S1"));
    EXPECT_EQ(1, Count("b_sectionwelllist_data"));
    EXPECT_EQ("W2", Combination("S2"));
    EXPECT_EQ(1, sections->DeleteAllSections());
    EXPECT_EQ(0, Count("b_sectionwelllist_data"));
}

TEST_P(SectionWellListDataTest, FailedBatchKeepsTheOldSections) {
    ASSERT_EQ(1, sections->SaveSections({{"S1", "old"}}));
    RefuseInsertsWhere("b_sectionwelllist_data", "Setction_Name", "bad");
    EXPECT_EQ(0, sections->SaveSections({{"S1", "new"}, {"bad", "x"}}));
    EXPECT_EQ("old", Combination("S1"));
    EXPECT_EQ(1, Count("b_sectionwelllist_data"));
}

STRATALOOM_ENGINES(SectionWellListDataTest);

}  // namespace
