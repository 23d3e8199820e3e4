#include "formats/diagnostics.h"

namespace strataloom::formats {

std::string Diagnostics::Where(int line) const {
    return line > 0 ? file_ + ":" + std::to_string(line) + ": " : file_ + ": ";
}

void Diagnostics::Warn(int line, const std::string& text) {
    warnings_.push_back(Where(line) + "warning: " + text);
}

void Diagnostics::Fail(int line, const std::string& text) {
    if (error_.empty()) error_ = Where(line) + "error: " + text;
}

void Diagnostics::WarnValue(int line, const std::string& text) {
    if (valueWarnings_++ < kValueWarnings) Warn(line, text);
}

void Diagnostics::Flush() {
    if (valueWarnings_ > kValueWarnings) {
        Warn(0, std::to_string(valueWarnings_ - kValueWarnings) +
                    " more values were read as the null value");
    }
    valueWarnings_ = 0;
}

}  // namespace strataloom::formats
