// copy-project: a project file holding awkward values in every table goes to
// a new server database and back to a new project file, and arrives
// byte-identical; a copy stopped by a signal, or one the target cannot hold,
// leaves no target; a target that exists is refused and left as it is.
#include "formats/projectcopy.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "formats/hostcommands.h"
#include "frame/cdatafactory.h"
#include "support/projectdb.h"

namespace {

namespace fs = std::filesystem;
using strataloom::formats::CommandIo;
using strataloom::formats::ProgressReporter;
using testsupport::TempDir;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// ---- project files, read and filled directly --------------------------------

class File {
  public:
    explicit File(const std::string& path) {
        EXPECT_EQ(SQLITE_OK,
                  sqlite3_open_v2(path.c_str(), &handle_, SQLITE_OPEN_READWRITE, nullptr))
            << path;
    }
    ~File() { sqlite3_close_v2(handle_); }
    sqlite3* Handle() const { return handle_; }
    void Exec(const std::string& sql) {
        char* error = nullptr;
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, &error))
            << (error ? error : "") << " in: " << sql;
        sqlite3_free(error);
    }
    // name and declared type of each column, per table
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> Tables() {
        std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> all;
        for (const std::string& table : Column("SELECT name FROM sqlite_master WHERE type = "
                                               "'table' ORDER BY name")) {
            sqlite3_stmt* info = nullptr;
            sqlite3_prepare_v2(handle_, ("PRAGMA table_info(\"" + table + "\")").c_str(), -1, &info,
                               nullptr);
            std::vector<std::pair<std::string, std::string>> columns;
            while (sqlite3_step(info) == SQLITE_ROW) {
                columns.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)),
                                     reinterpret_cast<const char*>(sqlite3_column_text(info, 2)));
            }
            sqlite3_finalize(info);
            all.emplace_back(table, columns);
        }
        return all;
    }
    // Every row of table, each value as its storage class and exact bytes, sorted.
    std::vector<std::string> Rows(const std::string& table) {
        std::vector<std::string> rows;
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(handle_, ("SELECT * FROM \"" + table + "\"").c_str(), -1, &select,
                           nullptr);
        while (sqlite3_step(select) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(select); ++c) {
                const int type = sqlite3_column_type(select, c);
                row += static_cast<char>('0' + type);
                if (type == SQLITE_FLOAT) {
                    const double real = sqlite3_column_double(select, c);
                    row.append(reinterpret_cast<const char*>(&real), sizeof real);
                } else if (type == SQLITE_INTEGER) {
                    row += std::to_string(sqlite3_column_int64(select, c));
                } else if (type != SQLITE_NULL) {
                    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(select, c));
                    const int size = sqlite3_column_bytes(select, c);
                    row += std::to_string(size) + ":" + std::string(bytes ? bytes : "", size);
                }
                row += '|';
            }
            rows.push_back(row);
        }
        sqlite3_finalize(select);
        std::sort(rows.begin(), rows.end());
        return rows;
    }

  private:
    std::vector<std::string> Column(const std::string& sql) {
        std::vector<std::string> values;
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(handle_, sql.c_str(), -1, &select, nullptr);
        while (sqlite3_step(select) == SQLITE_ROW) {
            values.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)));
        }
        sqlite3_finalize(select);
        return values;
    }
    sqlite3* handle_ = nullptr;
};

std::string Doubles(std::initializer_list<double> values) {
    std::string bytes;
    for (double value : values) bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    return bytes;
}

// A character as the module stores it: code 0 as the empty text, a code
// above 127 as the UTF-8 letter of that code.
std::string StoredChar(int code) {
    if (code == 0) return "";
    if (code < 128) return std::string(1, static_cast<char>(code));
    return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
}

