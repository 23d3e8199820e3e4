#include "formats/lasimport.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "formats/las.h"
#include "formats/lasheaderstore.h"
#include "formats/lasmapping.h"
#include "formats/text.h"

namespace strataloom::formats {

namespace {

bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// The well's curves as loaded, looked up by name.
class StoredCurves {
  public:
    explicit StoredCurves(LogCurveSet set) : set_(std::move(set)) {}

    const LogCurveSet& Set() const { return set_; }
    const LogCurveRecord* Find(const std::string& name) const {
        for (const LogCurveRecord& record : set_.Records) {
            if (record.CurveName == name) return &record;
        }
        return nullptr;
    }
    std::string DepthOf(const LogCurveRecord& record) const {
        const int depth = record.DepthCurve;
        return depth >= 0 && static_cast<std::size_t>(depth) < set_.Records.size()
                   ? set_.Records[static_cast<std::size_t>(depth)].CurveName
                   : "";
    }
    bool IsDepthCurve(const LogCurveRecord& record) const {
        return DepthOf(record) == record.CurveName;
    }
    // The stored curves named in names, with the depth curves they use,
    // linked among themselves: what saving restores them from.
    LogCurveSet Subset(const std::vector<std::string>& names) const {
        LogCurveSet subset;
        subset.WellName = set_.WellName;
        subset.NullValue = set_.NullValue;
        std::set<std::string> wanted(names.begin(), names.end());
        for (const std::string& name : names) {
            if (const LogCurveRecord* record = Find(name)) wanted.insert(DepthOf(*record));
        }
        for (const LogCurveRecord& record : set_.Records) {
            if (wanted.count(record.CurveName)) subset.Records.push_back(record);
        }
        for (LogCurveRecord& record : subset.Records) {
            const LogCurveRecord* stored = Find(record.CurveName);
            record.DepthCurve = -1;
            for (std::size_t i = 0; i < subset.Records.size(); ++i) {
                if (subset.Records[i].CurveName == DepthOf(*stored)) {
                    record.DepthCurve = static_cast<int>(i);
                }
            }
        }
        return subset;
    }

  private:
    LogCurveSet set_;
};

// What one file does to the well's curves.
struct CurvePlan {
    LogCurveSet save;            // written with one save, the depth curve first
    std::vector<int> fileCurve;  // per saved record: its curve in the file, or -1
    // Stored curves the file holds as they are, with their curve in the file.
    std::vector<std::pair<std::string, int>> unchanged;
    std::vector<std::string> remove;    // stored curves deleted before
    std::vector<std::string> added;     // names the well did not have
    std::vector<std::string> replaced;  // stored curves the save replaces
    bool newRun = false;                // the depth curve is written, with the run's items
};

class CurvePlanner {
  public:
    CurvePlanner(const StoredCurves& stored, LogCurveSet& file, LasImportSummary& summary)
        : stored_(stored), file_(file), summary_(summary) {
        for (const LogCurveRecord& record : stored.Set().Records) taken_.insert(record.CurveName);
    }

    CurvePlan Plan(bool replace) {
        plan_.save.WellName = file_.WellName;
        plan_.save.NullValue = file_.NullValue;
        LogCurveRecord& index = file_.Records.front();
        if (replace) {
            PlaceDepthCurveReplacing(index);
        } else {
            PlaceDepthCurveBeside(index);
        }
        for (std::size_t i = 1; i < file_.Records.size(); ++i) {
            if (replace) {
                PlaceReplacing(file_.Records[i]);
            } else {
                PlaceBeside(file_.Records[i]);
            }
        }
        // A run that joins a stored depth curve and changes nothing writes nothing.
        if (plan_.save.Records.size() == 1 && !written_) {
            plan_.save.Records.clear();
            plan_.fileCurve.clear();
        }
        return std::move(plan_);
    }

  private:
    void Add(LogCurveRecord& record, const std::string& name) {
        plan_.fileCurve.push_back(static_cast<int>(&record - file_.Records.data()));
        record.CurveName = name;
        record.DepthCurve = 0;
        plan_.save.Records.push_back(std::move(record));
        taken_.insert(name);
        written_ = true;
    }

