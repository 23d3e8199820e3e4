// How caller text enters a statement: the one place where names are quoted.
#pragma once

#include <string>

namespace strataloom {

// The caller's text as it goes between the single quotes of a literal: every
// single quote doubled, so no name can end the literal early. Null is empty.
std::string SqlText(const char* text);
std::string SqlText(const std::string& text);

namespace db {
// An identifier between double quotes, inner double quotes doubled.
std::string QuoteIdentifier(const std::string& name);
}  // namespace db

}  // namespace strataloom
