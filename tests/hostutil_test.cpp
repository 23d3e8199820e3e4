// Where the module finds the application's data files.
#include "frame/hostutil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The tests link the module's code into the test program: program and module
// share one folder, the build tree's bin/.
TEST(DataFileTest, ProgramFolderComesFirstThenTheDataFolderBesideTheModule) {
    const std::vector<std::string> places = strataloom::DataFilePlaces();
    const std::string program = strataloom::GetCommandDirectory();
    ASSERT_GE(places.size(), 2u);
    EXPECT_EQ(program, places[0]);
    EXPECT_EQ(program, strataloom::GetModuleDirectory());
    EXPECT_TRUE(fs::equivalent(STRATALOOM_DATA_OUTPUT_DIR, places[1])) << places[1];
    for (std::size_t i = 0; i < places.size(); ++i) {
        EXPECT_TRUE(fs::path(places[i]).is_absolute()) << places[i];
        EXPECT_NE('/', places[i].back()) << places[i];
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(places[j], places[i]);
    }
}

TEST(DataFileTest, TheFirstPlaceHoldingTheFileWins) {
    // The server backup lies beside the program and in the data folder.
    EXPECT_EQ(strataloom::GetCommandDirectory() + "/welltrove.bak",
              strataloom::FindDataFile("welltrove.bak"));
    EXPECT_EQ(strataloom::GetCommandDirectory() + "/welltrove.bak",
              strataloom::LocateDataFile("welltrove.bak"));
    // The template lies in the data folder only.
    const std::string found = strataloom::FindDataFile("template/Projects.mdb");
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(
        fs::equivalent(std::string(STRATALOOM_DATA_OUTPUT_DIR) + "/template/Projects.mdb", found));
    // A folder of the name is not the file.
    EXPECT_EQ("", strataloom::FindDataFile("template"));
}

TEST(DataFileTest, AMissingFileIsNamedWithEveryPlaceSearched) {
    EXPECT_EQ("", strataloom::FindDataFile("no-such-backup.bak"));
    EXPECT_EQ("no-such-backup.bak was not found; searched: /a/bin; /a/lib; /usr/share/x",
              strataloom::MissingDataFileReason("no-such-backup.bak",
                                                {"/a/bin", "/a/lib", "/usr/share/x"}));
    // The operation still gets a path, beside the program, to fail on.
    EXPECT_EQ(strataloom::GetCommandDirectory() + "/no-such-backup.bak",
              strataloom::LocateDataFile("no-such-backup.bak"));
}

}  // namespace
