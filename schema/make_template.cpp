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

std::vector<std::string> DefinitionLines(const char* path) {
    std::vector<std::string> lines;
    std::ifstream definition(path);
    for (std::string line; std::getline(definition, line);) {
        if (line.rfind("--", 0) != 0) lines.push_back(line);
    }
    return lines;
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
    const std::size_t nameStart = line.find_first_not_of(' ');
    if (nameStart == 2) {
        const std::size_t nameEnd = line.find(' ', nameStart);
        if (nameEnd == std::string::npos) return line;
        const std::string name = line.substr(nameStart, nameEnd - nameStart);
        std::string type = line.substr(nameEnd + 1);
        const bool comma = !type.empty() && type.back() == ',';
        if (comma) type.pop_back();
        const std::string serverType = type == "REAL"   ? "DOUBLE PRECISION"
                                       : type == "BLOB" ? "BYTEA"
                                       : type == "TEXT" ? "TEXT COLLATE \"C\""
                                                        : type;
        return "  " + ServerColumnName(name) + " " + serverType + (comma ? "," : "");
    }
    if (line.rfind("CREATE INDEX ", 0) == 0) {
        const std::size_t open = line.find('(');
        const std::size_t close = line.find(')', open);
        if (open == std::string::npos || close == std::string::npos) return line;
        const std::string column = line.substr(open + 1, close - open - 1);
        return line.substr(0, open + 1) + ServerColumnName(column) + line.substr(close);
    }
    return line;
}

int MakeServerScript(const char* tables, const char* output) {
    const std::vector<std::string> lines = DefinitionLines(tables);
    if (lines.empty()) {
        std::cerr << "make_template: cannot read " << tables << "\n";
        return 1;
    }
    std::ofstream script(output, std::ios::trunc);
    script << "-- Every table and index of a project database on the server.\n";
    for (const std::string& line : lines) script << ServerLine(line) << '\n';
    return script ? 0 : 1;
}

int MakeEmbeddedTemplate(const char* tables, const char* output) {
    const std::vector<std::string> lines = DefinitionLines(tables);
    if (lines.empty()) {
        std::cerr << "make_template: cannot read " << tables << "\n";
        return 1;
    }
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
