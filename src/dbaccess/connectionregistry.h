// Open connections, kept per thread and connection string. Sessions opened on
// one thread with one connection string share a connection, and so share the
// transaction of a writing operation that is running; opening a session does
// not reopen the database. A connection no operation has used for a while
// (SessionLimits::idleLifetime) is closed, so that a host gone quiet holds no
// project database open.
#pragma once

#include <memory>
#include <string>

#include "dbaccess/connection.h"

namespace strataloom::db {

// The connection for this thread and connection string, opened on first use;
// a kept one that can no longer serve is replaced. Null when no driver can
// open the database (error then says why); nothing is ever created.
std::shared_ptr<Connection> AcquireConnection(const std::string& connect,
                                              std::string* error = nullptr);

// Whether a write transaction is open on one of this thread's connections.
bool ThisThreadWriting();

// Closes this thread's idle connections (those no session is using).
void ReleaseIdleConnections();

// Whether a connection string names a server database rather than a file.
bool IsServerConnectString(const std::string& connect);

}  // namespace strataloom::db