    std::string FreeName(const std::string& name) const {
        if (!taken_.count(name)) return name;
        for (int n = 1;; ++n) {
            const std::string candidate = name + ":" + std::to_string(n);
            if (!taken_.count(candidate)) return candidate;
        }
    }

    // Whether the run holds the curve already: under its name, or, unless
    // exactly, under the name an earlier import kept it apart as (GR:1 for GR).
    const LogCurveRecord* Unchanged(const LogCurveRecord& record, bool exactly) const {
        for (const LogCurveRecord& stored : stored_.Set().Records) {
            const bool named = stored.CurveName == record.CurveName ||
                               (!exactly && stored.CurveName.rfind(record.CurveName + ":", 0) == 0);
            if (named && stored_.DepthOf(stored) == summary_.depthCurve &&
                stored.Measure == record.Measure &&
                SameValues(stored.CurveValue, record.CurveValue)) {
                return &stored;
            }
        }
        return nullptr;
    }

    void PlaceDepthCurveBeside(LogCurveRecord& index) {
        // A stored depth curve of the same depths takes the run; the one of
        // the same name first.
        const LogCurveRecord* same = nullptr;
        for (const LogCurveRecord& record : stored_.Set().Records) {
            if (!stored_.IsDepthCurve(record) || !SameValues(record.CurveValue, index.CurveValue)) {
                continue;
            }
            if (!same || record.CurveName == index.CurveName) same = &record;
        }
        if (same) {
            summary_.depthCurve = same->CurveName;
            plan_.save.Records.push_back(*same);
            plan_.save.Records.front().DepthCurve = 0;
            plan_.fileCurve.push_back(-1);
            plan_.unchanged.emplace_back(same->CurveName, 0);
            ++summary_.unchanged;
            return;
        }
        const std::string name = FreeName(index.CurveName);
        if (name != index.CurveName) {
            KeptApart(index.CurveName, name, index, "other depths");
        }
        summary_.depthCurve = name;
        plan_.added.push_back(name);
        plan_.newRun = true;
        ++summary_.added;
        Add(index, name);
    }

    // A curve the run holds already: nothing is written, its item is kept.
    bool KeepIfUnchanged(const LogCurveRecord& record, bool exactly) {
        const LogCurveRecord* stored = Unchanged(record, exactly);
        if (!stored) return false;
        ++summary_.unchanged;
        plan_.unchanged.emplace_back(stored->CurveName,
                                     static_cast<int>(&record - file_.Records.data()));
        return true;
    }

    void PlaceBeside(LogCurveRecord& record) {
        if (KeepIfUnchanged(record, false)) return;
        const std::string name = FreeName(record.CurveName);
        if (name != record.CurveName) KeptApart(record.CurveName, name, record, "other values");
        plan_.added.push_back(name);
        ++summary_.added;
        Add(record, name);
    }

    void KeptApart(const std::string& name, const std::string& as, const LogCurveRecord& record,
                   const char* why) {
        const LogCurveRecord* stored = stored_.Find(name);
        const std::string line =
            name + ": the well has " + name + " already (" +
            CountText(stored ? stored->CurveValue.size() : 0) + " samples on " +
            (stored ? stored_.DepthOf(*stored) : std::string("?")) + "); the file's " + name +
            " (" + CountText(record.CurveValue.size()) + " samples, " + why + ") is kept as " + as +
            " (--replace replaces it)";
        summary_.changes.push_back(line);
    }

