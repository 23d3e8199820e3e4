#include "formats/listing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "formats/text.h"

namespace strataloom::formats {

namespace {

// Width of text on a terminal: one column per UTF-8 character.
std::size_t DisplayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string TableText(const ListingCell& cell) {
    if (cell.missing) return "-";
    return cell.text.empty() ? "-" : cell.text;
}

void WriteTable(std::ostream& out, const Listing& listing) {
    std::vector<std::size_t> widths(listing.columns.size(), 0);
    for (std::size_t c = 0; c < listing.columns.size(); ++c) {
        widths[c] = DisplayWidth(listing.columns[c]);
        for (const auto& row : listing.rows) {
            if (c < row.size()) widths[c] = std::max(widths[c], DisplayWidth(TableText(row[c])));
        }
    }
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            text += cells[c];
            if (c + 1 < cells.size())
                text += std::string(widths[c] - DisplayWidth(cells[c]) + 2, ' ');
        }
        out << text << "\n";
    };
    line(listing.columns);
    for (const auto& row : listing.rows) {
        std::vector<std::string> cells;
        for (const ListingCell& cell : row) cells.push_back(TableText(cell));
        line(cells);
    }
}

void WriteCsv(std::ostream& out, const Listing& listing) {
    auto line = [&](const std::vector<std::string>& fields) {
        for (std::size_t c = 0; c < fields.size(); ++c)
            out << (c ? "," : "") << CsvField(fields[c]);
        out << "\r\n";
    };
    line(listing.columns);
    for (const auto& row : listing.rows) {
        std::vector<std::string> fields;
        for (const ListingCell& cell : row) fields.push_back(cell.missing ? "" : cell.text);
        line(fields);
    }
}

void WriteJson(std::ostream& out, const Listing& listing) {
    out << "[";
    for (std::size_t r = 0; r < listing.rows.size(); ++r) {
        out << (r ? ",\n " : "\n ") << "{";
        const auto& row = listing.rows[r];
        for (std::size_t c = 0; c < listing.columns.size() && c < row.size(); ++c) {
            const ListingCell& cell = row[c];
            out << (c ? ", " : "") << JsonString(listing.columns[c]) << ": "
                << (cell.missing  ? "null"
                    : cell.number ? cell.text
                                  : JsonString(cell.text));
        }
        out << "}";
    }
    out << (listing.rows.empty() ? "]\n" : "\n]\n");
}

}  // namespace

bool ParseListingFormat(const std::string& text, ListingFormat& format) {
    if (text == "table")
        format = ListingFormat::kTable;
    else if (text == "csv")
        format = ListingFormat::kCsv;
    else if (text == "json")
        format = ListingFormat::kJson;
    else
        return false;
    return true;
}

ListingCell TextCell(std::string text) {
    return ListingCell{std::move(text), false, false};
}

ListingCell NumberCell(double value) {
    if (!std::isfinite(value)) return MissingCell();
    return ListingCell{FormatNumber(value), true, false};
}

ListingCell NumberCell(double value, double noValue) {
    return value == noValue ? MissingCell() : NumberCell(value);
}

ListingCell CountCell(std::size_t count) {
    return ListingCell{std::to_string(count), true, false};
}

ListingCell MissingCell() {
    return ListingCell{"", false, true};
}

void WriteListing(std::ostream& out, const Listing& listing, ListingFormat format) {
    switch (format) {
        case ListingFormat::kTable:
            WriteTable(out, listing);
            break;
        case ListingFormat::kCsv:
            WriteCsv(out, listing);
            break;
        case ListingFormat::kJson:
            WriteJson(out, listing);
            break;
    }
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string CsvField(const std::string& text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string Counted(std::size_t count, const std::string& noun, const std::string& plural) {
    return std::to_string(count) + " " + (count == 1 ? noun : plural.empty() ? noun + "s" : plural);
}

}  // namespace strataloom::formats
