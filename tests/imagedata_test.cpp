// Symbol images against a real project database: scrambled content of any
// bytes, lookups by name, alias, code and meta type, and table maintenance.
#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "datadefine/cimagedata.h"
#include "strataloom/ialiasdata.h"
#include "strataloom/iimagedata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

std::string Scrambled(std::string text) {
    CImageData::ScrambleImageData(text);
    return text;
}
std::string Unscrambled(std::string text) {
    CImageData::UnscrambleImageData(text);
    return text;
}

std::string EveryByte() {
    std::string text;
    for (int b = 0; b < 256; ++b) text += static_cast<char>(b);
    return text;
}

// A text whose scrambled form holds a zero byte at each of its positions.
std::string ScramblesToZeros(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        for (int b = 0; b < 256; ++b) {
            std::string candidate = text + static_cast<char>(b);
            if (Scrambled(candidate)[i + 1] == '\0') {
                text = candidate;
                break;
            }
        }
    }
    return text;
}

TEST(ImageScrambleTest, EveryTextComesBackAndTheFramingIsFixed) {
    EXPECT_EQ("<>", Scrambled(""));
    EXPECT_EQ("", Unscrambled("<>"));
    for (const std::string& text : {std::string("a"), EveryByte(), ScramblesToZeros(7),
                                    std::string("\xff\xfe\xc3(", 4), std::string("岩性图案")}) {
        const std::string scrambled = Scrambled(text);
        EXPECT_EQ(text.size() + 2, scrambled.size());
        EXPECT_EQ('<', scrambled.front());
        EXPECT_EQ('>', scrambled.back());
        EXPECT_EQ(text, Unscrambled(scrambled));
    }
    EXPECT_EQ(std::string(7, '\0'), Scrambled(ScramblesToZeros(7)).substr(1, 7));
}

// The stored form is pinned byte for byte: images stored by earlier builds
// must read back, so the key (0x6B 0xA3 0x1D) never changes.
TEST(ImageScrambleTest, StoredFormIsPinnedAndTheKeyRestartsForEveryText) {
    EXPECT_EQ(std::string("<\x0A\xC1\x7E>"), Scrambled("abc"));
    EXPECT_EQ(std::string("<\x0A\xC1\x7E\x0A\xC1\x7E\x0A>"), Scrambled("abcabca"));
    EXPECT_EQ(std::string("<\x6B\xA3\x1D\x6B>"), Scrambled(std::string(4, '\0')));
    EXPECT_EQ("abc", Unscrambled("<\x0A\xC1\x7E>"));
    // A text never scrambled loses its first and last byte, the rest XORed.
    EXPECT_EQ(std::string(4, '\0'), Unscrambled("x\x6B\xA3\x1D\x6By"));
    for (const char* tooShort : {"", "<", "<>"}) {
        EXPECT_EQ("", Unscrambled(tooShort));
    }
}

ImageRecord Image(const std::string& name, int type, int facet, const std::string& data = "",
                  int metaFacet = -2) {
    ImageRecord record;
    record.ImageName = name;
    record.ImageType = type;
    record.ImageFacet = facet;
    record.MetaFacet = metaFacet;
    record.ImageData = data.empty() ? name + " pattern" : data;
    record.ZsyLithCode = name + "-zsy";
    record.ZshLithCode = name + "-zsh";
    return record;
}

std::vector<std::string> Names(const std::vector<ImageRecord>& images) {
    std::vector<std::string> names;
    for (const ImageRecord& image : images) names.push_back(image.ImageName);
    return names;
}

MetaTypeRecord MetaType(int id, int facet) {
    MetaTypeRecord record;
    record.MetaTypeID = id;
    record.MetaFacet = facet;
    return record;
}

class ImageDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        images = Create<IImageData>("IImageData");
        ASSERT_TRUE(images);
    }
    // The bytes stored in ImageData for the image of that name.
    std::string Stored(const std::string& name, const char* table = "b_image_data") {
        CDbManage session(Connect().c_str());
        const std::string sql =
            std::string("select ImageData from ") + table + " where ImageName='" + name + "'";
        if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return "(none)";
        DbVariant value;
        session.GetFieldValue("ImageData", value);
        return std::string(reinterpret_cast<const char*>(value.Data()),
                           static_cast<std::size_t>(value.Size()));
    }
    ImageRecord Get(const std::string& name, int type, int facet, bool withAliases = false) {
        ImageRecord image;
        image.ImageData = "(untouched)";
        EXPECT_EQ(1, images->GetImage(name.c_str(), type, facet, image, withAliases));
        return image;
    }
    void AddMetaType(int id, int parent, int facet) {
        Exec("insert into b_meta_type (MetaTypeID, MetaTypeParentID, MetaFacet) values (" +
             std::to_string(id) + ", " + std::to_string(parent) + ", " + std::to_string(facet) +
             ")");
    }
    std::unique_ptr<IImageData> images;
};

// What earlier builds stored reads back: the stored bytes are pinned.
TEST_P(ImageDataTest, StoredBytesOfAThreeByteTextArePinned) {
    const std::string pinned("<\x0A\xC1\x7E>");
    ASSERT_EQ(1, images->SaveImages({Image("abc", 3, 1, "abc")}));
    ASSERT_EQ(1, images->SaveMetaCombination(Image("abc", 3, 1, "abc", 4)));
    EXPECT_EQ(pinned, Stored("abc"));
    EXPECT_EQ(pinned, Stored("abc", "b_meta_comb"));
    Exec(
        "update b_image_data set ImageData = (select ImageData from b_meta_comb) where "
        "ImageName = 'abc'");
    EXPECT_EQ("abc", Get("abc", 3, 1).ImageData);
}

TEST_P(ImageDataTest, ContentOfAnyBytesRoundTripsAndIsStoredScrambled) {
    const std::string zeros = ScramblesToZeros(5) + "after the zeros";
    const std::string invalidUtf8("\xc3\x28\xa0\xa1\xff\x00\xfe", 7);
    ImageRecord every = Image("every", 3, 1, EveryByte());
    every.SysDefine = 0;
    ASSERT_EQ(1, images->SaveImages({every, Image("zeros", 3, 1, zeros)}));
    ASSERT_EQ(1, images->SaveImage(Image("utf8", 3, 1, invalidUtf8, 4), ""));
    ASSERT_EQ(1, images->SaveMetaCombination(Image("comb", 3, 1, zeros, 4)));

    EXPECT_EQ(Scrambled(EveryByte()), Stored("every"));
    EXPECT_EQ(Scrambled(zeros), Stored("zeros"));
    EXPECT_EQ(Scrambled(zeros), Stored("comb", "b_meta_comb"));

    const ImageRecord loaded = Get("every", 3, 1);
    EXPECT_EQ(EveryByte(), loaded.ImageData);
    EXPECT_EQ(0, loaded.SysDefine);
    EXPECT_EQ(zeros, Get("zeros", 3, 1).ImageData);
    EXPECT_EQ(1, Get("zeros", 3, 1).SysDefine);
    EXPECT_EQ(invalidUtf8, Get("utf8", 3, 1).ImageData);

    std::vector<ImageRecord> all;
    ASSERT_EQ(1, images->GetAllImages(all));
    ASSERT_EQ(3u, all.size());
    for (const ImageRecord& image : all) {
        EXPECT_EQ(image.ImageName == "every"   ? EveryByte()
                  : image.ImageName == "zeros" ? zeros
                                               : invalidUtf8,
                  image.ImageData);
        EXPECT_EQ(-2, image.MetaFacet);  // not read
    }
    std::vector<ImageRecord> combinations;
    ASSERT_EQ(1, images->GetMetaCombinations(combinations));
    ASSERT_EQ(1u, combinations.size());
    EXPECT_EQ(zeros, combinations[0].ImageData);
    EXPECT_EQ(4, combinations[0].MetaFacet);
    EXPECT_EQ("comb-zsh", combinations[0].ZshLithCode);
    EXPECT_EQ(1, combinations[0].SysDefine);  // not read
}

