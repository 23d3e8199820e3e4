// Collects the statement texts the sessions run while alive.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "dbaccess/sqltrace.h"

namespace testsupport {

class StatementLog {
  public:
    StatementLog() {
        strataloom::db::SetTraceListener(
            [this](const std::string& text) { texts.push_back(text); });
    }
    ~StatementLog() { strataloom::db::SetTraceListener({}); }
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    bool Has(const std::string& text) const {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    std::vector<std::string> texts;
};

}  // namespace testsupport
