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

// Why name cannot be a project folder under parent, in English; empty when it can.
std::string ProjectNameProblem(const std::string& name, const char* parent) {
    if (name.empty()) return "the project name is empty";
    if (!IsPlainDirectoryName(name)) {
        return "the project name \"" + name +
               "\" is not a folder name (it may not be . or .. or hold / or \\)";
    }
    if (IsEmptyText(parent)) return "no parent folder was given for the project " + name;
    return "";
}

// Why the project folder could not be made under parent, in English.
std::string ProjectFolderProblem(const fs::path& parent, const fs::path& directory,
                                 const std::error_code& error) {
    std::error_code probe;
    if (!fs::exists(parent, probe)) {
        return "the parent folder " + parent.string() + " does not exist";
    }
    if (!fs::is_directory(parent, probe)) return parent.string() + " is not a folder";
    if (fs::exists(fs::symlink_status(directory, probe))) {
        return directory.string() + " exists already: a project is never made over it";
    }
    return "cannot make the folder " + directory.string() + ": " + error.message();
}

// Why the template could not be copied into the new project, in English.
std::string TemplateCopyProblem(const fs::path& source, const fs::path& database,
                                const std::error_code& error) {
    std::error_code probe;
    if (!fs::is_regular_file(source, probe)) {
        return "the template project database " + source.string() + " does not exist";
    }
    return "cannot copy the template project database " + source.string() + " to " +
           database.string() + ": " + error.message();
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
        const std::string nameProblem = ProjectNameProblem(project, parent);
        if (!nameProblem.empty()) return Refuse(directoryFailed.c_str(), nameProblem);
        const fs::path parentDir = TextOrEmpty(parent);
        const fs::path directory = parentDir.string() + "/" + project;
        std::error_code error;
        // False also when the directory is there already: an existing project is never reused.
        if (!fs::create_directory(directory, error)) {
            return Refuse(directoryFailed.c_str(),
                          ProjectFolderProblem(parentDir, directory, error));
        }
        const fs::path database = directory.string() + "/" + project + ".mdb";
        const fs::path source = std::string(TextOrEmpty(templateDir)) + "/" + kTemplateFile;
        if (!fs::copy_file(source, database, fs::copy_options::none, error)) {
            const std::string why = TemplateCopyProblem(source, database, error);
            fs::remove_all(directory, error);
            return Refuse(kTemplateCopyFailed, why);
        }
        // A template shipped read-only must still give a project one can write to.
        fs::permissions(database, fs::perms::owner_write, fs::perm_options::add, error);
        return 1;
    });
}

int CBasicProjectData::CreateSqlServerDatabase(const char* name, const char* serverConnection) {
    return Guarded([&] {
        const std::string database = TextOrEmpty(name);
        if (!IsBareIdentifier(database)) {
            return Refuse(kDatabaseNotCreated,
                          database.empty() ? "the database name is empty"
                                           : "the database name \"" + database +
                                                 "\" is not a plain name (letters, digits and _, "
                                                 "not starting with a digit)");
        }
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