// Fills every table with 256 rows; each column cycles through the awkward
// values of its type, one of them no value: every character, non-ASCII names,
// NaN (kept as the text "NaN", as the module keeps it), infinities, value
// arrays of 1 and 2 values, image bytes holding zeros.
void FillEveryTable(File& file) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    const std::vector<std::string> blobs = {Doubles({1.5}), Doubles({nan, -2.25}),
                                            std::string("\0\0\x01\0", 4), everyByte, ""};
    const std::vector<double> reals = {0.1, -1.5e308, 4.9e-324, inf, -inf, 123456.789, 0.0};
    const std::vector<long long> integers = {0, -1, 2147483647, -2147483648LL, 42};
    file.Exec("BEGIN");
    for (const auto& [table, columns] : file.Tables()) {
        std::string marks;
        for (std::size_t c = 0; c < columns.size(); ++c) marks += c ? ",?" : "?";
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(
                                 file.Handle(),
                                 ("INSERT INTO \"" + table + "\" VALUES (" + marks + ")").c_str(),
                                 -1, &insert, nullptr));
        for (int r = 0; r < 256; ++r) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const int at = static_cast<int>(r + c);
                const std::string& type = columns[c].second;
                const std::string text = at % 7 == 3
                                             ? "Ölfeld 井-" + std::to_string(r) + " 'quoted' \"x\""
                                             : StoredChar(r);
                const int index = static_cast<int>(c + 1);
                if (at % 11 == 5) {
                    sqlite3_bind_null(insert, index);
                } else if (type == "TEXT") {
                    sqlite3_bind_text(insert, index, text.data(), static_cast<int>(text.size()),
                                      SQLITE_TRANSIENT);
                } else if (type == "INTEGER") {
                    sqlite3_bind_int64(insert, index, integers[at % integers.size()]);
                } else if (type == "REAL" && at % 5 == 2) {
                    sqlite3_bind_text(insert, index, "NaN", 3, SQLITE_STATIC);
                } else if (type == "REAL") {
                    sqlite3_bind_double(insert, index, reals[at % reals.size()]);
                } else {
                    const std::string& blob = blobs[at % blobs.size()];
                    sqlite3_bind_blob(insert, index, blob.data(), static_cast<int>(blob.size()),
                                      SQLITE_TRANSIENT);
                }
            }
            ASSERT_EQ(SQLITE_DONE, sqlite3_step(insert)) << table;
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    file.Exec("COMMIT");
}

// ---- running the command ----------------------------------------------------

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// Raises SIGINT when the copy begins the table named.
class SignalAtTable : public ProgressReporter {
  public:
    explicit SignalAtTable(std::string table) : table_(std::move(table)) {}
    void Show(std::size_t, std::size_t, const std::string& item) override {
        if (item == table_) std::raise(SIGINT);
    }
    void Clear() override {}

  private:
    std::string table_;
};

class ProjectCopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (testsupport::TestServerConnect().empty()) {
            if (testsupport::TestServerRequired()) FAIL() << "STRATALOOM_TEST_SERVER is not set";
            GTEST_SKIP() << "no test server (set STRATALOOM_TEST_SERVER)";
        }
    }
    void TearDown() override {
        for (const std::string& name : databases_) {
            testsupport::RunOnServer("DROP DATABASE IF EXISTS \"" + name + "\" WITH (FORCE)");
        }
    }

    // A new project folder under the test's folder, from the template.
    std::string NewProjectFile(const std::string& name) {
        std::unique_ptr<IBasicProjectData> projects(
            dynamic_cast<IBasicProjectData*>(factory_.CreateObject("IBasicProjectData")));
        EXPECT_EQ(1, projects->CreateProjectFiles(name.c_str(), dir_.Path().c_str(),
                                                  TemplateDir().c_str()));
        return (dir_.Path() / name / (name + ".mdb")).string();
    }
    // The connection string of a database name on the test server, dropped with the test.
    std::string ServerTarget(const std::string& stem) {
        databases_.push_back(stem + "_" + std::to_string(::getpid()));
        return testsupport::WithDatabase(testsupport::TestServerConnect(), databases_.back());
    }
    // Whether the server has the database a connection string (or a name) names.
    static bool ServerHas(const std::string& connect) {
        const std::size_t at = connect.rfind("dbname=");
        const std::string name = at == std::string::npos ? connect : connect.substr(at + 7);
        PGconn* admin = PQconnectdb(testsupport::TestServerConnect().c_str());
        const char* values[] = {name.c_str()};
        PGresult* result = PQexecParams(admin, "SELECT 1 FROM pg_database WHERE datname = $1", 1,
                                        nullptr, values, nullptr, nullptr, 0);
        const bool found = PQntuples(result) == 1;
        PQclear(result);
        PQfinish(admin);
        return found;
    }
    static std::string TemplateDir() {
        return fs::path(STRATALOOM_TEMPLATE_PATH).parent_path().string();
    }

    Outcome Copy(const std::string& source, const std::string& target,
                 ProgressReporter* progress = nullptr) {
        std::ostringstream out;
        std::ostringstream err;
        CommandIo io{out, err, progress, nullptr};
        io.templateDirs = {TemplateDir()};
        Outcome run;
        run.code = strataloom::formats::CopyProjectCommand().run(
            factory_, {source, target, "--format", "csv"}, io);
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    CDataFactory factory_;
    TempDir dir_;
    testsupport::BoxCapture boxes_;
    std::vector<std::string> databases_;
};

