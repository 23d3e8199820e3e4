#include "formats/projectcopy.h"

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>

#include "dbaccess/sqltext.h"
#include "formats/commandsupport.h"
#include "formats/copysides.h"
#include "formats/directdb.h"
#include "formats/interrupt.h"
#include "formats/owntables.h"
#include "strataloom/ibasicprojectdata.h"

namespace fs = std::filesystem;

namespace strataloom::formats {

namespace {

const char kTemplateFile[] = "Projects.mdb";
// A new server database is made through the server's maintenance database.
const char kMaintenanceDatabase[] = "postgres";
// Progress is redrawn after this many rows, or bytes of table data.
constexpr std::uint64_t kRowsPerProgress = 4096;
constexpr std::uint64_t kBytesPerProgress = 8 << 20;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// ---- the target ---------------------------------------------------------

// Where the copy goes: a new project folder or a new server database.
struct Target {
    bool server = false;
    std::string connect;      // the new project's connection string
    std::string name;         // the project folder's name, or the database's
    std::string parent;       // the folder the project folder is made in
    std::string maintenance;  // the server's maintenance database

    std::string Describe() const {
        return server ? "server database " + name : "project folder " + FolderPath();
    }
    std::string FolderPath() const { return (fs::path(parent) / name).string(); }
};

// A value of a key=value connection string, quoted as the client library reads it.
std::string ConnectValue(const std::string& value) {
    std::string quoted = "'";
    for (char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

// The database a server connection string names, and the string of the
// same server's maintenance database.
bool ReadServerTarget(const std::string& connect, Target& target, std::string& reason) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(connect.c_str(), &message);
    if (!options) {
        reason = "the target is not a connection string the server's client reads: " +
                 std::string(message ? message : "");
        PQfreemem(message);
        return false;
    }
    for (PQconninfoOption* option = options; option->keyword; ++option) {
        if (!option->val || !*option->val) continue;
        const std::string keyword = option->keyword;
        if (keyword == "dbname") {
            target.name = option->val;
        } else {
            target.maintenance += keyword + "=" + ConnectValue(option->val) + " ";
        }
    }
    PQconninfoFree(options);
    target.maintenance += std::string("dbname=") + kMaintenanceDatabase;
    target.server = true;
    target.connect = connect;
    if (target.name.empty()) {
        reason =
            "the target connection string names no database: give the new database's "
            "name as dbname=NAME (or after the server in a URI)";
        return false;
    }
    return true;
}

// FOLDER/NAME or FOLDER/NAME/NAME.mdb: the project folder NAME made in FOLDER.
bool ReadFileTarget(const std::string& named, Target& target, std::string& reason) {
    fs::path path = fs::path(ProjectFilePath(named)).lexically_normal();
    if (!path.has_filename()) path = path.parent_path();
    if (path.extension() == ".mdb") {
        if (path.parent_path().filename() != path.stem()) {
            reason = "a project file is FOLDER/NAME/NAME.mdb; " + path.string() +
                     " is not: name the new project folder instead";
            return false;
        }
        path = path.parent_path();
    }
    target.name = path.filename().string();
    target.parent = path.has_parent_path() ? path.parent_path().string() : ".";
    target.connect = (path / (target.name + ".mdb")).string();
    if (target.name.empty() || target.name == "." || target.name == "..") {
        reason = "the target names no project folder: " + named;
        return false;
    }
    std::error_code error;
    if (!fs::is_directory(target.parent, error)) {
        reason = "the folder " + target.parent + " does not exist";
        return false;
    }
    return true;
}

// One connection to the maintenance database: whether the database exists,
// and dropping it.
class Maintenance {
  public:
    explicit Maintenance(const std::string& connect)
        : connection_(OpenServerDatabase(connect, DirectConnection::Access::kWrite, openFailure_)) {
    }

    bool Reached(std::string& reason) const {
        if (connection_) return true;
        reason = "cannot reach the server's maintenance database: " + openFailure_;
        return false;
    }
    // 1: it exists, 0: it does not, -1: the server did not say.
    int Exists(const std::string& name, std::string& reason) const {
        int exists = 0;
        const auto found = [&exists](const DbRow&) {
            exists = 1;
            return false;
        };
        if (connection_->Each("SELECT 1 FROM pg_catalog.pg_database WHERE datname = ?", {name},
                              found)) {
            return exists;
        }
        reason = "cannot list the server's databases: " + connection_->Failure();
        return -1;
    }
    // Drops the database, ending the connections hosts may still hold on it.
    bool Drop(const std::string& name, std::string& reason) const {
        const std::string sql = "DROP DATABASE IF EXISTS " + db::QuoteIdentifier(name);
        // Servers before version 13 know no FORCE.
        if (connection_->Run(sql + " WITH (FORCE)") || connection_->Run(sql)) return true;
        reason = connection_->Failure();
        return false;
    }

  private:
    std::string openFailure_;
    std::unique_ptr<DirectConnection> connection_;
};

// Removes the target this run made unless the copy is kept: whatever ends
// the copy early, no half-filled project stays behind.
class NewTarget {
  public:
    NewTarget(const Target& target, std::ostream& err) : target_(target), err_(err) {}
    ~NewTarget() {
        if (!made_ || kept_) return;
        std::string reason;
        if (Remove(reason)) {
            err_ << "strataloom: the new " << target_.Describe() << " was removed again\n";
        } else {
            err_ << "strataloom: the new " << target_.Describe()
                 << " could not be removed: " << reason << "; remove it by hand\n";
        }
    }
    NewTarget(const NewTarget&) = delete;
    NewTarget& operator=(const NewTarget&) = delete;

    void Made() { made_ = true; }
    void Keep() { kept_ = true; }

  private:
    bool Remove(std::string& reason) const {
        if (target_.server) {
            Maintenance maintenance(target_.maintenance);
            return maintenance.Reached(reason) && maintenance.Drop(target_.name, reason);
        }
        std::error_code error;
        fs::remove_all(target_.FolderPath(), error);
        if (error) reason = error.message();
        return !error;
    }

    const Target& target_;
    std::ostream& err_;
    bool made_ = false;
    bool kept_ = false;
};

// The template folder given, or the first of those the host names that holds one.
bool FindTemplate(const CopyProjectOptions& options, const CommandIo& io, std::string& dir,
                  std::string& reason) {
    std::vector<std::string> candidates = io.templateDirs;
    if (!options.templateDir.empty()) candidates = {options.templateDir};
    std::string searched;
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(fs::path(candidate) / kTemplateFile, error)) {
            dir = candidate;
            return true;
        }
        searched += (searched.empty() ? "" : ", ") + candidate;
    }
    reason = std::string("the template project database ") + kTemplateFile +
             " is in none of: " + (searched.empty() ? "(no folder known)" : searched) +
             "; give its folder with --template DIR";
    return false;
}

// Whether the target is there already (refused: it is left as it is).
int TargetExists(const Target& target, std::string& reason) {
    if (target.server) {
        Maintenance maintenance(target.maintenance);
        if (!maintenance.Reached(reason)) return -1;
        return maintenance.Exists(target.name, reason);
    }
    std::error_code error;
    return fs::exists(fs::symlink_status(target.FolderPath(), error)) ? 1 : 0;
}

// Makes the target through the module, as create-project does.
bool CreateTarget(IDataFactory& factory, const Target& target, const std::string& templateDir,
                  CommandIo& io, std::string& reason) {
    std::unique_ptr<IBasicProjectData> projects(
        dynamic_cast<IBasicProjectData*>(factory.CreateObject("IBasicProjectData")));
    if (!projects) {
        reason = "the module has no IBasicProjectData";
        return false;
    }
    const int made =
        target.server
            ? projects->CreateSqlServerDatabase(target.name.c_str(), target.maintenance.c_str())
            : projects->CreateProjectFiles(target.name.c_str(), target.parent.c_str(),
                                           templateDir.c_str());
    if (made) return true;
    reason = "the new " + target.Describe() + " could not be made";
    const std::string module = io.failureReason ? io.failureReason() : "";
    if (!module.empty()) reason += ": " + module;
    return false;
}

std::unique_ptr<DirectConnection> OpenSide(const std::string& connect, bool writable,
                                           std::string& reason) {
    if (!IsServerConnection(connect)) {
        std::error_code error;
        if (!fs::is_regular_file(ProjectFilePath(connect), error)) {
            reason = "no such file";
            return nullptr;
        }
    }
    using Access = DirectConnection::Access;
    return DirectConnection::Open(connect, writable ? Access::kWrite : Access::kRead, reason);
}

// ok, taking the connection's failure as the reason when it is false.
bool Checked(bool ok, const DirectConnection& db, std::string& reason) {
    if (!ok) reason = db.Failure();
    return ok;
}

// Streams a table's columns to visit; a reason visit gave when it stopped is kept.
bool ReadColumns(DirectConnection& db, const std::string& table,
                 const std::vector<DbColumn>& columns, const DirectConnection::RowVisitor& visit,
                 std::string& reason) {
    if (db.ReadTable(table, columns, visit)) return true;
    if (reason.empty()) reason = db.Failure();
    return false;
}

bool CountRows(DirectConnection& db, const std::string& table, std::uint64_t& rows,
               std::string& reason) {
    const std::string sql = "SELECT count(*) FROM " + strataloom::db::QuoteIdentifier(table);
    return Checked(db.Each(sql, {},
                           [&](const DbRow& row) {
                               rows = static_cast<std::uint64_t>(row[0].integer);
                               return true;
                           }),
                   db, reason);
}

// ---- the plan: which columns of which table go where ----------------------

struct TablePlan {
    std::string source;  // the table's name on each side
    std::string target;
    std::vector<DbColumn> sourceColumns;  // in the same order as targetColumns
    std::vector<DbColumn> targetColumns;
    bool inSource = true;
    std::vector<std::string> notInSource;  // target columns left at their default
};

const DbTable* FindTable(const std::vector<DbTable>& tables, const std::string& name) {
    for (const DbTable& table : tables) {
        if (Lower(table.name) == Lower(name)) return &table;
    }
    return nullptr;
}

const DbColumn* FindColumn(const std::vector<DbColumn>& columns, const std::string& name) {
    for (const DbColumn& column : columns) {
        if (Lower(column.name) == Lower(name)) return &column;
    }
    return nullptr;
}

// Every target table, with the source's columns it takes. Whatever the
// target cannot hold is refused: a table or a column of the source the new
// project lacks, or a column that keeps other values there.
bool PlanTables(const std::vector<DbTable>& source, std::vector<DbTable> target,
                std::vector<TablePlan>& plans, std::string& reason) {
    // The same order on every engine, whatever case each gives the names.
    std::sort(target.begin(), target.end(),
              [](const DbTable& a, const DbTable& b) { return Lower(a.name) < Lower(b.name); });
    for (const DbTable& table : source) {
        if (!FindTable(target, table.name)) {
            reason =
                "the source holds the table " + table.name + ", which a new project does not have";
            return false;
        }
    }
    for (const DbTable& table : target) {
        TablePlan plan;
        plan.target = table.name;
        const DbTable* from = FindTable(source, table.name);
        plan.inSource = from != nullptr;
        plan.source = from ? from->name : table.name;
        for (const DbColumn& column : from ? from->columns : std::vector<DbColumn>()) {
            const DbColumn* to = FindColumn(table.columns, column.name);
            if (!to) {
                reason = "the source's table " + from->name + " has the column " + column.name +
                         ", which a new project does not have";
                return false;
            }
            if (to->kind != column.kind && column.kind != ColumnClass::kOther) {
                reason = "the column " + column.name + " of " + from->name +
                         " keeps other values in the source than in a new project";
                return false;
            }
            plan.sourceColumns.push_back(column);
            plan.targetColumns.push_back(*to);
        }
        for (const DbColumn& column : table.columns) {
            if (from && !FindColumn(from->columns, column.name)) {
                plan.notInSource.push_back(column.name);
            }
        }
        plans.push_back(std::move(plan));
    }
    return true;
}

// ---- copying ------------------------------------------------------------

const char kInterrupted[] = "interrupted by a signal";

// Counts and checksums the rows of a table as they pass.
struct Tally {
    std::uint64_t rows = 0;
    std::uint64_t checksum = 0;  // the sum of the rows' checksums: any order gives the same
    std::uint64_t bytes = 0;

