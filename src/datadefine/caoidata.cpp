#include "datadefine/caoidata.h"

#include "datadefine/datahelpers.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CAOIData, "IAOIData")

namespace {

const char kTable[] = "b_aoi_data";
const char kGlobalArea[] = "Global";
const char kEmptyAreaName[] = "AOI区域名不能为空！";
const char kTableMissing[] = "AOI区域表为空！";
const char kSaveFailed[] = "保存数据库出错！";

bool ReadBounds(FieldReader& read, AOIRecord& record) {
    return read("Xmin", record.Xmin)("Xmax", record.Xmax)("Ymin", record.Ymin)("Ymax", record.Ymax)
        .Ok();
}

void WriteAreaRow(CDbManage& session, const char* project, const std::string& area, double xmin,
                  double xmax, double ymin, double ymax) {
    RowWriter row(session);
    row("ProjectName", TextOrEmpty(project))("AOIName", area)("Xmin", xmin)("Xmax", xmax)(
        "Ymin", ymin)("Ymax", ymax);
}

}  // namespace

int CAOIData::LoadAOI(const char* name, AOIRecord& record) {
    return Guarded([&] {
        const std::string sql = "select * from b_aoi_data where AOIName='" + SqlText(name) + "'";
        CDbManage session(Connect());
        if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return 0;
        record.AOIName = TextOrEmpty(name);
        FieldReader read(session);
        read("ProjectName", record.ProjectName);
        return ReadBounds(read, record) ? 1 : 0;
    });
}

int CAOIData::GetAOINames(const char*, NameList& names) {
    return Guarded([&] {
        CDbManage session(Connect());
        return strataloom::ReadNameList(session, "select AOIName from b_aoi_data", "AOIName",
                                        names);
    });
}

int CAOIData::LoadProjectAOIs(const char* project, std::vector<AOIRecord>& records) {
    return Guarded([&] {
        const std::string sql =
            "select * from b_aoi_data where ProjectName='" + SqlText(project) + "'";
        CDbManage session(Connect());
        if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return 0;
        while (session.Read()) {
            AOIRecord record;
            FieldReader read(session);
            read("AOIName", record.AOIName)("ProjectName", record.ProjectName);
            if (!ReadBounds(read, record)) return 0;
            records.push_back(std::move(record));
        }
        return 1;
    });
}

int CAOIData::IsAOIExist(const char* name) {
    return Guarded([&] {
        const std::string sql =
            "select AOIName from b_aoi_data where AOIName='" + SqlText(name) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        return session.GetDataFromDB(sql.c_str()) == CDbManage::kRows ? 1 : 0;
    });
}

int CAOIData::SaveGlobalAOI(const char* project, const BasicProjectRecord& header) {
    bool tableOpened = true;
    const int saved = Atomic(ConnectString(), [&] {
        tableOpened = true;  // a transaction that starts over starts with a clean slate
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) {
            tableOpened = false;
            return 0;
        }
        // Map X is east-west, Y south-north.
        WriteAreaRow(session, project, kGlobalArea, header.EWmin, header.EWmax, header.SNmin,
                     header.SNmax);
        return session.SaveData() ? 1 : 0;
    });
    if (saved) return 1;
    // A missing table is reported by the result alone; the box waits only after the rollback.
    return tableOpened ? Refuse(kSaveFailed) : 0;
}

int CAOIData::SaveAOI(const char* project, const AOIRecord& record) {
    if (record.AOIName.empty()) return Refuse(kEmptyAreaName);
    const char* failure = kSaveFailed;
    const int saved = Atomic(ConnectString(), [&] {
        failure = kSaveFailed;  // a transaction that starts over starts with a clean slate
        const std::string sql =
            "delete from b_aoi_data where AOIName='" + SqlText(record.AOIName) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) {
            failure = kTableMissing;
            return 0;
        }
        // Areas are addressed by name alone: the name leaves any other project.
        session.ExecuteSQL(sql.c_str());
        WriteAreaRow(session, project, record.AOIName, record.Xmin, record.Xmax, record.Ymin,
                     record.Ymax);
        return session.SaveData() ? 1 : 0;
    });
    // Shown only after the transaction has ended, so no lock waits on the user.
    return saved ? 1 : Refuse(failure);
}

int CAOIData::DeleteAOI(const char* name) {
    if (IsEmptyText(name)) return Refuse(kEmptyAreaName);
    return Atomic(ConnectString(), [&] {
        const std::string sql = "delete from b_aoi_data where AOIName='" + SqlText(name) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        return 1;
    });
}