TEST_F(ProjectCopyTest, EveryTableGoesToTheServerAndBackByteIdentical) {
    const std::string source = NewProjectFile("Awkward");
    {
        File file(source);
        FillEveryTable(file);
    }
    const std::string server = ServerTarget("copy_awkward");
    Outcome run = Copy(source, server);
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.out, "Table,Rows,Bytes,Checksum,TargetRows,TargetChecksum,Result"));
    EXPECT_TRUE(Has(run.out, "w_log_data,256,")) << run.out;
    EXPECT_FALSE(Has(run.out, "DIFFERENT"));
    EXPECT_TRUE(Has(run.err, "every table has the same rows and checksum")) << run.err;

    const std::string back = (dir_.Path() / "Back").string();
    run = Copy(server, back);
    ASSERT_EQ(0, run.code) << run.err;
    File original(source);
    File returned(back + "/Back.mdb");
    const auto tables = original.Tables();
    ASSERT_EQ(tables, returned.Tables());
    ASSERT_EQ(32u, tables.size());
    for (const auto& table : tables) {
        const std::vector<std::string> rows = original.Rows(table.first);
        EXPECT_EQ(256u, rows.size()) << table.first;
        EXPECT_TRUE(rows == returned.Rows(table.first)) << table.first;
    }
}

TEST_F(ProjectCopyTest, ACopyStoppedBySignalLeavesNoTarget) {
    const std::string source = NewProjectFile("Stopped");
    {
        File file(source);
        FillEveryTable(file);
    }
    for (const std::string& target :
         {ServerTarget("copy_stopped"), (dir_.Path() / "StoppedCopy").string()}) {
        SignalAtTable signal("w_log_data");
        const Outcome run = Copy(source, target, &signal);
        EXPECT_EQ(130, run.code) << run.err;
        EXPECT_TRUE(Has(run.err, "was removed again")) << run.err;
        EXPECT_TRUE(Has(run.err, "the copy was interrupted")) << run.err;
        EXPECT_EQ("", run.out);  // no listing of a copy that did not finish
    }
    EXPECT_FALSE(ServerHas(databases_.back()));
    EXPECT_FALSE(fs::exists(dir_.Path() / "StoppedCopy"));
}

TEST_F(ProjectCopyTest, ValuesTheTargetCannotHoldFailTheCopyAndRemoveIt) {
    const std::string source = NewProjectFile("Unfit");
    const std::string server = ServerTarget("copy_unfit");
    {
        File file(source);
        file.Exec("INSERT INTO w_well_data (WellName, WellSymbol) VALUES ('W', 4294967296)");
    }
    Outcome run = Copy(source, server);
    EXPECT_EQ(1, run.code);
    EXPECT_TRUE(Has(run.err,
                    "table w_well_data: column wellsymbol keeps whole numbers and "
                    "cannot take the whole number 4294967296"))
        << run.err;
    EXPECT_EQ("", run.out);  // no listing of a copy that did not finish
    EXPECT_FALSE(ServerHas(server));

    {
        File file(source);
        file.Exec("DELETE FROM w_well_data");
        file.Exec("CREATE TABLE notes (Text TEXT)");
    }
    run = Copy(source, server);
    EXPECT_EQ(1, run.code);
    EXPECT_TRUE(Has(run.err,
                    "the source holds the table notes, which a new project does not "
                    "have"))
        << run.err;
    EXPECT_FALSE(ServerHas(server));
}

TEST_F(ProjectCopyTest, ATargetThatExistsIsRefusedAndLeftAsItIs) {
    const std::string source = NewProjectFile("Source");
    const std::string existing = NewProjectFile("Existing");
    {
        File file(existing);
        file.Exec("INSERT INTO w_well_data (WellName) VALUES ('mine')");
    }
    std::ifstream before(existing, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(before)), {});
    for (const std::string& target : {existing, fs::path(existing).parent_path().string()}) {
        const Outcome run = Copy(source, target);
        EXPECT_EQ(1, run.code);
        EXPECT_TRUE(Has(run.err, "exists already; it was left as it is")) << run.err;
    }
    std::ifstream after(existing, std::ios::binary);
    EXPECT_EQ(bytes, std::string((std::istreambuf_iterator<char>(after)), {}));

    testsupport::ServerDatabase database;
    ASSERT_TRUE(database.Ready()) << database.Error();
    const Outcome run = Copy(source, database.Connect());
    EXPECT_EQ(1, run.code);
    EXPECT_TRUE(Has(run.err, "server database " + database.Name() + " exists already")) << run.err;
    EXPECT_TRUE(ServerHas(database.Connect()));
}

}  // namespace
