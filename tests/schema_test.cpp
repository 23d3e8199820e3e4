// Every column table of the data classes against the one definition of the
// tables and against the tables both engines really hold.
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>

#include "datadefine/columns.h"
#include "support/projectdb.h"

namespace {

using strataloom::ColumnKind;
using strataloom::MappedTable;
using testsupport::ProjectDbTest;
using Columns = std::map<std::string, std::string>;  // lower-case name -> declared type

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The tables of the definition file: "CREATE TABLE t (" then "  Name TYPE," lines.
std::map<std::string, Columns> DefinedTables() {
    std::map<std::string, Columns> tables;
    std::ifstream definition(STRATALOOM_SCHEMA_PATH);
    std::string table;
    for (std::string line; std::getline(definition, line);) {
        if (line.rfind("CREATE TABLE ", 0) == 0) {
            table = Lower(line.substr(13, line.find(' ', 13) - 13));
        } else if (line == ");") {
            table.clear();
        } else if (!table.empty() && line.rfind("  ", 0) == 0) {
            const std::size_t blank = line.find(' ', 2);
            const std::size_t end = line.find_first_of(" ,", blank + 1);
            tables[table][Lower(line.substr(2, blank - 2))] =
                line.substr(blank + 1, end - blank - 1);
        }
    }
    return tables;
}

Columns MappedColumns(const MappedTable& mapped) {
    Columns columns;
    for (const strataloom::ColumnShape& shape : mapped.ColumnShapes()) {
        const auto inserted =
            columns.emplace(Lower(shape.name), strataloom::SchemaType(shape.kind)).second;
        EXPECT_TRUE(inserted) << mapped.Table() << " maps " << shape.name << " twice";
    }
    return columns;
}

// The server's name of a definition type.
std::string ServerType(const std::string& type) {
    if (type == "TEXT") return "text";
    if (type == "INTEGER") return "integer";
    if (type == "REAL") return "double precision";
    if (type == "BLOB") return "bytea";
    return type;
}

TEST(SchemaTest, EveryMappedTableMatchesTheDefinition) {
    const auto defined = DefinedTables();
    int tables = 0;
    for (const MappedTable* mapped = MappedTable::First(); mapped; mapped = mapped->Next()) {
        ++tables;
        const auto found = defined.find(Lower(mapped->Table()));
        ASSERT_NE(defined.end(), found) << mapped->Table() << " is not defined";
        EXPECT_EQ(found->second, MappedColumns(*mapped)) << mapped->Table();
    }
    EXPECT_GE(tables, 8);
}

TEST(SchemaTest, TemplateMakerRefusesWhatItDoesNotRecognise) {
    testsupport::TempDir dir;
    const auto definition = dir.Path() / "tables.sql";
    std::ofstream(definition) << "CREATE TABLE t (\n  A TEXT,\n  B REAL NOT NULL\n);\n";
    const std::string command = std::string(STRATALOOM_MAKE_TEMPLATE) + " " + definition.string() +
                                " " + (dir.Path() / "t.mdb").string() + " 2>/dev/null";
    EXPECT_NE(0, std::system(command.c_str()));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "t.mdb"));
}

class EngineSchemaTest : public ProjectDbTest {
  protected:
    // The columns the engine holds for table, with their types in the
    // definition's names.
    Columns EngineColumns(const std::string& table) {
        const std::string sql = OnServer()
                                    ? "select column_name as name, data_type as type from "
                                      "information_schema.columns where table_name = '" +
                                          Lower(table) + "'"
                                    : "select name, type from pragma_table_info('" + table + "')";
        CDbManage session(Connect().c_str());
        Columns columns;
        if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return columns;
        while (session.Read()) {
            std::string name, type;
            session.GetFieldValue("name", name);
            session.GetFieldValue("type", type);
            columns[Lower(name)] = type;
        }
        return columns;
    }
};

TEST_P(EngineSchemaTest, EveryMappedTableMatchesTheDatabase) {
    for (const MappedTable* mapped = MappedTable::First(); mapped; mapped = mapped->Next()) {
        Columns expected = MappedColumns(*mapped);
        if (OnServer()) {
            for (auto& column : expected) column.second = ServerType(column.second);
        }
        EXPECT_EQ(expected, EngineColumns(mapped->Table())) << mapped->Table();
    }
}

STRATALOOM_ENGINES(EngineSchemaTest);

}  // namespace
