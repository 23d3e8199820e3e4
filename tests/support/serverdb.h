// A throwaway project database on the test server, named by the connection
// string in STRATALOOM_TEST_SERVER ("host=... port=... user=... dbname=...").
#pragma once

#include <string>

namespace testsupport {

// The test server's connection string, or empty when no server is configured.
std::string TestServerConnect();
// Whether tests must fail rather than skip when no server is configured.
bool TestServerRequired();
// The server's connection string with another database named.
std::string WithDatabase(const std::string& connect, const std::string& database);
// Runs one statement on the server's maintenance database; false on error.
bool RunOnServer(const std::string& sql, std::string* error = nullptr);

class ServerDatabase {
  public:
    // Creates a database holding every project table, from the backup script.
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Error() const { return error_; }
    const std::string& Name() const { return name_; }
    const std::string& Connect() const { return connect_; }

  private:
    std::string name_;
    std::string connect_;
    std::string error_;
    bool ready_ = false;
};

}  // namespace testsupport
