#include "formats/projectcheck.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>
#include <tuple>

#include "formats/commandsupport.h"
#include "formats/directdb.h"
#include "formats/schemadefinition.h"
#include "formats/text.h"

namespace strataloom::formats {

namespace {

constexpr double kNoValue = -99999.0;  // a depth that has no value
constexpr const char* kWellTable = kWellHeaderTable;
constexpr const char* kProjectTable = "b_project_data";
constexpr const char* kCurveTable = "w_log_data";
constexpr const char* kSurveyTable = "w_deviate_well";

// The columns whose value the data classes keep once: a save replaces the
// row of its key, so two rows of one key mean a row no load tells apart.
struct KeyedTable {
    const char* table;
    std::vector<const char*> keys;
};
const std::vector<KeyedTable>& KeyedTables() {
    static const std::vector<KeyedTable> tables = {
        {kProjectTable, {"ProjectName"}},
        {kWellTable, {"WellName"}},
        {kCurveTable, {"WellName", "CurveName"}},
        {kSurveyTable, {"WellName"}},
        {"w_curve_dictionary", {"CurveName"}},
        {"b_aoi_data", {"AOIName"}},
        {"b_sectionwelllist_data", {"Setction_Name"}},
        {"s_structure_data", {"MarkerName"}},
        {"s_linegrid3d_data", {"LineGrid3DName"}},
        {"b_project_unit", {"ProjectName"}},
    };
    return tables;
}

// The tables of markers picked in wells, with the column naming the marker.
const std::vector<std::pair<const char*, const char*>>& MarkerTables() {
    static const std::vector<std::pair<const char*, const char*>> tables = {
        {"w_marker_data", "MarkerName"},
        {"w_smallmarker_data", "SmallMarkerName"},
        {"w_lith_marker_data", "LithMarkerName"},
    };
    return tables;
}

bool SameName(const std::string& a, const std::string& b) {
    return LowerName(a) == LowerName(b);
}

// The column that names a row within its well or project: the first text
// column after them (CurveName, MarkerName, CSName...); empty when none.
std::string NameColumn(const DefinedTable& table) {
    for (const DefinedColumn& column : table.columns) {
        if (column.type == "TEXT" && !SameName(column.name, "WellName") &&
            !SameName(column.name, "ProjectName")) {
            return column.name;
        }
    }
    return std::string();
}

// Value arrays: the byte-array columns that are not image content.
std::vector<std::string> ValueArrayColumns(const DefinedTable& table) {
    std::vector<std::string> columns;
    for (const DefinedColumn& column : table.columns) {
        if (column.type == "BLOB" && !SameName(column.name, "ImageData"))
            columns.push_back(column.name);
    }
    return columns;
}

const DefinedTable* Defined(const std::string& name) {
    for (const DefinedTable& table : DefinedTables()) {
        if (SameName(table.name, name)) return &table;
    }
    return nullptr;
}

std::string JoinText(const std::vector<std::string>& parts, const char* between) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? between : "") + parts[i];
    return text;
}

std::string Rows(std::size_t count) {
    return Counted(count, "row");
}

std::string Text(const Cell& value) {
    return value.Text();
}

std::size_t Count(const Cell& value) {
    return static_cast<std::size_t>(std::llround(value.Number()));
}

// The doubles of a stored value array: 8 little-endian bytes each, trailing
// bytes beyond whole values left out.
std::vector<double> Doubles(const std::string& bytes) {
    std::vector<double> values(bytes.size() / sizeof(double));
    for (std::size_t i = 0; i < values.size(); ++i) {
        unsigned char word[sizeof(double)];
        std::memcpy(word, bytes.data() + i * sizeof(double), sizeof(double));
        if (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__) std::reverse(word, word + sizeof(double));
        std::memcpy(&values[i], word, sizeof(double));
    }
    return values;
}

