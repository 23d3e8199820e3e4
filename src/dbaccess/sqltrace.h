// The statement trace: every statement text a session runs, as the data class
// built it. Goes to the file named by STRATALOOM_SQL_TRACE, and to an
// in-process listener when one is installed (tests use that).
#pragma once

#include <functional>
#include <string>

namespace strataloom::db {

using TraceListener = std::function<void(const std::string&)>;

void TraceStatement(const std::string& text);
// The same for a text not held as a string: made into one only when traced.
void TraceStatement(const char* text);
// Installs a listener for this process; an empty function removes it. The
// listener is called on the thread that runs the statement, before it runs,
// and may be called from several threads at once.
void SetTraceListener(TraceListener listener);

}  // namespace strataloom::db
