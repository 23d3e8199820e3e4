// The host application's SQL dialect, accepted on every engine, and the
// shape in which the engines prepare it.
#pragma once

#include <string>
#include <vector>

namespace strataloom::db {

// Rewrites, outside quoted literals and identifiers only:
//   "delete * from"       -> "delete from"
//   "select all distinct" -> "select distinct"
//   "in ()", "in (  )"    -> "in (NULL)", which matches no row on any engine.
// Any other text is returned unchanged.
std::string AdaptStatement(const std::string& sql);

// How a shaped statement marks its parameters: "?" for the embedded engine,
// "$1", "$2"... for the server.
enum class Markers { None, Question, Numbered };

// A statement as an engine prepares it. The data classes build their
// statements with the names in quoted literals ("... where WellName='W1'"),
// so two calls for two wells are two texts; prepared as they stand, every
// call would parse and plan its text anew. The shape is the adapted text with
// each quoted literal that is compared with a column ("Col = '...'",
// "Col in ('...', ...)") replaced by a parameter marker, and the literals'
// values in order: the texts of every well share one shape, prepared once.
// Only selects, deletes and updates are shaped, and only up to
// kMostParameters literals (a long in-list is prepared as it stands).
struct StatementShape {
    std::string text;
    std::vector<std::string> values;
};

constexpr std::size_t kMostParameters = 32;

void ShapeStatement(const std::string& sql, Markers markers, StatementShape& shape);

}  // namespace strataloom::db