// Where depths stop going one way: the index of the first sample that does
// not follow the one before it strictly in the direction the first two set
// (a NaN follows nothing); values.size() when they all do.
std::size_t FirstOutOfOrder(const std::vector<double>& values) {
    if (values.size() < 2) return values.size();
    const bool down = values[1] > values[0];
    for (std::size_t i = 1; i < values.size(); ++i) {
        const bool follows = down ? values[i] > values[i - 1] : values[i] < values[i - 1];
        if (!follows) return i;
    }
    return values.size();
}

// ---- the checks -------------------------------------------------------------

class Checker {
  public:
    Checker(DirectConnection& db, const CheckOptions& options, std::vector<CheckFinding>& findings)
        : db_(db), project_(options.project), findings_(findings) {}

    // Every check in turn; false with the reason when a read failed.
    bool CheckAll(std::string& reason) {
        if (!db_.Tables(present_)) {
            reason = "cannot read the " + db_.Name() + ": " + db_.Failure();
            return false;
        }
        if (!project_.empty() && !ProjectKnown(reason)) return false;
        const bool read = CheckTables() && CheckRowsWithoutHeader() && CheckWellsWithoutProject() &&
                          CheckDuplicateKeys() && CheckCurves() && CheckDepthCurveOrder() &&
                          CheckMarkerDepths() && CheckSurveys() && CheckValueArrays();
        if (!read) reason = "cannot read the " + db_.Name() + ": " + db_.Failure();
        return read;
    }

    // Removes the rows of wells without a header from every table that has
    // them; false with the reason (the caller then rolls everything back).
    bool RemoveRowsWithoutHeader(std::string& reason) {
        std::vector<std::string> tables;
        for (const CheckFinding& finding : findings_) {
            if (finding.problem == CheckProblem::kRowsWithoutHeader &&
                std::find(tables.begin(), tables.end(), finding.table) == tables.end()) {
                tables.push_back(finding.table);
            }
        }
        for (const std::string& table : tables) {
            if (!db_.Run("DELETE FROM " + table + " WHERE " + WithoutHeader(table))) {
                reason = "cannot remove the rows of wells without a header from " + table + ": " +
                         db_.Failure();
                return false;
            }
        }
        return true;
    }

  private:
    // ---- what the database holds

    bool Has(const std::string& table, const std::vector<std::string>& columns = {}) const {
        const auto found = present_.find(LowerName(table));
        if (found == present_.end()) return false;
        return std::all_of(columns.begin(), columns.end(), [&](const std::string& column) {
            return found->second.count(LowerName(column)) > 0;
        });
    }
    bool HasAll(const DefinedTable& table) const {
        std::vector<std::string> columns;
        for (const DefinedColumn& column : table.columns) columns.push_back(column.name);
        return Has(table.name, columns);
    }

    // The condition that limits rows of table (aliased t) to the project
    // checked, with its parameters; false when the table belongs to no
    // project and a project is checked.
    bool Scope(const DefinedTable& table, std::string& condition,
               std::vector<std::string>& parameters) const {
        condition = "1 = 1";
        if (project_.empty()) return true;
        if (table.Has("WellName") && !SameName(table.name, kWellTable)) {
            condition = "t.WellName IN (SELECT WellName FROM w_well_data WHERE ProjectName = ?)";
        } else if (table.Has("ProjectName")) {
            condition = "t.ProjectName = ?";
        } else {
            return false;
        }
        parameters.push_back(project_);
        return true;
    }

    // Whether the table is there with the columns a check reads, with the
    // condition (and its parameters) that keeps its rows to the project
    // checked; false when there is nothing to check.
    bool Checkable(const std::string& name, const std::vector<std::string>& columns,
                   std::string& condition, std::vector<std::string>& parameters) const {
        const DefinedTable* table = Defined(name);
        return table && Has(name, columns) && Scope(*table, condition, parameters);
    }

    void Add(CheckProblem problem, std::string table, std::string well, std::string name,
             std::string detail, bool fixable = false) {
        findings_.push_back({problem, std::move(table), std::move(well), std::move(name),
                             std::move(detail), fixable, false});
    }

