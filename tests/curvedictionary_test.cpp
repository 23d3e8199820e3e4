// The curve dictionary against a real project database: lookups by name and
// by alias, replace semantics, the whole-dictionary delete, and the
// statements of every operation.
#include <algorithm>

#include "strataloom/icurvedictionary.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ExpectStatements;
using testsupport::ProjectDbTest;

CurveDictionaryRecord Entry(const std::string& name, double left, const std::string& display = "") {
    CurveDictionaryRecord record;
    record.CurveName = name;
    record.DisplayName = display.empty() ? name + " shown" : display;
    record.CurveUnit = "API";
    record.LeftValue = left;
    record.RightValue = left + 150.0 / 7.0;  // every bit of a double
    record.CurveType = 2;
    record.Color = -16776961;
    record.CurveWidth = 1.5;
    record.CoorType = 1;
    return record;
}

bool Same(const CurveDictionaryRecord& a, const CurveDictionaryRecord& b) {
    return a.CurveName == b.CurveName && a.DisplayName == b.DisplayName &&
           a.CurveUnit == b.CurveUnit && a.LeftValue == b.LeftValue &&
           a.RightValue == b.RightValue && a.CurveType == b.CurveType && a.Color == b.Color &&
           a.CurveWidth == b.CurveWidth && a.CoorType == b.CoorType;
}

class CurveDictionaryTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        dictionary = Create<ICurveDictionary>("ICurveDictionary");
        ASSERT_TRUE(dictionary);
    }
    void AddAlias(const std::string& alias, const std::string& curve) {
        Exec("insert into w_curvealias_data (CurveAlias, CurveName) values ('" + alias + "', '" +
             curve + "')");
    }
    long Rows(const std::string& name) {
        return Count("w_curve_dictionary where CurveName='" + name + "'");
    }
    std::unique_ptr<ICurveDictionary> dictionary;
};

TEST_P(CurveDictionaryTest, EntriesAreFoundByTheirNameOrByAnAlias) {
    ASSERT_EQ(1, dictionary->SaveEntries({Entry("GR", 0.0), Entry("SP", -80.25)}));
    AddAlias("GAMMA", "GR");
    AddAlias("NGR", "GR");

    CurveDictionaryRecord record;
    ASSERT_EQ(1, dictionary->LoadEntry("GR", record));
    EXPECT_TRUE(Same(Entry("GR", 0.0), record));
    ASSERT_EQ(1, dictionary->LoadEntryByAlias("SP", record));
    EXPECT_TRUE(Same(Entry("SP", -80.25), record));
    for (const char* alias : {"GAMMA", "NGR"}) {
        CurveDictionaryRecord found;
        ASSERT_EQ(1, dictionary->LoadEntryByAlias(alias, found)) << alias;
        EXPECT_TRUE(Same(Entry("GR", 0.0), found)) << alias;
    }

    // Neither a name nor an alias, or an unknown name: the record stays as it was.
    const CurveDictionaryRecord kept = Entry("kept", 3.0);
    record = kept;
    EXPECT_EQ(0, dictionary->LoadEntryByAlias("RHOB", record));
    EXPECT_EQ(0, dictionary->LoadEntry("RHOB", record));
    EXPECT_TRUE(Same(kept, record));

    EXPECT_EQ(1, dictionary->IsEntryExist("SP"));
    EXPECT_EQ(0, dictionary->IsEntryExist("GAMMA"));
}

TEST_P(CurveDictionaryTest, SavesReplaceTheEntriesOfTheirNames) {
    ASSERT_EQ(1, dictionary->SaveEntry(Entry("GR", 0.0)));
    ASSERT_EQ(1, dictionary->SaveEntry(Entry("GR", 10.0)));
    EXPECT_EQ(1, Rows("GR"));
    ASSERT_EQ(1, dictionary->SaveEntries({Entry("GR", 20.0), Entry("SP", 30.0)}));
    ASSERT_EQ(1, dictionary->SaveEntries({Entry("SP", 40.0), Entry("GR", 50.0)}));
    EXPECT_EQ(1, Rows("GR"));
    EXPECT_EQ(1, Rows("SP"));
    CurveDictionaryRecord record;
    ASSERT_EQ(1, dictionary->LoadEntry("GR", record));
    EXPECT_EQ(50.0, record.LeftValue);

    // Nothing to save: nothing deleted, nothing added.
    ASSERT_EQ(1, dictionary->SaveEntries({}));
    EXPECT_EQ(2, Count("w_curve_dictionary"));

    // An entry that cannot be stored undoes the whole save, its delete included.
    RefuseInsertsWhere("w_curve_dictionary", "CurveName", "BAD");
    EXPECT_EQ(0, dictionary->SaveEntries({Entry("GR", 60.0), Entry("BAD", 0.0)}));
    ASSERT_EQ(1, dictionary->LoadEntry("GR", record));
    EXPECT_EQ(50.0, record.LeftValue);
    EXPECT_EQ(2, Count("w_curve_dictionary"));
}

