// What the formats tests share: the sample files shipped with the tests.
#pragma once

#include <string>

#include "formats/text.h"

namespace formatstest {

// tests/data/NAME
inline std::string DataPath(const std::string& name) {
    return std::string(STRATALOOM_TEST_DATA) + "/" + name;
}

inline std::string ReadData(const std::string& name) {
    std::string text;
    std::string reason;
    if (!strataloom::formats::ReadWholeFile(DataPath(name), text, reason)) return "";
    return text;
}

}  // namespace formatstest

namespace formatstest {

// share/demo/NAME, the data of the host program's tour.
inline std::string DemoPath(const std::string& name) {
    return std::string(STRATALOOM_TEST_DATA) + "/../../share/demo/" + name;
}

}  // namespace formatstest
