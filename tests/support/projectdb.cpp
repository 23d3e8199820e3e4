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
    }
    return "Unknown";
}

void ProjectDbTest::SetUp() {
    dir_ = std::make_unique<TempDir>();
    const fs::path database = dir_->Path() / "Test.mdb";
    fs::copy_file(TemplatePath(), database);
    connect_ = database.string();
    boxes_ = std::make_unique<BoxCapture>();
}

void ProjectDbTest::TearDown() {
    boxes_.reset();
    dir_.reset();
}

void ProjectDbTest::Exec(const std::string& sql) {
    CDbManage session(connect_.c_str());
    ASSERT_TRUE(session.ExecuteSQL(sql.c_str())) << sql;
}

std::string ProjectDbTest::QueryText(const std::string& sql) {
    CDbManage session(connect_.c_str());
    std::string value;
    if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return value;
    session.GetFieldValue("c", value);
    return value;
}

long ProjectDbTest::Count(const std::string& sqlWhere) {
    CDbManage session(connect_.c_str());
    const std::string sql = "select count(*) as c from " + sqlWhere;
    if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return -1;
    int count = -1;
    return session.GetFieldValue("c", count) ? count : -1;
}

void ProjectDbTest::RefuseInsertsWhere(const std::string& table, const std::string& column,
                                       const std::string& value) {
    Exec("create trigger refuse_" + table + " before insert on " + table + " when NEW." + column +
         " = '" + value + "' begin select raise(abort, 'refused'); end");
}

}  // namespace testsupport