TEST_P(ImageDataTest, ImagesAreFoundByNameOrAliasUnderTheNameAskedFor) {
    ASSERT_EQ(1, images->SaveImages({Image("Sand", 3, 1), Image("Sand", 3, 2, "facet two"),
                                     Image("Shale", 3, 1), Image("Coal", 4, 1)}));
    const auto aliases = Create<IAliasData>("IAliasData");
    ASSERT_EQ(1, aliases->SaveAliases({{"Sandstone", 3, 1, "Sand"},
                                       {"Arenite", 3, 1, "Sand"},
                                       {"Elsewhere", 3, 2, "Shale"}}));

    const ImageRecord sand = Get("Sand", 3, 1);
    EXPECT_EQ("Sand", sand.ImageName);
    EXPECT_EQ("Sand pattern", sand.ImageData);
    EXPECT_EQ("Sand-zsy", sand.ZsyLithCode);
    EXPECT_EQ(-2, sand.MetaFacet);
    EXPECT_EQ("facet two", Get("Sand", 3, 2).ImageData);
    const ImageRecord viaAlias = Get("Sandstone", 3, 1, true);
    EXPECT_EQ("Sandstone", viaAlias.ImageName);
    EXPECT_EQ("Sand pattern", viaAlias.ImageData);
    // Not found: 1, the record untouched.
    EXPECT_EQ("(untouched)", Get("Sandstone", 3, 1, false).ImageData);
    EXPECT_EQ("(untouched)", Get("Elsewhere", 3, 2, true).ImageData);  // Shale has no facet 2

    std::vector<ImageRecord> listed;
    ASSERT_EQ(1, images->GetImagesByTypeAndFacet(3, 1, listed, false));
    EXPECT_EQ((std::vector<std::string>{"Sand", "Shale"}), Names(listed));
    listed.clear();
    ASSERT_EQ(1, images->GetImagesByTypeAndFacet(3, 1, listed, true));
    ASSERT_EQ(4u, listed.size());
    EXPECT_EQ("Sand pattern", listed[3].ImageData);
    std::sort(listed.begin() + 2, listed.end(),
              [](const ImageRecord& a, const ImageRecord& b) { return a.ImageName < b.ImageName; });
    EXPECT_EQ((std::vector<std::string>{"Sand", "Shale", "Arenite", "Sandstone"}), Names(listed));
    EXPECT_EQ(0, images->GetImagesByTypeAndFacet(9, 9, listed, true));
    EXPECT_EQ(4u, listed.size());

    listed.clear();
    ASSERT_EQ(1, images->GetImagesOfFacets(listed));  // type 3, facets 1 to 7, aliases always
    EXPECT_EQ(5u, listed.size());
}

TEST_P(ImageDataTest, CodesNamesAndExistence) {
    ASSERT_EQ(1, images->SaveImages({Image("Sand", 3, 1), Image("Sand", 4, 1), Image("Shale", 3, 2),
                                     Image("O'Clay", 3, 1)}));
    ImageRecord found;
    ASSERT_EQ(1, images->GetImageByZsyLithCode("Shale-zsy", found));
    EXPECT_EQ("Shale", found.ImageName);
    EXPECT_EQ(2, found.ImageFacet);
    EXPECT_EQ("Shale pattern", found.ImageData);
    ASSERT_EQ(1, images->GetImageByZshLithCode("O'Clay-zsh", found));
    EXPECT_EQ("O'Clay", found.ImageName);
    EXPECT_EQ(0, images->GetImageByZshLithCode("none", found));
    EXPECT_EQ("O'Clay", found.ImageName);

    NameList names{"before"};
    ASSERT_EQ(1, images->GetImageNames(1, names));
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ((NameList{"before", "O'Clay", "Sand", "Sand"}), names);
    EXPECT_EQ(0, images->GetImageNames(7, names));

    EXPECT_EQ(1, images->IsImageExist("O'Clay", 3, 1));
    EXPECT_EQ(0, images->IsImageExist("O'Clay", 3, 2));
    EXPECT_EQ(1, images->DeleteImage("O'Clay", 3, 1));
    EXPECT_EQ(0, images->IsImageExist("O'Clay", 3, 1));
    EXPECT_EQ(1, images->DeleteImage("never", 3, 1));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(0, images->IsImageExist("", 3, 1));
    EXPECT_EQ(0, images->IsImageExist(nullptr, 3, 1));
    EXPECT_EQ(0, images->SaveImage(Image("", 3, 1), "Sand"));
    EXPECT_EQ(1, images->IsImageExist("Sand", 3, 1));
    ASSERT_EQ(3u, Boxes().size());
    for (const testsupport::Box& box : Boxes()) EXPECT_EQ("岩性名称不能为空！", box.text);
}