    // Whether the project checked has a header or wells; false with the
    // reason when it has neither (a name mistyped finds nothing to check).
    bool ProjectKnown(std::string& reason) {
        bool known = false;
        for (const char* table : {kProjectTable, kWellTable}) {
            if (known || !Has(table, {"ProjectName"})) continue;
            const std::string sql =
                std::string("SELECT 1 FROM ") + table + " WHERE ProjectName = ?";
            // One row is enough.
            const auto found = [&](const DbRow&) {
                known = true;
                return false;
            };
            if (!db_.Each(sql, {project_}, found)) {
                reason = "cannot read the " + db_.Name() + ": " + db_.Failure();
                return false;
            }
        }
        if (!known) reason = "there is no project " + project_ + " in the " + db_.Name();
        return known;
    }

    // ---- tables

    bool CheckTables() {
        for (const DefinedTable& table : DefinedTables()) {
            const auto found = present_.find(LowerName(table.name));
            if (found == present_.end()) {
                Add(CheckProblem::kMissingTable, table.name, "", "",
                    "the database has no such table");
                continue;
            }
            std::vector<std::string> missing;
            for (const DefinedColumn& column : table.columns) {
                if (!found->second.count(LowerName(column.name))) missing.push_back(column.name);
            }
            if (!missing.empty()) {
                Add(CheckProblem::kMissingColumns, table.name, "", JoinText(missing, ", "),
                    "the table lacks " + Counted(missing.size(), "column"));
            }
        }
        return true;
    }

    // ---- wells and projects

    static std::string WithoutHeader(const std::string& table) {
        return "NOT EXISTS (SELECT 1 FROM w_well_data AS h WHERE h.WellName = " + table +
               ".WellName)";
    }

    bool CheckRowsWithoutHeader() {
        // Rows without a header belong to no project.
        if (!project_.empty() || !Has(kWellTable, {"WellName"})) return true;
        for (const DefinedTable& table : DefinedTables()) {
            if (!table.IsWellBoreTable() || !Has(table.name, {"WellName"})) continue;
            std::string name = NameColumn(table);
            if (!name.empty() && !Has(table.name, {name})) name.clear();
            const std::string named = name.empty() ? "NULL" : table.name + "." + name;
            const std::string sql = "SELECT " + table.name + ".WellName, " + named +
                                    ", COUNT(*) FROM " + table.name + " WHERE " +
                                    WithoutHeader(table.name) + " GROUP BY " + table.name +
                                    ".WellName" + (name.empty() ? "" : ", " + named);
            const bool read = db_.Each(sql, {}, [&](const DbRow& row) {
                Add(CheckProblem::kRowsWithoutHeader, table.name, Text(row[0]), Text(row[1]),
                    Rows(Count(row[2])) + " of a well that has no header", true);
                return true;
            });
            if (!read) return false;
        }
        return true;
    }

    bool CheckWellsWithoutProject() {
        if (!Has(kWellTable, {"WellName", "ProjectName"}) || !Has(kProjectTable, {"ProjectName"}))
            return true;
        std::string sql =
            "SELECT w.WellName, w.ProjectName FROM w_well_data AS w WHERE NOT EXISTS "
            "(SELECT 1 FROM b_project_data AS p WHERE p.ProjectName = w.ProjectName)";
        std::vector<std::string> parameters;
        if (!project_.empty()) {
            sql += " AND w.ProjectName = ?";
            parameters.push_back(project_);
        }
        return db_.Each(sql, parameters, [&](const DbRow& row) {
            const std::string project = Text(row[1]);
            Add(CheckProblem::kWellWithoutProject, kWellTable, Text(row[0]), project,
                project.empty() ? "the well names no project"
                                : "project " + project + " has no project header");
            return true;
        });
    }

