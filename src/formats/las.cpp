#include "formats/las.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <set>

#include "formats/text.h"

namespace strataloom::formats {

namespace {

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

// Mnemonics of ~W whose value stands before the colon in every version.
bool IsDepthItem(std::string_view mnemonic) {
    for (const char* name : {"STRT", "STOP", "STEP", "NULL"}) {
        if (EqualsNoCase(mnemonic, name)) return true;
    }
    return false;
}

// Version 1.2 files put a label ("COMPANY", "WELL") before the colon of the
// well items and the value after it; files of that version written the
// later way put the value first. Only a known label moves the value.
bool IsVersion12Label(std::string_view text) {
    for (const char* label :
         {"COMPANY", "WELL", "WELL NAME", "FIELD", "FIELD NAME", "LOCATION", "PROVINCE", "COUNTY",
          "STATE", "COUNTRY", "SERVICE COMPANY", "LOG DATE", "DATE", "UNIQUE WELL ID", "API NUMBER",
          "LICENSE NUMBER", "SERVICE ORDER", "SERVICE ORDER NUMBER"}) {
        if (EqualsNoCase(Trim(text), label)) return true;
    }
    return false;
}

const LasItem* FindItem(const std::vector<LasItem>& items, std::string_view mnemonic) {
    for (const LasItem& item : items) {
        if (EqualsNoCase(item.mnemonic, mnemonic)) return &item;
    }
    return nullptr;
}

// The colon that ends the value: the first one followed by a blank or the
// end of the line, so that times ("12:30") stay in the value and colons in
// the description stay there; failing that, the last one.
std::size_t DescriptionColon(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ':' && (i + 1 == text.size() || IsSpace(text[i + 1]))) return i;
    }
    return text.rfind(':');
}

// A line of rule characters only ("-----", "==== ====", "*****").
bool IsDecoration(std::string_view content) {
    for (char c : content) {
        if (!IsSpace(c) && c != '-' && c != '=' && c != '*' && c != '_' && c != '.') return false;
    }
    return true;
}

enum class Section { None, Version, Well, Curve, Parameter, Other, Unknown };

// Reads the header sections line by line, then the ~A section in one pass.
class LasParser {
  public:
    LasParser(std::string_view text, LasFile& las, Diagnostics& diagnostics,
              const LasProgress& progress)
        : text_(text), las_(las), diagnostics_(diagnostics), progress_(progress) {}

    bool Run() {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;  // byte order mark
        if (!ReadHeader()) return false;
        if (!FinishHeader()) return false;
        if (!ReadData()) return false;
        CheckDepthRange();
        diagnostics_.Flush();
        return true;
    }

