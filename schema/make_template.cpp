// Makes an empty project database from the table definitions: every
// statement of the definition file, in order, in one transaction.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_template TABLES.sql OUTPUT.mdb\n";
        return 2;
    }
    std::ifstream definition(argv[1]);
    if (!definition) {
        std::cerr << "make_template: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string script = "BEGIN;\n";
    for (std::string line; std::getline(definition, line);) {
        if (line.rfind("--", 0) == 0) continue;
        script += line;
        script += '\n';
    }
    script += "COMMIT;\n";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[2], &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::cerr << "make_template: cannot create " << argv[2] << "\n";
        sqlite3_close(db);
        return 1;
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::cerr << "make_template: " << (error ? error : "failed") << "\n";
        sqlite3_free(error);
        sqlite3_close(db);
        std::remove(argv[2]);
        return 1;
    }
    sqlite3_close(db);
    return 0;
}
