// What users do with project directories: copy, archive and restore them,
// read them from read-only places, hand over a file that is no project; and
// what a second process does to a project file: hold its lock for a while.
// Embedded engine only.
#include <sqlite3.h>
#include <sys/stat.h>

#include <fstream>

#include "dbaccess/connectionregistry.h"
#include "dbaccess/sessionlimits.h"
#include "support/childprocess.h"
#include "support/projectdb.h"

namespace fs = std::filesystem;

namespace {

using testsupport::ChildProcess;
using testsupport::ProjectDbTest;

MarkerSet Markers(const std::string& well, int count) {
    MarkerSet set;
    set.WellName = well;
    for (int i = 0; i < count; ++i) {
        MarkerRecord marker;
        marker.MarkerName = "M" + std::to_string(i);
        marker.TopDepth = i;
        set.Records.push_back(marker);
    }
    return set;
}

std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Bytes 18 and 19 of the header: 1 for the rollback journal, 2 for a
// write-ahead log, which a reader cannot use without write access beside it.
std::string JournalFormat(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    char header[20] = {};
    in.read(header, sizeof header);
    return std::to_string(header[18]) + std::to_string(header[19]);
}

class ProjectFileTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        markers = Create<IMarkerData>("IMarkerData");
        ASSERT_TRUE(markers);
    }
    std::unique_ptr<IMarkerData> MarkersOn(const fs::path& file) {
        auto object = Create<IMarkerData>("IMarkerData");
        object->SetConnectString(file.string().c_str());
        return object;
    }
    std::size_t MarkerCount(IMarkerData& data, const char* well) {
        MarkerSet set;
        return data.LoadWellData(well, set) ? set.Records.size() : 0;
    }
    std::unique_ptr<IMarkerData> markers;
};

TEST_P(ProjectFileTest, FileCopiedBetweenCallsHoldsEverySave) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", 5)));
    ASSERT_EQ(1, markers->SaveWellData(Markers("W2", 3)));
    // Nothing but the project file, though the host keeps its connection.
    EXPECT_EQ(std::vector<std::string>{"Test.mdb"}, FilesIn(Dir()));
    EXPECT_EQ("11", JournalFormat(Connect()));
    const fs::path copy = Dir() / "copy" / "Test.mdb";
    fs::create_directories(copy.parent_path());
    fs::copy_file(Connect(), copy);
    auto copied = MarkersOn(copy);
    EXPECT_EQ(5u, MarkerCount(*copied, "W1"));
    EXPECT_EQ(3u, MarkerCount(*copied, "W2"));
}

TEST_P(ProjectFileTest, BackupCopiedOverAProjectInUseIsWhatTheHostSeesNext) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", 5)));
    const fs::path backup = Dir() / "backup.mdb";
    fs::copy_file(Connect(), backup);
    ASSERT_EQ(1, markers->SaveWellData(Markers("W2", 3)));
    // Copied in place, and once more as a new file put in its place.
    fs::copy_file(backup, Connect(), fs::copy_options::overwrite_existing);
    ASSERT_EQ(1, markers->SaveWellData(Markers("W3", 2)));
    EXPECT_EQ(5u, MarkerCount(*markers, "W1"));
    EXPECT_EQ(0u, MarkerCount(*markers, "W2"));
    EXPECT_EQ(2u, MarkerCount(*markers, "W3"));
    fs::copy_file(Connect(), Dir() / "next.mdb");
    fs::copy_file(backup, Dir() / "restored.mdb");
    fs::rename(Dir() / "restored.mdb", Connect());
    EXPECT_EQ(0u, MarkerCount(*markers, "W3"));
    ASSERT_EQ(1, markers->SaveWellData(Markers("W4", 1)));
    EXPECT_EQ(1u, MarkerCount(*MarkersOn(Connect()), "W4"));
}

// Reads in a row are answered without looking at the path; a project put in
// place of the one in use, by a rename of the file or of a folder above it,
// is still what the next read sees.
TEST_P(ProjectFileTest, ProjectPutInPlaceAfterReadsIsWhatTheNextReadSees) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", 5)));
    fs::copy_file(Connect(), Dir() / "five.mdb");
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", 2)));
    for (const char* folder : {"p", "q"}) fs::create_directories(Dir() / folder);
    fs::copy_file(Connect(), Dir() / "p" / "Proj.mdb");
    fs::copy_file(Dir() / "five.mdb", Dir() / "q" / "Proj.mdb");
    fs::copy_file(Connect(), Dir() / "two.mdb");
    auto project = MarkersOn(Dir() / "p" / "Proj.mdb");
    EXPECT_EQ(2u, MarkerCount(*project, "W1"));
    EXPECT_EQ(2u, MarkerCount(*project, "W1"));
    fs::rename(Dir() / "p", Dir() / "p.old");
    fs::rename(Dir() / "q", Dir() / "p");
    EXPECT_EQ(5u, MarkerCount(*project, "W1"));
    EXPECT_EQ(5u, MarkerCount(*project, "W1"));
    fs::rename(Dir() / "two.mdb", Dir() / "p" / "Proj.mdb");
    EXPECT_EQ(2u, MarkerCount(*project, "W1"));
}