    void PlaceDepthCurveReplacing(LogCurveRecord& index) {
        summary_.depthCurve = index.CurveName;
        const LogCurveRecord* stored = stored_.Find(index.CurveName);
        if (stored && stored_.IsDepthCurve(*stored) &&
            SameValues(stored->CurveValue, index.CurveValue)) {
            ++summary_.unchanged;
            plan_.save.Records.push_back(index);
            plan_.save.Records.front().DepthCurve = 0;
            plan_.fileCurve.push_back(0);
            return;
        }
        if (stored) {
            Replaced(*stored, index);
            // Curves of the replaced depth curve that the file does not hold
            // would be left on the wrong depths.
            for (const LogCurveRecord& user : stored_.Set().Records) {
                const bool inFile = std::any_of(
                    file_.Records.begin(), file_.Records.end(),
                    [&](const LogCurveRecord& r) { return r.CurveName == user.CurveName; });
                if (user.CurveName == index.CurveName || inFile ||
                    stored_.DepthOf(user) != index.CurveName) {
                    continue;
                }
                plan_.remove.push_back(user.CurveName);
                ++summary_.deleted;
                summary_.changes.push_back(user.CurveName + ": " +
                                           CountText(user.CurveValue.size()) +
                                           " samples deleted: its depth curve " + index.CurveName +
                                           " was replaced and the file does not hold it");
            }
        } else {
            plan_.added.push_back(index.CurveName);
            ++summary_.added;
        }
        plan_.newRun = true;
        Add(index, index.CurveName);
    }

    void PlaceReplacing(LogCurveRecord& record) {
        if (KeepIfUnchanged(record, true)) return;
        if (const LogCurveRecord* stored = stored_.Find(record.CurveName)) {
            Replaced(*stored, record);
        } else {
            plan_.added.push_back(record.CurveName);
            ++summary_.added;
        }
        Add(record, record.CurveName);
    }

    void Replaced(const LogCurveRecord& stored, const LogCurveRecord& record) {
        plan_.replaced.push_back(stored.CurveName);
        ++summary_.replaced;
        summary_.changes.push_back(stored.CurveName + ": " + CountText(stored.CurveValue.size()) +
                                   " samples replaced by " + CountText(record.CurveValue.size()));
    }

    const StoredCurves& stored_;
    LogCurveSet& file_;
    LasImportSummary& summary_;
    std::set<std::string> taken_;
    CurvePlan plan_;
    bool written_ = false;
};

// The items the file came with: the run's sections, and one ~C item per
// curve the plan writes (under the name it is stored as).
LasItem FileItem(const LasCurve& curve) {
    LasItem item = curve.header;
    item.mnemonic = curve.MnemonicInFile();
    return item;
}

// The items the file came with: the run's sections, one ~C item per curve the
// plan writes (under the name it is stored as), and one per unchanged curve
// that has none kept yet.
RunHeader FileHeader(const LasFile& las, const CurvePlan& plan, const RunHeader& kept) {
    RunHeader header;
    header.versionItems = las.versionItems;
    header.wellItems = las.wellItems;
    header.parameters = las.parameters;
    for (std::size_t start = 0; !las.other.empty() && start <= las.other.size();) {
        std::size_t stop = las.other.find('\n', start);
        if (stop == std::string::npos) stop = las.other.size();
        header.otherLines.push_back(las.other.substr(start, stop - start));
        start = stop + 1;
    }
    for (std::size_t i = 0; i < plan.save.Records.size(); ++i) {
        if (plan.fileCurve[i] < 0) continue;
        const LasCurve& curve = las.curves[static_cast<std::size_t>(plan.fileCurve[i])];
        header.curveItems.emplace_back(plan.save.Records[i].CurveName, FileItem(curve));
    }
    for (const auto& [name, at] : plan.unchanged) {
        if (kept.CurveItem(name)) continue;
        header.curveItems.emplace_back(name, FileItem(las.curves[static_cast<std::size_t>(at)]));
    }
    return header;
}

// The mnemonics of the file's run items that the kept ones lack or hold otherwise.
std::string DifferingItems(const RunHeader& kept, const RunHeader& file) {
    std::string names;
    auto compare = [&](const std::vector<LasItem>& keptItems, const std::vector<LasItem>& items) {
        for (const LasItem& item : items) {
            const bool same =
                std::any_of(keptItems.begin(), keptItems.end(), [&](const LasItem& k) {
                    return k.mnemonic == item.mnemonic && k.unit == item.unit &&
                           k.value == item.value && k.description == item.description;
                });
            if (!same) names += (names.empty() ? "" : ", ") + item.mnemonic;
        }
    };
    compare(kept.versionItems, file.versionItems);
    compare(kept.wellItems, file.wellItems);
    compare(kept.parameters, file.parameters);
    if (kept.otherLines != file.otherLines) names += names.empty() ? "~O" : ", ~O";
    return names;
}

// Writes a planned file and undoes what was written when a step fails, so
// that the well is left as it was.
class WellWriter {
  public:
    WellWriter(ProjectData& data, const std::string& project, const StoredCurves& stored,
               Diagnostics& diagnostics)
        : data_(data), project_(project), stored_(stored), diagnostics_(diagnostics) {}

