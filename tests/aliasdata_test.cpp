// Image aliases against a real project database.
#include "strataloom/ialiasdata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;

AliasRecord Alias(const std::string& alias, const std::string& image, int type = 3, int facet = 1) {
    AliasRecord record;
    record.AliasName = alias;
    record.ImageType = type;
    record.ImageFacet = facet;
    record.ImageName = image;
    return record;
}

class AliasDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        aliases = Create<IAliasData>("IAliasData");
        ASSERT_TRUE(aliases);
    }
    std::vector<AliasRecord> LoadAll() {
        std::vector<AliasRecord> all;
        aliases->LoadAllAliases(all);
        return all;
    }
    std::unique_ptr<IAliasData> aliases;
};

TEST_P(AliasDataTest, SavingAnAliasAgainMovesItToTheNewImage) {
    std::vector<AliasRecord> kept{Alias("kept", "x")};
    EXPECT_EQ(0, aliases->LoadAllAliases(kept));  // no alias yet
    ASSERT_EQ(1u, kept.size());

    ASSERT_EQ(1, aliases->SaveAlias(Alias("O'Neil %s", "Sandstone", 3, 1)));
    ASSERT_EQ(1, aliases->SaveAlias(Alias("other", "Shale")));
    ASSERT_EQ(1, aliases->SaveAlias(Alias("O'Neil %s", "Limestone", 4, 2)));
    EXPECT_EQ(2, Count("b_image_alias"));
    ASSERT_EQ(1, aliases->LoadAllAliases(kept));
    ASSERT_EQ(3u, kept.size());
    EXPECT_EQ("kept", kept[0].AliasName);
    const AliasRecord& moved = kept[1].AliasName == "O'Neil %s" ? kept[1] : kept[2];
    EXPECT_EQ("O'Neil %s", moved.AliasName);
    EXPECT_EQ("Limestone", moved.ImageName);
    EXPECT_EQ(4, moved.ImageType);
    EXPECT_EQ(2, moved.ImageFacet);
}

TEST_P(AliasDataTest, BatchAddsEveryRowAndDeleteAllEmptiesTheTable) {
    ASSERT_EQ(1, aliases->SaveAlias(Alias("a", "x")));
    ASSERT_EQ(1, aliases->SaveAliases({Alias("a", "y"), Alias("a", "z"), Alias("b", "y")}));
    EXPECT_EQ(4, Count("b_image_alias"));
    EXPECT_EQ(3, Count("b_image_alias where AliasName='a'"));
    EXPECT_EQ(1, aliases->SaveAliases({}));
    EXPECT_EQ(4, Count("b_image_alias"));

    // Replacing the whole table.
    ASSERT_EQ(1, aliases->DeleteAllAliases());
    EXPECT_EQ(0, Count("b_image_alias"));
    EXPECT_EQ(1, aliases->DeleteAllAliases());
    ASSERT_EQ(1, aliases->SaveAliases({Alias("c", "w")}));
    const auto all = LoadAll();
    ASSERT_EQ(1u, all.size());
    EXPECT_EQ("w", all[0].ImageName);
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(AliasDataTest, FailedSavesKeepTheRowsThatWereThere) {
    ASSERT_EQ(1, aliases->SaveAliases({Alias("a", "x"), Alias("b", "x")}));
    RefuseInsertsWhere("b_image_alias", "ImageName", "bad");
    EXPECT_EQ(0, aliases->SaveAliases({Alias("c", "ok"), Alias("d", "bad")}));
    EXPECT_EQ(0, aliases->SaveAlias(Alias("a", "bad")));
    const auto all = LoadAll();
    ASSERT_EQ(2u, all.size());
    EXPECT_EQ(1, Count("b_image_alias where AliasName='a' and ImageName='x'"));
}

TEST_P(AliasDataTest, StatementsAreTheTableCheckThenTheDeleteOrQuery) {
    testsupport::StatementLog log;
    std::vector<AliasRecord> all;
    aliases->LoadAllAliases(all);
    aliases->SaveAlias(Alias("it's", "x"));
    aliases->SaveAliases({Alias("b", "x")});
    aliases->DeleteAllAliases();
    EXPECT_EQ((std::vector<std::string>{
                  "select * from b_image_alias",
                  "b_image_alias",
                  "delete from b_image_alias where AliasName='it''s'",
                  "SaveData b_image_alias 1",
                  "b_image_alias",
                  "SaveData b_image_alias 1",
                  "b_image_alias",
                  "delete from  b_image_alias",
              }),
              log.texts);
}

STRATALOOM_ENGINES(AliasDataTest);

}  // namespace
