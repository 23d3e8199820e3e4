// Inputs the LAS reader's fuzz target once stopped on, or that reach its
// corners, kept under tests/data/las/fuzz and replayed on every run.
#include <gtest/gtest.h>

#include <filesystem>

#include "formatstest.h"
#include "las_check.h"

namespace {

TEST(LasFuzzFindings, EveryKeptInputKeepsThePromise) {
    const std::filesystem::path dir = formatstest::DataPath("las/fuzz");
    std::size_t replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
        std::string text;
        std::string reason;
        ASSERT_TRUE(strataloom::formats::ReadWholeFile(entry.path().string(), text, reason));
        EXPECT_EQ("", lascheck::BrokenPromise(text)) << entry.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0u);
}

}  // namespace
