// Listings of the host program's commands in the three forms a reader may
// want: a table padded for people, CSV and JSON for scripts. CSV and JSON
// carry every field as stored (names with blanks and non-ASCII intact);
// a number is a JSON number, a field with no value an empty CSV field and
// JSON null.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strataloom::formats {

enum class ListingFormat { kTable, kCsv, kJson };

// "table", "csv" or "json"; false for anything else.
bool ParseListingFormat(const std::string& text, ListingFormat& format);

struct ListingCell {
    std::string text;      // as shown in the table; for a number, its shortest exact text
    bool number = false;   // a JSON number
    bool missing = false;  // no value: "-" in the table, empty in CSV, null in JSON
};

ListingCell TextCell(std::string text);
// A number; not finite, or equal to noValue when given, is no value.
ListingCell NumberCell(double value);
ListingCell NumberCell(double value, double noValue);
ListingCell CountCell(std::size_t count);
ListingCell MissingCell();

struct Listing {
    std::vector<std::string> columns;
    std::vector<std::vector<ListingCell>> rows;
};

// The listing in the form asked for: a table with a heading row; CSV with a
// header row; JSON as an array of objects keyed by the column names.
void WriteListing(std::ostream& out, const Listing& listing, ListingFormat format);

// JSON string literal of text (UTF-8 kept, control characters escaped).
std::string JsonString(const std::string& text);
// One CSV field, quoted when it holds a comma, a quote, a line break or
// blanks at an end.
std::string CsvField(const std::string& text);

// "1 well", "2 wells": count and noun, the noun in the plural unless count is 1.
std::string Counted(std::size_t count, const std::string& noun,
                    const std::string& plural = std::string());

}  // namespace strataloom::formats