    bool Write(const BasicWellRecord* newHeader, const CurvePlan& plan, const RunHeader& items,
               const std::string& run, bool replaceRunItems) {
        const std::string& well = plan.save.WellName;
        well_ = well;
        if (newHeader && !data_.Wells().SaveWell(project_.c_str(), *newHeader)) {
            return Fail("the header of well " + well + " could not be saved in project " +
                        project_);
        }
        headerCreated_ = newHeader != nullptr;
        if (!plan.remove.empty()) {
            if (!data_.Logs().DeleteCurves(well.c_str(), plan.remove)) {
                return Undo(plan, "the replaced curves of well " + well + " could not be deleted");
            }
            removed_ = true;
        }
        if (!plan.save.Records.empty()) {
            saved_ = true;  // a failed save changes nothing, but undoing it is harmless
            if (!data_.Logs().SaveCurves(plan.save)) {
                return Undo(plan, "the curves of well " + well + " could not be saved");
            }
        }
        if (!SaveRunHeader(data_.Own(), well, run, items, replaceRunItems, plan.remove)) {
            return Undo(plan, "the LAS header of well " + well +
                                  " could not be saved: " + data_.Own().Failure());
        }
        return true;
    }

  private:
    bool Fail(const std::string& what) {
        diagnostics_.Fail(0, data_.Failure(what));
        return false;
    }

    bool Undo(const CurvePlan& plan, const std::string& what) {
        const std::string failure = data_.Failure(what);
        bool undone = true;
        if (saved_ || removed_) {
            std::vector<std::string> restore = plan.replaced;
            restore.insert(restore.end(), plan.remove.begin(), plan.remove.end());
            const LogCurveSet before = stored_.Subset(restore);
            if (!before.Records.empty()) undone &= data_.Logs().SaveCurves(before) == 1;
            NameList added(plan.added.begin(), plan.added.end());
            if (!added.empty()) undone &= data_.Logs().DeleteCurves(well_.c_str(), added) == 1;
        }
        if (headerCreated_) {
            undone &= data_.Wells().DeleteWell(project_.c_str(), well_.c_str()) == 1;
        }
        diagnostics_.Fail(0, undone ? failure + "; nothing of the file was kept"
                                    : failure +
                                          "; undoing the file's changes failed as well: "
                                          "check well " +
                                          well_);
        return false;
    }