  private:
    bool NextLine(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = pos_;
        while (end < text_.size() && !IsLineEnd(text_[end])) ++end;
        line = text_.substr(pos_, end - pos_);
        if (end < text_.size()) {
            end += (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n') ? 2 : 1;
        }
        pos_ = end;
        ++line_;
        return true;
    }

    bool Fail(int line, const std::string& text) {
        diagnostics_.Fail(line, text);
        return false;
    }

    // Header sections up to the ~A line, or to the end of a file without one.
    bool ReadHeader() {
        std::string_view line;
        bool sawSection = false;
        while (NextLine(line)) {
            const std::string_view content = Trim(line);
            if (content.empty() || content.front() == '#') continue;
            if (content.front() == '~') {
                sawSection = true;
                if (!EnterSection(content)) return false;
                if (inData_) {
                    headerEnd_ = pos_;
                    return true;
                }
                continue;
            }
            if (!sawSection) {
                return Fail(line_, "expected a section line starting with '~' (~V, ~W, ~C, ~A)");
            }
            if (!ReadSectionLine(line, content)) return false;
        }
        headerEnd_ = pos_;
        if (!sawSection) return Fail(0, "expected a LAS file: no section line starting with '~'");
        return true;
    }

    bool EnterSection(std::string_view content) {
        const char letter =
            content.size() > 1
                ? static_cast<char>(std::toupper(static_cast<unsigned char>(content[1])))
                : ' ';
        switch (letter) {
            case 'V':
                section_ = Section::Version;
                return true;
            case 'W':
                section_ = Section::Well;
                return true;
            case 'C':
                if (sawCurves_) return Fail(line_, "a second ~C section: expected one");
                sawCurves_ = true;
                section_ = Section::Curve;
                return true;
            case 'P':
                section_ = Section::Parameter;
                return true;
            case 'O':
                section_ = Section::Other;
                return true;
            case 'A':
                inData_ = true;
                dataLine_ = line_;
                return true;
            default:
                diagnostics_.Warn(line_, "section " + std::string(content.substr(0, 20)) +
                                             " is not one of ~V ~W ~C ~P ~O ~A: skipped");
                section_ = Section::Unknown;
                return true;
        }
    }

    bool ReadSectionLine(std::string_view line, std::string_view content) {
        if (section_ == Section::Unknown) return true;
        if (section_ == Section::Other) {
            if (!las_.other.empty()) las_.other += '\n';
            las_.other += std::string(Trim(line));
            return true;
        }
        LasItem item;
        if (IsDecoration(content) || !ReadItem(content, item)) {
            // Rulers of dashes and column titles are common in every section;
            // public readers skip them, and so does this one, saying so. A
            // curve line lost this way leaves the data lines one value too
            // long, which is then an error with its line.
            diagnostics_.Warn(line_,
                              section_ == Section::Curve
                                  ? "expected a curve line 'MNEM.UNIT  API CODE : "
                                    "DESCRIPTION': line skipped"
                                  : "expected 'MNEM.UNIT  VALUE : DESCRIPTION': line skipped");
            return true;
        }
        switch (section_) {
            case Section::Version:
                return ReadVersionItem(std::move(item));
            case Section::Well:
                las_.wellItems.push_back(std::move(item));
                return true;
            case Section::Curve:
                las_.curves.push_back(LasCurve{std::move(item), {}, {}});
                return true;
            case Section::Parameter:
                las_.parameters.push_back(std::move(item));
                return true;
            default:
                return true;
        }
    }

    // "MNEM.UNIT VALUE : DESCRIPTION"; false when there is no period or no mnemonic.
    bool ReadItem(std::string_view content, LasItem& item) {
        const std::size_t period = content.find('.');
        if (period == std::string_view::npos) return false;
        item.mnemonic = std::string(Trim(content.substr(0, period)));
        if (item.mnemonic.empty()) return false;
        std::string_view rest = content.substr(period + 1);
        std::size_t unitEnd = 0;
        while (unitEnd < rest.size() && !IsSpace(rest[unitEnd])) ++unitEnd;
        // A unit runs to the first blank; a colon right after it ends the value.
        const std::size_t unitColon = rest.substr(0, unitEnd).find(':');
        if (unitColon != std::string_view::npos) unitEnd = unitColon;
        item.unit = std::string(rest.substr(0, unitEnd));
        rest.remove_prefix(unitEnd);
        const std::size_t colon = DescriptionColon(rest);
        if (colon == std::string_view::npos) {
            diagnostics_.Warn(line_, "no colon before the description of " + item.mnemonic +
                                         ": the rest of the line is read as its value");
            item.value = std::string(Trim(rest));
        } else {
            item.value = std::string(Trim(rest.substr(0, colon)));
            item.description = std::string(Trim(rest.substr(colon + 1)));
        }
        item.line = line_;
        return true;
    }

    bool ReadVersionItem(LasItem item) {
        const std::string value = Upper(item.value);
        if (EqualsNoCase(item.mnemonic, "VERS")) {
            sawVersion_ = true;
            double number = 0.0;
            if (!ParseNumber(item.value, number) || number < 1.0) {
                return Fail(line_, "expected VERS 1.2 or 2.0, found '" + item.value + "'");
            }
            if (number >= 3.0) {
                return Fail(line_, "LAS version " + item.value +
                                       " is not supported: expected version 1.2 or 2.0");
            }
            las_.version = number < 2.0 ? "1.2" : "2.0";
        } else if (EqualsNoCase(item.mnemonic, "WRAP")) {
            if (value != "YES" && value != "NO") {
                return Fail(line_, "expected WRAP YES or NO, found '" + item.value + "'");
            }
            las_.wrapped = value == "YES";
        } else if (EqualsNoCase(item.mnemonic, "DLM")) {
            if (value == "SPACE") {
                las_.delimiter = ' ';
            } else if (value == "TAB") {
                las_.delimiter = '\t';
            } else if (value == "COMMA") {
                las_.delimiter = ',';
            } else {
                return Fail(line_, "expected DLM SPACE, TAB or COMMA, found '" + item.value + "'");
            }
        } else {
            las_.versionItems.push_back(std::move(item));
        }
        return true;
    }

    // Encoding, version 1.2 well values, NULL and unique curve names.
    bool FinishHeader() {
        if (!IsValidUtf8(text_.substr(0, headerEnd_))) {
            diagnostics_.Warn(0, "header text is not UTF-8: read as Windows-1252");
            RecodeHeader();
        }
        if (!sawVersion_) diagnostics_.Warn(0, "no VERS in a ~V section: read as version 2.0");
        if (las_.version == "1.2") {
            for (LasItem& item : las_.wellItems) {
                if (!IsDepthItem(item.mnemonic) && !item.description.empty() &&
                    (item.value.empty() || IsVersion12Label(item.value))) {
                    std::swap(item.value, item.description);
                }
            }
        }
        if (const LasItem* null = las_.WellItem("NULL")) {
            if (!ParseNumber(null->value, las_.nullValue)) {
                return Fail(null->line, "expected a number for NULL, found '" + null->value + "'");
            }
        } else {
            diagnostics_.Warn(0, "no NULL in ~W: -999.25 is taken as the null value");
        }
        MakeCurveNamesUnique();
        return true;
    }

    void RecodeHeader() {
        auto recode = [](LasItem& item) {
            for (std::string* text : {&item.mnemonic, &item.unit, &item.value, &item.description}) {
                *text = Cp1252ToUtf8(*text);
            }
        };
        for (LasItem& item : las_.versionItems) recode(item);
        for (LasItem& item : las_.wellItems) recode(item);
        for (LasItem& item : las_.parameters) recode(item);
        for (LasCurve& curve : las_.curves) recode(curve.header);
        las_.other = Cp1252ToUtf8(las_.other);
    }

    void MakeCurveNamesUnique() {
        std::set<std::string> taken;
        for (const LasCurve& curve : las_.curves) taken.insert(curve.header.mnemonic);
        std::set<std::string> seen;
        for (LasCurve& curve : las_.curves) {
            const std::string name = curve.header.mnemonic;
            if (seen.insert(name).second) continue;
            std::string unique;
            for (int n = 1;; ++n) {
                unique = name + ":" + std::to_string(n);
                if (taken.insert(unique).second) break;
            }
            diagnostics_.Warn(curve.header.line,
                              "curve " + name + " appears again: this one is named " + unique);
            curve.fileMnemonic = name;
            curve.header.mnemonic = unique;
            seen.insert(unique);
        }
    }

    // The ~A section: numbers into the curves, N per depth step.
    bool ReadData() {
        const std::size_t count = las_.curves.size();
        if (!inData_) return true;
        columns_.reserve(count);
        for (LasCurve& curve : las_.curves) columns_.push_back(&curve.values);
        if (count > 0) {
            // A first guess from the size keeps the columns from growing step by step.
            const std::size_t guess = (text_.size() - pos_) / (count * 8) + 1;
            for (std::vector<double>* column : columns_) column->reserve(guess);
        }
        const bool ok = las_.delimiter == ' ' ? ReadSpacedData() : ReadDelimitedData();
        if (!ok) return false;
        if (las_.wrapped && step_ != 0) {
            return Fail(lastDataLine_, "the last depth step has " + std::to_string(step_) + " of " +
                                           std::to_string(count) + " values");
        }
        return true;
    }

    // Sends one value to its curve; false when the data holds values but no curve.
    bool Put(double value) {
        if (columns_.empty()) return Fail(line_, "~A holds values but no ~C section names curves");
        if (step_ < columns_.size()) columns_[step_]->push_back(value);
        ++step_;
        if (las_.wrapped && step_ == columns_.size()) step_ = 0;
        return true;
    }

    bool EndDataLine() {
        if (!las_.wrapped && step_ != 0 && step_ != columns_.size()) {
            if (!sawDataLine_ && step_ < columns_.size()) {
                DropCurvesWithoutData(step_);
            } else {
                return Fail(line_, "expected " + std::to_string(columns_.size()) +
                                       " values (one per curve), found " + std::to_string(step_));
            }
        }
        if (step_ != 0) sawDataLine_ = true;
        if (!las_.wrapped) step_ = 0;
        return true;
    }

    // ~C names more curves than the data lines carry: files written that way
    // are read by public readers, which give the curves without data no
    // values. The curves with data are kept; every line must then carry as
    // many values as the first.
    void DropCurvesWithoutData(std::size_t carried) {
        std::string dropped;
        for (std::size_t i = carried; i < las_.curves.size(); ++i) {
            dropped += (dropped.empty() ? "" : ", ") + las_.curves[i].header.mnemonic;
        }
        diagnostics_.Warn(line_, "~C names " + std::to_string(las_.curves.size()) +
                                     " curves, the data lines carry " + std::to_string(carried) +
                                     ": " + dropped + " left out, having no data");
        las_.curves.resize(carried);
        columns_.resize(carried);
    }

    void WarnText(std::string_view token) {
        const std::size_t column = step_;
        const std::string name =
            column < las_.curves.size() ? " (" + las_.curves[column].header.mnemonic + ")" : "";
        diagnostics_.WarnValue(line_, "column " + std::to_string(column + 1) + name + ": '" +
                                          std::string(token.substr(0, 40)) +
                                          "' is not a number; read as the null value");
    }

    // Blank-delimited values, read straight from the text.
    bool ReadSpacedData() {
        const char* p = text_.data() + pos_;
        const char* const end = text_.data() + text_.size();
        ++line_;  // the line after ~A
        bool lineHasValues = false;
        while (true) {
            while (p < end && IsSpace(*p)) ++p;
            if (p == end || IsLineEnd(*p)) {
                if (lineHasValues && !EndDataLine()) return false;
                lineHasValues = false;
                if (p == end) break;
                p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
                ++line_;
                TellProgress(static_cast<std::size_t>(p - text_.data()));
                continue;
            }
            if (!lineHasValues) {
                if (*p == '#') {
                    while (p < end && !IsLineEnd(*p)) ++p;
                    continue;
                }
                if (*p == '~') return Fail(line_, "expected data values, found a section line");
                lineHasValues = true;
                lastDataLine_ = line_;
            }
            double value = 0.0;
            const char* start = (*p == '+' && p + 1 < end && p[1] != '-') ? p + 1 : p;
            const auto [next, error] = std::from_chars(start, end, value);
            if (error == std::errc() && (next == end || IsSpace(*next) || IsLineEnd(*next)) &&
                std::isfinite(value)) {
                p = next;
            } else {
                const char* tokenEnd = p;
                while (tokenEnd < end && !IsSpace(*tokenEnd) && !IsLineEnd(*tokenEnd)) ++tokenEnd;
                WarnText(std::string_view(p, static_cast<std::size_t>(tokenEnd - p)));
                value = las_.nullValue;
                p = tokenEnd;
            }
            if (!Put(value)) return false;
        }
        return true;
    }

    // Tab- or comma-delimited values: each field between two delimiters is
    // one value, and an empty field is a missing one.
    bool ReadDelimitedData() {
        std::string_view line;
        while (NextLine(line)) {
            const std::string_view content = Trim(line);
            if (content.empty() || content.front() == '#') continue;
            if (content.front() == '~')
                return Fail(line_, "expected data values, found a section line");
            lastDataLine_ = line_;
            TellProgress(pos_);
            std::size_t start = 0;
            while (true) {
                const std::size_t stop = content.find(las_.delimiter, start);
                const std::string_view field = Trim(content.substr(start, stop - start));
                double value = las_.nullValue;
                if (!ParseNumber(field, value)) {
                    WarnText(field.empty() ? std::string_view("(empty)") : field);
                    value = las_.nullValue;
                }
                if (!Put(value)) return false;
                if (stop == std::string_view::npos) break;
                start = stop + 1;
            }
            if (!EndDataLine()) return false;
        }
        return true;
    }

    // STRT, STOP and STEP against the index curve: a mismatch is worth a
    // warning, the data are what counts.
    void CheckDepthRange() {
        if (las_.Rows() == 0) return;
        const std::vector<double>& depth = las_.curves.front().values;
        auto declared = [&](const char* mnemonic, double& value) {
            const LasItem* item = las_.WellItem(mnemonic);
            return item && ParseNumber(item->value, value) && value != las_.nullValue;
        };
        auto differ = [](double a, double b) {
            return std::fabs(a - b) > 1e-6 * std::max({1.0, std::fabs(a), std::fabs(b)});
        };
        double value = 0.0;
        if (declared("STRT", value) && differ(value, depth.front())) {
            diagnostics_.Warn(las_.WellItem("STRT")->line, "STRT " + FormatNumber(value) +
                                                               " but the first depth is " +
                                                               FormatNumber(depth.front()));
        }
        if (declared("STOP", value) && differ(value, depth.back())) {
            diagnostics_.Warn(las_.WellItem("STOP")->line, "STOP " + FormatNumber(value) +
                                                               " but the last depth is " +
                                                               FormatNumber(depth.back()));
        }
        if (declared("STEP", value) && value != 0.0) {
            const double tolerance = 0.01 * std::fabs(value);
            for (std::size_t i = 1; i < depth.size(); ++i) {
                const double step = depth[i] - depth[i - 1];
                if (std::fabs(step - value) > tolerance + 1e-9 * std::fabs(depth[i])) {
                    diagnostics_.Warn(las_.WellItem("STEP")->line,
                                      "STEP " + FormatNumber(value) + " but depth " +
                                          FormatNumber(depth[i]) + " follows " +
                                          FormatNumber(depth[i - 1]));
                    break;
                }
            }
        }
    }

    // Tells progress at most once per this many bytes.
    static constexpr std::size_t kProgressBytes = std::size_t(1) << 22;
    void TellProgress(std::size_t at) {
        if (!progress_ || at < told_ + kProgressBytes) return;
        told_ = at;
        progress_(at, text_.size());
    }

    std::string_view text_;
    LasFile& las_;
    Diagnostics& diagnostics_;
    const LasProgress& progress_;
    std::size_t told_ = 0;
    std::size_t pos_ = 0;
    int line_ = 0;
    std::size_t headerEnd_ = 0;
    Section section_ = Section::None;
    bool sawVersion_ = false;
    bool sawCurves_ = false;
    bool inData_ = false;
    bool sawDataLine_ = false;
    int dataLine_ = 0;
    int lastDataLine_ = 0;
    std::vector<std::vector<double>*> columns_;
    std::size_t step_ = 0;  // values read of the current depth step
};

// Text of a header field that reads back the same: no line ends, and for a
// mnemonic no period and no leading '#' or '~'; for a unit no blank.
std::string MendField(std::string text, bool mnemonic, bool unit) {
    for (char& c : text) {
        if (IsLineEnd(c)) c = ' ';
        if (mnemonic && c == '.') c = '_';
        if (unit && (IsSpace(c) || c == ':')) c = '_';
    }
    if (mnemonic && !text.empty() && (text.front() == '#' || text.front() == '~')) text[0] = '_';
    return text;
}

void AppendItem(std::string& out, const LasItem& item, Diagnostics* diagnostics) {
    const std::string mnemonic = MendField(item.mnemonic, true, false);
    const std::string unit = MendField(item.unit, false, true);
    if (diagnostics && (mnemonic != item.mnemonic || unit != item.unit)) {
        diagnostics->Warn(0, "'" + item.mnemonic + "." + item.unit + "' written as '" + mnemonic +
                                 "." + unit + "'");
    }
    std::string head = " " + mnemonic + "." + unit;
    if (head.size() < 16) head.resize(16, ' ');
    std::string value = MendField(item.value, false, false);
    if (value.size() < 24) value.resize(24, ' ');
    out += head + " " + value + " : " + MendField(item.description, false, false) + "\n";
}

// The index step when every step is the same, else 0 (LAS: "variable").
double ConstantStep(const std::vector<double>& depth) {
    if (depth.size() < 2) return 0.0;
    const double step = (depth.back() - depth.front()) / static_cast<double>(depth.size() - 1);
    for (std::size_t i = 1; i < depth.size(); ++i) {
        if (std::fabs(depth[i] - depth[i - 1] - step) > 1e-9 * std::max(1.0, std::fabs(depth[i]))) {
            return 0.0;
        }
    }
    return step;
}

}  // namespace