TEST_P(ImageDataTest, SavesReplaceByNameTypeAndFacetAndKeepOrLeaveTheMetaFacet) {
    ASSERT_EQ(1, images->SaveImage(Image("A", 3, 1, "old", 5), ""));
    ASSERT_EQ(1, images->SaveImage(Image("A", 3, 2, "other facet", 5), ""));
    // A renamed to B: no A of that type and facet is left.
    ASSERT_EQ(1, images->SaveImage(Image("B", 3, 1, "new", 6), "A"));
    EXPECT_EQ(0, Count("b_image_data where ImageName='A' and ImageFacet=1"));
    EXPECT_EQ(1, Count("b_image_data where ImageName='B' and MetaFacet=6"));
    EXPECT_EQ(1, Count("b_image_data where ImageName='A' and ImageFacet=2"));
    // Renamed onto a name already stored: that image is replaced as well.
    ASSERT_EQ(1, images->SaveImage(Image("B", 3, 2, "renamed", 6), "A"));
    EXPECT_EQ(1, Count("b_image_data where ImageName='B' and ImageFacet=2"));
    ASSERT_EQ(1, images->SaveImage(Image("B", 3, 2, "again", 6), "A"));
    EXPECT_EQ(1, Count("b_image_data where ImageFacet=2"));
    EXPECT_EQ("again", Get("B", 3, 2).ImageData);

    // The batch save leaves the meta facet to the column's default, and keeps
    // the last record of an image repeated in it.
    ASSERT_EQ(1, images->SaveImages({Image("B", 3, 1, "first", 6), Image("C", 3, 1),
                                     Image("B", 3, 1, "last", 6)}));
    EXPECT_EQ(1, Count("b_image_data where ImageName='B' and ImageFacet=1"));
    EXPECT_EQ("last", Get("B", 3, 1).ImageData);
    std::vector<ImageRecord> none;
    ASSERT_EQ(1, images->GetImagesByMetaFacet(MetaType(0, -2), &none));
    std::vector<std::string> names = Names(none);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"B", "C"}), names);
    EXPECT_EQ(0, images->GetImagesByMetaFacet(MetaType(0, -2), nullptr));
    EXPECT_EQ(1, images->SaveImages({}));

    ASSERT_EQ(1, images->SaveMetaCombination(Image("M", 3, 1, "one", 4)));
    ASSERT_EQ(1, images->SaveMetaCombination(Image("M", 3, 1, "two", 4)));
    ASSERT_EQ(1, images->SaveMetaCombination(Image("M", 3, 1, "three", 5)));
    EXPECT_EQ(2, Count("b_meta_comb"));
}

TEST_P(ImageDataTest, FailedSavesLeaveEveryRowAsItWas) {
    ASSERT_EQ(1, images->SaveImages({Image("A", 3, 1, "kept")}));
    RefuseInsertsWhere("b_image_data", "ImageName", "bad");
    EXPECT_EQ(0, images->SaveImages({Image("A", 3, 1, "lost"), Image("bad", 3, 1)}));
    EXPECT_EQ(0, images->SaveImage(Image("bad", 3, 1), "A"));
    EXPECT_EQ("kept", Get("A", 3, 1).ImageData);
    EXPECT_EQ(1, Count("b_image_data"));
}