    void Add(const DbRow& row) {
        ++rows;
        checksum += RowChecksum(row);
        bytes += RowBytes(row);
    }
};

class Copier {
  public:
    Copier(DirectConnection& source, CommandIo& io) : source_(source), io_(io) {}

    bool CopyAll(DirectConnection& target, const std::vector<TablePlan>& plans,
                 std::vector<TableCopyResult>& results, std::string& reason) {
        if (!Checked(target.BeginFilling(), target, reason)) return false;
        for (std::size_t t = 0; t < plans.size(); ++t) {
            const TablePlan& plan = plans[t];
            if (InterruptGuard::Requested()) {
                reason = kInterrupted;
                return false;
            }
            if (io_.progress) io_.progress->Show(t, plans.size(), plan.target);
            TableCopyResult result;
            result.table = plan.target;
            if (plan.inSource && !CopyTable(target, plan, result, reason)) return false;
            results.push_back(result);
        }
        return Checked(target.Commit(), target, reason);
    }

    // Reads every table of the target again and notes its rows and checksum.
    bool CheckAll(DirectConnection& target, const std::vector<TablePlan>& plans,
                  std::vector<TableCopyResult>& results, std::string& reason) {
        if (!Checked(target.Begin(), target, reason)) return false;
        for (std::size_t t = 0; t < plans.size(); ++t) {
            if (io_.progress) io_.progress->Show(t, plans.size(), "checking " + plans[t].target);
            Tally tally;
            const std::uint64_t expected = results[t].sourceRows;
            const DirectConnection::RowVisitor sink = [&](const DbRow& row) {
                tally.Add(row);
                return Progressed(tally, expected, "checking", reason);
            };
            const std::vector<DbColumn>& columns = plans[t].targetColumns;
            if (!columns.empty() && !ReadColumns(target, plans[t].target, columns, sink, reason)) {
                return false;
            }
            if (columns.empty() && !CountRows(target, plans[t].target, tally.rows, reason)) {
                return false;
            }
            results[t].targetRows = tally.rows;
            results[t].targetChecksum = tally.checksum;
        }
        return true;
    }

