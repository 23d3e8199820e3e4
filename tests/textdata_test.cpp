// Text curves and their code table against a real project database.
#include <algorithm>

#include "strataloom/itextdata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

TextRecord Interval(double top, const std::string& description) {
    TextRecord record;
    record.TopDepth = top;
    record.BottomDepth = top + 5.0;
    record.TextDescription = description;
    return record;
}

TextCurveSet Curve(const std::string& well, const std::string& name,
                   std::vector<TextRecord> records) {
    TextCurveSet set;
    set.WellName = well;
    set.TextCurveName = name;
    set.Records = std::move(records);
    return set;
}

NameList Sorted(NameList names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Descriptions(const TextCurveSet& set) {
    std::vector<std::string> descriptions;
    for (const TextRecord& record : set.Records) descriptions.push_back(record.TextDescription);
    return descriptions;
}

class TextDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        texts = Create<ITextData>("ITextData");
        ASSERT_TRUE(texts);
    }
    // Saves the curve under its own names with track type 1.
    int Save(const TextCurveSet& set) {
        return texts->SaveWellTextCurve(set.WellName.c_str(), set.TextCurveName.c_str(), 1, set);
    }
    void AddCode(const std::string& name, int textType, int trackType) {
        Exec("insert into b_text_code (TextCurveName, TextType, TrackType) values ('" + name +
             "', " + std::to_string(textType) + ", " + std::to_string(trackType) + ")");
    }
    std::unique_ptr<ITextData> texts;
};

TEST_P(TextDataTest, FirstSaveOfANameAddsOneCodeEntryAndRowsTakeItsType) {
    TextCurveSet set = Curve("W1", "F", {Interval(10.0, "a"), Interval(20.0, "b")});
    set.TextType = 9;  // the caller's own: never stored
    ASSERT_EQ(1, texts->SaveWellTextCurve("W1", "F", 3, set));
    EXPECT_EQ(1, Count("b_text_code"));
    EXPECT_EQ(1, Count("b_text_code where TextCurveName='F' and TextType=0 and TrackType=3"));
    EXPECT_EQ(2, Count("w_text_data where TextCurveName='F' and TextType=0"));

    ASSERT_EQ(1, texts->SaveWellTextCurve("W1", "F", 3, set));
    ASSERT_EQ(1, texts->SaveWellTextCurve("W2", "F", 7, Curve("W2", "F", {Interval(1.0, "c")})));
    EXPECT_EQ(1, Count("b_text_code"));
    EXPECT_EQ(3, Count("w_text_data"));

    // The rows follow the code entry, whatever its type has become.
    Exec("update b_text_code set TextType = 4 where TextCurveName = 'F'");
    ASSERT_EQ(1, Save(set));
    EXPECT_EQ(2, Count("w_text_data where WellName='W1' and TextType=4"));
    int type = -1;
    ASSERT_EQ(1, texts->GetTextType("F", type));
    EXPECT_EQ(4, type);
}

TEST_P(TextDataTest, CodeEntriesAreReadAsTheDatabaseGivesThem) {
    int type = 77;
    EXPECT_EQ(0, texts->GetTextType("none", type));
    EXPECT_EQ(77, type);
    std::string name = "kept";
    EXPECT_EQ(1, texts->GetTextCurveNameOfType(2, name));
    EXPECT_EQ("kept", name);
    NameList names;
    EXPECT_EQ(0, texts->GetCodeTextCurveNames(names));

    // A name entered twice: the row read last gives the type.
    AddCode("N", 2, 0);
    AddCode("N", 5, 0);
    ASSERT_EQ(1, texts->GetTextType("N", type));
    EXPECT_EQ(5, type);
    ASSERT_EQ(1, texts->GetTextCurveNameOfType(2, name));
    EXPECT_EQ("N", name);
    // AddTextCode does not look for an entry of the name first.
    ASSERT_EQ(1, texts->AddTextCode("N", 8));
    ASSERT_EQ(1, texts->GetCodeTextCurveNames(names));
    EXPECT_EQ((NameList{"N", "N", "N"}), names);
    EXPECT_EQ(1, Count("b_text_code where TextType=0 and TrackType=8"));
}

