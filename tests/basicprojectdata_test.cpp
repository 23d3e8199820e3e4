// Project headers and project creation against real databases and directories.
#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "frame/hostutil.h"
#include "strataloom/iaoidata.h"
#include "strataloom/ibasicprojectdata.h"
#include "strataloom/isectionwelllistdata.h"
#include "strataloom/iwelllistdata.h"
#include "strataloom/lasterror.h"
#include "strataloom/waitdialog.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace fs = std::filesystem;

namespace {

using testsupport::ProjectDbTest;
using testsupport::TempDir;

BasicProjectRecord Header(const std::string& name, const std::string& description = "basin") {
    BasicProjectRecord header;
    header.ProjectName = name;
    header.Description = description;
    header.AutoCalcMinMax = '1';
    header.SNmin = 4400000.5;
    header.SNmax = 4500000.25;
    header.EWmin = 20500000.75;
    header.EWmax = 20600000.125;
    header.EllipsoidID = 3;
    header.EllipsoidDescription = "Krasovsky 1940";
    header.SemiMajor = 6378245.0;
    header.Flattering = 1.0 / 298.3;
    header.ProjectionType = 2;
    header.ProjectionDescription = "Gauss-Kruger";
    header.CentralMeridian = 117.0;
    header.OriginLatitude = 0.5;
    header.FalseEasting = 500000.0;
    header.FalseNorthing = 10.25;
    header.StdParallel1 = 25.0;
    header.StdParallel2 = 47.0;
    header.ScaleFactor = 0.9996;
    header.Azimuth = 12.5;
    header.ZoneType = 6;
    header.indexZone = 20;
    header.CooridnateType = 1;
    return header;
}

// Seconds since the epoch of a "Y-M-D h:m:s" text read as UTC; -1 when it does not parse.
long long UtcSeconds(const std::string& text) {
    std::tm utc{};
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &utc.tm_year, &utc.tm_mon, &utc.tm_mday,
                    &utc.tm_hour, &utc.tm_min, &utc.tm_sec) != 6) {
        return -1;
    }
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    return static_cast<long long>(timegm(&utc));
}

class BasicProjectDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        projects = Create<IBasicProjectData>("IBasicProjectData");
        ASSERT_TRUE(projects);
    }
    std::unique_ptr<IBasicProjectData> projects;
};

TEST_P(BasicProjectDataTest, HeaderRoundTripsEveryField) {
    const BasicProjectRecord saved = Header("P1");
    ASSERT_EQ(1, projects->SaveProject(saved));
    BasicProjectRecord loaded;
    ASSERT_EQ(1, projects->LoadProject("P1", loaded));
    EXPECT_EQ("P1", loaded.ProjectName);
    EXPECT_EQ(saved.Description, loaded.Description);
    EXPECT_EQ('1', loaded.AutoCalcMinMax);
    EXPECT_EQ(saved.SNmin, loaded.SNmin);
    EXPECT_EQ(saved.SNmax, loaded.SNmax);
    EXPECT_EQ(saved.EWmin, loaded.EWmin);
    EXPECT_EQ(saved.EWmax, loaded.EWmax);
    EXPECT_EQ(saved.EllipsoidID, loaded.EllipsoidID);
    EXPECT_EQ(saved.EllipsoidDescription, loaded.EllipsoidDescription);
    EXPECT_EQ(saved.SemiMajor, loaded.SemiMajor);
    EXPECT_EQ(saved.Flattering, loaded.Flattering);
    EXPECT_EQ(saved.ProjectionType, loaded.ProjectionType);
    EXPECT_EQ(saved.ProjectionDescription, loaded.ProjectionDescription);
    EXPECT_EQ(saved.CentralMeridian, loaded.CentralMeridian);
    EXPECT_EQ(saved.OriginLatitude, loaded.OriginLatitude);
    EXPECT_EQ(saved.FalseEasting, loaded.FalseEasting);
    EXPECT_EQ(saved.FalseNorthing, loaded.FalseNorthing);
    EXPECT_EQ(saved.StdParallel1, loaded.StdParallel1);
    EXPECT_EQ(saved.StdParallel2, loaded.StdParallel2);
    EXPECT_EQ(saved.ScaleFactor, loaded.ScaleFactor);
    EXPECT_EQ(saved.Azimuth, loaded.Azimuth);
    EXPECT_EQ(saved.ZoneType, loaded.ZoneType);
    EXPECT_EQ(saved.indexZone, loaded.indexZone);
    EXPECT_EQ(saved.CooridnateType, loaded.CooridnateType);
    // The flag lives in the one column that the load reads back.
    EXPECT_EQ("1", QueryText("select AutoCalcMinMax as c from b_project_data"));
}

