// The health of a project database: rows the data classes would never find
// or would read wrongly, found by reading every table directly (the
// interfaces see one well or one project at a time and cannot see a row
// whose well has no header). `check` reports each problem with the rows it
// concerns; with --fix it mends what needs no guess (rows of wells without
// a header are removed) and names each fix.
#pragma once

#include <string>
#include <vector>

#include "formats/hostcommands.h"
#include "formats/listing.h"

namespace strataloom::formats {

// The kinds of problem, in the order they are reported.
enum class CheckProblem {
    kMissingTable,        // a table of the definition is not in the database
    kMissingColumns,      // a table lacks columns of its definition
    kRowsWithoutHeader,   // well-bore rows of a well that has no header
    kWellWithoutProject,  // a well header whose project has no header
    kDuplicateKey,        // several rows where the data classes keep one
    kNoDepthCurve,        // a curve whose depth curve is not stored
    kSampleCount,         // a curve with another sample count than its depth curve
    kNotMonotonic,        // a depth curve whose depths do not go one way
    kMarkerDepth,         // a marker outside the well's depth range
    kSurveyLengths,       // a deviation survey whose arrays differ in length
    kPartialValues,       // a value array whose byte length is not a multiple of 8
};

// What the listing says for the problem: "rows of a well without header", ...
const char* ProblemText(CheckProblem problem);

struct CheckFinding {
    CheckProblem problem = CheckProblem::kMissingTable;
    std::string table;
    std::string well;    // the well concerned, when there is one
    std::string name;    // the curve, marker, column or key values concerned
    std::string detail;  // what is wrong, with the figures
    bool fixable = false;
    bool fixed = false;
};

struct CheckOptions {
    std::string connect;
    std::string project;  // empty: every well of the database
    bool fix = false;
    ListingFormat format = ListingFormat::kTable;
};

struct CheckResult {
    std::vector<CheckFinding> findings;  // by problem, table, well and name
    std::string fixFailure;              // why the fixes were not made, when they were not
};

// Checks the database (and mends with options.fix); false with the reason
// when it cannot be opened or read, in which case nothing was changed.
bool CheckDatabase(const CheckOptions& options, CheckResult& result, std::string& reason);

// The check command: exit 0 when no problem is left, 1 when problems were
// found (and not all mended), 2 on bad usage or a database that cannot be
// opened or read.
int RunCheck(IDataFactory& factory, const CheckOptions& options, CommandIo& io);

// check.
std::vector<FormatCommand> CheckCommands();

}  // namespace strataloom::formats