TEST_P(CurveDictionaryTest, ListsGiveEachNameOnceAndNothingOnAnEmptyDictionary) {
    NameList names{"earlier"};
    std::vector<CurveDictionaryRecord> records;
    EXPECT_EQ(0, dictionary->GetEntryNames(names));
    EXPECT_EQ(0, dictionary->GetDisplayNames(names));
    EXPECT_EQ(0, dictionary->LoadAllEntries(records));
    EXPECT_EQ(NameList{"earlier"}, names);
    EXPECT_TRUE(records.empty());

    ASSERT_EQ(1, dictionary->SaveEntries(
                     {Entry("SP", 1.0, "shown"), Entry("GR", 2.0, "shown"), Entry("AC", 3.0)}));
    // A second row of one name, as another writer may leave it.
    Exec("insert into w_curve_dictionary (CurveName, DisplayName) values ('GR', 'shown')");
    ASSERT_EQ(1, dictionary->GetEntryNames(names));
    EXPECT_EQ((NameList{"earlier", "AC", "GR", "SP"}), names);
    NameList display;
    ASSERT_EQ(1, dictionary->GetDisplayNames(display));
    std::sort(display.begin(), display.end());
    EXPECT_EQ((NameList{"AC shown", "shown"}), display);
    ASSERT_EQ(1, dictionary->LoadAllEntries(records));
    EXPECT_EQ(4u, records.size());
    for (const CurveDictionaryRecord& record : records) {
        if (record.CurveName == "AC") {
            EXPECT_TRUE(Same(Entry("AC", 3.0), record));
        }
    }
}

TEST_P(CurveDictionaryTest, DeletesTakeTheirEntriesAndEmptyNamesAreRefused) {
    ASSERT_EQ(1, dictionary->SaveEntries(
                     {Entry("GR", 0.0), Entry("SP", 1.0), Entry("AC", 2.0), Entry("DT", 3.0)}));
    ASSERT_EQ(1, dictionary->DeleteEntry("GR"));
    EXPECT_EQ(0, dictionary->IsEntryExist("GR"));
    ASSERT_EQ(1, dictionary->DeleteEntries({"SP", "AC"}));
    EXPECT_EQ(1, dictionary->DeleteEntries({}));
    EXPECT_EQ(1, Count("w_curve_dictionary"));

    EXPECT_EQ(0, dictionary->DeleteEntry(""));
    EXPECT_EQ(0, dictionary->DeleteEntry(nullptr));
    EXPECT_EQ(0, dictionary->DeleteAllEntries(""));
    EXPECT_EQ(1, Count("w_curve_dictionary"));
    ASSERT_EQ(3u, Boxes().size());
    EXPECT_EQ("曲线名称不能为空！", Boxes()[0].text);
    EXPECT_EQ("曲线名称不能为空！", Boxes()[1].text);
    EXPECT_EQ("工区名称不能为空！", Boxes()[2].text);

    // Whatever the project: the dictionary belongs to none.
    ASSERT_EQ(1, dictionary->DeleteAllEntries("any project"));
    EXPECT_EQ(0, Count("w_curve_dictionary"));
}

TEST_P(CurveDictionaryTest, StatementTextsOfEveryOperation) {
    NameList names;
    CurveDictionaryRecord record;
    std::vector<CurveDictionaryRecord> records;
    ExpectStatements({
        {"entry names",
         [&] { dictionary->GetEntryNames(names); },
         {"select distinct CurveName from w_curve_dictionary order by "
          "w_curve_dictionary.curvename"}},
        {"display names",
         [&] { dictionary->GetDisplayNames(names); },
         {"select distinct DisplayName from w_curve_dictionary"}},
        {"load",
         [&] { dictionary->LoadEntry("GR", record); },
         {"select * from w_curve_dictionary where CurveName='GR'"}},
        {"load by alias",
         [&] { dictionary->LoadEntryByAlias("O'Neil", record); },
         {"select * from w_curve_dictionary where CurveName in (select all distinct CurveName "
          "from w_curvealias_data where CurveAlias = 'O''Neil') or CurveName = 'O''Neil'"}},
        {"exists",
         [&] { dictionary->IsEntryExist("GR"); },
         {"w_curve_dictionary", "select * from  w_curve_dictionary where CurveName='GR'"}},
        {"save",
         [&] { dictionary->SaveEntry(Entry("GR", 1.0)); },
         {"w_curve_dictionary", "delete from  w_curve_dictionary where CurveName='GR'",
          "SaveData w_curve_dictionary 1"}},
        {"save several",
         [&] {
             dictionary->SaveEntries({Entry("GR", 1.0), Entry("SP", 2.0)});
         },
         {"w_curve_dictionary", "delete from  w_curve_dictionary where CurveName in ('GR','SP')",
          "w_curve_dictionary", "SaveData w_curve_dictionary 2"}},
        {"load all",
         [&] { dictionary->LoadAllEntries(records); },
         {"select * from w_curve_dictionary",
          "select * from w_curve_dictionary where CurveName='GR'",
          "select * from w_curve_dictionary where CurveName='SP'"}},
        {"delete",
         [&] { dictionary->DeleteEntry("GR"); },
         {"w_curve_dictionary", "delete from w_curve_dictionary where CurveName='GR'"}},
        {"delete several",
         [&] { dictionary->DeleteEntries({"GR"}); },
         {"w_curve_dictionary", "delete from  w_curve_dictionary where CurveName in ('GR')"}},
        {"delete all",
         [&] { dictionary->DeleteAllEntries("P1"); },
         {"delete * from w_curve_dictionary "}},
    });
}

STRATALOOM_ENGINES(CurveDictionaryTest);

}  // namespace
