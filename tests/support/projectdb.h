// Test fixture: every test gets a fresh project database copied from the
// template, and every message box the module shows is captured.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dbaccess/cdbmanage.h"
#include "frame/cdatafactory.h"
#include "strataloom/strataloom.h"
#include "support/serverdb.h"

namespace testsupport {

struct Box {
    std::string text;
    std::string caption;  // "(none)" when the module passed no caption
    unsigned int type;
};

// Captures boxes while alive and answers every question with `answer`.
class BoxCapture {
  public:
    explicit BoxCapture(int answer = IDOK);
    ~BoxCapture();
    const std::vector<Box>& Boxes() const;
    void SetAnswer(int answer);
    void Clear();

  private:
    MessageBoxHandler previous_;
};

// A directory under the system's temporary folder, removed with its content.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::filesystem::path TemplatePath();

// The database engines a data-class test runs on.
enum class Engine { Sqlite, Server };
std::string EngineName(const ::testing::TestParamInfo<Engine>& info);

// A fresh project database on one engine, with every message box captured.
class ProjectDb {
  public:
    // Makes the database; skips the running test when the engine is not
    // there, or fails it when it must be.
    void Open(Engine engine);
    void Close();

    const std::string& Connect() const { return connect_; }
    // A data object from the factory, its connection string set.
    template <class Interface>
    std::unique_ptr<Interface> Create(const char* interfaceName) {
        CDataFactory factory;
        std::unique_ptr<Interface> object(
            dynamic_cast<Interface*>(factory.CreateObject(interfaceName)));
        if (object) object->SetConnectString(connect_.c_str());
        return object;
    }
    // Runs a statement directly; fails the test when it does not run.
    void Exec(const std::string& sql);
    // Column "c" of the first row as text ("" when there is none).
    std::string QueryText(const std::string& sql);
    long Count(const std::string& sqlWhere);  // "select count(*) from " + sqlWhere
    // Makes every insert into table whose column equals value fail, so that a
    // test can break a save half-way through.
    void RefuseInsertsWhere(const std::string& table, const std::string& column,
                            const std::string& value);
    // The same for deleting such a row.
    void RefuseDeletesWhere(const std::string& table, const std::string& column,
                            const std::string& value);

    const std::vector<Box>& Boxes() const { return boxes_->Boxes(); }
    BoxCapture& Capture() { return *boxes_; }

    bool OnServer() const { return engine_ == Engine::Server; }
    // A directory of the test's own, removed with the test.
    const std::filesystem::path& Dir() const { return dir_->Path(); }

  private:
    // Makes every insert or delete (event) of a row whose column equals value fail.
    void RefuseRowsWhere(const std::string& event, const std::string& table,
                         const std::string& column, const std::string& value);

    Engine engine_ = Engine::Sqlite;
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<ServerDatabase> server_;
    std::unique_ptr<BoxCapture> boxes_;
    std::string connect_;
};

// A test on a fresh project database of the engine its parameter names.
class ProjectDbTest : public ::testing::TestWithParam<Engine>, public ProjectDb {
  protected:
    void SetUp() override { Open(GetParam()); }
    void TearDown() override { Close(); }
};

// Runs every test of Suite on each engine.
#define STRATALOOM_ENGINES(Suite)                                                    \
    INSTANTIATE_TEST_SUITE_P(                                                        \
        Engines, Suite,                                                              \
        ::testing::Values(testsupport::Engine::Sqlite, testsupport::Engine::Server), \
        testsupport::EngineName)

}  // namespace testsupport