TEST_P(ImageDataTest, MaintenanceTurnsTheWholeTableTwiceOverKeepingMetaFacets) {
    EXPECT_EQ(0, images->ScrambleAllImageData());  // an empty table
    const std::string zeros = ScramblesToZeros(4);
    ASSERT_EQ(1, images->SaveImage(Image("A", 3, 1, zeros, 7), ""));
    ASSERT_EQ(1, images->SaveImage(Image("B", 3, 1, "plain B", 8), ""));
    const std::string scrambledA = Scrambled(zeros);

    ASSERT_EQ(1, images->UnscrambleAllImageData());
    EXPECT_EQ(zeros, Stored("A"));
    EXPECT_EQ("plain B", Stored("B"));
    ASSERT_EQ(1, images->UnscrambleAllImageData());  // unscrambles a plain table again
    EXPECT_EQ(Unscrambled(zeros), Stored("A"));
    ASSERT_EQ(1, images->ScrambleAllImageData());
    ASSERT_EQ(1, images->ScrambleAllImageData());
    EXPECT_EQ(Scrambled(Scrambled(Unscrambled(zeros))), Stored("A"));
    ASSERT_EQ(1, images->UnscrambleAllImageData());
    EXPECT_EQ('<', Stored("B").front());
    EXPECT_EQ('>', Stored("B").back());
    EXPECT_EQ(2, Count("b_image_data"));
    EXPECT_EQ(1, Count("b_image_data where ImageName='A' and MetaFacet=7"));
    EXPECT_EQ(1, Count("b_image_data where ImageName='B' and MetaFacet=8"));
    EXPECT_EQ(1, Count("b_image_data where ImageName='B' and ZsyLithCode='B-zsy'"));

    // All or nothing: one row that cannot be written leaves every row as it was.
    const std::string before = Stored("A");
    RefuseInsertsWhere("b_image_data", "ImageName", "B");
    EXPECT_EQ(0, images->ScrambleAllImageData());
    EXPECT_EQ(before, Stored("A"));
    EXPECT_EQ(2, Count("b_image_data"));
    (void)scrambledA;
}

TEST_P(ImageDataTest, QueriesThatCannotRunAreFailuresNotEmptyAnswers) {
    ASSERT_EQ(1, images->SaveImages({Image("Sand", 3, 1)}));
    Exec("drop table b_image_alias");
    ImageRecord image;
    image.ImageData = "(untouched)";
    EXPECT_EQ(0, images->GetImage("Sand", 3, 1, image, true));
    EXPECT_EQ("(untouched)", image.ImageData);
    EXPECT_EQ("Sand pattern", Get("Sand", 3, 1).ImageData);
    std::vector<ImageRecord> listed;
    EXPECT_EQ(0, images->GetImagesByTypeAndFacet(3, 1, listed, true));
    EXPECT_EQ(std::vector<std::string>{"Sand"}, Names(listed));  // the image rows stay
    EXPECT_EQ(1, images->GetImagesByTypeAndFacet(3, 1, listed, false));
    EXPECT_EQ(0, images->GetImagesOfFacets(listed));
}

// Meta types: P with children A and B, A with A1 and A2, A1 with A11, B with
// B1; each holds one image under its own facet.
TEST_P(ImageDataTest, ImagesUnderAMetaTypeComeChildrenFirstThenTheirDescendantsThenItself) {
    const std::vector<std::tuple<std::string, int, int>> tree{
        {"P", 1, -1}, {"A", 2, 1},   {"B", 3, 1}, {"A1", 4, 2},
        {"A2", 5, 2}, {"A11", 6, 4}, {"B1", 7, 3}};
    std::vector<ImageRecord> records;
    for (const auto& [name, id, parent] : tree) {
        AddMetaType(id, parent, id * 10);
        records.push_back(Image(name, 3, 1, "", id * 10));
    }
    for (const ImageRecord& record : records) ASSERT_EQ(1, images->SaveImage(record, ""));
    const auto metaTypes = Create<IMetaTypeData>("IMetaTypeData");

    std::vector<ImageRecord> found;
    ASSERT_EQ(1, images->GetImagesUnderMetaType(MetaType(1, 10), metaTypes.get(), found));
    EXPECT_EQ((std::vector<std::string>{"A", "B", "A1", "A2", "A11", "B1", "P"}), Names(found));
    EXPECT_EQ(60, found[4].MetaFacet);
    EXPECT_EQ("A11 pattern", found[4].ImageData);
    found.clear();
    ASSERT_EQ(1, images->GetImagesUnderMetaType(MetaType(6, 60), metaTypes.get(), found));
    EXPECT_EQ(std::vector<std::string>{"A11"}, Names(found));
    EXPECT_EQ(0, images->GetImagesUnderMetaType(MetaType(1, 10), nullptr, found));
    EXPECT_EQ(1u, found.size());

    // A second id 2 below A11 would lead from A down to A again.
    AddMetaType(2, 6, 20);
    auto another = Create<IMetaTypeData>("IMetaTypeData");
    another.reset();  // the tree is read again
    found.clear();
    ASSERT_EQ(1, images->GetImagesUnderMetaType(MetaType(1, 10), metaTypes.get(), found));
    EXPECT_EQ((std::vector<std::string>{"A", "B", "A1", "A2", "A11", "B1", "P"}), Names(found));
}

