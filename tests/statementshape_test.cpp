// The shape in which the engines prepare the statements of the data classes:
// the literals compared with a column become parameters, nothing else does,
// and the values the parameters carry are the literals' own.
#include <gtest/gtest.h>

#include "dbaccess/dialect.h"

namespace {

using strataloom::db::kMostParameters;
using strataloom::db::Markers;
using strataloom::db::ShapeStatement;
using strataloom::db::StatementShape;

StatementShape Shape(const std::string& sql, Markers markers = Markers::Question) {
    StatementShape shape;
    ShapeStatement(sql, markers, shape);
    return shape;
}

using Values = std::vector<std::string>;

TEST(StatementShapeTest, LiteralsComparedWithAColumnBecomeParametersInOrder) {
    const std::string sql =
        "select WellName from  w_well_data where WellName='W1' and ProjectName='P'";
    StatementShape shape = Shape(sql);
    EXPECT_EQ("select WellName from  w_well_data where WellName=? and ProjectName=?", shape.text);
    EXPECT_EQ((Values{"W1", "P"}), shape.values);
    shape = Shape(sql, Markers::Numbered);
    EXPECT_EQ("select WellName from  w_well_data where WellName=$1 and ProjectName=$2", shape.text);
    shape = Shape(sql, Markers::None);
    EXPECT_EQ(sql, shape.text);
    EXPECT_TRUE(shape.values.empty());

    // Every comparison operator, quoted and qualified names, a doubled quote.
    shape = Shape("delete from t where a.Name<>'x' and \"Top\">='1.5' and B = 'O''Brien'");
    EXPECT_EQ("delete from t where a.Name<>? and \"Top\">=? and B = ?", shape.text);
    EXPECT_EQ((Values{"x", "1.5", "O'Brien"}), shape.values);
    // A marker never runs into the word after it.
    shape = Shape("update t set A=1 where B='x'and C='y'");
    EXPECT_EQ("update t set A=1 where B=? and C=?", shape.text);
}

TEST(StatementShapeTest, InListMembersBecomeParametersAndTheDialectIsStillRewritten) {
    StatementShape shape = Shape("delete * from w_marker_data where WellName in ('A','B', 'C')");
    EXPECT_EQ("delete from w_marker_data where WellName in (?,?, ?)", shape.text);
    EXPECT_EQ((Values{"A", "B", "C"}), shape.values);
    shape = Shape("select all distinct WellName from t where WellName in ()");
    EXPECT_EQ("select distinct WellName from t where WellName in (NULL)", shape.text);
    EXPECT_TRUE(shape.values.empty());
}

TEST(StatementShapeTest, LiteralsNotComparedWithAColumnStayAsTheyAre) {
    for (const std::string& sql : {
             std::string("select 'x' as c from t"),
             std::string("select * from t where Name like 'A%'"),
             std::string("select * from t where upper(Name)='A'"),
             std::string("select * from t where 'A'=Name"),
             std::string("insert into t (Name) values ('A')"),
             std::string("create table t (Name text default 'A')"),
             std::string("select * from t where Name='unclosed"),
         }) {
        const StatementShape shape = Shape(sql);
        EXPECT_EQ(sql, shape.text) << sql;
        EXPECT_TRUE(shape.values.empty()) << sql;
    }
}

TEST(StatementShapeTest, LongInListsArePreparedAsTheyStand) {
    std::string list;
    for (std::size_t i = 0; i <= kMostParameters; ++i) {
        list += (i ? ",'W" : "'W") + std::to_string(i) + "'";
    }
    const std::string sql = "delete * from t where WellName in (" + list + ")";
    const StatementShape shape = Shape(sql);
    EXPECT_EQ("delete from t where WellName in (" + list + ")", shape.text);
    EXPECT_TRUE(shape.values.empty());
}

}  // namespace
