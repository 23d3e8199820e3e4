#include "datadefine/csectionwelllistdata.h"

#include "datadefine/datahelpers.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CSectionWellListData, "ISectionWellListData")

namespace {

const char kTable[] = "b_sectionwelllist_data";
const char kEmptySectionName[] = "剖面名称不能为空！";
const char kEmptyWellCombination[] = "井名组合不能为空！";

// The loads given a section take its name from their argument.
const ColumnTable<SectionWellListRecord>& SectionColumns() {
    static const ColumnTable<SectionWellListRecord> columns{
        {"Setction_Name", &SectionWellListRecord::Setction_Name, ColumnUse::Key},
        {"Section_WellList", &SectionWellListRecord::Section_WellList},
    };
    return columns;
}

std::vector<ColumnShape> SectionShapes() {
    return ShapesOf({}, SectionColumns());
}
const MappedTable g_mapped(kTable, &SectionShapes);

}  // namespace

int CSectionWellListData::GetSectionNames(NameList& names) {
    return ListNames("select Setction_Name from b_sectionwelllist_data order by Setction_Name",
                     "Setction_Name", names);
}

int CSectionWellListData::LoadSection(const char* name, SectionWellListRecord& record) {
    return LoadNamedRecord(
        "select * from b_sectionwelllist_data where Setction_Name=" + Quoted(name),
        SectionColumns(), record, [&] { record.Setction_Name = TextOrEmpty(name); });
}

int CSectionWellListData::LoadAllSections(std::vector<SectionWellListRecord>& records) {
    return LoadRecords("select * from b_sectionwelllist_data", SectionColumns(), records);
}

int CSectionWellListData::SaveSection(const SectionWellListRecord& record) {
    if (record.Setction_Name.empty()) return Refuse(kEmptySectionName);
    if (record.Section_WellList.empty()) return Refuse(kEmptyWellCombination);
    return Replace(
        kTable,
        "delete from b_sectionwelllist_data where Setction_Name=" + Quoted(record.Setction_Name),
        [&](CDbManage& session) { InsertRecord(session, SectionColumns(), record); });
}

int CSectionWellListData::SaveSections(const std::vector<SectionWellListRecord>& records) {
    if (HoldsZeroByte(records, &SectionWellListRecord::Setction_Name)) return RefuseZeroByteName();
    return Write(kTable, [&](CDbManage& session) {
        // One row per section: the last record of each name.
        const std::vector<bool> keep = LastOfEachKey(
            records, [](const SectionWellListRecord& record) { return record.Setction_Name; });
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (!keep[i]) continue;
            const Statement sql = "delete from  b_sectionwelllist_data where Setction_Name=" +
                                  Quoted(records[i].Setction_Name);
            session.ExecuteSQL(sql);
            InsertRecord(session, SectionColumns(), records[i]);
        }
        return session.SaveData() ? 1 : 0;
    });
}

int CSectionWellListData::DeleteSection(const char* name) {
    if (IsEmptyText(name)) return Refuse(kEmptySectionName);
    return RunDelete(kTable,
                     "delete from b_sectionwelllist_data where Setction_Name=" + Quoted(name));
}

int CSectionWellListData::DeleteAllSections() {
    return RunDelete(kTable, "delete from  b_sectionwelllist_data");
}
