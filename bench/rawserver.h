// The baseline on the server engine: libpq used directly, with prepared
// statements and binary parameters and results; and the throwaway database
// the server pairs run on.
#pragma once

#include <memory>
#include <string>

#include "workload.h"

namespace bench {

// A database made for this run from the server backup script, dropped when
// the object goes; named strataloom_bench, the process id and suffix.
class BenchServerDatabase {
  public:
    BenchServerDatabase(std::string server, const std::string& backupScript,
                        const std::string& suffix);
    ~BenchServerDatabase();
    BenchServerDatabase(const BenchServerDatabase&) = delete;
    BenchServerDatabase& operator=(const BenchServerDatabase&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Error() const { return error_; }
    // The key=value connection string naming the new database.
    const std::string& Connect() const { return connect_; }

  private:
    std::string server_;
    std::string name_;
    std::string connect_;
    std::string error_;
    bool ready_ = false;
};

std::unique_ptr<RawEngine> OpenRawServer(const std::string& connect, std::string& error);

}  // namespace bench
