#include "datadefine/cbasicprojectdata.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "datadefine/datahelpers.h"
#include "frame/hostutil.h"

namespace fs = std::filesystem;

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CBasicProjectData, "IBasicProjectData")

namespace {

const char kTable[] = "b_project_data";
const char kTemplateFile[] = "Projects.mdb";
const char kBackupFile[] = "welltrove.bak";
const char kBackupData[] = "welltrove_Data";
const char kBackupLog[] = "welltrove_Log";

const char kProjectDirectoryFailed[] = "创建工区失败!\n工区目录下可能已有名为";
const char kProjectDirectoryFailedEnd[] = "的工区。";
const char kTemplateCopyFailed[] = "创建工区失败!\n因为无法拷贝缺省数据库。";
const char kCreatingDatabase[] = "系统正在创建数据库，请耐心等候...";
const char kDatabaseCreated[] = "数据库创建成功结束！";
const char kDatabaseNotCreated[] = "数据库创建失败！";
const char kEmptyNameOnSave[] = "工区名不能为空！";
const char kTableMissing[] = "工区表为空！";
const char kSaveFailed[] = "保存数据库出错！";
const char kEmptyProjectName[] = "工区名称不能为空！";

// A project name becomes one directory under the parent: it may not name the
// parent itself, climb out of it, or reach into a subdirectory.
bool IsPlainDirectoryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

// The server database name enters the restore statement unquoted.
bool IsBareIdentifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '_') return false;
    }
    return true;
}

// Now in UTC as year-month-day hour:minute:second, numbers without leading zeros.
std::string UtcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

// Restores the application's backup as a new database whose data and log
// files lie beside the program. The backup is taken from beside the program
// when it is there, else from beside the module or from the data folder.
Statement RestoreStatement(const std::string& database) {
    const std::string directory = strataloom::GetCommandDirectory();
    const std::string backupPath = strataloom::LocateDataFile(kBackupFile);
    const Statement backup = Statement::Inline(backupPath);
    const Statement dataFile = Statement::Inline(directory + "/" + database + ".mdf");
    const Statement logFile = Statement::Inline(directory + "/" + database + ".ldf");
    const Statement text = "RESTORE FILELISTONLY FROM DISK = " + backup + " RESTORE DATABASE " +
                           database + " FROM DISK = " + backup + " WITH MOVE '" + kBackupData +
                           "' TO " + dataFile + ",MOVE '" + kBackupLog + "' TO " + logFile;
    return Statement::Request(db::StatementKind::Restore, text.Text(), {database, backupPath});
}

// The loads take the project's name from their argument. The automatic-extent
// flag is read back from the column the save writes, AutoCalcMinMax.
const ColumnTable<BasicProjectRecord>& ProjectColumns() {
    using R = BasicProjectRecord;
    static const ColumnTable<R> columns{
        {"ProjectName", &R::ProjectName, ColumnUse::Key},
        {"Description", &R::Description},
        {"AutoCalcMinMax", &R::AutoCalcMinMax},
        {"EWmin", &R::EWmin},
        {"EWmax", &R::EWmax},
        {"SNmin", &R::SNmin},
        {"SNmax", &R::SNmax},
        {"EllipsoidID", &R::EllipsoidID},
        {"EllipsoidDescription", &R::EllipsoidDescription},
        {"SemiMajor", &R::SemiMajor},
        {"Flattering", &R::Flattering},
        {"ProjectionType", &R::ProjectionType},
        {"ProjectionDescription", &R::ProjectionDescription},
        {"CentralMeridian", &R::CentralMeridian},
        {"OriginLatitude", &R::OriginLatitude},
        {"FalseEasting", &R::FalseEasting},
        {"FalseNorthing", &R::FalseNorthing},
        {"StdParallel1", &R::StdParallel1},
        {"StdParallel2", &R::StdParallel2},
        {"ScaleFactor", &R::ScaleFactor},
        {"Azimuth", &R::Azimuth},
        {"ZoneType", &R::ZoneType},
        {"indexZone", &R::indexZone},
        {"CooridnateType", &R::CooridnateType},
    };
    return columns;
}

// Written from the clock by every save; no load reads it back.
const char kCreatedDate[] = "CreatedDate";

