// LAS well-log files, versions 1.2 and 2.0: read into memory and written
// back. The reader takes what well-log files carry in practice (wrapped or
// not, space, tab or comma delimited, CR, LF or CRLF line ends, header text
// in UTF-8 or Windows-1252) and says what it could not read by file and line.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/diagnostics.h"

namespace strataloom::formats {

// One header line: "MNEM.UNIT  VALUE : DESCRIPTION".
struct LasItem {
    std::string mnemonic;
    std::string unit;
    std::string value;
    std::string description;
    int line = 0;  // where the line was read; 0 for items made in memory
};

// One curve of the ~C section with its samples. The value of its header
// line is the curve's API code.
struct LasCurve {
    LasItem header;
    std::vector<double> values;
    // The mnemonic as the file wrote it, when the reader renamed a repeated one.
    std::string fileMnemonic;

    const std::string& MnemonicInFile() const {
        return fileMnemonic.empty() ? header.mnemonic : fileMnemonic;
    }
};

struct LasFile {
    std::string version = "2.0";  // "1.2" or "2.0"
    bool wrapped = false;
    char delimiter = ' ';  // ' ', '\t' or ','
    double nullValue = -999.25;
    // Items of ~V other than VERS, WRAP and DLM.
    std::vector<LasItem> versionItems;
    // Items of ~W, STRT, STOP, STEP and NULL included. In a version 1.2 file
    // the other items may hold a label before the colon ("COMPANY") and the
    // value after it; the value is moved to `value` here, so that every item
    // reads as in version 2.0.
    std::vector<LasItem> wellItems;
    // In file order; the first is the index (depth) curve. Mnemonics are
    // unique: a repeated one gets ":1", ":2"... appended.
    std::vector<LasCurve> curves;
    std::vector<LasItem> parameters;
    std::string other;  // the text of ~O, lines joined by "\n"

    std::size_t Rows() const { return curves.empty() ? 0 : curves.front().values.size(); }
    // The first item of ~W with this mnemonic (compared without case), or null.
    const LasItem* WellItem(std::string_view mnemonic) const;
    const LasItem* Parameter(std::string_view mnemonic) const;
};

// Reads the text of a LAS file. Warnings and the error go to diagnostics,
// whose file name they carry. False on an error: the file is then not usable.
// progress, when given, is told now and then how many bytes of the text are read.
using LasProgress = std::function<void(std::size_t done, std::size_t total)>;
bool ParseLas(std::string_view text, LasFile& las, Diagnostics& diagnostics,
              const LasProgress& progress = {});
// Reads the file at path into memory and parses it.
bool ReadLasFile(const std::string& path, LasFile& las, Diagnostics& diagnostics);

// Depths of the header (STRT, STOP, STEP) are written to this many decimals
// of the depth unit, finer than any log's sampling in metres or feet.
constexpr int kDepthDecimals = 5;
// The shortest decimal that equals depth to kDepthDecimals decimals: 0.05
// for 0.049999999999999996.
std::string FormatDepth(double depth);

// LAS 2.0, one line per depth step, space delimited. STRT, STOP and STEP are
// taken from the index curve (by FormatDepth), NULL from nullValue; every number is written
// as the shortest text that reads back as the same double, and a value that
// is not finite as the null value. Names that would not read back the same
// (a period in a mnemonic, a blank in a unit) are mended, with a warning
// when diagnostics is given.
std::string WriteLas(const LasFile& las, Diagnostics* diagnostics = nullptr);

}  // namespace strataloom::formats
