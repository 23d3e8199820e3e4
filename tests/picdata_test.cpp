// Well pictures against a real project database and real files: the copies
// made into the picture folder of the work directory the import module
// names, the rows that point at them, and the statements of every operation.
#include <dlfcn.h>
#include <stdlib.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "dbaccess/connectionregistry.h"
#include "host/hostmodule.h"
#include "quernxml/quernxml.h"
#include "strataloom/ipicdata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace fs = std::filesystem;

namespace {

using testsupport::ExpectStatements;
using testsupport::ProjectDbTest;

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A stored path ("pic\" + name) as the file system names it.
std::string Slashed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The names of the files in a folder, none when it does not exist.
std::set<std::string> FilesIn(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string LocalStamp(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return text;
}

// Whether stored is one of the stamps from `from` to `to` followed by rest.
bool StampedWithin(const std::string& stored, std::time_t from, std::time_t to,
                   const std::string& rest) {
    for (std::time_t when = from; when <= to; ++when) {
        if (stored == LocalStamp(when) + rest) return true;
    }
    return false;
}

std::unique_ptr<IPicData> NewPictures(const std::string& connect) {
    CDataFactory factory;
    std::unique_ptr<IPicData> pictures(dynamic_cast<IPicData*>(factory.CreateObject("IPicData")));
    if (pictures) pictures->SetConnectString(connect.c_str());
    return pictures;
}

PicRecord Picture(const std::string& path, double top, const std::string& description = "") {
    PicRecord record;
    record.TopDepth = top;
    record.BottomDepth = top + 1.25;
    record.FileName = fs::path(path).filename().string();
    record.FilePath = path;
    record.Description = description;
    return record;
}

PicSet Pictures(const std::string& well, int type, std::vector<PicRecord> records) {
    PicSet set;
    set.WellName = well;
    set.PicType = type;
    set.PicTypeName = "type " + std::to_string(type);
    set.Records = std::move(records);
    return set;
}

// Points the import module at a work directory for the life of the object.
class WorkDirectory {
  public:
    explicit WorkDirectory(const std::string& path) {
        const char* previous = std::getenv("STRATALOOM_WORK_DIR");
        if (previous) previous_ = previous;
        had_ = previous != nullptr;
        ::setenv("STRATALOOM_WORK_DIR", path.c_str(), 1);
    }
    ~WorkDirectory() {
        if (had_) {
            ::setenv("STRATALOOM_WORK_DIR", previous_.c_str(), 1);
        } else {
            ::unsetenv("STRATALOOM_WORK_DIR");
        }
    }

  private:
    std::string previous_;
    bool had_ = false;
};

class PicDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        work = Dir() / "work";
        fs::create_directories(work);
        workDirectory = std::make_unique<WorkDirectory>(work.string());
        pictures = Create<IPicData>("IPicData");
        ASSERT_TRUE(pictures);
    }
    void TearDown() override {
        workDirectory.reset();
        ProjectDbTest::TearDown();
    }

    // A picture file outside the work directory.
    std::string Source(const std::string& relative, const std::string& content) {
        const fs::path path = Dir() / "sources" / relative;
        WriteFile(path, content);
        return path.string();
    }
    std::string StoredPath(const std::string& well, int type, const std::string& fileName) {
        return QueryText("select FilePath as c from w_pic_data where WellName='" + well +
                         "' and PicType = " + std::to_string(type) + " and FileName='" + fileName +
                         "'");
    }
    fs::path PictureFolder() const { return work / "pic"; }

    fs::path work;
    std::unique_ptr<WorkDirectory> workDirectory;
    std::unique_ptr<IPicData> pictures;
};

TEST_P(PicDataTest, SaveCopiesEachFileUnderTheLocalTimeAndLoadsItBackUnderTheWorkDirectory) {
    const std::string core = Source("core.jpg", "core picture");
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(1, pictures->SaveWellPictures(Pictures("W1", 3, {Picture(core, 1500.5, "cored")})));
    const std::time_t after = std::time(nullptr);

    const std::string stored = StoredPath("W1", 3, "core.jpg");
    ASSERT_EQ(0u, stored.rfind("pic\\", 0)) << stored;
    const std::string copy = stored.substr(4);
    EXPECT_TRUE(StampedWithin(copy, before, after, "core.jpg")) << copy;
    EXPECT_EQ("core picture", ReadFile(PictureFolder() / copy));
    EXPECT_EQ("core picture", ReadFile(core));  // the source stays where it was

    PicSet set;
    ASSERT_EQ(1, pictures->LoadWellPictures("W1", 3, set));
    EXPECT_EQ("W1", set.WellName);
    EXPECT_EQ(3, set.PicType);
    EXPECT_EQ("type 3", set.PicTypeName);
    ASSERT_EQ(1u, set.Records.size());
    EXPECT_EQ(work.string() + "/pic/" + copy, set.Records[0].FilePath);
    EXPECT_EQ("core.jpg", set.Records[0].FileName);
    EXPECT_EQ(1500.5, set.Records[0].TopDepth);
    EXPECT_EQ(1501.75, set.Records[0].BottomDepth);
    EXPECT_EQ("cored", set.Records[0].Description);

    std::string full;
    ASSERT_EQ(1, pictures->GetPictureFullPath(copy, full));
    EXPECT_EQ(set.Records[0].FilePath, full);
}

TEST_P(PicDataTest, PicturesAlreadyInTheFolderAreKeptAsTheyAreByLoadThenSave) {
    ASSERT_EQ(1, pictures->SaveWellPictures(
                     Pictures("W1", 3, {Picture(Source("core.jpg", "core"), 10.0)})));
    const std::string stored = StoredPath("W1", 3, "core.jpg");
    ASSERT_EQ(1u, FilesIn(PictureFolder()).size());

    // Loaded with absolute paths, saved again: no second copy.
    PicSet loaded;
    ASSERT_EQ(1, pictures->LoadWellPictures("W1", 3, loaded));
    ASSERT_EQ(1, pictures->SaveWellPictures(loaded));
    EXPECT_EQ(stored, StoredPath("W1", 3, "core.jpg"));

    // Loaded as stored, relative to the work directory: resolved, not lost.
    std::vector<PicSet> sets;
    ASSERT_EQ(1, pictures->LoadWellPictureSets("W1", 3, sets));
    ASSERT_EQ(1u, sets.size());
    ASSERT_EQ(1u, sets[0].Records.size());
    EXPECT_EQ(stored, sets[0].Records[0].FilePath);
    ASSERT_EQ(1, pictures->SaveWellPictures(sets[0]));
    EXPECT_EQ(stored, StoredPath("W1", 3, "core.jpg"));
    EXPECT_EQ(1u, FilesIn(PictureFolder()).size());
    EXPECT_EQ(1, Count("w_pic_data"));

    // Copied by hand: the file is in place, its name given back.
    std::string name = "unchanged";
    EXPECT_EQ(0,
              pictures->CopyPictureToWorkDir((work / Slashed(stored)).string(), "other.jpg", name));
    EXPECT_EQ("other.jpg", name);
    EXPECT_EQ(1u, FilesIn(PictureFolder()).size());
}

TEST_P(PicDataTest, SameNamedFilesCopiedWithinOneSecondAreAllKept) {
    const std::string first = Source("a/core.jpg", "first");
    const std::string second = Source("b/core.jpg", "second");
    ASSERT_EQ(1, pictures->SaveWellPictures(
                     Pictures("W1", 1, {Picture(first, 10.0, "a"), Picture(second, 20.0, "b")})));
    std::vector<PicSet> sets;
    ASSERT_EQ(1, pictures->LoadWellPictureSets("W1", 1, sets));
    ASSERT_EQ(1u, sets.size());
    ASSERT_EQ(2u, sets[0].Records.size());
    std::map<std::string, std::string> contents;  // description -> content of the copy
    for (const PicRecord& record : sets[0].Records) {
        contents[record.Description] = ReadFile(work / Slashed(record.FilePath));
    }
    EXPECT_EQ("first", contents["a"]);
    EXPECT_EQ("second", contents["b"]);
    EXPECT_NE(sets[0].Records[0].FilePath, sets[0].Records[1].FilePath);

    // Every plain name of the next seconds taken: the copy takes a counter
    // and leaves the files there as they were.
    const std::string slab = Source("c/slab.jpg", "slab");
    const std::time_t now = std::time(nullptr);
    for (std::time_t when = now; when <= now + 5; ++when) {
        WriteFile(PictureFolder() / (LocalStamp(when) + "slab.jpg"), "taken");
    }
    std::string stored;
    ASSERT_EQ(1, pictures->CopyPictureToWorkDir(slab, "slab.jpg", stored));
    EXPECT_TRUE(StampedWithin(stored, now, now + 5, "_2_slab.jpg")) << stored;
    EXPECT_EQ("slab", ReadFile(PictureFolder() / stored));
    for (std::time_t when = now; when <= now + 5; ++when) {
        EXPECT_EQ("taken", ReadFile(PictureFolder() / (LocalStamp(when) + "slab.jpg")));
    }
}

TEST_P(PicDataTest, FailedCopyLeavesTheStoredPicturesAndTheFolderAsTheyWere) {
    ASSERT_EQ(1, pictures->SaveWellPictures(
                     Pictures("W1", 1, {Picture(Source("kept.jpg", "kept"), 10.0)})));
    const std::string kept = StoredPath("W1", 1, "kept.jpg");
    const std::set<std::string> files = FilesIn(PictureFolder());

    // The first file copies, the second is missing: no row changes, and the
    // copy of the first goes again.
    const std::string fresh = Source("fresh.jpg", "fresh");
    EXPECT_EQ(0, pictures->SaveWellPictures(
                     Pictures("W1", 1, {Picture(fresh, 30.0), Picture(fresh + ".gone", 40.0)})));
    EXPECT_EQ(1, Count("w_pic_data"));
    EXPECT_EQ(kept, StoredPath("W1", 1, "kept.jpg"));
    EXPECT_EQ(files, FilesIn(PictureFolder()));

    // Every file copies, but a row cannot be stored: the copies go again.
    RefuseInsertsWhere("w_pic_data", "FileName", "refused.jpg");
    EXPECT_EQ(0, pictures->SaveWellPictures(Pictures(
                     "W1", 1, {Picture(fresh, 30.0), Picture(Source("refused.jpg", "r"), 40.0)})));
    EXPECT_EQ(kept, StoredPath("W1", 1, "kept.jpg"));
    EXPECT_EQ(files, FilesIn(PictureFolder()));

    // A picture folder that cannot take files.
    const fs::path blocked = Dir() / "blocked";
    WriteFile(blocked / "pic", "a file where the folder should be");
    {
        WorkDirectory elsewhere(blocked.string());
        EXPECT_EQ(0, pictures->SaveWellPictures(Pictures("W1", 1, {Picture(fresh, 30.0)})));
        std::string stored = "unchanged";
        EXPECT_EQ(0, pictures->CopyPictureToWorkDir(fresh, "fresh.jpg", stored));
        EXPECT_EQ("unchanged", stored);
        // A name that would leave the folder.
        EXPECT_EQ(0, pictures->CopyPictureToWorkDir(fresh, "../fresh.jpg", stored));
        EXPECT_EQ("unchanged", stored);
    }
    EXPECT_EQ(kept, StoredPath("W1", 1, "kept.jpg"));
    EXPECT_EQ(1, Count("w_pic_data"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(PicDataTest, RowsWrittenElsewhereLoadWithForwardSlashesUnderTheWorkDirectory) {
    Exec(
        "insert into w_pic_data (WellName, PicType, PicTypeName, TopDepth, BottomDepth, "
        "FileName, FilePath, Description) values ('W1', 7, 'cores', 1.5, 2.5, 'old.jpg', "
        "'pic\\old.jpg', 'from elsewhere')");
    Exec(
        "insert into w_pic_data (WellName, PicType, PicTypeName, TopDepth, BottomDepth, "
        "FileName, FilePath, Description) values ('W1', 8, 'logs', 3.5, 4.5, 'new.jpg', "
        "'pic/new.jpg', '')");

    PicSet set;
    ASSERT_EQ(1, pictures->LoadWellPicturesByTypeName("W1", "cores", set));
    EXPECT_EQ("W1", set.WellName);
    EXPECT_EQ("cores", set.PicTypeName);
    EXPECT_EQ(7, set.PicType);
    ASSERT_EQ(1u, set.Records.size());
    EXPECT_EQ(work.string() + "/pic/old.jpg", set.Records[0].FilePath);

    // Records already in the set stay in front.
    ASSERT_EQ(1, pictures->LoadWellPictures("W1", 8, set));
    ASSERT_EQ(2u, set.Records.size());
    EXPECT_EQ(8, set.PicType);
    EXPECT_EQ("logs", set.PicTypeName);
    EXPECT_EQ(work.string() + "/pic/new.jpg", set.Records[1].FilePath);

    NameList names{"earlier"};
    ASSERT_EQ(1, pictures->GetPictureNames("W1", 7, names));
    EXPECT_EQ((NameList{"earlier", "old.jpg"}), names);
    EXPECT_EQ(1, pictures->IsWellPictureExist("W1", 7));
    EXPECT_EQ(0, pictures->IsWellPictureExist("W1", 9));

    // Deleting one type leaves the others.
    ASSERT_EQ(1, pictures->DeleteWellPictures("W1", 7));
    EXPECT_EQ(0, pictures->IsWellPictureExist("W1", 7));
    EXPECT_EQ(1, pictures->IsWellPictureExist("W1", 8));
    // An empty set takes the type's pictures away.
    ASSERT_EQ(1, pictures->SaveWellPictures(Pictures("W1", 8, {})));
    EXPECT_EQ(0, Count("w_pic_data"));
}

TEST_P(PicDataTest, WellsWithoutPicturesLeaveTheCallersOutputAlone) {
    PicSet set = Pictures("keep", 5, {Picture("x", 1.0)});
    EXPECT_EQ(0, pictures->LoadWellPictures("W1", 1, set));
    EXPECT_EQ(0, pictures->LoadWellPicturesByTypeName("W1", "none", set));
    EXPECT_EQ("keep", set.WellName);
    EXPECT_EQ(5, set.PicType);
    EXPECT_EQ(1u, set.Records.size());
    std::vector<PicSet> sets;
    EXPECT_EQ(0, pictures->LoadWellPictureSets("W1", 1, sets));
    EXPECT_TRUE(sets.empty());
    NameList names;
    EXPECT_EQ(0, pictures->GetPictureNames("W1", 1, names));
    EXPECT_TRUE(names.empty());
}

// Other programs read the stored paths as "pic\" + the file's name: a row
// loaded and saved again keeps that form, whichever separator it was read with.
TEST_P(PicDataTest, ARowSavedAgainIsStoredWithABackslash) {
    fs::create_directories(PictureFolder());
    WriteFile(PictureFolder() / "old.jpg", "old");
    WriteFile(PictureFolder() / "new.jpg", "new");
    Exec(
        "insert into w_pic_data (WellName, PicType, PicTypeName, TopDepth, BottomDepth, "
        "FileName, FilePath, Description) values ('W1', 7, 'cores', 1.5, 2.5, 'old.jpg', "
        "'pic\\old.jpg', ''), ('W1', 7, 'cores', 3.5, 4.5, 'new.jpg', 'pic/new.jpg', '')");
    PicSet set;
    ASSERT_EQ(1, pictures->LoadWellPictures("W1", 7, set));
    ASSERT_EQ(1, pictures->SaveWellPictures(set));
    EXPECT_EQ("pic\\old.jpg", StoredPath("W1", 7, "old.jpg"));
    EXPECT_EQ("pic\\new.jpg", StoredPath("W1", 7, "new.jpg"));
    std::vector<PicSet> stored;
    ASSERT_EQ(1, pictures->LoadWellPictureSets("W1", 7, stored));
    ASSERT_EQ(1, pictures->SaveWellPictures(stored.at(0)));
    EXPECT_EQ("pic\\old.jpg", StoredPath("W1", 7, "old.jpg"));
    EXPECT_EQ(2, Count("w_pic_data"));
    EXPECT_EQ("old", ReadFile(PictureFolder() / "old.jpg"));
    EXPECT_EQ(2, std::distance(fs::directory_iterator(PictureFolder()), fs::directory_iterator()));
}

TEST_P(PicDataTest, EmptyWellNamesAreRefusedBeforeAnythingRuns) {
    testsupport::StatementLog log;
    EXPECT_EQ(0, pictures->SaveWellPictures(Pictures("", 1, {Picture(Source("a.jpg", "a"), 1)})));
    EXPECT_EQ(0, pictures->DeleteWellPictures("", 1));
    EXPECT_EQ(0, pictures->DeleteWellPictures(nullptr, 1));
    EXPECT_EQ(0, pictures->IsWellPictureExist("", 1));
    EXPECT_TRUE(log.texts.empty());
    ASSERT_EQ(4u, Boxes().size());
    for (const auto& box : Boxes()) EXPECT_EQ("井名称不能为空！", box.text);
    EXPECT_TRUE(FilesIn(PictureFolder()).empty());
}

TEST_P(PicDataTest, StatementTextsOfEveryOperation) {
    PicSet set;
    std::vector<PicSet> sets;
    NameList names;
    const std::string picture = Source("s.jpg", "s");
    ExpectStatements({
        {"load",
         [&] { pictures->LoadWellPictures("W1", 3, set); },
         {"select * from w_pic_data where WellName = 'W1' and PicType = 3"}},
        {"load sets",
         [&] { pictures->LoadWellPictureSets("W1", -2, sets); },
         {"select * from w_pic_data where WellName = 'W1' and PicType = -2"}},
        {"names",
         [&] { pictures->GetPictureNames("W1", 3, names); },
         {"select FileName from w_pic_data where WellName='W1' and PicType = 3"}},
        {"load by type name",
         [&] { pictures->LoadWellPicturesByTypeName("W1", "O'Neil 100%", set); },
         {"select * from w_pic_data where WellName = 'W1' and PicTypeName = 'O''Neil 100%'"}},
        {"save",
         [&] { pictures->SaveWellPictures(Pictures("W1", 3, {Picture(picture, 1.0)})); },
         {"w_pic_data", "delete from  w_pic_data where WellName='W1' and PicType = 3",
          "SaveData w_pic_data 1"}},
        {"delete",
         [&] { pictures->DeleteWellPictures("W1", 3); },
         {"w_pic_data", "delete from  w_pic_data where WellName='W1' and PicType = 3"}},
        {"exists",
         [&] { pictures->IsWellPictureExist("W1", 3); },
         {"w_pic_data", "select * from  w_pic_data where WellName='W1'and PicType = 3"}},
    });
}

STRATALOOM_ENGINES(PicDataTest);

TEST(PicturePathTest, TitleIsTheFileNameWithoutItsLastExtension) {
    auto pictures = NewPictures("");
    ASSERT_TRUE(pictures);
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\a\\b.c.jpg", "b.c"}, {"/a.b/c", "c"},       {"/data/core.png", "core"},
        {"core", "core"},          {"dir/sub\\n.x", "n"}, {"", ""},
    };
    for (const auto& [path, expected] : cases) {
        std::string title = "old";
        EXPECT_EQ(1, pictures->GetPathTitle(path, title)) << path;
        EXPECT_EQ(expected, title) << path;
    }
}

TEST(PicturePathTest, WithoutImportModuleOrWorkDirectoryNothingIsCopiedOrStored) {
    testsupport::TempDir dir;
    const std::string database = (dir.Path() / "Test.mdb").string();
    fs::copy_file(testsupport::TemplatePath(), database);
    const std::string row =
        "insert into w_pic_data (WellName, PicType, FilePath) values ('W1', 1, "
        "'pic/stored.jpg')";
    ASSERT_TRUE(CDbManage(database.c_str()).ExecuteSQL(row.c_str()));
    const std::string source = (dir.Path() / "core.jpg").string();
    WriteFile(source, "core");
    const fs::path work = dir.Path() / "work";
    fs::create_directories(work);

    // Runs what needs the work directory; none of it may do anything,
    // though the well has a picture to load.
    const auto expectNothing = [&](IPicData& pictures, const std::string& what) {
        PicSet set = Pictures("W1", 1, {Picture(source, 1.0)});
        EXPECT_EQ(0, pictures.SaveWellPictures(set)) << what;
        EXPECT_EQ(0, pictures.LoadWellPictures("W1", 1, set)) << what;
        EXPECT_EQ(0, pictures.LoadWellPicturesByTypeName("W1", "", set)) << what;
        EXPECT_EQ(1u, set.Records.size()) << what;
        std::string text = "unchanged";
        EXPECT_EQ(0, pictures.CopyPictureToWorkDir(source, "core.jpg", text)) << what;
        EXPECT_EQ(0, pictures.GetPictureFullPath("core.jpg", text)) << what;
        EXPECT_EQ("unchanged", text) << what;
        EXPECT_FALSE(fs::exists(work / "pic")) << what;
        // What needs no work directory still works.
        std::vector<PicSet> sets;
        EXPECT_EQ(1, pictures.LoadWellPictureSets("W1", 1, sets)) << what;
    };

    {
        testsupport::BoxCapture boxes;
        WorkDirectory empty("");
        expectNothing(*NewPictures(database), "empty work directory");
        EXPECT_TRUE(boxes.Boxes().empty());
    }

    // A copy of the module with no import module beside it nor on the
    // loader's path.
    ASSERT_EQ(nullptr, dlopen(QUERNXML_MODULE_FILE, RTLD_NOW | RTLD_NOLOAD))
        << "the import module must not stay loaded between lookups";
    const fs::path alone = dir.Path() / "alone" / "libstrataloom.so";
    fs::create_directories(alone.parent_path());
    fs::copy_file(STRATALOOM_MODULE_PATH, alone);
    {
        WorkDirectory set(work.string());
        host::Module module(alone.string().c_str());
        ASSERT_TRUE(module.Loaded());
        ASSERT_TRUE(module.QuietHooks());
        auto pictures = module.Create<IPicData>("IPicData", database);
        ASSERT_TRUE(pictures);
        expectNothing(*pictures, "no import module");
        EXPECT_EQ(0, host::Module::BoxesShown());
    }
    strataloom::db::ReleaseIdleConnections();
    CDbManage session(database.c_str());
    ASSERT_EQ(CDbManage::kRows, session.GetDataFromDB("select * from w_pic_data"));
    EXPECT_EQ(1, session.GetRecordCount());
    std::string path;
    EXPECT_TRUE(session.GetFieldValue("FilePath", path));
    EXPECT_EQ("pic/stored.jpg", path);
}

}  // namespace