    bool CheckDuplicateKeys() {
        for (const KeyedTable& keyed : KeyedTables()) {
            const std::string table = keyed.table;
            const std::vector<std::string> keys(keyed.keys.begin(), keyed.keys.end());
            std::string condition;
            std::vector<std::string> parameters;
            if (!Checkable(table, keys, condition, parameters)) continue;
            std::string columns;
            for (const std::string& key : keys) columns += (columns.empty() ? "t." : ", t.") + key;
            const std::string sql = "SELECT " + columns + ", COUNT(*) FROM " + table +
                                    " AS t WHERE " + condition + " GROUP BY " + columns +
                                    " HAVING COUNT(*) > 1";
            const bool read = db_.Each(sql, parameters, [&](const DbRow& row) {
                std::string well;
                std::vector<std::string> values;
                for (std::size_t k = 0; k < keys.size(); ++k) {
                    if (SameName(keys[k], "WellName")) {
                        well = Text(row[k]);
                    } else {
                        values.push_back(Text(row[k]));
                    }
                }
                Add(CheckProblem::kDuplicateKey, table, well, JoinText(values, ", "),
                    Rows(Count(row[keys.size()])) + " with the same " + JoinText(keys, ", "));
                return true;
            });
            if (!read) return false;
        }
        return true;
    }

    // ---- curves

    const std::vector<std::string> kCurveColumns = {"WellName", "CurveName", "DepthCurveName",
                                                    "CurveValue"};

    struct StoredCurve {
        std::string depthCurve;
        std::size_t samples = 0;
    };

    // Each curve against its depth curve, one well at a time.
    bool CheckCurves() {
        std::string condition;
        std::vector<std::string> parameters;
        if (!Checkable(kCurveTable, kCurveColumns, condition, parameters)) return true;
        const std::string sql = "SELECT t.WellName, t.CurveName, t.DepthCurveName, " +
                                db_.ByteLength("t.CurveValue") + " FROM w_log_data AS t WHERE " +
                                condition + " ORDER BY t.WellName";
        std::string well;
        std::vector<std::pair<std::string, StoredCurve>> curves;
        const bool read = db_.Each(sql, parameters, [&](const DbRow& row) {
            if (Text(row[0]) != well) {
                CheckWellCurves(well, curves);
                curves.clear();
                well = Text(row[0]);
            }
            curves.push_back({Text(row[1]), {Text(row[2]), Count(row[3]) / sizeof(double)}});
            return true;
        });
        if (read) CheckWellCurves(well, curves);
        return read;
    }

    void CheckWellCurves(const std::string& well,
                         const std::vector<std::pair<std::string, StoredCurve>>& curves) {
        // The first row of a name, as the loads of one curve take it.
        std::map<std::string, const StoredCurve*> byName;
        for (const auto& curve : curves) byName.emplace(curve.first, &curve.second);
        for (const auto& [name, curve] : curves) {
            if (byName[name] != &curve) continue;
            if (curve.depthCurve.empty()) {
                Add(CheckProblem::kNoDepthCurve, kCurveTable, well, name,
                    "the curve names no depth curve");
                continue;
            }
            const auto depth = byName.find(curve.depthCurve);
            if (depth == byName.end()) {
                Add(CheckProblem::kNoDepthCurve, kCurveTable, well, name,
                    "its depth curve " + curve.depthCurve + " is not stored");
            } else if (depth->second->samples != curve.samples) {
                Add(CheckProblem::kSampleCount, kCurveTable, well, name,
                    Counted(curve.samples, "sample") + ", its depth curve " + curve.depthCurve +
                        " " + Counted(depth->second->samples, "sample"));
            }
        }
    }

    // Depth curves (those naming themselves and those other curves name)
    // whose depths do not go one way.
    bool CheckDepthCurveOrder() {
        std::string condition;
        std::vector<std::string> parameters;
        if (!Checkable(kCurveTable, kCurveColumns, condition, parameters)) return true;
        const std::string sql =
            "SELECT t.WellName, t.CurveName, t.CurveValue FROM w_log_data AS t WHERE " + condition +
            " AND (t.CurveName = t.DepthCurveName OR EXISTS (SELECT 1 FROM w_log_data AS o "
            "WHERE o.WellName = t.WellName AND o.DepthCurveName = t.CurveName))";
        return db_.Each(sql, parameters, [&](const DbRow& row) {
            const std::vector<double> depths = Doubles(row[2].Text());
            const std::size_t at = FirstOutOfOrder(depths);
            if (at < depths.size()) {
                Add(CheckProblem::kNotMonotonic, kCurveTable, Text(row[0]), Text(row[1]),
                    "sample " + std::to_string(at + 1) + " of " + std::to_string(depths.size()) +
                        " (" + FormatNumber(depths[at]) + ") does not go on from " +
                        FormatNumber(depths[at - 1]));
            }
            return true;
        });
    }