// Meta types served by the host itself, whose children lead back up.
class LoopingMetaTypes : public IMetaTypeData {
  public:
    void SetConnectString(const char*) override {}
    int GetChildMetaTypes(MetaTypeRecord metaType, std::vector<MetaTypeRecord>* children) override {
        // 1 -> {2, 3}, 2 -> {1}, 3 -> {3, 4}, 4 -> {2}
        const std::map<int, std::vector<int>> links{{1, {2, 3}}, {2, {1}}, {3, {3, 4}}, {4, {2}}};
        children->clear();
        for (int id : links.at(metaType.MetaTypeID)) children->push_back(MetaType(id, id * 10));
        return 1;
    }
    int GetRootMetaTypes(std::vector<MetaTypeRecord>& roots) override {
        roots = {MetaType(1, 10)};
        return 1;
    }
};

TEST_P(ImageDataTest, AWalkThatLeadsBackUpStopsWhereItWouldRepeatItself) {
    LoopingMetaTypes metaTypes;
    std::vector<MetaTypeRecord> below;
    CImageData::CollectMetaTypes(below, &metaTypes, nullptr);
    std::vector<int> ids;
    for (const MetaTypeRecord& record : below) ids.push_back(record.MetaTypeID);
    // Roots {1}; under 1: {2, 3}; under 2: 1 is on the way down; under 3: 4
    // (3 itself is on the way); under 4: 2 (not on the way 1, 3, 4), under which 1 stops.
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 2}), ids);

    ASSERT_EQ(1, images->SaveImage(Image("one", 3, 1, "", 10), ""));
    std::vector<ImageRecord> found;
    ASSERT_EQ(1, images->GetImagesUnderMetaType(MetaType(1, 10), &metaTypes, found));
    EXPECT_EQ(std::vector<std::string>{"one"}, Names(found));
}