TEST_P(TextDataTest, TrackAndTypeQueriesFollowTheCodeTable) {
    AddCode("A", 1, 10);
    AddCode("B", 2, 20);
    AddCode("C", 1, 20);
    ASSERT_EQ(1, Save(Curve("W", "A", {Interval(1.0, "a")})));
    ASSERT_EQ(1, Save(Curve("W", "B", {Interval(2.0, "b"), Interval(3.0, "b")})));
    ASSERT_EQ(1, Save(Curve("V", "C", {Interval(4.0, "c")})));

    NameList names;
    ASSERT_EQ(1, texts->GetWellTextCurveNames("W", names));
    EXPECT_EQ((NameList{"A", "B"}), Sorted(names));
    // Every code name of the track whose text type the well's rows carry:
    // C shares the type of A, which W has.
    names.clear();
    ASSERT_EQ(1, texts->GetWellTextCurveNamesOfTrack("W", 20, names));
    EXPECT_EQ((NameList{"B", "C"}), Sorted(names));
    names.clear();
    ASSERT_EQ(1, texts->GetWellTextCurveNamesOfType("W", 2, names));
    EXPECT_EQ((NameList{"B"}), names);
    names.clear();
    ASSERT_EQ(1, texts->GetWellsWithTextCurve("B", 2, names));
    EXPECT_EQ((NameList{"W"}), names);
    EXPECT_EQ(0, texts->GetWellsWithTextCurve("B", 1, names));
    EXPECT_EQ(1u, names.size());
}

TEST_P(TextDataTest, CurvesOfATypeLoadOneSetPerName) {
    AddCode("A", 1, 0);
    AddCode("B", 1, 0);
    ASSERT_EQ(1, Save(Curve("W", "A", {Interval(9.0, "a9"), Interval(3.0, "a3")})));
    ASSERT_EQ(1, Save(Curve("W", "B", {Interval(5.0, "b5")})));

    std::vector<TextCurveSet> sets(1);
    EXPECT_EQ(1, texts->LoadWellTextCurvesOfType("W", 7, sets));
    ASSERT_EQ(1u, sets.size());
    ASSERT_EQ(1, texts->LoadWellTextCurvesOfType("W", 1, sets));
    ASSERT_EQ(3u, sets.size());
    std::sort(sets.begin() + 1, sets.end(), [](const TextCurveSet& a, const TextCurveSet& b) {
        return a.TextCurveName < b.TextCurveName;
    });
    EXPECT_EQ("W", sets[1].WellName);
    EXPECT_EQ((std::vector<std::string>{"a3", "a9"}), Descriptions(sets[1]));
    EXPECT_EQ("B", sets[2].TextCurveName);
    EXPECT_EQ((std::vector<std::string>{"b5"}), Descriptions(sets[2]));

    // A curve the well does not have leaves the set as it was.
    TextCurveSet untouched = Curve("keep", "keep", {Interval(1.0, "old")});
    EXPECT_EQ(0, texts->LoadWellTextCurve("W", "C", untouched));
    EXPECT_EQ("keep", untouched.WellName);
    EXPECT_EQ("keep", untouched.TextCurveName);
    EXPECT_EQ(1u, untouched.Records.size());

    // A table that cannot be read is a failure, not a well without curves.
    Exec("drop table w_text_data");
    EXPECT_EQ(0, texts->LoadWellTextCurvesOfType("W", 7, sets));
    EXPECT_EQ(3u, sets.size());
}

TEST_P(TextDataTest, CurveForWellsFillsTheCallersSetsInPlace) {
    ASSERT_EQ(1, Save(Curve("A", "T", {Interval(30.0, "a30"), Interval(10.0, "a10")})));
    ASSERT_EQ(1, Save(Curve("B", "T", {Interval(20.0, "b20")})));
    ASSERT_EQ(1, Save(Curve("B", "Other", {Interval(1.0, "other")})));

    std::vector<TextCurveSet> sets{Curve("B", "", {}), Curve("A", "old", {Interval(0.0, "mine")}),
                                   Curve("C", "", {}), Curve("B", "", {})};
    ASSERT_EQ(1, texts->LoadTextCurveForWells("T", sets));
    ASSERT_EQ(4u, sets.size());
    EXPECT_EQ("B", sets[0].WellName);
    EXPECT_EQ("A", sets[1].WellName);
    for (const TextCurveSet& set : sets) EXPECT_EQ("T", set.TextCurveName);
    EXPECT_EQ((std::vector<std::string>{"b20"}), Descriptions(sets[0]));
    EXPECT_EQ((std::vector<std::string>{"mine", "a10", "a30"}), Descriptions(sets[1]));
    EXPECT_TRUE(sets[2].Records.empty());
    EXPECT_EQ((std::vector<std::string>{"b20"}), Descriptions(sets[3]));

    // A curve no well has: nothing changes.
    std::vector<TextCurveSet> none{Curve("A", "old", {})};
    EXPECT_EQ(0, texts->LoadTextCurveForWells("missing", none));
    EXPECT_EQ("old", none[0].TextCurveName);
}

