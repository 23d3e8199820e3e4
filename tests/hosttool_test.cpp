// The host program's argument parsing and the server connection strings it
// prints and uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command.h"
#include "serverconnect.h"

namespace {

using tool::Arguments;
using tool::ParseArguments;
using tool::ServerDatabaseConnect;
using tool::Syntax;

const Syntax kProjectSyntax{
    1, 2, {{"--template", "DIR"}, {"--server", "CONNECTION"}, {"--force", nullptr}}};

std::string ParseError(const std::vector<std::string>& words,
                       const Syntax& syntax = kProjectSyntax) {
    Arguments args;
    std::string error;
    EXPECT_FALSE(ParseArguments(words, syntax, args, error));
    return error;
}

TEST(HostToolTest, OptionsAreTakenWhereverTheyStandAndWithTheirValues) {
    Arguments args;
    std::string error;
    ASSERT_TRUE(ParseArguments({"--template", "/t", "parent", "--server=host=/x dbname=y", "name"},
                               kProjectSyntax, args, error))
        << error;
    EXPECT_EQ((std::vector<std::string>{"parent", "name"}), args.positional);
    EXPECT_EQ("/t", args.Value("--template"));
    EXPECT_EQ("host=/x dbname=y", args.Value("--server"));
    EXPECT_FALSE(args.Has("--force"));

    Arguments dashed;
    ASSERT_TRUE(ParseArguments({"--force", "--", "-odd-name"}, kProjectSyntax, dashed, error));
    EXPECT_TRUE(dashed.Has("--force"));
    EXPECT_EQ(std::vector<std::string>{"-odd-name"}, dashed.positional);
}

TEST(HostToolTest, WordsThatDoNotFitSayWhatWasWrong) {
    EXPECT_EQ("unknown option --templat", ParseError({"p", "n", "--templat", "/t"}));
    EXPECT_EQ("--template needs a value (DIR)", ParseError({"p", "n", "--template"}));
    EXPECT_EQ("--template is given twice", ParseError({"--template=a", "p", "--template", "b"}));
    EXPECT_EQ("--force takes no value", ParseError({"p", "--force=yes"}));
    EXPECT_EQ("takes at most 2 arguments, 3 given", ParseError({"p", "n", "extra"}));
    EXPECT_EQ("needs at least 1 argument, 0 given", ParseError({"--force"}));
    EXPECT_EQ("takes no arguments", ParseError({"x"}, Syntax{0, 0, {}}));
}

TEST(HostToolTest, KeywordConnectionNamesTheDatabaseOnce) {
    EXPECT_EQ("host=/tmp/s port=5432 user=u dbname=Field",
              ServerDatabaseConnect("host=/tmp/s port=5432 user=u dbname=postgres", "Field"));
    EXPECT_EQ("host=/tmp/s dbname=Field", ServerDatabaseConnect("host=/tmp/s", "Field"));
    EXPECT_EQ("host=/tmp/s dbname=Field", ServerDatabaseConnect("host=/tmp/s  ", "Field"));
    EXPECT_EQ(
        "dbname = Field host='/a b' password='x\\' dbname=y'",
        ServerDatabaseConnect("dbname = 'postgres' host='/a b' password='x\\' dbname=y'", "Field"));
    EXPECT_EQ("dbname=Field user=u dbname=Field",
              ServerDatabaseConnect("dbname=a user=u dbname=b", "Field"));
}

TEST(HostToolTest, UriConnectionNamesTheDatabaseInItsPath) {
    EXPECT_EQ("postgresql://u@h:5432/Field",
              ServerDatabaseConnect("postgresql://u@h:5432/postgres", "Field"));
    EXPECT_EQ("postgres://h/Field?sslmode=disable",
              ServerDatabaseConnect("postgres://h?sslmode=disable", "Field"));
    EXPECT_EQ("postgresql:///Field?host=/tmp/s",
              ServerDatabaseConnect("postgresql:///postgres?host=/tmp/s", "Field"));
}

}  // namespace