    ProjectData& data_;
    const std::string& project_;
    const StoredCurves& stored_;
    Diagnostics& diagnostics_;
    std::string well_;
    bool headerCreated_ = false;
    bool removed_ = false;
    bool saved_ = false;
};

bool CheckReadable(const LasFile& las, Diagnostics& diagnostics) {
    if (las.curves.empty()) {
        diagnostics.Fail(0, "no curves: expected a ~C section naming at least the depth curve");
        return false;
    }
    if (las.Rows() < kLeastSamples) {
        diagnostics.Fail(0, std::to_string(las.Rows()) + " depth steps: expected at least " +
                                std::to_string(kLeastSamples) +
                                ", the least a curve needs to be stored");
        return false;
    }
    return true;
}

DepthConversion ConversionFor(const LasFile& las, DepthUnit project, LasImportSummary& summary,
                              Diagnostics& diagnostics) {
    DepthConversion depths;
    depths.project = project;
    depths.fileUnitKnown = LasDepthUnit(las, depths.file);
    if (!depths.fileUnitKnown) {
        const std::string& unit = las.curves.front().header.unit;
        diagnostics.Warn(0, "the depth unit " + (unit.empty() ? std::string("(none)") : unit) +
                                " is neither metres nor feet: depths are stored as the file "
                                "gives them, taken to be in " +
                                DepthUnitName(project));
    } else if (depths.Converts()) {
        summary.conversion = std::string("depths converted from ") + DepthUnitName(depths.file) +
                             " to " + DepthUnitName(project);
    }
    return depths;
}

}  // namespace

std::string CountText(std::size_t count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

bool ImportLas(ProjectData& data, const std::string& project, std::string_view text,
               LasImportSummary& summary, Diagnostics& diagnostics,
               const LasImportOptions& options) {
    summary = LasImportSummary();
    LasFile las;
    LasProgress reading;
    if (options.progress) {
        reading = [&](std::size_t done, std::size_t total) {
            options.progress(total ? double(done) / double(total) : 1.0, "reading");
        };
    }
    if (!ParseLas(text, las, diagnostics, reading)) return false;
    if (!CheckReadable(las, diagnostics)) return false;
    std::string reason;
    if (!data.OpenOwnTables(reason)) {
        diagnostics.Fail(0, reason);
        return false;
    }
    summary.well = LasWellName(las, diagnostics.File(), diagnostics);
    summary.curves = las.curves.size();
    summary.rows = las.Rows();
    for (const LasCurve& curve : las.curves) summary.curveNames.push_back(curve.header.mnemonic);
    BasicWellRecord existing;
    const bool wellExists = data.Wells().LoadWell(summary.well.c_str(), existing) == 1;
    DepthUnit unit = options.projectUnit;
    if (wellExists && !data.Wells().IsWellExist(project.c_str(), summary.well.c_str())) {
        diagnostics.Warn(0, "well " + summary.well +
                                " belongs to another project: its curves are imported, its "
                                "header stays as it is");
        // Its depths are kept in the unit of the project that holds it.
        WellDepthUnit(data.Own(), data.Wells(), summary.well, unit);
    }
    const DepthConversion depths = ConversionFor(las, unit, summary, diagnostics);
    const BasicWellRecord header = LasToWellHeader(las, summary.well, depths);
    LogCurveSet file = LasToCurves(las, summary.well, depths);

    LogCurveSet loaded;
    if (wellExists) data.Logs().LoadWellData(summary.well.c_str(), loaded);
    const StoredCurves stored(std::move(loaded));
    CurvePlanner planner(stored, file, summary);
    const CurvePlan plan = planner.Plan(options.replace);
    RunHeader kept;
    LoadRunHeader(data.Own(), summary.well, summary.depthCurve, kept);
    const RunHeader items = FileHeader(las, plan, kept);
    // A run that joins a stored one keeps the items it has; a new run, or
    // one imported with --replace, takes the file's. Either way, differing
    // items are named.
    const bool runItems = plan.newRun || options.replace || !kept.HasRunItems();
    const std::string differing = kept.HasRunItems() ? DifferingItems(kept, items) : "";
    if (!differing.empty()) {
        summary.changes.push_back(runItems
                                      ? "header of run " + summary.depthCurve +
                                            ": the file's items replace the "
                                            "kept ones (" +
                                            differing + " differ)"
                                      : "header of run " + summary.depthCurve +
                                            ": the kept items stay; the "
                                            "file's " +
                                            differing + " differ (--replace takes the file's)");
    }
    if (options.interrupted && options.interrupted()) {
        diagnostics.Fail(0, "interrupted before anything of the file was written");
        return false;
    }
    if (options.progress) options.progress(1.0, "saving");
    WellWriter writer(data, project, stored, diagnostics);
    if (!writer.Write(wellExists ? nullptr : &header, plan, items, summary.depthCurve, runItems)) {
        summary.added = summary.replaced = summary.deleted = 0;
        return false;
    }
    summary.headerCreated = !wellExists;
    return true;
}

bool ImportLasFile(ProjectData& data, const std::string& project, const std::string& path,
                   LasImportSummary& summary, Diagnostics& diagnostics,
                   const LasImportOptions& options) {
    std::string text;
    std::string reason;
    if (!ReadWholeFile(path, text, reason)) {
        diagnostics.Fail(0, reason.substr(reason.find(": ") + 2));
        return false;
    }
    return ImportLas(data, project, text, summary, diagnostics, options);
}

namespace {

// The record of set to export: the named depth curve, or the one most
// curves use; set.Records.size() with the reason in diagnostics when none.
std::size_t ExportedDepthCurve(const LogCurveSet& set, const std::string& well,
                               const std::string& depthCurve, Diagnostics& diagnostics) {
    const std::size_t none = set.Records.size();
    std::size_t depth = MainDepthCurve(set);
    if (!depthCurve.empty()) {
        depth = none;
        for (std::size_t i = 0; i < set.Records.size(); ++i) {
            if (set.Records[i].CurveName == depthCurve && set.Records[i].DepthCurve == int(i)) {
                depth = i;
            }
        }
        if (depth == none) {
            diagnostics.Fail(0, "well " + well + " has no depth curve " + depthCurve);
            return none;
        }
    }
    if (depth == none) {
        diagnostics.Fail(0, "well " + well + " has no depth curve: no curve gives its own depths");
        return none;
    }
    if (set.Records[depth].CurveValue.empty()) {
        diagnostics.Fail(0, "the depth curve " + set.Records[depth].CurveName + " of well " + well +
                                " has no samples");
        return none;
    }
    return depth;
}

}  // namespace

bool ExportLas(ProjectData& data, const std::string& well, const LasExportOptions& options,
               std::string& text, LasExportSummary& summary, Diagnostics& diagnostics) {
    summary = LasExportSummary();
    LogCurveSet set;
    if (!data.Logs().LoadWellData(well.c_str(), set) || set.Records.empty()) {
        diagnostics.Fail(0, data.Failure("well " + well + " has no curves in " + data.Connect()));
        return false;
    }
    const std::size_t depth = ExportedDepthCurve(set, well, options.depthCurve, diagnostics);
    if (depth == set.Records.size()) return false;
    for (std::size_t i = 0; i < set.Records.size(); ++i) {
        if (set.Records[i].DepthCurve != static_cast<int>(depth)) {
            diagnostics.Warn(0, "curve " + set.Records[i].CurveName +
                                    " does not take its depths from " +
                                    set.Records[depth].CurveName + ": left out");
        }
    }
    BasicWellRecord header;
    const bool hasHeader = data.Wells().LoadWell(well.c_str(), header) == 1;
    RunHeader run;
    std::string reason;
    if (!data.OpenOwnTables(reason) ||
        !LoadRunHeader(data.Own(), well, set.Records[depth].CurveName, run)) {
        diagnostics.Warn(0, "the LAS header kept with the well cannot be read (" +
                                (reason.empty() ? data.Own().Failure() : reason) +
                                "): written from the well header alone");
    }
    const LasExportUnits units{options.storedUnit, options.writtenUnit};
    const LasFile las =
        CurvesToLas(set, depth, hasHeader ? &header : nullptr, &run, units, diagnostics);
    text = WriteLas(las, &diagnostics);
    summary.depthCurve = set.Records[depth].CurveName;
    summary.curves = las.curves.size();
    summary.rows = las.Rows();
    return true;
}

bool ExportLas(ProjectData& data, const std::string& well, const std::string& depthCurve,
               std::string& text, LasExportSummary& summary, Diagnostics& diagnostics) {
    LasExportOptions options;
    options.depthCurve = depthCurve;
    return ExportLas(data, well, options, text, summary, diagnostics);
}

}  // namespace strataloom::formats
