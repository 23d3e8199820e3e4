// Text helpers shared by the file formats: trimming, numbers in and out,
// and header text in the encodings that well-log files come in.
#pragma once

#include <string>
#include <string_view>

namespace strataloom::formats {

std::string_view Trim(std::string_view text);
std::string Upper(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Parses the whole of text (blanks around it allowed) as a finite number.
bool ParseNumber(std::string_view text, double& value);

// The shortest text that reads back as exactly the same double.
std::string FormatNumber(double value);
// Writes it into buffer (at least 32 bytes); returns the length.
std::size_t FormatNumber(double value, char* buffer);

bool IsValidUtf8(std::string_view text);
// Reads text as Windows-1252 and returns it as UTF-8. The five bytes that
// code page leaves unassigned become the control characters of the same value.
std::string Cp1252ToUtf8(std::string_view text);
// Text as UTF-8: unchanged when it already is, else read as Windows-1252.
std::string AsUtf8(std::string_view text);

// Reads a whole file; false with a reason when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& reason);
// Writes content to path through a temporary file beside it, so that a
// failure leaves no half-written file; false with a reason.
bool WriteWholeFile(const std::string& path, std::string_view content, std::string& reason);

}  // namespace strataloom::formats
