#include "support/projectdb.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "dbaccess/connectionregistry.h"

namespace fs = std::filesystem;

namespace testsupport {

namespace {

std::vector<Box> g_boxes;
std::atomic<int> g_answer{IDOK};

int CaptureBox(const char* text, const char* caption, unsigned int type) {
    // A box waits on the user: no write lock on the project may wait with it.
    EXPECT_FALSE(strataloom::db::ThisThreadWriting())
        << "message box shown inside a write transaction: " << (text ? text : "");
    g_boxes.push_back(Box{text ? text : "", caption ? caption : "(none)", type});
    return g_answer.load();
}

}  // namespace

BoxCapture::BoxCapture(int answer) : previous_(SetMessageBoxHandler(&CaptureBox)) {
    g_boxes.clear();
    g_answer = answer;
}
BoxCapture::~BoxCapture() {
    SetMessageBoxHandler(previous_);
    g_boxes.clear();
}
const std::vector<Box>& BoxCapture::Boxes() const {
    return g_boxes;
}
void BoxCapture::SetAnswer(int answer) {
    g_answer = answer;
}
void BoxCapture::Clear() {
    g_boxes.clear();
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "strataloom-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    strataloom::db::ReleaseIdleConnections();
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TemplatePath() {
    return STRATALOOM_TEMPLATE_PATH;
}

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
    switch (info.param) {
        case Engine::Sqlite:
            return "Sqlite";
        case Engine::Server:
            return "Server";
    }
    return "Unknown";
}

void ProjectDb::Open(Engine engine) {
    engine_ = engine;
    dir_ = std::make_unique<TempDir>();
    boxes_ = std::make_unique<BoxCapture>();
    if (OnServer()) {
        if (TestServerConnect().empty()) {
            if (TestServerRequired()) FAIL() << "STRATALOOM_TEST_SERVER is not set";
            GTEST_SKIP() << "no test server (set STRATALOOM_TEST_SERVER)";
        }
        server_ = std::make_unique<ServerDatabase>();
        ASSERT_TRUE(server_->Ready()) << server_->Error();
        connect_ = server_->Connect();
        return;
    }
    const fs::path database = dir_->Path() / "Test.mdb";
    fs::copy_file(TemplatePath(), database);
    connect_ = database.string();
}

void ProjectDb::Close() {
    boxes_.reset();
    strataloom::db::ReleaseIdleConnections();
    server_.reset();
    dir_.reset();
}

void ProjectDb::Exec(const std::string& sql) {
    CDbManage session(connect_.c_str());
    ASSERT_TRUE(session.ExecuteSQL(sql.c_str())) << sql;
}

std::string ProjectDb::QueryText(const std::string& sql) {
    CDbManage session(connect_.c_str());
    std::string value;
    if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return value;
    session.GetFieldValue("c", value);
    return value;
}

long ProjectDb::Count(const std::string& sqlWhere) {
    CDbManage session(connect_.c_str());
    const std::string sql = "select count(*) as c from " + sqlWhere;
    if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return -1;
    int count = -1;
    return session.GetFieldValue("c", count) ? count : -1;
}

void ProjectDb::RefuseInsertsWhere(const std::string& table, const std::string& column,
                                   const std::string& value) {
    RefuseRowsWhere("insert", table, column, value);
}

void ProjectDb::RefuseDeletesWhere(const std::string& table, const std::string& column,
                                   const std::string& value) {
    RefuseRowsWhere("delete", table, column, value);
}

void ProjectDb::RefuseRowsWhere(const std::string& event, const std::string& table,
                                const std::string& column, const std::string& value) {
    const std::string name = "refuse_" + event + "_" + table;
    const std::string row = event == "delete" ? "OLD." : "NEW.";
    if (!OnServer()) {
        Exec("create trigger " + name + " before " + event + " on " + table + " when " + row +
             column + " = '" + value + "' begin select raise(abort, 'refused'); end");
        return;
    }
    Exec("create function " + name + "() returns trigger language plpgsql as $$ begin if " + row +
         column + " = '" + value + "' then raise exception 'refused'; end if; return " +
         row.substr(0, 3) + "; end $$");
    Exec("create trigger " + name + " before " + event + " on " + table +
         " for each row execute function " + name + "()");
}

}  // namespace testsupport
