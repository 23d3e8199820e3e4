#include "datadefine/ctextdata.h"

#include <unordered_map>

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CTextData, "ITextData")

namespace {

const char kTable[] = "w_text_data";
const char kCodeTable[] = "b_text_code";
// The text type column of both tables. In w_text_data it is written from the
// name's code entry and never read back into a set.
const char kTextType[] = "TextType";

const char kEmptyTextCurveNameMessage[] = "文本曲线名称不能为空！";
const char kEmptyTextTypeMessage[] = "文本类型不能为空！";

std::vector<ColumnShape> TextShapes() {
    return ShapesOf({{kTextType, ColumnKind::Int32}}, TextRows::SetColumns(), TextRows::Columns());
}
const MappedTable g_mapped(kTable, &TextShapes);

// AddTextCode sets every column of an entry by hand.
std::vector<ColumnShape> CodeShapes() {
    return ShapesOf({{"TextCurveName", ColumnKind::Text},
                     {kTextType, ColumnKind::Int32},
                     {"TrackType", ColumnKind::Int32}});
}
const MappedTable g_mappedCodes(kCodeTable, &CodeShapes);

// "WellName='" + well + "'and TextCurveName='" + name + "'": one text curve
// of one well (no blank after the well's closing quote).
Statement WellCurveIs(const char* well, const char* textCurve) {
    return WellIs(well) + "and TextCurveName=" + Quoted(textCurve);
}

// The names of the well's text curves of a text type.
Statement WellCurvesOfType(const char* well, int textType) {
    return "select distinct TextCurveName from w_text_data where TextType = " +
           std::to_string(textType) + " and " + WellIs(well);
}

// The text type of the name's code entry; an entry is made first when the
// name has none. 0 when neither lookup finds one: should the entry not be
// made, its failure undoes the save that asked anyway.
int CodeTypeOf(ITextData& self, const char* textCurve, int trackType) {
    int textType = 0;
    if (!self.GetTextType(textCurve, textType)) {
        self.AddTextCode(textCurve, trackType);
        self.GetTextType(textCurve, textType);
    }
    return textType;
}

}  // namespace

const strataloom::WellTable& TextRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<TextCurveSet>& TextRows::SetColumns() {
    static const ColumnTable<TextCurveSet> columns{
        {"WellName", &TextCurveSet::WellName, ColumnUse::Key},
        {"TextCurveName", &TextCurveSet::TextCurveName, ColumnUse::Key},
    };
    return columns;
}

const ColumnTable<TextRecord>& TextRows::Columns() {
    static const ColumnTable<TextRecord> columns{
        {"TopDepth", &TextRecord::TopDepth},
        {"BottomDepth", &TextRecord::BottomDepth},
        {"TextDescription", &TextRecord::TextDescription},
        {"Remark", &TextRecord::Remark},
        {"Type", &TextRecord::Type},
    };
    return columns;
}

void TextRows::WriteRows(CDbManage& session, const TextCurveSet& set, int textType) {
    for (const TextRecord& record : set.Records) {
        session.AddNew();
        SetColumns().Write(session, set);
        session.SetFieldValue(kTextType, textType);
        Columns().Write(session, record);
    }
}

int CTextData::GetWellNamesWithData(const char* project, NameList& names) {
    return ListWellsWithData(project, names);
}

int CTextData::GetCodeTextCurveNames(NameList& names) {
    return ListNames("select b_text_code.TextCurveName from b_text_code ", "TextCurveName", names);
}

int CTextData::GetWellTextCurveNames(const char* well, NameList& names) {
    return ListNames(
        "select distinct TextCurveName from w_text_data where WellName = " + Quoted(well),
        "TextCurveName", names);
}

int CTextData::GetWellTextCurveNamesOfTrack(const char* well, int trackType, NameList& names) {
    return ListNames(
        "select distinct b_text_code.TextCurveName from b_text_code, w_text_data "
        "where b_text_code.TrackType = " +
            std::to_string(trackType) + " and w_text_data.WellName = " + Quoted(well) +
            " and b_text_code.TextType = w_text_data.TextType ",
        "TextCurveName", names);
}

int CTextData::GetWellTextCurveNamesOfType(const char* well, int textType, NameList& names) {
    return ListNames(WellCurvesOfType(well, textType), "TextCurveName", names);
}

// One query over every well; each row goes to the caller's sets of its well.
int CTextData::LoadTextCurveForWells(const char* textCurve, std::vector<TextCurveSet>& sets) {
    if (HoldsZeroByte(sets, &TextCurveSet::WellName)) return RefuseZeroByteName();
    const Statement sql =
        "select * from w_text_data where TextCurveName=" + Quoted(textCurve) + "order by TopDepth";
    return Read([&](CDbManage& session) {
        if (session.GetDataFromDB(sql) != CDbManage::kRows) return 0;
        // A well may stand in several sets: each of them receives its rows.
        std::unordered_map<std::string, std::vector<TextCurveSet*>> setsOf;
        for (TextCurveSet& set : sets) {
            set.TextCurveName = TextOrEmpty(textCurve);
            setsOf[set.WellName].push_back(&set);
        }
        while (session.Read()) {
            TextRecord record;
            std::string well;
            if (!TextRows::Columns().Read(session, record) ||
                !session.GetFieldValue("WellName", well)) {
                return 0;
            }
            const auto found = setsOf.find(well);
            if (found == setsOf.end()) continue;
            for (TextCurveSet* set : found->second) set->Records.push_back(record);
        }
        return 1;
    });
}

