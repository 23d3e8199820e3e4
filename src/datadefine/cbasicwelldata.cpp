#include "datadefine/cbasicwelldata.h"

#include "datadefine/datahelpers.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CBasicWellData, "IBasicWellData")

namespace {

const char kTable[] = "w_well_data";
const char kEmptyWellName[] = "井名称不能为空！";
const char kEmptyProjectName[] = "工区名称不能为空！";
const char kEmptyProjectOrWellName[] = "工区名称\\井名称不能为空！";

// Every column after WellName, in the order the loads read them.
bool ReadWellFields(FieldReader& read, BasicWellRecord& record) {
    return read("WellType", record.WellType)("Well_EW", record.Well_EW)("Well_SN", record.Well_SN)(
               "WellFlag", record.WellFlag)("WellSymbol", record.WellSymbol)("Kb", record.Kb)(
               "Ekb", record.Ekb)("WellDepth", record.WellDepth)
        .Ok();
}

void WriteWellRow(CDbManage& session, const char* project, const BasicWellRecord& record) {
    RowWriter row(session);
    row("ProjectName", strataloom::TextOrEmpty(project))("WellName", record.WellName)(
        "WellType", record.WellType)("Well_EW", record.Well_EW)("Well_SN", record.Well_SN)(
        "WellFlag", record.WellFlag)("WellSymbol", record.WellSymbol)("Kb", record.Kb)(
        "Ekb", record.Ekb)("WellDepth", record.WellDepth);
}

NameList WellNamesOf(const std::vector<BasicWellRecord>& records) {
    NameList names;
    names.reserve(records.size());
    for (const BasicWellRecord& record : records) names.push_back(record.WellName);
    return names;
}

}  // namespace

int CBasicWellData::GetWellNames(const char* project, NameList& names) {
    return Guarded([&] {
        const std::string sql = "select WellName from w_well_data where ProjectName='" +
                                SqlText(project) + "'order by WellName";
        CDbManage session(Connect());
        return strataloom::ReadNameList(session, sql, "WellName", names);
    });
}

int CBasicWellData::LoadWell(const char* well, BasicWellRecord& record) {
    return Guarded([&] {
        const std::string sql = "select * from w_well_data where WellName='" + SqlText(well) + "'";
        CDbManage session(Connect());
        if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return 0;
        record.WellName = strataloom::TextOrEmpty(well);
        FieldReader read(session);
        return ReadWellFields(read, record) ? 1 : 0;
    });
}

int CBasicWellData::LoadProjectWells(const char* project, std::vector<BasicWellRecord>& records) {
    return Guarded([&] {
        const std::string sql =
            "select * from w_well_data where ProjectName='" + SqlText(project) + "'";
        CDbManage session(Connect());
        if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return 0;
        while (session.Read()) {
            BasicWellRecord record;
            FieldReader read(session);
            read("WellName", record.WellName);
            if (!ReadWellFields(read, record)) return 0;
            records.push_back(std::move(record));
        }
        return 1;
    });
}

int CBasicWellData::IsWellExist(const char* project, const char* well) {
    return Guarded([&] {
        const std::string sql = "select WellName from  w_well_data where WellName='" +
                                SqlText(well) + "' and ProjectName='" + SqlText(project) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        return session.GetDataFromDB(sql.c_str()) == CDbManage::kRows ? 1 : 0;
    });
}

int CBasicWellData::SaveWell(const char* project, const BasicWellRecord& record) {
    if (record.WellName.empty()) return Refuse(kEmptyWellName);
    return Atomic(ConnectString(), [&] {
        const std::string sql =
            "delete from  w_well_data where WellName='" + SqlText(record.WellName) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        WriteWellRow(session, project, record);
        return session.SaveData() ? 1 : 0;
    });
}

int CBasicWellData::GetExistingWells(const char*, const std::vector<BasicWellRecord>& records,
                                     NameList& names) {
    return Guarded([&] {
        const std::string sql = "select WellName from  w_well_data where WellName in (" +
                                InList(WellNamesOf(records)) + ")";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        return strataloom::ReadNameList(session, sql, "WellName", names);
    });
}

int CBasicWellData::SaveWells(const char* project, const std::vector<BasicWellRecord>& records) {
    // DeleteWells would refuse the empty project inside the transaction, with
    // the project locked while the box waits: refuse it here instead.
    if (!records.empty() && IsEmptyText(project)) return Refuse(kEmptyProjectName);
    return Atomic(ConnectString(), [&] {
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        if (records.empty()) return 1;
        const NameList names = WellNamesOf(records);
        if (!DeleteWells(project, names)) return 0;
        // Well names are unique across projects, as SaveWell keeps them: a
        // well saved here also leaves any other project it was under.
        const std::string moved =
            "delete from  w_well_data where WellName in (" + InList(names) + ")";
        session.ExecuteSQL(moved.c_str());
        for (const BasicWellRecord& record : records) WriteWellRow(session, project, record);
        return session.SaveData() ? 1 : 0;
    });
}

int CBasicWellData::DeleteWell(const char* project, const char* well) {
    if (IsEmptyText(project) || IsEmptyText(well)) return Refuse(kEmptyProjectOrWellName);
    return Atomic(ConnectString(), [&] {
        const std::string sql = "delete from w_well_data where WellName='" + SqlText(well) +
                                "' and ProjectName='" + SqlText(project) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        return 1;
    });
}

int CBasicWellData::DeleteWells(const char* project, const NameList& names) {
    if (IsEmptyText(project)) return Refuse(kEmptyProjectName);
    if (names.empty()) return 1;
    return Atomic(ConnectString(), [&] {
        const std::string sql = "delete from  w_well_data where WellName in (" + InList(names) +
                                ") AND ProjectName='" + SqlText(project) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        return 1;
    });
}

int CBasicWellData::DeleteProjectWells(const char* project) {
    if (IsEmptyText(project)) return Refuse(kEmptyProjectName);
    return Atomic(ConnectString(), [&] {
        const std::string sql =
            "delete from  w_well_data where ProjectName='" + SqlText(project) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        return 1;
    });
}