  private:
    bool CopyTable(DirectConnection& target, const TablePlan& plan, TableCopyResult& result,
                   std::string& reason) {
        std::uint64_t expected = 0;
        if (!CountRows(source_, plan.source, expected, reason)) return false;
        if (plan.sourceColumns.empty()) return true;
        if (!Checked(target.StartTable(plan.target, plan.targetColumns), target, reason))
            return false;
        Tally tally;
        const DirectConnection::RowVisitor sink = [&](const DbRow& row) {
            tally.Add(row);
            return Checked(target.WriteRow(row), target, reason) &&
                   Progressed(tally, expected, "copying", reason);
        };
        if (!ReadColumns(source_, plan.source, plan.sourceColumns, sink, reason)) {
            if (reason != kInterrupted) reason = "table " + plan.source + ": " + reason;
            return false;
        }
        if (!Checked(target.FinishTable(), target, reason)) return false;
        result.sourceRows = tally.rows;
        result.sourceChecksum = tally.checksum;
        result.bytes = tally.bytes;
        return true;
    }

    // Shows how far a table has come; false once a signal asks to stop.
    bool Progressed(const Tally& tally, std::uint64_t expected, const char* phase,
                    std::string& reason) {
        if (InterruptGuard::Requested()) {
            reason = kInterrupted;
            return false;
        }
        if (tally.rows == 1) shownAt_ = 0;
        if (io_.progress && expected > 0 &&
            (tally.rows % kRowsPerProgress == 0 || tally.bytes - shownAt_ >= kBytesPerProgress)) {
            shownAt_ = tally.bytes;
            io_.progress->Within(std::min(1.0, static_cast<double>(tally.rows) / expected), phase);
        }
        return true;
    }

