#include "datadefine/csectionwelllistdata.h"

#include <unordered_map>

#include "datadefine/datahelpers.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CSectionWellListData, "ISectionWellListData")

namespace {

const char kTable[] = "b_sectionwelllist_data";
const char kEmptySectionName[] = "剖面名称不能为空！";
const char kEmptyWellCombination[] = "井名组合不能为空！";

void WriteSectionRow(CDbManage& session, const SectionWellListRecord& record) {
    RowWriter row(session);
    row("Setction_Name", record.Setction_Name)("Section_WellList", record.Section_WellList);
}

// Rows are stored only when the batch is saved, so the delete run for a
// repeated section name cannot remove the row queued for its earlier record:
// only the last record of each name is written, one row per section.
std::vector<bool> LastOfEachName(const std::vector<SectionWellListRecord>& records) {
    std::unordered_map<std::string, std::size_t> last;
    for (std::size_t i = 0; i < records.size(); ++i) last[records[i].Setction_Name] = i;
    std::vector<bool> keep(records.size(), false);
    for (const auto& entry : last) keep[entry.second] = true;
    return keep;
}

}  // namespace

int CSectionWellListData::GetSectionNames(NameList& names) {
    return Guarded([&] {
        CDbManage session(Connect());
        return strataloom::ReadNameList(
            session, "select Setction_Name from b_sectionwelllist_data order by Setction_Name",
            "Setction_Name", names);
    });
}

int CSectionWellListData::LoadSection(const char* name, SectionWellListRecord& record) {
    return Guarded([&] {
        const std::string sql =
            "select * from b_sectionwelllist_data where Setction_Name='" + SqlText(name) + "'";
        CDbManage session(Connect());
        if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return 0;
        record.Setction_Name = strataloom::TextOrEmpty(name);
        return session.GetFieldValue("Section_WellList", record.Section_WellList) ? 1 : 0;
    });
}

int CSectionWellListData::LoadAllSections(std::vector<SectionWellListRecord>& records) {
    return Guarded([&] {
        CDbManage session(Connect());
        if (session.GetDataFromDB("select * from b_sectionwelllist_data") != CDbManage::kRows) {
            return 0;
        }
        while (session.Read()) {
            SectionWellListRecord record;
            FieldReader read(session);
            if (!read("Setction_Name", record.Setction_Name)("Section_WellList",
                                                             record.Section_WellList)
                     .Ok()) {
                return 0;
            }
            records.push_back(std::move(record));
        }
        return 1;
    });
}

int CSectionWellListData::SaveSection(const SectionWellListRecord& record) {
    if (record.Setction_Name.empty()) return Refuse(kEmptySectionName);
    if (record.Section_WellList.empty()) return Refuse(kEmptyWellCombination);
    return Atomic(ConnectString(), [&] {
        const std::string sql = "delete from b_sectionwelllist_data where Setction_Name='" +
                                SqlText(record.Setction_Name) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        WriteSectionRow(session, record);
        return session.SaveData() ? 1 : 0;
    });
}

int CSectionWellListData::SaveSections(const std::vector<SectionWellListRecord>& records) {
    return Atomic(ConnectString(), [&] {
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        const std::vector<bool> keep = LastOfEachName(records);
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (!keep[i]) continue;
            const std::string sql = "delete from  b_sectionwelllist_data where Setction_Name='" +
                                    SqlText(records[i].Setction_Name) + "'";
            session.ExecuteSQL(sql.c_str());
            WriteSectionRow(session, records[i]);
        }
        return session.SaveData() ? 1 : 0;
    });
}

int CSectionWellListData::DeleteSection(const char* name) {
    if (IsEmptyText(name)) return Refuse(kEmptySectionName);
    return Atomic(ConnectString(), [&] {
        const std::string sql =
            "delete from b_sectionwelllist_data where Setction_Name='" + SqlText(name) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        return 1;
    });
}

int CSectionWellListData::DeleteAllSections() {
    return Atomic(ConnectString(), [&] {
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL("delete from  b_sectionwelllist_data");
        return 1;
    });
}
