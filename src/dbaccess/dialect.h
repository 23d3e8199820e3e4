// The host application's SQL dialect, accepted on every engine.
#pragma once

#include <string>

namespace strataloom::db {

// Rewrites, outside quoted literals and identifiers only:
//   "delete * from"       -> "delete from"
//   "select all distinct" -> "select distinct"
//   "in ()", "in (  )"    -> "in (NULL)", which matches no row on any engine.
// Any other text is returned unchanged.
std::string AdaptStatement(const std::string& sql);

}  // namespace strataloom::db