    DirectConnection& source_;
    CommandIo& io_;
    std::uint64_t shownAt_ = 0;  // the bytes of the table when progress was last shown
};

// ---- reporting ----------------------------------------------------------

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

Listing ResultListing(const std::vector<TableCopyResult>& results) {
    Listing listing;
    listing.columns = {"Table",      "Rows",           "Bytes", "Checksum",
                       "TargetRows", "TargetChecksum", "Result"};
    for (const TableCopyResult& r : results) {
        listing.rows.push_back({TextCell(r.table), CountCell(r.sourceRows), CountCell(r.bytes),
                                TextCell(Hex(r.sourceChecksum)), CountCell(r.targetRows),
                                TextCell(Hex(r.targetChecksum)),
                                TextCell(r.Same() ? "same" : "DIFFERENT")});
    }
    return listing;
}

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

std::string Describe(const std::string& connect) {
    return IsServerConnection(connect) ? "the server database " + connect
                                       : "the project file " + ProjectFilePath(connect);
}

struct CopyRun {
    const CopyProjectOptions& options;
    CommandIo& io;
    std::ostream& say;  // what the command tells people: beside a table, after CSV and JSON
    Target target;
    std::vector<TableCopyResult> results;
    bool checked = false;  // both sides were compared: the results are whole
};

int Fail(CommandIo& io, const std::string& reason) {
    if (io.progress) io.progress->Clear();
    if (reason == kInterrupted) {
        io.err << "strataloom: the copy was interrupted\n";
        return kExitInterrupted;
    }
    io.err << "strataloom: " << reason << "\n";
    return kExitFailure;
}

// Reads the target argument and refuses one that exists; no target is made.
bool ChooseTarget(CopyRun& run, std::string& templateDir, std::string& reason) {
    const std::string& named = run.options.target;
    const bool server = IsServerConnection(named);
    if (!(server ? ReadServerTarget(named, run.target, reason)
                 : ReadFileTarget(named, run.target, reason))) {
        return false;
    }
    if (!server && !FindTemplate(run.options, run.io, templateDir, reason)) return false;
    const int exists = TargetExists(run.target, reason);
    if (exists == 1) {
        reason = "the " + run.target.Describe() +
                 " exists already; it was left as it is and nothing was copied";
    }
    return exists == 0;
}

// Copies and compares; the caller's NewTarget removes the target on false.
bool CopyAndCheck(CopyRun& run, DirectConnection& source, std::vector<DbTable>& sourceTables,
                  std::string& reason) {
    std::vector<DbTable> targetTables;
    std::vector<TablePlan> plans;
    {
        std::unique_ptr<DirectConnection> target = OpenSide(run.target.connect, true, reason);
        if (!target || !Checked(target->Tables(targetTables), *target, reason) ||
            !PlanTables(sourceTables, targetTables, plans, reason)) {
            return false;
        }
        for (const TablePlan& plan : plans) {
            if (!plan.inSource) {
                run.say << "The source has no table " << plan.target << ": it stays empty\n";
            }
            for (const std::string& column : plan.notInSource) {
                run.say << "The source's table " << plan.source << " has no column " << column
                        << ": it is left at its default\n";
            }
        }
        Copier copier(source, run.io);
        if (!copier.CopyAll(*target, plans, run.results, reason)) return false;
    }
    // A connection of its own reads what the target holds now.
    std::unique_ptr<DirectConnection> written = OpenSide(run.target.connect, false, reason);
    Copier checker(source, run.io);
    if (!written || !checker.CheckAll(*written, plans, run.results, reason)) return false;
    run.checked = true;
    std::string different;
    for (const TableCopyResult& result : run.results) {
        if (!result.Same()) different += (different.empty() ? "" : ", ") + result.table;
    }
    if (!different.empty()) {
        reason = "the copy differs from the source in: " + different;
        return false;
    }
    return true;
}

int CopyProject(IDataFactory& factory, CopyRun& run) {
    std::string reason;
    const std::string source = ProjectConnect(run.options.source);
    std::unique_ptr<DirectConnection> reader = OpenSide(source, false, reason);
    std::vector<DbTable> sourceTables;
    if (!reader || !Checked(reader->Begin() && reader->Tables(sourceTables), *reader, reason)) {
        return Fail(run.io, "cannot read " + Describe(source) + ": " + reason);
    }
    std::string templateDir;
    if (!ChooseTarget(run, templateDir, reason)) return Fail(run.io, reason);
    run.say << "Copying " << Describe(source) << " (" << Counted(sourceTables.size(), "table")
            << ") into the new " << run.target.Describe() << "\n";
    const auto started = std::chrono::steady_clock::now();
    const std::clock_t cpuStarted = std::clock();

    NewTarget made(run.target, run.io.err);
    if (!CreateTarget(factory, run.target, templateDir, run.io, reason)) {
        return Fail(run.io, reason);
    }
    made.Made();
    const bool copied = CopyAndCheck(run, *reader, sourceTables, reason);
    if (run.io.progress) run.io.progress->Clear();
    if (run.checked) {
        WriteListing(run.io.out, ResultListing(run.results), run.options.format);
    }
    if (!copied) return Fail(run.io, reason);
    made.Keep();

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const double cpu = static_cast<double>(std::clock() - cpuStarted) / CLOCKS_PER_SEC;
    std::uint64_t rows = 0;
    std::uint64_t bytes = 0;
    for (const TableCopyResult& result : run.results) {
        rows += result.sourceRows;
        bytes += result.bytes;
    }
    char timing[96];
    std::snprintf(timing, sizeof timing, " in %.2f s (%.1f MB/s; %.2f s of processor time)",
                  seconds, seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0, cpu);
    run.say << "Copied " << Counted(rows, "row") << " (" << Megabytes(bytes) << ") of "
            << Counted(run.results.size(), "table") << timing
            << "; every table has the same rows and checksum on both sides\n"
            << "New project: " << run.target.connect << "\n";
    return kExitOk;
}

bool ParseCopyProject(const std::vector<std::string>& args, CopyProjectOptions& options,
                      std::ostream& err) {
    std::string format;
    std::vector<std::string> positional;
    if (!SplitArgs(args, {{"--template", &options.templateDir}, {"--format", &format}}, positional,
                   err)) {
        return false;
    }
    if (!CountArgs(positional, 2, 2, "SOURCE TARGET", err)) return false;
    if (!ReadListingFormat(format, options.format, err)) return false;
    options.source = positional[0];
    options.target = positional[1];
    return true;
}

const char kCopyProjectSynopsis[] = "copy-project SOURCE TARGET [--template DIR] [--format F]";
const char kCopyProjectHelp[] =
    "Copies a whole project database, every table and every project in it, into a\n"
    "new one: from a project file to a server database, from a server database to\n"
    "a project file, or between two of the same engine. SOURCE is a project file,\n"
    "its folder or a server connection string. TARGET is a new project folder\n"
    "(FOLDER/NAME, or FOLDER/NAME/NAME.mdb), made from the template project\n"
    "database (--template DIR, by default the one installed with the program), or\n"
    "a connection string naming a new database on a server, made from the server\n"
    "backup through the server's maintenance database (postgres). A target that\n"
    "exists is refused and left as it is.\n"
    "\n"
    "The rows go table by table in one transaction; then both sides are read again\n"
    "and each table's row count and checksum compared, and listed (--format csv or\n"
    "json for scripts; the messages then go to standard error). A copy that fails,\n"
    "differs or is stopped (Ctrl-C, SIGTERM: exit code 130) removes the new target\n"
    "again. Hosts that write to a source project file wait while it is copied.\n";

}  // namespace

int RunCopyProject(IDataFactory& factory, const CopyProjectOptions& options, CommandIo& io) {
    std::ostream& say = options.format == ListingFormat::kTable ? io.out : io.err;
    CopyRun run{options, io, say, {}, {}, false};
    InterruptGuard guard("\nstrataloom: interrupted; stopping the copy\n");
    try {
        return CopyProject(factory, run);
    } catch (const std::exception& error) {
        return Fail(io, std::string("the copy stopped: ") + error.what());
    }
}

FormatCommand CopyProjectCommand() {
    return STRATALOOM_COMMAND("copy-project", CopyProjectOptions, ParseCopyProject, RunCopyProject,
                              kCopyProjectSynopsis, kCopyProjectHelp);
}

}  // namespace strataloom::formats
