// Owners of the server client library's handles, so that every connection,
// result and parsed connection string is freed on every path.
#pragma once

#include <libpq-fe.h>
#include <unistd.h>

#include <memory>

namespace strataloom::db {

struct PgConnCloser {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct PgResultCloser {
    void operator()(PGresult* result) const { PQclear(result); }
};
struct PgConnInfoCloser {
    void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};

// A descriptor of the system's own (a timer), closed with its owner.
class Descriptor {
  public:
    Descriptor() = default;
    ~Descriptor() { Reset(-1); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    void Reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

using PgConn = std::unique_ptr<PGconn, PgConnCloser>;
using PgResult = std::unique_ptr<PGresult, PgResultCloser>;
using PgConnInfo = std::unique_ptr<PQconninfoOption, PgConnInfoCloser>;

}  // namespace strataloom::db
