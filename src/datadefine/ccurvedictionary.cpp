#include "datadefine/ccurvedictionary.h"

#include "datadefine/perwell.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CCurveDictionary, "ICurveDictionary")

namespace {

const char kTable[] = "w_curve_dictionary";
const char kEmptyCurveName[] = "曲线名称不能为空！";

const ColumnTable<CurveDictionaryRecord>& EntryColumns() {
    using R = CurveDictionaryRecord;
    static const ColumnTable<R> columns{
        {"CurveName", &R::CurveName, ColumnUse::Key},
        {"DisplayName", &R::DisplayName},
        {"CurveUnit", &R::CurveUnit},
        {"LeftValue", &R::LeftValue},
        {"RightValue", &R::RightValue},
        {"CurveType", &R::CurveType},
        {"Color", &R::Color},
        {"CurveWidth", &R::CurveWidth},
        {"CoorType", &R::CoorType},
    };
    return columns;
}

std::vector<ColumnShape> EntryShapes() {
    return ShapesOf({}, EntryColumns());
}
const MappedTable g_mapped(kTable, &EntryShapes);

// The aliases are another application's to write: only their two columns
// are read here.
std::vector<ColumnShape> AliasShapes() {
    return {{"CurveAlias", ColumnKind::Text}, {"CurveName", ColumnKind::Text}};
}
const MappedTable g_mappedAliases("w_curvealias_data", &AliasShapes);

Statement CurveIs(const char* name) {
    return "CurveName=" + Quoted(name);
}

}  // namespace

int CCurveDictionary::GetEntryNames(NameList& names) {
    return ListNames(
        "select distinct CurveName from w_curve_dictionary order by w_curve_dictionary.curvename",
        "CurveName", names);
}

int CCurveDictionary::GetDisplayNames(NameList& names) {
    return ListNames("select distinct DisplayName from w_curve_dictionary", "DisplayName", names);
}

int CCurveDictionary::LoadEntry(const char* name, CurveDictionaryRecord& record) {
    return LoadNamedRecord("select * from w_curve_dictionary where " + CurveIs(name),
                           EntryColumns(), record, [&] { record.CurveName = TextOrEmpty(name); });
}

// The entry of that very name, or one the text is an alias of.
int CCurveDictionary::LoadEntryByAlias(const char* name, CurveDictionaryRecord& record) {
    return LoadRecord(
        "select * from w_curve_dictionary where CurveName in (select all distinct "
        "CurveName from w_curvealias_data where CurveAlias = " +
            Quoted(name) + ") or CurveName = " + Quoted(name),
        EntryColumns(), record, KeyColumns::Read);
}

// Each entry is loaded by the object's own LoadEntry, on a session of its
// own beside the one that lists the names.
int CCurveDictionary::LoadAllEntries(std::vector<CurveDictionaryRecord>& records) {
    ICurveDictionary& self = *this;
    return Read([&](CDbManage& session) {
        return ForEachRow(session, "select * from w_curve_dictionary", [&] {
            std::string name;
            if (!session.GetFieldValue("CurveName", name)) return false;
            CurveDictionaryRecord record;
            if (!self.LoadEntry(name.c_str(), record)) return false;
            records.push_back(std::move(record));
            return true;
        });
    });
}

int CCurveDictionary::IsEntryExist(const char* name) {
    return HasRows(kTable, "select * from  w_curve_dictionary where " + CurveIs(name));
}

int CCurveDictionary::SaveEntry(const CurveDictionaryRecord& record) {
    if (HoldsZeroByte(record.CurveName)) return RefuseZeroByteName();
    return Replace(kTable,
                   "delete from  w_curve_dictionary where " + CurveIs(record.CurveName.c_str()),
                   [&](CDbManage& session) { InsertRecord(session, EntryColumns(), record); });
}

// The object's own DeleteEntries clears the names first, on a session it
// closes before the entries go in; both belong to one transaction.
int CCurveDictionary::SaveEntries(const std::vector<CurveDictionaryRecord>& records) {
    if (HoldsZeroByte(records, &CurveDictionaryRecord::CurveName)) return RefuseZeroByteName();
    ICurveDictionary& self = *this;
    NameList names;
    names.reserve(records.size());
    for (const CurveDictionaryRecord& record : records) names.push_back(record.CurveName);
    return ReplaceThroughDelete(
        kTable, DeleteStep::BeforeSession, [&] { return self.DeleteEntries(names); },
        [&](CDbManage& session) {
            for (const CurveDictionaryRecord& record : records) {
                InsertRecord(session, EntryColumns(), record);
            }
        });
}

int CCurveDictionary::DeleteEntry(const char* name) {
    if (IsEmptyText(name)) return Refuse(kEmptyCurveName);
    return RunDelete(kTable, "delete from w_curve_dictionary where " + CurveIs(name));
}

// An empty list deletes nothing and gives 1.
int CCurveDictionary::DeleteEntries(NameList names) {
    return RunDelete(kTable,
                     "delete from  w_curve_dictionary where CurveName in (" + InList(names) + ")");
}

// Every entry goes, whatever the project: the dictionary belongs to none.
int CCurveDictionary::DeleteAllEntries(const char* project) {
    if (IsEmptyText(project)) return RefuseEmptyProjectName();
    return RunDelete(kTable, "delete * from w_curve_dictionary ", TableCheck::Skip);
}
