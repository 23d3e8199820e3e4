// A host that forks after using the module: the child opens connections of
// its own and the parent's go on serving it, on both engines.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "support/projectdb.h"

namespace {

using Clock = std::chrono::steady_clock;
using testsupport::ProjectDbTest;

constexpr int kCalls = 500;
constexpr auto kLongestCall = std::chrono::seconds(30);

BasicWellRecord Well(const std::string& name) {
    BasicWellRecord well;
    well.WellName = name;
    well.WellDepth = 1000.0;
    return well;
}

// Saves and reads wells named after prefix; the number of failed calls, or
// of calls over the longest allowed, whichever comes first.
int RunCalls(IBasicWellData& wells, const std::string& prefix) {
    int failures = 0;
    for (int i = 0; i < kCalls; ++i) {
        const std::string name = prefix + std::to_string(i / 2 % 10);  // saved, then read
        const auto start = Clock::now();
        const bool ok = i % 2 == 0 ? wells.SaveWell("P", Well(name)) == 1
                                   : wells.IsWellExist("P", name.c_str()) == 1;
        if (!ok || Clock::now() - start > kLongestCall) ++failures;
    }
    return failures;
}

class ForkTest : public ProjectDbTest {};

TEST_P(ForkTest, ChildAndParentEachUseConnectionsOfTheirOwn) {
    auto wells = Create<IBasicWellData>("IBasicWellData");
    ASSERT_TRUE(wells);
    // The parent's connection is open and kept when the host forks.
    ASSERT_EQ(1, wells->SaveWell("P", Well("before")));
    ASSERT_EQ(1, wells->IsWellExist("P", "before"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto own = Create<IBasicWellData>("IBasicWellData");
        const int failures = RunCalls(*own, "C");
        // Nothing of the test framework runs in the child.
        ::_exit(failures == 0 && own->IsWellExist("P", "before") == 1 ? 0 : 1);
    }
    const int parentFailures = RunCalls(*wells, "F");
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    EXPECT_EQ(0, parentFailures);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status)) << "the child's calls failed";
    // Both sides' wells are there, and the parent's connection still serves.
    std::vector<BasicWellRecord> all;
    ASSERT_EQ(1, wells->LoadProjectWells("P", all));
    EXPECT_EQ(21u, all.size());
}

STRATALOOM_ENGINES(ForkTest);

}  // namespace
