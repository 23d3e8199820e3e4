// Text curves in the family suite: table w_text_data, one text curve "TC" per
// well, saved and loaded by its name.
#include <algorithm>

#include "strataloom/itextdata.h"
#include "support/family.h"

namespace {

using testsupport::FieldVisitor;

void TextFields(TextRecord& r, FieldVisitor& v) {
    v(r.TopDepth)(r.BottomDepth)(r.TextDescription)(r.Remark)(r.Type);
}

class TextCurves : public testsupport::RecordSetMember<ITextData, TextCurveSet> {
  public:
    TextCurves() : RecordSetMember("TextCurves", "ITextData", "w_text_data", &TextFields) {}

    int SaveWell(const std::string& well, int records, int seed) override {
        TextCurveSet set = Filled(well, records, seed);
        set.TextCurveName = "TC";
        return Object().SaveWellTextCurve(well.c_str(), "TC", 1, set);
    }
    int LoadWell(const std::string& well, std::vector<std::string>& described) override {
        TextCurveSet set;
        const int result = Object().LoadWellTextCurve(well.c_str(), "TC", set);
        described = Describe(set);
        return result;
    }
    int WellsWithData(const std::string& project, NameList& names) override {
        return Object().GetWellNamesWithData(project.c_str(), names);
    }
    // The wells of the text curve that are among wells; the new code entry
    // of "TC" has text type 0.
    int StoredWells(const NameList& wells, NameList& names) override {
        NameList all;
        const int result = Object().GetWellsWithTextCurve("TC", 0, all);
        for (const std::string& well : all) {
            if (std::find(wells.begin(), wells.end(), well) != wells.end()) names.push_back(well);
        }
        return result;
    }
    bool ListsEveryStoredRow() const override { return false; }
    int DeleteProject(const std::string& project) override {
        return Object().DeleteProjectData(project.c_str());
    }
    int DeleteWell(const std::string& well) override {
        return Object().DeleteWellTextCurve(well.c_str(), "TC");
    }

    std::vector<testsupport::Refusal> Refusals() override {
        const char* well = "井名称不能为空！";
        return {
            {"save without well",
             [this] { return Object().SaveWellTextCurve("W1", "TC", 1, Named("", "TC")); }, well},
            {"save without text curve",
             [this] { return Object().SaveWellTextCurve("W1", "TC", 1, Named("W1", "")); },
             "文本曲线名称不能为空！"},
            {"delete well curve", [this] { return Object().DeleteWellTextCurve(nullptr, "TC"); },
             well},
            {"exists", [this] { return Object().IsWellTextCurveExist("", "TC"); }, well},
            {"delete curve", [this] { return Object().DeleteTextCurve(""); }, "文本类型不能为空！"},
            {"delete project", [this] { return Object().DeleteProjectData(""); },
             "工区名称不能为空！"},
        };
    }

    std::vector<testsupport::Statements> ExactStatements() override {
        ITextData& t = Object();
        const std::string ofType0 =
            "select distinct TextCurveName from w_text_data where TextType = 0 and WellName='W1'";
        const std::string loadTc =
            "select * from w_text_data where WellName='W1'and TextCurveName='TC'order by TopDepth";
        return {
            {"wells with data",
             [&t] {
                 NameList names;
                 t.GetWellNamesWithData("P1", names);
             },
             {"select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' "
              "and exists( select w_text_data.wellname from w_text_data where "
              "w_well_data.wellname = w_text_data.wellname )  order by w_well_data.wellname "}},
            {"code names",
             [&t] {
                 NameList names;
                 t.GetCodeTextCurveNames(names);
             },
             {"select b_text_code.TextCurveName from b_text_code "}},
            {"well curve names",
             [&t] {
                 NameList names;
                 t.GetWellTextCurveNames("W1", names);
             },
             {"select distinct TextCurveName from w_text_data where WellName = 'W1'"}},
            {"names of track",
             [&t] {
                 NameList names;
                 t.GetWellTextCurveNamesOfTrack("%s%d", -3, names);
             },
             {"select distinct b_text_code.TextCurveName from b_text_code, w_text_data where "
              "b_text_code.TrackType = -3 and w_text_data.WellName = '%s%d' and "
              "b_text_code.TextType = w_text_data.TextType "}},
            {"names of type",
             [&t] {
                 NameList names;
                 t.GetWellTextCurveNamesOfType("W1", 0, names);
             },
             {ofType0}},
            {"load for wells",
             [&t] {
                 std::vector<TextCurveSet> sets(1);
                 t.LoadTextCurveForWells("TC", sets);
             },
             {"select * from w_text_data where TextCurveName='TC'order by TopDepth"}},
            {"load well curve",
             [&t] {
                 TextCurveSet set;
                 t.LoadWellTextCurve("W1", "TC", set);
             },
             {loadTc}},
            {"load of type",
             [&t] {
                 std::vector<TextCurveSet> sets;
                 t.LoadWellTextCurvesOfType("W1", 0, sets);
             },
             {ofType0, loadTc}},
            {"save under a known name",
             [&t] { t.SaveWellTextCurve("W1", "TC", 1, Named("W1", "TC")); },
             {"w_text_data", "delete from w_text_data where WellName='W1'and TextCurveName='TC'",
              "select TextType from b_text_code where TextCurveName = 'TC'",
              "SaveData w_text_data 1"}},
            {"save under a new name",
             [&t] { t.SaveWellTextCurve("W1", "N%d", 3, Named("W1", "N%d")); },
             {"w_text_data", "delete from w_text_data where WellName='W1'and TextCurveName='N%d'",
              "select TextType from b_text_code where TextCurveName = 'N%d'", "b_text_code",
              "SaveData b_text_code 1",
              "select TextType from b_text_code where TextCurveName = 'N%d'",
              "SaveData w_text_data 1"}},
            {"delete well curve",
             [&t] { t.DeleteWellTextCurve("W9", "TC"); },
             {"w_text_data", "delete from w_text_data where WellName='W9'and TextCurveName='TC'"}},
            {"exists",
             [&t] { t.IsWellTextCurveExist("W1", "TC"); },
             {"w_text_data",
              "select * from w_text_data where WellName='W1'and TextCurveName ='TC'"}},
            {"wells with curve",
             [&t] {
                 NameList names;
                 t.GetWellsWithTextCurve("TC", 0, names);
             },
             {"select distinct WellName from w_text_data where TextType = 0 and "
              "TextCurveName='TC'"}},
            {"delete curve",
             [&t] { t.DeleteTextCurve("X9"); },
             {"w_text_data", "delete from  w_text_data where TextCurveName='X9'"}},
            {"delete project",
             [&t] { t.DeleteProjectData("P9"); },
             {"w_text_data",
              "delete from w_text_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_text_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
            {"text type",
             [&t] {
                 int type = 0;
                 t.GetTextType("TC", type);
             },
             {"select TextType from b_text_code where TextCurveName = 'TC'"}},
            {"add code",
             [&t] { t.AddTextCode("X9", 2); },
             {"b_text_code", "SaveData b_text_code 1"}},
            {"name of type",
             [&t] {
                 std::string name;
                 t.GetTextCurveNameOfType(7, name);
             },
             {"select TextCurveName from b_text_code where TextType = 7 "}},
        };
    }

  private:
    static TextCurveSet Named(const char* well, const char* textCurve) {
        TextCurveSet set;
        set.WellName = well;
        set.TextCurveName = textCurve;
        set.Records.resize(1);
        return set;
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(TextCurves, std::make_unique<TextCurves>())
