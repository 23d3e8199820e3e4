// Makes the empty project databases from the one definition of the tables:
//   make_template TABLES.sql Projects.mdb         the embedded template (SQLite)
//   make_template --server TABLES.sql BACKUP.bak  the server's backup script
#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// A column line of a table definition: "  Name TYPE[ DEFAULT n][,]".
struct ColumnLine {
    std::string name;
    std::string type;
    std::string rest;  // " DEFAULT n" or empty
    bool comma = false;
};

bool IsIdentifier(const std::string& text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    for (char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    }
    return true;
}

bool IsInteger(const std::string& text) {
    const std::size_t digits = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() == digits) return false;
    for (std::size_t i = digits; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

bool ParseColumnLine(const std::string& line, ColumnLine& column) {
    if (line.compare(0, 2, "  ") != 0) return false;
    std::string body = line.substr(2);
    column.comma = !body.empty() && body.back() == ',';
    if (column.comma) body.pop_back();
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= body.size()) {
        const std::size_t blank = body.find(' ', start);
        words.push_back(body.substr(start, blank - start));
        if (blank == std::string::npos) break;
        start = blank + 1;
    }
    const bool typed =
        words.size() == 2 || (words.size() == 4 && words[2] == "DEFAULT" && IsInteger(words[3]));
    if (!typed || !IsIdentifier(words[0])) return false;
    const std::string& type = words[1];
    if (type != "TEXT" && type != "INTEGER" && type != "REAL" && type != "BLOB") return false;
    column.name = words[0];
    column.type = type;
    column.rest = words.size() == 4 ? " DEFAULT " + words[3] : "";
    return true;
}

// The definition's lines without comments and blank lines. Inside a CREATE
// TABLE only column lines and the closing ");" are accepted: anything else
// would reach the databases unchecked, so it stops the build with its line
// number.
bool DefinitionLines(const char* path, std::vector<std::string>& lines) {
    std::ifstream definition(path);
    if (!definition) {
        std::cerr << "make_template: cannot read " << path << "\n";
        return false;
    }
    bool inTable = false;
    int number = 0;
    for (std::string line; std::getline(definition, line);) {
        ++number;
        if (line.rfind("--", 0) == 0 || line.empty()) continue;
        ColumnLine column;
        if (inTable) {
            if (line == ");") {
                inTable = false;
            } else if (!ParseColumnLine(line, column)) {
                std::cerr << path << ":" << number << ": not a column definition: " << line << "\n";
                return false;
            }
        } else if (line.rfind("CREATE TABLE ", 0) == 0) {
            inTable = true;
        }
        lines.push_back(line);
    }
    if (inTable) {
        std::cerr << path << ": the last table definition is not closed\n";
        return false;
    }
    return !lines.empty();
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The server keeps columns of these names on every table; a column of the
// project schema with such a name keeps its capitals, quoted.
bool IsServerSystemColumn(const std::string& name) {
    const std::string lower = Lower(name);
    return lower == "xmin" || lower == "xmax" || lower == "cmin" || lower == "cmax" ||
           lower == "ctid" || lower == "tableoid";
}

std::string ServerColumnName(const std::string& name) {
    return IsServerSystemColumn(name) ? '"' + name + '"' : name;
}

// The server's types: doubles as DOUBLE PRECISION, byte arrays as BYTEA, and
// text compared and sorted by its bytes. Lines are "  Name TYPE[,]" for
// columns and "CREATE INDEX ix ON table (Name);" for indexes.
std::string ServerLine(const std::string& line) {
    ColumnLine column;
    if (ParseColumnLine(line, column)) {
        const std::string serverType = column.type == "REAL"   ? "DOUBLE PRECISION"
                                       : column.type == "BLOB" ? "BYTEA"
                                       : column.type == "TEXT" ? "TEXT COLLATE \"C\""
                                                               : column.type;
        return "  " + ServerColumnName(column.name) + " " + serverType + column.rest +
               (column.comma ? "," : "");
    }
    if (line.rfind("CREATE INDEX ", 0) == 0) {
        const std::size_t open = line.find('(');
        const std::size_t close = line.find(')', open);
        if (open == std::string::npos || close == std::string::npos) return line;
        const std::string name = line.substr(open + 1, close - open - 1);
        return line.substr(0, open + 1) + ServerColumnName(name) + line.substr(close);
    }
    return line;
}

int MakeServerScript(const char* tables, const char* output) {
    std::vector<std::string> lines;
    if (!DefinitionLines(tables, lines)) return 1;
    std::ofstream script(output, std::ios::trunc);
    script << "-- Every table and index of a project database on the server.\n";
    for (const std::string& line : lines) script << ServerLine(line) << '\n';
    return script ? 0 : 1;
}

int MakeEmbeddedTemplate(const char* tables, const char* output) {
    std::vector<std::string> lines;
    if (!DefinitionLines(tables, lines)) return 1;
    std::string script = "BEGIN;\n";
    for (const std::string& line : lines) script += line + '\n';
    script += "COMMIT;\n";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(output, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::cerr << "make_template: cannot create " << output << "\n";
        sqlite3_close(db);
        return 1;
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::cerr << "make_template: " << (error ? error : "failed") << "\n";
        sqlite3_free(error);
        sqlite3_close(db);
        std::remove(output);
        return 1;
    }
    sqlite3_close(db);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--server") return MakeServerScript(argv[2], argv[3]);
    if (argc == 3) return MakeEmbeddedTemplate(argv[1], argv[2]);
    std::cerr << "usage: make_template [--server] TABLES.sql OUTPUT\n";
    return 2;
}