std::vector<ColumnShape> ProjectShapes() {
    return ShapesOf({{kCreatedDate, ColumnKind::Text}}, ProjectColumns());
}
const MappedTable g_mapped(kTable, &ProjectShapes);

}  // namespace

int CBasicProjectData::Reserved(const char*) {
    return Succeed();
}

int CBasicProjectData::CreateProjectFiles(const char* name, const char* parent,
                                          const char* templateDir) {
    return Guarded([&] {
        const std::string project = TextOrEmpty(name);
        const std::string directoryFailed =
            kProjectDirectoryFailed + project + kProjectDirectoryFailedEnd;
        // Without a parent the project would land in the root directory.
        if (!IsPlainDirectoryName(project) || IsEmptyText(parent)) {
            return Refuse(directoryFailed.c_str());
        }
        const fs::path directory = std::string(TextOrEmpty(parent)) + "/" + project;
        std::error_code error;
        // False also when the directory is there already: an existing project is never reused.
        if (!fs::create_directory(directory, error)) return Refuse(directoryFailed.c_str());
        const fs::path database = directory.string() + "/" + project + ".mdb";
        const fs::path source = std::string(TextOrEmpty(templateDir)) + "/" + kTemplateFile;
        if (!fs::copy_file(source, database, fs::copy_options::none, error)) {
            fs::remove_all(directory, error);
            return Refuse(kTemplateCopyFailed);
        }
        // A template shipped read-only must still give a project one can write to.
        fs::permissions(database, fs::perms::owner_write, fs::perm_options::add, error);
        return 1;
    });
}

int CBasicProjectData::CreateSqlServerDatabase(const char* name, const char* serverConnection) {
    return Guarded([&] {
        const std::string database = TextOrEmpty(name);
        if (!IsBareIdentifier(database)) return Refuse(kDatabaseNotCreated);
        CDbManage session(serverConnection);
        const Statement exists = Statement::Request(
            db::StatementKind::DatabaseList,
            ("select * from sysdatabases where name=" + Quoted(database)).Text(), {database});
        if (session.GetDataFromDB(exists) == CDbManage::kRows) {
            db::NoteFailure("the database " + database + " exists on the server already");
            return 0;
        }
        // The wait window stays up until the user has read the outcome.
        strataloom::WaitingDlg wait(kCreatingDatabase);
        const bool restored = session.ExecuteSQL(RestoreStatement(database));
        if (!restored && strataloom::FindDataFile(kBackupFile).empty()) {
            // The server speaks of a file it cannot read: say where it was looked for.
            db::NoteFailure(
                strataloom::MissingDataFileReason(kBackupFile, strataloom::DataFilePlaces()) +
                "; " + db::LastFailure());
        }
        strataloom::AppMessageBox(restored ? kDatabaseCreated : kDatabaseNotCreated);
        return restored ? 1 : 0;
    });
}

int CBasicProjectData::LoadProject(const char* name, BasicProjectRecord& record) {
    return LoadNamedRecord("select * from b_project_data where ProjectName=" + Quoted(name),
                           ProjectColumns(), record,
                           [&] { record.ProjectName = TextOrEmpty(name); });
}

int CBasicProjectData::IsProjectExist(const char* name) {
    return HasRows(kTable,
                   "select ProjectName from b_project_data where ProjectName=" + Quoted(name));
}

int CBasicProjectData::SaveProject(const BasicProjectRecord& record) {
    if (HoldsZeroByte(record.ProjectName)) return RefuseZeroByteName();
    if (record.ProjectName.empty()) return Refuse(kEmptyNameOnSave);
    const Statement sql =
        "delete from b_project_data where ProjectName=" + Quoted(record.ProjectName);
    return WriteOrTell(kTable, kTableMissing, kSaveFailed, [&](CDbManage& session) {
        session.ExecuteSQL(sql);
        InsertRecord(session, ProjectColumns(), record);
        session.SetFieldValue(kCreatedDate, UtcTimestamp());
        return session.SaveData() ? 1 : 0;
    });
}

int CBasicProjectData::DeleteProject(const char* name) {
    if (IsEmptyText(name)) return Refuse(kEmptyProjectName);
    return RunDelete(kTable, "delete from b_project_data where ProjectName=" + Quoted(name));
}