std::string FormatDepth(double depth) {
    if (!std::isfinite(depth)) return FormatNumber(depth);
    for (int decimals = 0; decimals <= kDepthDecimals; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        const double rounded = std::round(depth * scale) / scale;
        if (std::fabs(rounded - depth) <= 0.5 * std::pow(10.0, -kDepthDecimals)) {
            return FormatNumber(rounded);
        }
    }
    return FormatNumber(depth);
}

const LasItem* LasFile::WellItem(std::string_view mnemonic) const {
    return FindItem(wellItems, mnemonic);
}

const LasItem* LasFile::Parameter(std::string_view mnemonic) const {
    return FindItem(parameters, mnemonic);
}

bool ParseLas(std::string_view text, LasFile& las, Diagnostics& diagnostics,
              const LasProgress& progress) {
    las = LasFile();
    return LasParser(text, las, diagnostics, progress).Run();
}

bool ReadLasFile(const std::string& path, LasFile& las, Diagnostics& diagnostics) {
    std::string content;
    std::string reason;
    if (!ReadWholeFile(path, content, reason)) {
        diagnostics.Fail(0, reason.substr(reason.find(": ") + 2));
        return false;
    }
    return ParseLas(content, las, diagnostics);
}

std::string WriteLas(const LasFile& las, Diagnostics* diagnostics) {
    std::string out;
    const std::size_t rows = las.Rows();
    out.reserve(4096 + rows * las.curves.size() * 14);
    out += "~Version Information\n";
    AppendItem(out, {"VERS", "", "2.0", "CWLS LOG ASCII STANDARD - VERSION 2.0"}, diagnostics);
    AppendItem(out, {"WRAP", "", "NO", "ONE LINE PER DEPTH STEP"}, diagnostics);
    for (const LasItem& item : las.versionItems) AppendItem(out, item, diagnostics);

    out += "~Well Information\n";
    // The depth curve's unit is mended (and told) with its curve line.
    const std::string depthUnit =
        las.curves.empty() ? "" : MendField(las.curves.front().header.unit, false, true);
    const std::vector<double> noDepth;
    const std::vector<double>& depth = las.curves.empty() ? noDepth : las.curves.front().values;
    const double strt = depth.empty() ? las.nullValue : depth.front();
    const double stop = depth.empty() ? las.nullValue : depth.back();
    AppendItem(out, {"STRT", depthUnit, FormatDepth(strt), "START DEPTH"}, diagnostics);
    AppendItem(out, {"STOP", depthUnit, FormatDepth(stop), "STOP DEPTH"}, diagnostics);
    AppendItem(out, {"STEP", depthUnit, FormatDepth(ConstantStep(depth)), "STEP"}, diagnostics);
    AppendItem(out, {"NULL", "", FormatNumber(las.nullValue), "NULL VALUE"}, diagnostics);
    for (const LasItem& item : las.wellItems) {
        if (!IsDepthItem(item.mnemonic)) AppendItem(out, item, diagnostics);
    }

    out += "~Curve Information\n";
    for (const LasCurve& curve : las.curves) AppendItem(out, curve.header, diagnostics);
    if (!las.parameters.empty()) {
        out += "~Parameter Information\n";
        for (const LasItem& item : las.parameters) AppendItem(out, item, diagnostics);
    }
    if (!las.other.empty()) {
        out += "~Other Information\n";
        for (std::size_t start = 0; start <= las.other.size();) {
            std::size_t stop = las.other.find('\n', start);
            if (stop == std::string::npos) stop = las.other.size();
            out += " " + las.other.substr(start, stop - start) + "\n";
            start = stop + 1;
        }
    }

    out += "~A\n";
    char buffer[32];
    char nullText[32];
    const std::size_t nullLength = FormatNumber(las.nullValue, nullText);
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t c = 0; c < las.curves.size(); ++c) {
            const std::vector<double>& values = las.curves[c].values;
            const double value = row < values.size() ? values[row] : las.nullValue;
            const bool finite = std::isfinite(value);
            const std::size_t length = finite ? FormatNumber(value, buffer) : nullLength;
            if (c > 0) out += ' ';
            if (length < 12) out.append(12 - length, ' ');
            out.append(finite ? buffer : nullText, length);
        }
        out += '\n';
    }
    return out;
}

}  // namespace strataloom::formats