TEST_P(BasicProjectDataTest, SavingAgainReplacesTheRowAndStampsItInUtc) {
    Exec(
        "insert into b_project_data (ProjectName, Description, CreatedDate) "
        "values ('P1', 'old', '2001-2-3 4:5:6')");
    ASSERT_EQ(1, projects->SaveProject(Header("P1", "first")));
    ASSERT_EQ(1, projects->SaveProject(Header("P1", "second")));
    EXPECT_EQ(1, Count("b_project_data"));
    EXPECT_EQ("second", QueryText("select Description as c from b_project_data"));
    const std::string created = QueryText("select CreatedDate as c from b_project_data");
    // Year-month-day hour:minute:second, numbers without leading zeros.
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    ASSERT_EQ(6, std::sscanf(created.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &sec));
    char canonical[64];
    std::snprintf(canonical, sizeof canonical, "%d-%d-%d %d:%d:%d", y, mo, d, h, mi, sec);
    EXPECT_EQ(canonical, created);
    EXPECT_LE(std::llabs(UtcSeconds(created) - static_cast<long long>(std::time(nullptr))), 5)
        << created;
}

TEST_P(BasicProjectDataTest, LoadExistAndDeleteAddressOneProject) {
    ASSERT_EQ(1, projects->SaveProject(Header("P1")));
    ASSERT_EQ(1, projects->SaveProject(Header("O'Brien's %s")));
    BasicProjectRecord missing = Header("Keep", "untouched");
    EXPECT_EQ(0, projects->LoadProject("Nowhere", missing));
    EXPECT_EQ("Keep", missing.ProjectName);
    EXPECT_EQ("untouched", missing.Description);
    EXPECT_EQ(1, projects->IsProjectExist("O'Brien's %s"));
    EXPECT_EQ(0, projects->IsProjectExist("Nowhere"));
    EXPECT_EQ(1, projects->DeleteProject("O'Brien's %s"));
    EXPECT_EQ(0, projects->IsProjectExist("O'Brien's %s"));
    EXPECT_EQ(1, projects->IsProjectExist("P1"));
    EXPECT_EQ(1, projects->Reserved(nullptr));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(BasicProjectDataTest, EmptyNamesAndMissingTableAreReported) {
    EXPECT_EQ(0, projects->SaveProject(BasicProjectRecord()));
    EXPECT_EQ(0, projects->DeleteProject(""));
    EXPECT_EQ(0, projects->DeleteProject(nullptr));
    Exec("drop table b_project_data");
    EXPECT_EQ(0, projects->SaveProject(Header("P1")));
    EXPECT_EQ(0, projects->IsProjectExist("P1"));
    EXPECT_EQ(0, projects->DeleteProject("P1"));
    ASSERT_EQ(4u, Boxes().size());
    EXPECT_EQ("工区名不能为空！", Boxes()[0].text);
    EXPECT_EQ("(none)", Boxes()[0].caption);
    EXPECT_EQ("工区名称不能为空！", Boxes()[1].text);
    EXPECT_EQ("工区名称不能为空！", Boxes()[2].text);
    EXPECT_EQ("工区表为空！", Boxes()[3].text);
}

TEST_P(BasicProjectDataTest, FailedSaveKeepsTheOldHeader) {
    ASSERT_EQ(1, projects->SaveProject(Header("P1", "kept")));
    RefuseInsertsWhere("b_project_data", "ProjectName", "P1");
    EXPECT_EQ(0, projects->SaveProject(Header("P1", "lost")));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("保存数据库出错！", Boxes()[0].text);
    BasicProjectRecord loaded;
    ASSERT_EQ(1, projects->LoadProject("P1", loaded));
    EXPECT_EQ("kept", loaded.Description);
}

STRATALOOM_ENGINES(BasicProjectDataTest);

// Project directories made from the template under a temporary folder.
class ProjectFilesTest : public BasicProjectDataTest {
  protected:
    fs::path Parent() const { return disk.Path() / "projects"; }
    std::string TemplateDir() const { return testsupport::TemplatePath().parent_path().string(); }
    void SetUp() override {
        BasicProjectDataTest::SetUp();
        fs::create_directory(Parent());
    }
    // The directory's entries, names only, sorted.
    static std::vector<std::string> Entries(const fs::path& directory) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    TempDir disk;
};

TEST_P(ProjectFilesTest, NewProjectDatabaseServesEveryDataClass) {
    ASSERT_EQ(1, projects->CreateProjectFiles("Demo", Parent().c_str(), TemplateDir().c_str()));
    const fs::path database = Parent() / "Demo" / "Demo.mdb";
    ASSERT_TRUE(fs::is_regular_file(database));
    EXPECT_TRUE(Boxes().empty());

    CDataFactory factory;
    auto use = [&](const char* name) {
        IDataBase* object = factory.CreateObject(name);
        if (object) object->SetConnectString(database.c_str());
        return std::unique_ptr<IDataBase>(object);
    };
    auto header = use("IBasicProjectData");
    auto lists = use("IWellListData");
    auto sections = use("ISectionWellListData");
    auto areas = use("IAOIData");
    auto wells = use("IBasicWellData");
    const BasicProjectRecord demo = Header("Demo");
    BasicWellRecord well;
    well.WellName = "W1";
    EXPECT_EQ(1, dynamic_cast<IBasicProjectData&>(*header).SaveProject(demo));
    EXPECT_EQ(1, dynamic_cast<IWellListData&>(*lists).SaveWellList({"L", {{"W1", 1}}}));
    EXPECT_EQ(1, dynamic_cast<ISectionWellListData&>(*sections).SaveSection({"S", "W1,W2"}));
    EXPECT_EQ(1, dynamic_cast<IAOIData&>(*areas).SaveGlobalAOI("Demo", demo));
    EXPECT_EQ(1, dynamic_cast<IBasicWellData&>(*wells).SaveWell("Demo", well));
    EXPECT_EQ(1, dynamic_cast<IBasicProjectData&>(*header).IsProjectExist("Demo"));
}

TEST_P(ProjectFilesTest, ExistingDirectoryIsLeftAsItWas) {
    fs::create_directory(Parent() / "Demo");
    std::FILE* note = std::fopen((Parent() / "Demo" / "note.txt").c_str(), "w");
    ASSERT_TRUE(note);
    std::fclose(note);
    EXPECT_EQ(0, projects->CreateProjectFiles("Demo", Parent().c_str(), TemplateDir().c_str()));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("创建工区失败!\n工区目录下可能已有名为Demo的工区。", Boxes()[0].text);
    EXPECT_EQ("(none)", Boxes()[0].caption);
    EXPECT_EQ(std::vector<std::string>{"note.txt"}, Entries(Parent() / "Demo"));
    EXPECT_EQ((Parent() / "Demo").string() +
                  " exists already: a project is never made over it (box: \"创建工区失败! "
                  "工区目录下可能已有名为Demo的工区。\")",
              StrataloomLastError());
}

TEST_P(ProjectFilesTest, AMissingParentFolderIsNamedAsSuch) {
    const fs::path parent = Parent() / "missing" / "deeper";
    EXPECT_EQ(0, projects->CreateProjectFiles("Foo", parent.c_str(), TemplateDir().c_str()));
    const std::string reason = StrataloomLastError();
    EXPECT_EQ(0u, reason.find("the parent folder " + parent.string() + " does not exist (box: "))
        << reason;
    EXPECT_FALSE(fs::exists(Parent() / "missing"));
}

TEST_P(ProjectFilesTest, MissingTemplateLeavesNoDirectoryBehind) {
    const std::string nowhere = (disk.Path() / "no-template").string();
    EXPECT_EQ(0, projects->CreateProjectFiles("Demo", Parent().c_str(), nowhere.c_str()));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("创建工区失败!\n因为无法拷贝缺省数据库。", Boxes()[0].text);
    EXPECT_TRUE(Entries(Parent()).empty());
    EXPECT_EQ(
        0u, std::string(StrataloomLastError())
                .find("the template project database " + nowhere + "/Projects.mdb does not exist"))
        << StrataloomLastError();
}

TEST_P(ProjectFilesTest, ReadOnlyTemplateGivesAWritableProject) {
    const fs::path templateDir = disk.Path() / "template";
    fs::create_directory(templateDir);
    fs::copy_file(testsupport::TemplatePath(), templateDir / "Projects.mdb");
    fs::permissions(templateDir / "Projects.mdb",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(1, projects->CreateProjectFiles("Demo", Parent().c_str(), templateDir.c_str()));
    const fs::path database = Parent() / "Demo" / "Demo.mdb";
    EXPECT_NE(fs::perms::none, fs::status(database).permissions() & fs::perms::owner_write);
    EXPECT_EQ(fs::perms::none,
              fs::status(templateDir / "Projects.mdb").permissions() & fs::perms::owner_write);
    projects->SetConnectString(database.c_str());
    EXPECT_EQ(1, projects->SaveProject(Header("Demo")));
    EXPECT_EQ(1, projects->IsProjectExist("Demo"));
}

TEST_P(ProjectFilesTest, NamesThatAreNotOneDirectoryAreRefused) {
    fs::create_directory(Parent() / "inner");
    const char* names[] = {"", ".", "..", "a/b", "a\\b", "../escaped", "inner/x", "/abs"};
    for (const char* name : names) {
        EXPECT_EQ(0, projects->CreateProjectFiles(name, Parent().c_str(), TemplateDir().c_str()))
            << name;
        const std::string reason = StrataloomLastError();
        EXPECT_EQ(0u, reason.find(*name ? "the project name \"" + std::string(name) +
                                              "\" is not a folder name"
                                        : "the project name is empty"))
            << reason;
    }
    EXPECT_EQ(0, projects->CreateProjectFiles(nullptr, Parent().c_str(), TemplateDir().c_str()));
    EXPECT_EQ(0, projects->CreateProjectFiles("Demo", "", TemplateDir().c_str()));
    EXPECT_EQ(0u, std::string(StrataloomLastError()).find("no parent folder was given"));
    ASSERT_EQ(std::size(names) + 2, Boxes().size());
    for (std::size_t i = 0; i < std::size(names); ++i) {
        EXPECT_EQ(std::string("创建工区失败!\n工区目录下可能已有名为") + names[i] + "的工区。",
                  Boxes()[i].text);
    }
    EXPECT_EQ(std::vector<std::string>{"inner"}, Entries(Parent()));
    EXPECT_TRUE(Entries(Parent() / "inner").empty());
    EXPECT_EQ((std::vector<std::string>{"projects"}), Entries(disk.Path()));
}

STRATALOOM_ENGINES(ProjectFilesTest);

// The wait window and the statements of a server database restore.
struct WaitLog {
    std::vector<std::string> begun;
    std::vector<void*> ended;
    std::vector<std::size_t> boxesAtEnd;
    const std::vector<testsupport::Box>* boxes = nullptr;
};
WaitLog g_wait;
int g_windowToken = 0;

void* BeginCapture(const char* text) {
    g_wait.begun.push_back(text ? text : "");
    return &g_windowToken;
}
void EndCapture(void* handle) {
    g_wait.ended.push_back(handle);
    g_wait.boxesAtEnd.push_back(g_wait.boxes ? g_wait.boxes->size() : 0);
}

class ServerDatabaseTest : public BasicProjectDataTest {
  protected:
    void SetUp() override {
        BasicProjectDataTest::SetUp();
        g_wait = WaitLog();
        g_wait.boxes = &Boxes();
        SetWaitDialogHandlers(&BeginCapture, &EndCapture);
    }
    void TearDown() override {
        SetWaitDialogHandlers(nullptr, nullptr);
        g_wait = WaitLog();
        BasicProjectDataTest::TearDown();
    }
    testsupport::StatementLog log;
    std::vector<std::string>& statements = log.texts;
};

TEST_P(ServerDatabaseTest, UnreachableServerFailsInsideTheWaitWindow) {
    EXPECT_EQ(0, projects->CreateSqlServerDatabase("Proj_1", "host=nowhere.invalid dbname=x"));
    ASSERT_EQ(1u, g_wait.begun.size());
    EXPECT_EQ("系统正在创建数据库，请耐心等候...", g_wait.begun[0]);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("数据库创建失败！", Boxes()[0].text);
    EXPECT_EQ("(none)", Boxes()[0].caption);
    // The window closes only after the user has seen the outcome.
    ASSERT_EQ(1u, g_wait.ended.size());
    EXPECT_EQ(&g_windowToken, g_wait.ended[0]);
    EXPECT_EQ(1u, g_wait.boxesAtEnd[0]);

    const std::string dir = strataloom::GetCommandDirectory();
    ASSERT_EQ(2u, statements.size());
    EXPECT_EQ("select * from sysdatabases where name='Proj_1'", statements[0]);
    EXPECT_EQ("RESTORE FILELISTONLY FROM DISK = '" + dir +
                  "/welltrove.bak' RESTORE DATABASE Proj_1 FROM DISK = '" + dir +
                  "/welltrove.bak' WITH MOVE 'welltrove_Data' TO '" + dir +
                  "/Proj_1.mdf',MOVE 'welltrove_Log' TO '" + dir + "/Proj_1.ldf'",
              statements[1]);
}

TEST_P(ServerDatabaseTest, ExistingDatabaseIsReportedByTheResultAlone) {
    if (OnServer()) {
        // The server lists its own databases: the test's database exists.
        const std::string own = Connect().substr(Connect().rfind("dbname=") + 7);
        EXPECT_EQ(0, projects->CreateSqlServerDatabase(own.c_str(), Connect().c_str()));
    } else {
        Exec("create table sysdatabases (name varchar(64))");
        Exec("insert into sysdatabases (name) values ('Proj_1')");
        EXPECT_EQ(0, projects->CreateSqlServerDatabase("Proj_1", Connect().c_str()));
    }
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(g_wait.begun.empty());
    EXPECT_TRUE(g_wait.ended.empty());
}

TEST_P(ServerDatabaseTest, NamesThatAreNotBareIdentifiersRunNothing) {
    for (const char* name : {"", "1st", "a b", "x;drop database y", "a'b", "名"}) {
        EXPECT_EQ(0, projects->CreateSqlServerDatabase(name, Connect().c_str())) << name;
    }
    EXPECT_EQ(0, projects->CreateSqlServerDatabase(nullptr, Connect().c_str()));
    EXPECT_TRUE(statements.empty());
    EXPECT_TRUE(g_wait.begun.empty());
    ASSERT_EQ(7u, Boxes().size());
    for (const testsupport::Box& box : Boxes()) EXPECT_EQ("数据库创建失败！", box.text);
}

TEST_P(ServerDatabaseTest, CommandDirectoryIsTheProgramsDirectory) {
    const std::string dir = strataloom::GetCommandDirectory();
    EXPECT_EQ(fs::canonical("/proc/self/exe").parent_path().string(), dir);
    ASSERT_FALSE(dir.empty());
    EXPECT_NE('/', dir.back());
}

STRATALOOM_ENGINES(ServerDatabaseTest);

}  // namespace
