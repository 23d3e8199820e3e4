#include "support/serverdb.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "dbaccess/postgres/pghandles.h"

namespace testsupport {

namespace {

using Conn = strataloom::db::PgConn;

void IgnoreNotice(void*, const char*) {}

Conn Open(const std::string& connect, std::string* error) {
    Conn connection(PQconnectdb(connect.c_str()));
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        if (error) *error = PQerrorMessage(connection.get());
        return nullptr;
    }
    PQsetNoticeProcessor(connection.get(), &IgnoreNotice, nullptr);
    return connection;
}

bool Run(PGconn* connection, const std::string& sql, std::string* error) {
    strataloom::db::PgResult result(PQexec(connection, sql.c_str()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return true;
    if (error) *error = PQresultErrorMessage(result.get());
    return false;
}

std::string UniqueName() {
    static std::atomic<int> counter{0};
    return "strataloom_t" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
}

}  // namespace

std::string TestServerConnect() {
    const char* connect = std::getenv("STRATALOOM_TEST_SERVER");
    return connect ? connect : "";
}

bool TestServerRequired() {
    const char* required = std::getenv("STRATALOOM_REQUIRE_SERVER");
    return required && *required && std::string(required) != "0";
}

// In a key=value connection string a later keyword overrides an earlier one.
std::string WithDatabase(const std::string& connect, const std::string& database) {
    return connect + " dbname=" + database;
}

bool RunOnServer(const std::string& sql, std::string* error) {
    Conn admin = Open(TestServerConnect(), error);
    return admin && Run(admin.get(), sql, error);
}

ServerDatabase::ServerDatabase() : name_(UniqueName()) {
    const std::string server = TestServerConnect();
    Conn admin = Open(server, &error_);
    if (!admin) return;
    if (!Run(admin.get(),
             "CREATE DATABASE " + name_ +
                 " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'",
             &error_)) {
        return;
    }
    connect_ = WithDatabase(server, name_);
    std::ifstream file(STRATALOOM_SERVER_BACKUP);
    std::stringstream script;
    script << file.rdbuf();
    Conn database = Open(connect_, &error_);
    ready_ = database && Run(database.get(), script.str(), &error_);
}

ServerDatabase::~ServerDatabase() {
    RunOnServer("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
}

}  // namespace testsupport