int CTextData::LoadWellTextCurve(const char* well, const char* textCurve, TextCurveSet& set) {
    return LoadOwnedRecords(
        "select * from w_text_data where " + WellCurveIs(well, textCurve) + "order by TopDepth",
        TextRows::Columns(), set.Records, [&] {
            set.WellName = TextOrEmpty(well);
            set.TextCurveName = TextOrEmpty(textCurve);
        });
}

// Each text curve of the type is loaded through the object's own load. A
// listing that cannot run fails the load: a broken table must not look like a
// well without curves of the type.
int CTextData::LoadWellTextCurvesOfType(const char* well, int textType,
                                        std::vector<TextCurveSet>& sets) {
    NameList textCurves;
    if (!ListNames(WellCurvesOfType(well, textType), "TextCurveName", textCurves,
                   NoRows::Succeed)) {
        return 0;
    }
    ITextData& self = *this;
    return LoadEachWell(textCurves, sets, [&](const char* textCurve, TextCurveSet& set) {
        return self.LoadWellTextCurve(well, textCurve, set);
    });
}

// The delete and the code entry go by the arguments, the new rows by the
// set's own names: a set named otherwise is added beside the curve it replaces.
int CTextData::SaveWellTextCurve(const char* well, const char* textCurve, int trackType,
                                 const TextCurveSet& set) {
    if (AnyHoldsZeroByte(set.WellName, set.TextCurveName)) return RefuseZeroByteName();
    if (set.WellName == "") return strataloom::RefuseEmptyWellName();
    if (set.TextCurveName == "") return Refuse(kEmptyTextCurveNameMessage);
    ITextData& self = *this;
    // A new curve's code entry is written too: a server write queues on both
    // tables at once, so that it never holds one while waiting for the other.
    return Replace(Statement::WholeTable(kTable).On(kCodeTable),
                   "delete from w_text_data where " + WellCurveIs(well, textCurve),
                   [&](CDbManage& session) {
                       TextRows::WriteRows(session, set, CodeTypeOf(self, textCurve, trackType));
                   });
}

int CTextData::DeleteWellTextCurve(const char* well, const char* textCurve) {
    if (IsEmptyText(well)) return strataloom::RefuseEmptyWellName();
    return RunDelete(kTable, "delete from w_text_data where " + WellCurveIs(well, textCurve));
}

int CTextData::IsWellTextCurveExist(const char* well, const char* textCurve) {
    if (IsEmptyText(well)) return strataloom::RefuseEmptyWellName();
    // A blank before "=" here.
    return HasRows(kTable, "select * from w_text_data where " + WellIs(well) +
                               "and TextCurveName =" + Quoted(textCurve));
}

int CTextData::GetWellsWithTextCurve(const char* textCurve, int textType, NameList& names) {
    return ListNames("select distinct WellName from w_text_data where TextType = " +
                         std::to_string(textType) + " and TextCurveName=" + Quoted(textCurve),
                     "WellName", names);
}

// Every well's rows of the curve go; its code entry stays.
int CTextData::DeleteTextCurve(const char* textCurve) {
    if (IsEmptyText(textCurve)) return Refuse(kEmptyTextTypeMessage);
    return RunDelete(kTable, "delete from  w_text_data where TextCurveName=" + Quoted(textCurve));
}

int CTextData::DeleteProjectData(const char* project) {
    if (IsEmptyText(project)) return strataloom::RefuseEmptyProjectName();
    return DeleteProjectRows(project);
}

// Every entry of the name is read: with several, the last row's type stays.
int CTextData::GetTextType(const char* textCurve, int& textType) {
    const Statement sql =
        "select TextType from b_text_code where TextCurveName = " + Quoted(textCurve);
    return Read([&](CDbManage& session) {
        return ForEachRow(session, sql, [&] { return session.GetFieldValue(kTextType, textType); });
    });
}

// A new entry always has text type 0; an entry of the same name is not looked for.
int CTextData::AddTextCode(const char* textCurve, int trackType) {
    return Write(kCodeTable, [&](CDbManage& session) {
        session.AddNew();
        session.SetFieldValue("TrackType", trackType);
        session.SetFieldValue("TextCurveName", TextOrEmpty(textCurve));
        session.SetFieldValue(kTextType, 0);
        return session.SaveData() ? 1 : 0;
    });
}

// A type without entries is no failure: only a query that cannot run is.
int CTextData::GetTextCurveNameOfType(int textType, std::string& name) {
    const std::string sql =
        "select TextCurveName from b_text_code where TextType = " + std::to_string(textType) + " ";
    return Read([&](CDbManage& session) {
        if (session.GetDataFromDB(sql) == CDbManage::kFailed) return 0;
        // With several entries the last row's name stays.
        while (session.Read()) {
            if (!session.GetFieldValue("TextCurveName", name)) return 0;
        }
        return 1;
    });
}
