// The data every pair of the benchmark works on, and the shape in which the
// hand-written baselines return what they read.
#pragma once

#include <string>
#include <vector>

#include "strataloom/ibasicwelldata.h"
#include "strataloom/icurvedictionary.h"
#include "strataloom/ilogdata.h"
#include "strataloom/imarkerdata.h"

namespace bench {

// Sizes of the three workloads.
constexpr int kSaveCurves = 40;
constexpr int kSaveSamples = 20000;
constexpr int kProjectWells = 100;
constexpr int kProjectCurves = 10;
constexpr int kProjectSamples = 5000;
constexpr int kMarkerWells = 2000;
constexpr int kMarkersPerWell = 20;

// The small calls: existence tests on 1,000 wells of 20 markers each, 4,000
// calls per timed run.
constexpr int kSmallWells = 1000;
constexpr int kSmallMarkers = 20;
constexpr int kSmallCalls = 4000;

// The growth table: wells per call, curves per well.
constexpr int kGrowthWells[] = {100, 1000, 10000};
constexpr int kGrowthCurves[] = {400, 4000};
constexpr int kGrowthSamples = 250;

// Peak memory: 10,000 wells of 20 markers; 1,000 wells of 10 curves of
// 2,000 samples (160 MB of samples).
constexpr int kMemoryMarkerWells = 10000;
constexpr int kMemoryCurveWells = 1000;
constexpr int kMemoryCurves = 10;
constexpr int kMemorySamples = 2000;

struct Workload {
    LogCurveSet saveWell;                   // one well, 40 curves of 20,000 samples
    std::string project;                    // the project of the project load
    std::vector<LogCurveSet> projectWells;  // its 100 wells, 10 curves of 5,000 samples
    std::vector<MarkerSet> markerWells;     // 2,000 wells, 20 markers each
};

// The curve dictionary of the small calls: count entries named prefix + number.
std::vector<CurveDictionaryRecord> MakeDictionary(const std::string& prefix, int count);
// One insert of every entry, as text the engines read alike (seeding).
std::string DictionaryInsert(const std::vector<CurveDictionaryRecord>& entries);

// Builds the data once; every value is reproducible from run to run.
Workload MakeWorkload();

// "PREFIX" followed by number in width digits.
std::string Numbered(const char* prefix, int number, int width);
// A well of curves: the depth curve DEPT first, every other curve measured against it.
LogCurveSet MakeCurveSet(const std::string& well, int curves, int samples, int seed);
// count wells named prefix + number, each with markers markers.
std::vector<MarkerSet> MakeMarkerWells(const std::string& prefix, int count, int markers);
// count well headers named prefix + number.
std::vector<BasicWellRecord> MakeWellHeaders(const std::string& prefix, int count);

// Bytes of the values the records hold (texts and numbers), as a save carries them.
double DataBytes(const std::vector<MarkerSet>& sets);
double DataBytes(const std::vector<LogCurveSet>& sets);

// A curve row as the baselines read it.
struct RawCurve {
    std::string name;
    std::string measure;
    std::string depthCurve;
    double nullValue = 0.0;
    std::vector<double> values;
};

struct RawWell {
    std::string name;
    std::vector<RawCurve> curves;
};

struct RawMarker {
    std::string name;
    double top = 0.0;
    double bottom = 0.0;
    std::string description;
};

struct RawMarkerWell {
    std::string name;
    std::vector<RawMarker> markers;
};

// The name a curve row stores as its depth curve: that of the record its
// position designates, or none.
std::string DepthCurveNameOf(const LogCurveSet& set, const LogCurveRecord& record);

// The names of the set's curves, or of the wells of the sets, in order.
NameList CurveNamesOf(const LogCurveSet& set);
NameList WellNamesOf(const std::vector<MarkerSet>& sets);

// Names between single quotes, inner quotes doubled, joined by ",".
std::string QuotedList(const NameList& names);
std::string Quoted(const std::string& name);

// The hand-written side of every pair, on one engine.
class RawEngine {
  public:
    virtual ~RawEngine() = default;
    // Replaces the well's curves of the same names: one delete, one insert per
    // curve, one transaction.
    virtual bool SaveCurves(const LogCurveSet& set) = 0;
    virtual bool LoadWell(const std::string& well, RawWell& out) = 0;
    // Lists the project's wells, then reads each well's curves.
    virtual bool LoadProject(const std::string& project, std::vector<RawWell>& out) = 0;
    // Replaces the markers of every well of sets: one delete with an in-list,
    // one insert per marker, one transaction.
    virtual bool SaveMarkers(const std::vector<MarkerSet>& sets) = 0;
    // Every marker of the table, grouped by well, in top-depth order.
    virtual bool LoadMarkers(std::vector<RawMarkerWell>& out) = 0;
    // Whether the well has a marker: one prepared select.
    virtual bool HasMarkers(const std::string& well, bool& found) = 0;
    // Whether the project has the well header: one prepared select.
    virtual bool HasWell(const std::string& project, const std::string& well, bool& found) = 0;
    // The curve dictionary's entry of that name: one prepared select of
    // every column; found tells whether it has one.
    virtual bool LoadDictionaryEntry(const std::string& name, CurveDictionaryRecord& out,
                                     bool& found) = 0;
    // The project's well headers, in stored order.
    virtual bool LoadWellHeaders(const std::string& project, std::vector<BasicWellRecord>& out) = 0;
    // Replaces the headers of the same names: one delete with an in-list, one
    // insert per well, one transaction.
    virtual bool SaveWellHeaders(const std::string& project,
                                 const std::vector<BasicWellRecord>& wells) = 0;
    // Replaces curves one at a time: per curve a prepared delete of the
    // well's curve of that name and a prepared insert, one transaction.
    virtual bool SaveCurvesOneByOne(const std::vector<LogCurveSet>& sets) = 0;
    // The engine's own bulk load of the markers of sets, after one delete
    // with an in-list, one transaction; false where the engine has none.
    virtual bool BulkLoadMarkers(const std::vector<MarkerSet>&) { return false; }
    // Runs a statement that yields no rows (seeding).
    virtual bool Exec(const std::string& sql) = 0;
    virtual std::string LastError() const = 0;
};

}  // namespace bench