    // ---- markers and surveys

    bool CheckMarkerDepths() {
        if (!Has(kWellTable, {"WellName", "WellDepth"})) return true;
        for (const auto& [table, markerColumn] : MarkerTables()) {
            const std::string name = table;  // a lambda takes no structured binding
            std::string condition;
            std::vector<std::string> parameters;
            if (!Checkable(name, {"WellName", markerColumn, "TopDepth", "BottomDepth"}, condition,
                           parameters)) {
                continue;
            }
            const std::string sql = std::string("SELECT t.WellName, t.") + markerColumn +
                                    ", t.TopDepth, t.BottomDepth, h.WellDepth FROM " + name +
                                    " AS t JOIN w_well_data AS h ON h.WellName = t.WellName "
                                    "WHERE " +
                                    condition;
            const bool read = db_.Each(sql, parameters, [&](const DbRow& row) {
                CheckMarker(name, row);
                return true;
            });
            if (!read) return false;
        }
        return true;
    }

    // A marker's depths against the well's range: from the depth reference
    // (0) down to the header's total depth, when the header gives one.
    void CheckMarker(const std::string& table, const DbRow& row) {
        const bool hasTotal = !row[4].IsNull() && row[4].Number() > 0;
        const double total = row[4].Number();
        std::vector<std::string> outside;
        for (const auto& [at, what] :
             {std::pair<std::size_t, const char*>{2, "top"}, {3, "bottom"}}) {
            const Cell& depth = row[at];
            if (depth.IsNull() || depth.Number() == kNoValue) continue;
            if (depth.Number() < 0) {
                outside.push_back(std::string(what) + " " + FormatNumber(depth.Number()) +
                                  " above the depth reference");
            } else if (hasTotal && depth.Number() > total) {
                outside.push_back(std::string(what) + " " + FormatNumber(depth.Number()) +
                                  " below the total depth " + FormatNumber(total));
            }
        }
        if (!outside.empty()) {
            Add(CheckProblem::kMarkerDepth, table, Text(row[0]), Text(row[1]),
                JoinText(outside, ", "));
        }
    }

    bool CheckSurveys() {
        const DefinedTable* table = Defined(kSurveyTable);
        std::string condition;
        std::vector<std::string> parameters;
        if (!table || !HasAll(*table) || !Scope(*table, condition, parameters)) return true;
        const std::vector<std::string> arrays = ValueArrayColumns(*table);
        std::string sql = "SELECT t.WellName";
        for (const std::string& array : arrays) sql += ", " + db_.ByteLength("t." + array);
        sql += " FROM w_deviate_well AS t WHERE " + condition;
        return db_.Each(sql, parameters, [&](const DbRow& row) {
            // Arrays left empty are not stored; those stored are parallel.
            std::vector<std::string> lengths;
            std::vector<std::size_t> counts;
            for (std::size_t a = 0; a < arrays.size(); ++a) {
                const std::size_t count = Count(row[a + 1]) / sizeof(double);
                if (count == 0) continue;
                counts.push_back(count);
                lengths.push_back(arrays[a] + " " + std::to_string(count));
            }
            if (std::adjacent_find(counts.begin(), counts.end(), std::not_equal_to<>()) !=
                counts.end()) {
                Add(CheckProblem::kSurveyLengths, kSurveyTable, Text(row[0]), "",
                    "stations: " + JoinText(lengths, ", "));
            }
            return true;
        });
    }

    // ---- value arrays

