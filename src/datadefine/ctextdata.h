// Text curves: table w_text_data, named series of depth intervals of a well,
// and the code table b_text_code, which gives each text curve name its text
// type and track type.
#pragma once

#include "datadefine/perwell.h"
#include "strataloom/itextdata.h"

// How w_text_data rows map to text curves: a row is the curve's well and
// name, the text type of the name's code entry, then the interval's columns.
struct TextRows {
    using Set = TextCurveSet;
    static const strataloom::WellTable& Table();
    // The well and the text curve name, written from the set.
    static const strataloom::ColumnTable<TextCurveSet>& SetColumns();
    // The interval's columns, read and written from the record.
    static const strataloom::ColumnTable<TextRecord>& Columns();
    // One new row per record of the set, every row with textType.
    static void WriteRows(CDbManage& session, const TextCurveSet& set, int textType);
};

class CTextData : public strataloom::PerWellData<ITextData, TextRows> {
  public:
    int GetWellNamesWithData(const char* project, NameList& names) override;
    int GetCodeTextCurveNames(NameList& names) override;
    int GetWellTextCurveNames(const char* well, NameList& names) override;
    int GetWellTextCurveNamesOfTrack(const char* well, int trackType, NameList& names) override;
    int GetWellTextCurveNamesOfType(const char* well, int textType, NameList& names) override;
    int LoadTextCurveForWells(const char* textCurve, std::vector<TextCurveSet>& sets) override;
    int LoadWellTextCurve(const char* well, const char* textCurve, TextCurveSet& set) override;
    int LoadWellTextCurvesOfType(const char* well, int textType,
                                 std::vector<TextCurveSet>& sets) override;
    int SaveWellTextCurve(const char* well, const char* textCurve, int trackType,
                          const TextCurveSet& set) override;
    int DeleteWellTextCurve(const char* well, const char* textCurve) override;
    int IsWellTextCurveExist(const char* well, const char* textCurve) override;
    int GetWellsWithTextCurve(const char* textCurve, int textType, NameList& names) override;
    int DeleteTextCurve(const char* textCurve) override;
    int DeleteProjectData(const char* project) override;
    int GetTextType(const char* textCurve, int& textType) override;
    int AddTextCode(const char* textCurve, int trackType) override;
    int GetTextCurveNameOfType(int textType, std::string& name) override;
    virtual ClassEntry* GetClassEntry();
};