TEST_P(ImageDataTest, StatementsOfEveryOperation) {
    ImageRecord image = Image("it's", 3, 1);
    const auto run = [&](const std::function<void()>& operation) {
        StatementLog log;
        operation();
        return log.texts;
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ((Texts{"b_image_data",
                     "delete from b_image_data where ImageName='it''s' and "
                     "ImageType=3 and ImageFacet=1 ",
                     "SaveData b_image_data 1"}),
              run([&] { images->SaveImages({image}); }));
    EXPECT_EQ((Texts{"b_image_data",
                     "delete from b_image_data where ImageName='old' and ImageType=3 and "
                     "ImageFacet=1 ",
                     "delete from b_image_data where ImageName='it''s' and ImageType=3 and "
                     "ImageFacet=1 ",
                     "SaveData b_image_data 1"}),
              run([&] { images->SaveImage(image, "old"); }));
    EXPECT_EQ(
        (Texts{"select * from b_image_data where ImageType=3 and ImageFacet=1",
               "select b_image_alias.AliasName as AliasName,b_image_data.ImageType as "
               "ImageType,b_image_data.ImageFacet as ImageFacet,b_image_data.SysDefine as "
               "SysDefine,b_image_data.ImageData as ImageData,b_image_data.ZsyLithCode as "
               "ZsyLithCode,b_image_data.ZshLithCode as ZshLithCode from b_image_data, "
               "b_image_alias where b_image_data.ImageFacet=1 and b_image_data.ImageType=3 and "
               "b_image_data.ImageFacet=b_image_alias.ImageFacet and "
               "b_image_data.ImageType=b_image_alias.ImageType and "
               "b_image_data.ImageName=b_image_alias.ImageName "}),
        run([&] {
            std::vector<ImageRecord> out;
            images->GetImagesByTypeAndFacet(3, 1, out, true);
        }));
    EXPECT_EQ((Texts{"select * from b_image_data where b_image_data.ImageType=3 and "
                     "b_image_data.ImageFacet=1 and ( b_image_data.ImageName='it''s' or "
                     "b_image_data.ImageName in (select ImageName from b_image_alias where "
                     "b_image_alias.ImageType=3  and b_image_alias.ImageFacet=1  and "
                     "b_image_alias.AliasName='it''s'))",
                     "select * from b_image_data where b_image_data.ImageType=3 and "
                     "b_image_data.ImageFacet=1 and b_image_data.ImageName='it''s'"}),
              run([&] {
                  ImageRecord out;
                  images->GetImage("it's", 3, 1, out, true);
                  images->GetImage("it's", 3, 1, out, false);
              }));
    EXPECT_EQ(
        (Texts{
            "select * from b_image_data ", "b_image_data",
            "select * from b_image_data where ImageName='it''s' and ImageType=3 and ImageFacet=1",
            "b_image_data",
            "delete from b_image_data where ImageName='it''s' and ImageType=3 and ImageFacet=1",
            "select * from b_image_data where ZsyLithCode='a'",
            "select * from b_image_data where ZshLithCode='b'", "b_image_data",
            "select ImageName from b_image_data where ImageFacet=1"}),
        run([&] {
            std::vector<ImageRecord> out;
            ImageRecord one;
            NameList names;
            images->GetAllImages(out);
            images->IsImageExist("it's", 3, 1);
            images->DeleteImage("it's", 3, 1);
            images->GetImageByZsyLithCode("a", one);
            images->GetImageByZshLithCode("b", one);
            images->GetImageNames(1, names);
        }));
    images->SaveImages({image});
    EXPECT_EQ(
        (Texts{"select * from b_image_data where ImageFacet in(1,2,3,4,5,6,7) and ImageType=3",
               "select b_image_alias.AliasName as AliasName,b_image_data.ImageType as "
               "ImageType,b_image_data.ImageFacet as ImageFacet,b_image_data.SysDefine as "
               "SysDefine,b_image_data.ImageData as ImageData,b_image_data.ZsyLithCode as "
               "ZsyLithCode,b_image_data.ZshLithCode as ZshLithCode from b_image_data, "
               "b_image_alias where b_image_data.ImageFacet in(1,2,3,4,5,6,7) and "
               "b_image_data.ImageType=3 and b_image_data.ImageFacet=b_image_alias.ImageFacet "
               "and b_image_data.ImageType=b_image_alias.ImageType and "
               "b_image_data.ImageName=b_image_alias.ImageName ",
               "select * from b_image_data ", "b_image_data",
               "delete from b_image_data where ImageName='it''s' and ImageType=3 and ImageFacet=1 ",
               "SaveData b_image_data 1", "select * from b_image_data ", "b_image_data",
               "delete from b_image_data where ImageName='it''s' and ImageType=3 and ImageFacet=1 ",
               "SaveData b_image_data 1"}),
        run([&] {
            std::vector<ImageRecord> out;
            images->GetImagesOfFacets(out);
            images->ScrambleAllImageData();
            images->UnscrambleAllImageData();
        }));
    EXPECT_EQ((Texts{"select * from b_image_data where MetaFacet = -2", "select * from b_meta_comb",
                     "b_meta_comb",
                     "delete from b_meta_comb  where ImageName='it''s' and MetaFacet=-2 and "
                     "ImageType=3 and ImageFacet=1 ",
                     "SaveData b_meta_comb 1"}),
              run([&] {
                  std::vector<ImageRecord> out;
                  images->GetImagesByMetaFacet(MetaType(0, -2), &out);
                  images->GetMetaCombinations(out);
                  images->SaveMetaCombination(image);
              }));
}

STRATALOOM_ENGINES(ImageDataTest);

}  // namespace