TEST_P(TextDataTest, SaveDeletesByTheArgumentsAndInsertsUnderTheSetsNames) {
    ASSERT_EQ(1, Save(Curve("W", "X", {Interval(1.0, "x")})));
    ASSERT_EQ(1, Save(Curve("W", "Y", {Interval(2.0, "y")})));
    ASSERT_EQ(1, texts->SaveWellTextCurve("W", "X", 6, Curve("W", "Y", {Interval(3.0, "y3")})));
    EXPECT_EQ(0, texts->IsWellTextCurveExist("W", "X"));
    EXPECT_EQ(2, Count("w_text_data where WellName='W' and TextCurveName='Y'"));

    // A curve saved without records is only taken away.
    ASSERT_EQ(1, texts->SaveWellTextCurve("W", "Y", 1, Curve("W", "Y", {})));
    EXPECT_EQ(0, Count("w_text_data"));
}

TEST_P(TextDataTest, ASaveIsAllOrNothingWithItsCodeEntry) {
    ASSERT_EQ(1, Save(Curve("W", "T", {Interval(1.0, "old")})));
    RefuseInsertsWhere("w_text_data", "TextDescription", "bad");
    // The entry made for a new name goes with the rows that failed.
    EXPECT_EQ(0, Save(Curve("W", "New", {Interval(2.0, "fine"), Interval(3.0, "bad")})));
    EXPECT_EQ(0, Count("b_text_code where TextCurveName='New'"));
    EXPECT_EQ(0, texts->IsWellTextCurveExist("W", "New"));
    EXPECT_EQ(1, Count("b_text_code"));

    // Should the code entry of a new name fail, the save fails with it.
    Exec("drop table b_text_code");
    EXPECT_EQ(0, Save(Curve("W", "T", {Interval(2.0, "new")})));
    TextCurveSet set;
    ASSERT_EQ(1, texts->LoadWellTextCurve("W", "T", set));
    EXPECT_EQ((std::vector<std::string>{"old"}), Descriptions(set));
    std::string name = "kept";
    EXPECT_EQ(0, texts->GetTextCurveNameOfType(0, name));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(TextDataTest, DeletesKeepTheCodeEntryAndOtherCurves) {
    Exec("insert into w_well_data (ProjectName, WellName) values ('P1', 'A')");
    Exec("insert into w_well_data (ProjectName, WellName) values ('P2', 'B')");
    for (const char* well : {"A", "B"}) {
        ASSERT_EQ(1, Save(Curve(well, "T", {Interval(1.0, "t")})));
        ASSERT_EQ(1, Save(Curve(well, "U", {Interval(1.0, "u")})));
    }
    ASSERT_EQ(1, texts->DeleteTextCurve("T"));
    EXPECT_EQ(0, Count("w_text_data where TextCurveName='T'"));
    EXPECT_EQ(1, Count("b_text_code where TextCurveName='T'"));
    ASSERT_EQ(1, texts->DeleteWellTextCurve("A", "U"));
    EXPECT_EQ(1, Count("w_text_data"));
    ASSERT_EQ(1, Save(Curve("A", "U", {Interval(1.0, "u")})));
    ASSERT_EQ(1, texts->DeleteProjectData("P1"));
    EXPECT_EQ(0, Count("w_text_data where WellName='A'"));
    EXPECT_EQ(1, texts->IsWellTextCurveExist("B", "U"));
}

TEST_P(TextDataTest, NamesWithPercentSignsAndQuotesArePlainText) {
    const std::string well = "W%s %d 'x'";
    const std::string curve = "50% O'Neil %n";
    ASSERT_EQ(1, Save(Curve(well, curve, {Interval(1.0, "p")})));
    NameList names;
    ASSERT_EQ(1, texts->GetWellTextCurveNames(well.c_str(), names));
    EXPECT_EQ((NameList{curve}), names);
    names.clear();
    ASSERT_EQ(1, texts->GetWellTextCurveNamesOfType(well.c_str(), 0, names));
    ASSERT_EQ(1, texts->GetWellTextCurveNamesOfTrack(well.c_str(), 1, names));
    EXPECT_EQ((NameList{curve, curve}), names);
    int type = -1;
    ASSERT_EQ(1, texts->GetTextType(curve.c_str(), type));
    EXPECT_EQ(0, type);
    EXPECT_EQ(1, texts->IsWellTextCurveExist(well.c_str(), curve.c_str()));
    ASSERT_EQ(1, texts->DeleteWellTextCurve(well.c_str(), curve.c_str()));
    EXPECT_EQ(0, Count("w_text_data"));
}

STRATALOOM_ENGINES(TextDataTest);

}  // namespace
