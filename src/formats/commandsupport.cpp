#include "formats/commandsupport.h"

#include <filesystem>
#include <system_error>

#include "formats/las.h"
#include "formats/text.h"
#include "strataloom/icurvedictionary.h"

namespace strataloom::formats {

bool SplitArgs(const std::vector<std::string>& args,
               const std::map<std::string, std::string*>& options,
               std::vector<std::string>& positional, std::ostream& err,
               const std::map<std::string, bool*>& flags) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto flag = flags.find(name);
        if (flag != flags.end() && equals == std::string::npos) {
            *flag->second = true;
            continue;
        }
        const auto option = options.find(name);
        if (option == options.end()) {
            err << "strataloom: unknown option " << name << "\n";
            return false;
        }
        if (equals != std::string::npos) {
            *option->second = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            *option->second = args[++i];
        } else {
            err << "strataloom: " << name << " needs a value\n";
            return false;
        }
    }
    return true;
}

bool CountArgs(const std::vector<std::string>& positional, std::size_t least, std::size_t most,
               const char* expected, std::ostream& err) {
    if (positional.size() >= least && positional.size() <= most) return true;
    err << "strataloom: expected " << expected << "\n";
    return false;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t stop = text.find(',', start);
        if (stop == std::string::npos) stop = text.size();
        const std::string item(Trim(std::string_view(text).substr(start, stop - start)));
        if (!item.empty()) items.push_back(item);
        start = stop + 1;
    }
    return items;
}

bool ReadListingFormat(const std::string& text, ListingFormat& format, std::ostream& err) {
    if (text.empty() || ParseListingFormat(text, format)) return true;
    err << "strataloom: --format takes table, csv or json, not " << text << "\n";
    return false;
}

bool ParseDepthRange(const std::string& text, DepthRange& range, std::ostream& err) {
    if (text.empty()) return true;
    const std::size_t colon = text.find(':');
    const std::string from = colon == std::string::npos ? text : text.substr(0, colon);
    const std::string to = colon == std::string::npos ? "" : text.substr(colon + 1);
    const bool ok = colon != std::string::npos && (!from.empty() || !to.empty()) &&
                    (from.empty() || ParseNumber(from, range.from)) &&
                    (to.empty() || ParseNumber(to, range.to)) && range.from <= range.to;
    if (!ok) {
        err << "strataloom: --depth takes FROM:TO, the shallower depth first, not " << text << "\n";
        return false;
    }
    range.given = true;
    return true;
}

std::string ProjectConnect(const std::string& named) {
    namespace fs = std::filesystem;
    std::error_code error;
    const std::string plain = named.rfind("sqlite:", 0) == 0 ? named.substr(7) : named;
    if (!fs::is_directory(plain, error)) return named;
    fs::path folder = fs::path(plain).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    return (folder / (folder.filename().string() + ".mdb")).string();
}

std::unique_ptr<ProjectData> OpenProject(IDataFactory& factory, const std::string& named,
                                         CommandIo& io) {
    auto data = std::make_unique<ProjectData>(factory, ProjectConnect(named));
    data->SetFailureReason(io.failureReason);
    std::string reason;
    if (!data->Open(reason)) {
        io.err << "strataloom: " << reason << "\n";
        return nullptr;
    }
    return data;
}

std::string ProjectOr(const std::string& project, const std::string& connect) {
    return project.empty() ? ProjectOfConnection(ProjectConnect(connect)) : project;
}

bool WriteOutput(const std::string& output, const std::string& text, CommandIo& io) {
    if (output == "-") {
        io.out << text << std::flush;
        return static_cast<bool>(io.out);
    }
    std::string reason;
    if (WriteWholeFile(output, text, reason)) return true;
    io.err << "strataloom: " << reason << "\n";
    return false;
}

std::ostream& SummaryStream(const std::string& output, CommandIo& io) {
    return output == "-" ? io.err : io.out;
}

std::string OutputName(const std::string& output) {
    return output == "-" ? "standard output" : output;
}

bool KeepLasDepths(std::string& las, const DepthRange& range, std::size_t& rows, CommandIo& io) {
    LasFile file;
    Diagnostics diagnostics("the exported file");
    if (!ParseLas(las, file, diagnostics)) {
        io.err << "strataloom: " << diagnostics.Error() << "\n";
        return false;
    }
    const std::vector<double> depths = file.curves.front().values;
    for (LasCurve& curve : file.curves) {
        std::vector<double> kept;
        for (std::size_t i = 0; i < depths.size() && i < curve.values.size(); ++i) {
            if (range.Holds(depths[i])) kept.push_back(curve.values[i]);
        }
        curve.values = std::move(kept);
    }
    rows = file.Rows();
    if (rows == 0) {
        io.err << "strataloom: no depth step lies between " << FormatNumber(range.from) << " and "
               << FormatNumber(range.to) << "\n";
        return false;
    }
    las = WriteLas(file);
    return true;
}

bool ParsePlotScales(const std::vector<std::string>& items, std::vector<PlotScale>& scales,
                     std::ostream& err) {
    for (const std::string& item : items) {
        const std::size_t equals = item.rfind('=');
        const std::size_t colon = item.rfind(':');
        PlotScale scale;
        const bool ok = equals != std::string::npos && equals > 0 && colon != std::string::npos &&
                        colon > equals &&
                        ParseNumber(item.substr(equals + 1, colon - equals - 1), scale.low) &&
                        ParseNumber(item.substr(colon + 1), scale.high) && scale.low != scale.high;
        if (!ok) {
            err << "strataloom: --scale takes CURVE=MIN:MAX (MIN and MAX differ), not " << item
                << "\n";
            return false;
        }
        scale.curve = item.substr(0, equals);
        if (scale.low > scale.high) std::swap(scale.low, scale.high);
        scales.push_back(scale);
    }
    return true;
}

void AddDictionaryFamilies(IDataFactory& factory, const std::string& connect,
                           const LogCurveSet& set, PlotOptions& plot) {
    std::unique_ptr<ICurveDictionary> dictionary(
        dynamic_cast<ICurveDictionary*>(factory.CreateObject("ICurveDictionary")));
    if (!dictionary) return;
    dictionary->SetConnectString(connect.c_str());
    for (const LogCurveRecord& curve : set.Records) {
        CurveDictionaryRecord entry;
        if (!dictionary->LoadEntryByAlias(curve.CurveName.c_str(), entry)) continue;
        CurveStyle style;
        // The entry's scale kind: 1 is a logarithmic track; its unit may say resistivity.
        style.logarithmic = entry.CoorType == 1 || IsResistivityUnit(entry.CurveUnit);
        style.left = entry.LeftValue;
        style.right = entry.RightValue;
        plot.styles[curve.CurveName] = style;
    }
}

bool NothingStored(const std::string& reason) {
    return reason.empty() || reason.rfind("the statement found no row", 0) == 0;
}

}  // namespace strataloom::formats