    bool CheckValueArrays() {
        for (const DefinedTable& table : DefinedTables()) {
            std::string condition;
            std::vector<std::string> parameters;
            if (!Scope(table, condition, parameters)) continue;
            const std::string name = NameColumn(table);
            const bool hasWell = table.Has("WellName") && Has(table.name, {"WellName"});
            const bool hasName = !name.empty() && Has(table.name, {name});
            for (const std::string& array : ValueArrayColumns(table)) {
                if (!Has(table.name, {array})) continue;
                const std::string length = db_.ByteLength("t." + array);
                const std::string sql = "SELECT " + std::string(hasWell ? "t.WellName" : "NULL") +
                                        ", " + (hasName ? "t." + name : "NULL") + ", " + length +
                                        " FROM " + table.name + " AS t WHERE " + condition +
                                        " AND " + length + " % 8 <> 0";
                const bool read = db_.Each(sql, parameters, [&](const DbRow& row) {
                    Add(CheckProblem::kPartialValues, table.name, Text(row[0]), Text(row[1]),
                        array + ": " + Counted(Count(row[2]), "byte") +
                            ", not whole 8-byte values");
                    return true;
                });
                if (!read) return false;
            }
        }
        return true;
    }

    DirectConnection& db_;
    std::string project_;
    std::vector<CheckFinding>& findings_;
    DirectConnection::TableColumns present_;
};

void SortFindings(std::vector<CheckFinding>& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) {
                         return std::tie(a.problem, a.table, a.well, a.name) <
                                std::tie(b.problem, b.table, b.well, b.name);
                     });
}

// ---- the command ------------------------------------------------------------

std::string FixText(const CheckFinding& finding, bool fixing) {
    if (finding.fixed) return "removed";
    if (!finding.fixable) return "not fixable";
    return fixing ? "not removed" : "--fix removes";
}

// No well or no name: "-" in the table, null in JSON.
ListingCell OptionalCell(const std::string& text) {
    return text.empty() ? MissingCell() : TextCell(text);
}

Listing FindingsListing(const CheckResult& result, bool fixing) {
    Listing listing{{"problem", "table", "well", "name", "detail", "fix"}, {}};
    for (const CheckFinding& finding : result.findings) {
        listing.rows.push_back({TextCell(ProblemText(finding.problem)), TextCell(finding.table),
                                OptionalCell(finding.well), OptionalCell(finding.name),
                                TextCell(finding.detail), TextCell(FixText(finding, fixing))});
    }
    return listing;
}

// The summary under the table: what was found, what was mended.
void WriteSummary(const CheckOptions& options, const CheckResult& result, std::ostream& out) {
    const std::string where = options.project.empty()
                                  ? options.connect
                                  : "project " + options.project + " of " + options.connect;
    if (result.findings.empty()) {
        out << "No problems found in " << where << "\n";
        return;
    }
    const auto fixed = static_cast<std::size_t>(
        std::count_if(result.findings.begin(), result.findings.end(),
                      [](const CheckFinding& finding) { return finding.fixed; }));
    out << Counted(result.findings.size(), "problem") << " found in " << where;
    if (options.fix) out << ", " << fixed << " fixed";
    out << "\n";
}

bool ParseCheck(const std::vector<std::string>& args, CheckOptions& options, std::ostream& err) {
    std::string format;
    std::vector<std::string> positional;
    if (!SplitArgs(args, {{"--project", &options.project}, {"--format", &format}}, positional, err,
                   {{"--fix", &options.fix}}) ||
        !CountArgs(positional, 1, 1, "DB", err) ||
        !ReadListingFormat(format, options.format, err)) {
        return false;
    }
    options.connect = ProjectConnect(positional[0]);
    return true;
}