TEST_P(ProjectFileTest, ProjectOnAReadOnlyPlaceCanBeReadButNotWritten) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", 5)));
    strataloom::db::ReleaseIdleConnections();
    const fs::path place = Dir() / "archive";
    fs::create_directories(place);
    fs::copy_file(Connect(), place / "Ro.mdb");
    // Readable by all, writable by none (the worker gives up super-user rights).
    fs::permissions(Dir(), fs::perms(0755));
    fs::permissions(place / "Ro.mdb", fs::perms(0444));
    fs::permissions(place, fs::perms(0555));
    const std::string file = (place / "Ro.mdb").string();
    std::string line;
    {
        ChildProcess reader({"--as-nobody", "read-markers", file, "W1"});
        ASSERT_TRUE(reader.ReadLine(line, std::chrono::seconds(30)));
        EXPECT_EQ("5", line);
    }
    {
        ChildProcess writer({"--as-nobody", "delete-markers", file, "W1"});
        ASSERT_TRUE(writer.ReadLine(line, std::chrono::seconds(30)));
        EXPECT_EQ(0u, line.rfind("result 0 ", 0)) << line;
        EXPECT_NE(std::string::npos, line.find("Ro.mdb")) << line;
    }
    EXPECT_EQ(std::vector<std::string>{"Ro.mdb"}, FilesIn(place));
    EXPECT_EQ(5u, MarkerCount(*MarkersOn(place / "Ro.mdb"), "W1"));
    fs::permissions(place, fs::perms(0755));
}

TEST_P(ProjectFileTest, ProjectLeftInWriteAheadModeIsBroughtBack) {
    {
        sqlite3* handle = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(Connect().c_str(), &handle));
        sqlite3_exec(handle, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        sqlite3_exec(handle,
                     "insert into w_marker_data (WellName, MarkerName) values ('W1', 'old')",
                     nullptr, nullptr, nullptr);
        sqlite3_close(handle);
    }
    ASSERT_EQ("22", JournalFormat(Connect()));
    EXPECT_EQ(1u, MarkerCount(*markers, "W1"));
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", 2)));
    EXPECT_EQ("11", JournalFormat(Connect()));
    EXPECT_EQ(std::vector<std::string>{"Test.mdb"}, FilesIn(Dir()));
}

TEST_P(ProjectFileTest, FileThatIsNoProjectIsRefusedAndLeftAsItWas) {
    const fs::path empty = Dir() / "Empty.mdb";
    std::ofstream(empty).close();
    const fs::path text = Dir() / "Notes.mdb";
    std::ofstream(text) << "not a project database, but text long enough to be read as one";
    for (const fs::path& file : {empty, text}) {
        const auto size = fs::file_size(file);
        auto other = MarkersOn(file);
        EXPECT_EQ(0, other->SaveWellData(Markers("W1", 2)));
        EXPECT_NE(std::string::npos, std::string(StrataloomLastError()).find("not a project"))
            << StrataloomLastError();
        EXPECT_EQ(0, other->DeleteWellData("W1"));
        MarkerSet set;
        EXPECT_EQ(0, other->LoadWellData("W1", set));
        EXPECT_EQ(size, fs::file_size(file)) << file;
    }
    EXPECT_EQ((std::vector<std::string>{"Empty.mdb", "Notes.mdb", "Test.mdb"}), FilesIn(Dir()));
}

TEST_P(ProjectFileTest, WritesWorkAgainOnceAnotherProcessLetsTheLockGo) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", 5)));
    strataloom::db::SessionLimits limits;
    limits.lockWait = std::chrono::milliseconds(300);
    strataloom::db::ScopedLimits shortWait(limits);
    ChildProcess holder({"hold-lock", Connect(), "1500"});
    std::string line;
    ASSERT_TRUE(holder.ReadLine(line, std::chrono::seconds(30)));
    ASSERT_EQ("locked", line);
    EXPECT_EQ(0, markers->SaveWellData(Markers("W1", 2)));
    EXPECT_NE(std::string::npos, std::string(StrataloomLastError()).find("locked"))
        << StrataloomLastError();
    EXPECT_EQ(0, markers->DeleteWellData("W1"));
    EXPECT_EQ(5u, MarkerCount(*markers, "W1"));  // readers are not kept out
    EXPECT_EQ(0, holder.Wait());
    EXPECT_EQ(1, markers->SaveWellData(Markers("W1", 2)));
    EXPECT_EQ(1, markers->SaveWellData(Markers("W1", 3)));
    EXPECT_EQ(1, markers->DeleteWellData("W2"));
    EXPECT_EQ(3u, MarkerCount(*markers, "W1"));
}

INSTANTIATE_TEST_SUITE_P(Engines, ProjectFileTest, ::testing::Values(testsupport::Engine::Sqlite),
                         testsupport::EngineName);

}  // namespace
