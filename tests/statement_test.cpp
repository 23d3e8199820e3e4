// Statements as values: the text a data class wrote, the engine's text with
// a marker per value, and the values, built together and never read back.
#include "dbaccess/statement.h"

#include <gtest/gtest.h>

namespace {

using strataloom::db::kMostListedValues;
using strataloom::db::Statement;
using strataloom::db::StatementKind;
using strataloom::db::ValueList;
using Values = std::vector<std::string>;

TEST(StatementTest, ValuesShowQuotedInTheTextAndTravelApartForTheEngine) {
    const Statement statement =
        "select * from  w_well_data where WellName=" + Statement::Value("O'Brien") +
        "and ProjectName=" + Statement::Value(std::string("P\0x", 3)) + " order by WellName";
    EXPECT_EQ("select * from  w_well_data where WellName='O''Brien'and ProjectName='" +
                  std::string("P\0x", 3) + "' order by WellName",
              statement.Text());
    EXPECT_EQ("select * from  w_well_data where WellName=?and ProjectName=? order by WellName",
              statement.Sql());
    // A numbered marker never runs into the word after it.
    EXPECT_EQ("select * from  w_well_data where WellName=$1 and ProjectName=$2 order by WellName",
              statement.NumberedSql());
    EXPECT_EQ((Values{"O'Brien", std::string("P\0x", 3)}), statement.Values());
    EXPECT_TRUE(statement.HoldsZeroByte());
    EXPECT_FALSE(Statement("select 1").HoldsZeroByte());
}

// Parts taken over and parts copied make the same statement.
TEST(StatementTest, JoiningTemporariesGivesWhatJoiningKeptPartsGives) {
    const Statement well = Statement::Value("W'1");
    const Statement project = Statement::Value("P");
    const Statement kept = "a=" + well + " and b=" + project;
    const Statement taken = "a=" + Statement::Value("W'1") + " and b=" + Statement::Value("P");
    Statement appended;
    appended += Statement::Value("W'1");
    appended.Prepend("a=", 2);
    appended += " and b=";
    appended += Statement::Value("P");
    for (const Statement* built : {&taken, static_cast<const Statement*>(&appended)}) {
        EXPECT_EQ(kept.Text(), built->Text());
        EXPECT_EQ(kept.Sql(), built->Sql());
        EXPECT_EQ(kept.Markers(), built->Markers());
        EXPECT_EQ(kept.Values(), built->Values());
        EXPECT_EQ(kept.NumberedSql(), built->NumberedSql());
    }
    Statement plain;
    plain += Statement::WholeTable("w_well_data");
    EXPECT_EQ(StatementKind::Statement, plain.Kind());
}

TEST(StatementTest, TablesAreDeclaredOnceAndKindsAreGivenNotGuessed) {
    Statement statement =
        Statement("delete from  w_marker_data where ") + "WellName=" + Statement::Value("W1");
    statement.On("w_marker_data").On("w_marker_data").On("b_text_code");
    EXPECT_EQ((Values{"w_marker_data", "b_text_code"}), statement.Tables());
    EXPECT_EQ(StatementKind::Statement, statement.Kind());

    const Statement whole = Statement::WholeTable("w_log_data");
    EXPECT_EQ(StatementKind::WholeTable, whole.Kind());
    EXPECT_EQ("w_log_data", whole.Text());
    EXPECT_EQ((Values{"w_log_data"}), whole.Tables());

    // A text that reads like a restore is a statement like any other.
    EXPECT_EQ(StatementKind::Statement, Statement("RESTORE DATABASE x FROM DISK = 'y'").Kind());
    const Statement restore =
        Statement::Request(StatementKind::Restore, "RESTORE ...", {"Proj", "/a/b.bak"});
    EXPECT_EQ(StatementKind::Restore, restore.Kind());
    EXPECT_EQ((Values{"Proj", "/a/b.bak"}), restore.Arguments());
    EXPECT_TRUE(restore.Values().empty());
}

TEST(StatementTest, InListsPassShortListsAsValuesAndLongOnesInTheText) {
    const Statement shortList = "WellName in (" + ValueList({"A", "B'C"}) + ")";
    EXPECT_EQ("WellName in ('A','B''C')", shortList.Text());
    EXPECT_EQ("WellName in (?,?)", shortList.Sql());
    EXPECT_EQ((Values{"A", "B'C"}), shortList.Values());

    Values many;
    for (std::size_t i = 0; i <= kMostListedValues; ++i) many.push_back("W'" + std::to_string(i));
    const Statement longList = "WellName in (" + ValueList(many) + ")";
    EXPECT_TRUE(longList.Values().empty());
    EXPECT_EQ(longList.Text(), longList.Sql());
    EXPECT_NE(std::string::npos, longList.Sql().find("'W''32'"));

    EXPECT_EQ("WellName in ()", ("WellName in (" + ValueList({}) + ")").Text());
}

}  // namespace
