// Warnings and the error of reading one file, each naming the file and the
// line, in the form editors and terminals recognise ("FILE:LINE: ...").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace strataloom::formats {

class Diagnostics {
  public:
    explicit Diagnostics(std::string file = "") : file_(std::move(file)) {}

    const std::string& File() const { return file_; }
    void SetFile(std::string file) { file_ = std::move(file); }

    // line 0 speaks of the file as a whole.
    void Warn(int line, const std::string& text);
    // Keeps the first error only: later ones follow from it.
    void Fail(int line, const std::string& text);

    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    const std::vector<std::string>& Warnings() const { return warnings_; }

    // Warnings about single values stop after this many; the rest are counted
    // and told in one closing line by Flush.
    static constexpr std::size_t kValueWarnings = 20;
    void WarnValue(int line, const std::string& text);
    void Flush();

  private:
    std::string Where(int line) const;

    std::string file_;
    std::string error_;
    std::vector<std::string> warnings_;
    std::size_t valueWarnings_ = 0;
};

}  // namespace strataloom::formats
