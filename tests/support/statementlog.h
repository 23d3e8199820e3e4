// Collects the statement texts the sessions run while alive; the reasons of
// failed operations, which the trace carries as "-- failed: " lines, are kept
// apart.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "dbaccess/sqltrace.h"

namespace testsupport {

class StatementLog {
  public:
    StatementLog() {
        strataloom::db::SetTraceListener([this](const std::string& text) {
            static const std::string kFailed = "-- failed: ";
            std::lock_guard<std::mutex> lock(mutex_);
            if (text.compare(0, kFailed.size(), kFailed) == 0) {
                failures.push_back(text.substr(kFailed.size()));
            } else {
                texts.push_back(text);
            }
        });
    }
    ~StatementLog() { strataloom::db::SetTraceListener({}); }
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    bool Has(const std::string& text) const {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    std::vector<std::string> texts;
    std::vector<std::string> failures;

  private:
    std::mutex mutex_;
};

// An operation and the statement texts it must run, in order.
struct Statements {
    std::string what;
    std::function<void()> call;
    std::vector<std::string> texts;
};

// Runs each operation and compares the texts it ran with the expected ones.
inline void ExpectStatements(const std::vector<Statements>& all) {
    for (const Statements& statements : all) {
        StatementLog log;
        statements.call();
        EXPECT_EQ(statements.texts, log.texts) << statements.what;
    }
}

}  // namespace testsupport