const char kCheckHelp[] =
    "Checks the health of the project database DB (FOLDER/NAME.mdb, the project\n"
    "folder or a server connection string) and lists each problem with the rows\n"
    "it concerns:\n"
    "  tables of the definition that are missing or lack columns;\n"
    "  rows of well-bore tables (curves, markers, surveys, cores, ...) of wells\n"
    "  that have no header; wells whose project has no project header;\n"
    "  several rows where the module keeps one (a well, a curve of a well, ...);\n"
    "  curves whose depth curve is not stored or has another sample count;\n"
    "  depth curves whose depths do not go one way; markers above depth 0 or\n"
    "  below the well's total depth; deviation surveys whose arrays differ in\n"
    "  length; value arrays whose byte length is not a multiple of 8.\n"
    "--project P checks the wells of project P only (rows of wells without a\n"
    "header belong to no project and are then not looked for).\n"
    "The database is only read, unless --fix is given: then what can be mended\n"
    "without guessing is, in one transaction (rows of wells without a header are\n"
    "removed), and the fix column names each fix; the rest is not fixable.\n"
    "--format table (the default), csv or json.\n"
    "Exit codes: 0 no problem (left), 1 problems found (and not all fixed), 2 bad\n"
    "usage or a database that cannot be opened or read, with the reason.\n";

}  // namespace

const char* ProblemText(CheckProblem problem) {
    // In the order of CheckProblem.
    static const char* const kTexts[] = {
        "missing table",
        "missing columns",
        "rows of a well without header",
        "well in no project header",
        "duplicate key",
        "depth curve missing",
        "sample count differs",
        "depths not monotonic",
        "marker outside the well",
        "survey arrays differ",
        "value array not whole",
    };
    static_assert(std::size(kTexts) == static_cast<std::size_t>(CheckProblem::kPartialValues) + 1);
    return kTexts[static_cast<std::size_t>(problem)];
}

bool CheckDatabase(const CheckOptions& options, CheckResult& result, std::string& reason) {
    result = CheckResult();
    const auto access =
        options.fix ? DirectConnection::Access::kWrite : DirectConnection::Access::kRead;
    std::unique_ptr<DirectConnection> db = DirectConnection::Open(options.connect, access, reason);
    if (!db) return false;
    // One view of the database for every check and the fixes made after them.
    if (!db->Begin()) {
        reason = "cannot read the " + db->Name() + ": " + db->Failure();
        return false;
    }
    Checker checker(*db, options, result.findings);
    if (!checker.CheckAll(reason)) {
        db->Rollback();
        return false;
    }
    SortFindings(result.findings);
    const bool anyFixable =
        std::any_of(result.findings.begin(), result.findings.end(),
                    [](const CheckFinding& finding) { return finding.fixable; });
    if (!options.fix || !anyFixable) {
        db->Rollback();
        return true;
    }
    if (!checker.RemoveRowsWithoutHeader(result.fixFailure) || !db->Commit()) {
        if (result.fixFailure.empty()) result.fixFailure = db->Failure();
        db->Rollback();
        return true;
    }
    for (CheckFinding& finding : result.findings) finding.fixed = finding.fixable;
    return true;
}

int RunCheck(IDataFactory&, const CheckOptions& options, CommandIo& io) {
    CheckResult result;
    std::string reason;
    if (!CheckDatabase(options, result, reason)) {
        io.err << "strataloom: check: " << reason << "\n";
        return kExitUsage;
    }
    if (!result.fixFailure.empty()) {
        io.err << "strataloom: check: nothing was fixed: " << result.fixFailure << "\n";
    }
    if (options.format == ListingFormat::kTable) {
        if (!result.findings.empty())
            WriteListing(io.out, FindingsListing(result, options.fix), options.format);
        WriteSummary(options, result, io.out);
    } else {
        WriteListing(io.out, FindingsListing(result, options.fix), options.format);
    }
    const bool left = std::any_of(result.findings.begin(), result.findings.end(),
                                  [](const CheckFinding& finding) { return !finding.fixed; });
    return left ? kExitFailure : kExitOk;
}

std::vector<FormatCommand> CheckCommands() {
    return {STRATALOOM_COMMAND("check", CheckOptions, ParseCheck, RunCheck,
                               "check DB [--project P] [--format F] [--fix]", kCheckHelp)};
}

}  // namespace strataloom::formats
