// strataloom._native: the module's data objects for the Python package. It
// is a host like any other: it loads libstrataloom through the public
// interfaces and runs the formats library for LAS files and surveys. Every
// call into the module runs with the GIL released, on the caller's thread,
// with data objects made for that call (an object serves one thread at a
// time). A module operation that answers 0 raises strataloom.Error with the
// module's reason; bad arguments raise ValueError before anything is written.
#include <libpq-fe.h>
#include <pybind11/stl.h>
#include <sqlite3.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "formats/depthunit.h"
#include "formats/las.h"
#include "formats/lasimport.h"
#include "formats/lasmapping.h"
#include "formats/mincurve.h"
#include "formats/projectdata.h"
#include "formats/text.h"
#include "formats/wellcsv.h"
#include "records.h"
#include "strataloom/logsamples.h"

namespace strataloom::python {

namespace {

namespace formats = strataloom::formats;

// A module operation answered 0; carries StrataloomLastError's reason.
class ModuleError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The reason the module gives for the last failure on this thread.
std::string LastReason() {
    const char* reason = StrataloomLastError();
    return reason ? reason : "";
}

// what, followed by the module's reason when it tells one.
[[noreturn]] void Fail(const std::string& what) {
    const std::string reason = LastReason();
    throw ModuleError(reason.empty() ? what : what + ": " + reason);
}

// A load that answers 0 because there is nothing stored, rather than because
// the database failed.
bool NothingStored() {
    return LastReason().rfind("the statement found no row", 0) == 0;
}

// The module's factory, made once and kept for the life of the process.
IDataFactory& Factory() {
    static IDataFactory* factory = CreateDataFactoryObject();
    if (!factory) throw ModuleError("the module could not make its data factory");
    return *factory;
}

template <class Interface>
std::unique_ptr<Interface> Make(const char* name, const std::string& connect) {
    std::unique_ptr<Interface> object(dynamic_cast<Interface*>(Factory().CreateObject(name)));
    if (!object) throw ModuleError(std::string("the module has no data class for ") + name);
    object->SetConnectString(connect.c_str());
    return object;
}

// Runs call, which calls the module and touches no Python object, with the
// GIL released: other Python threads run meanwhile.
template <class Call>
auto Released(Call&& call) {
    py::gil_scoped_release release;
    return call();
}

// The formats library's data objects on connect, opened; the module's reason
// goes with every failure they report.
std::unique_ptr<formats::ProjectData> OpenData(const std::string& connect) {
    auto data = std::make_unique<formats::ProjectData>(Factory(), connect);
    data->SetFailureReason(LastReason);
    std::string reason;
    const bool opened = Released([&] { return data->Open(reason); });
    if (!opened) throw ModuleError(reason);
    return data;
}

// Numbers handed to numpy without a copy: the array owns the vector.
py::array_t<double> Adopt(std::vector<double>&& values) {
    if (values.empty()) return py::array_t<double>(0);
    auto* owner = new std::vector<double>(std::move(values));
    py::capsule free(owner, [](void* p) { delete static_cast<std::vector<double>*>(p); });
    return py::array_t<double>(static_cast<py::ssize_t>(owner->size()), owner->data(), free);
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// ---- projects ---------------------------------------------------------------

// Whether connect names a server database (the module's own rule).
bool IsServer(const std::string& connect) {
    return connect.rfind("postgresql://", 0) == 0 || connect.rfind("postgres://", 0) == 0 ||
           connect.find("host=") != std::string::npos ||
           connect.find("dbname=") != std::string::npos;
}

// The module has no operation that lists projects: the names are read from
// the project headers and the well headers, read-only, with the engine's
// client library.
const char kProjectNamesQuery[] =
    "select ProjectName from b_project_data union select ProjectName from w_well_data "
    "order by 1";

std::vector<std::string> FileProjectNames(const std::string& connect) {
    const std::string path = connect.rfind("sqlite:", 0) == 0 ? connect.substr(7) : connect;
    sqlite3* db = nullptr;
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> owner(nullptr, sqlite3_close);
    const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    owner.reset(db);
    sqlite3_stmt* statement = nullptr;
    if (opened != SQLITE_OK ||
        sqlite3_prepare_v2(db, kProjectNamesQuery, -1, &statement, nullptr) != SQLITE_OK) {
        throw ModuleError("cannot list the projects of " + path + ": " +
                          (db ? sqlite3_errmsg(db) : "out of memory"));
    }
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> done(statement, sqlite3_finalize);
    std::vector<std::string> names;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        if (text && *text) names.emplace_back(text);
    }
    if (step != SQLITE_DONE) {
        throw ModuleError("cannot list the projects of " + path + ": " + sqlite3_errmsg(db));
    }
    return names;
}

std::vector<std::string> ServerProjectNames(const std::string& connect) {
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn(PQconnectdb(connect.c_str()), PQfinish);
    if (!conn || PQstatus(conn.get()) != CONNECTION_OK) {
        throw ModuleError("cannot list the projects of " + connect + ": " +
                          (conn ? PQerrorMessage(conn.get()) : "out of memory"));
    }
    std::unique_ptr<PGresult, void (*)(PGresult*)> result(
        PQexec(conn.get(),
               "select projectname from b_project_data union "
               "select projectname from w_well_data order by 1"),
        PQclear);
    if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
        throw ModuleError("cannot list the projects of " + connect + ": " +
                          PQerrorMessage(conn.get()));
    }
    std::vector<std::string> names;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        if (!PQgetisnull(result.get(), row, 0))
            names.emplace_back(PQgetvalue(result.get(), row, 0));
    }
    names.erase(std::remove(names.begin(), names.end(), ""), names.end());
    return names;
}

std::vector<std::string> ProjectNames(const std::string& connect) {
    py::gil_scoped_release release;
    return IsServer(connect) ? ServerProjectNames(connect) : FileProjectNames(connect);
}

// Checks that connect opens as a project database.
void CheckOpens(const std::string& connect) {
    OpenData(connect);
}

// One header (a project's, a well's) as columns of one row; None when the
// database has none.
template <class Interface, class Record>
py::object LoadHeader(const char* interface, int (Interface::*load)(const char*, Record&),
                      const FieldTable<Record>& fields, const std::string& connect,
                      const std::string& key, const std::string& what) {
    auto object = Make<Interface>(interface, connect);
    Record record;
    const int ok = Released([&] { return ((*object).*load)(key.c_str(), record); });
    if (!ok) {
        if (NothingStored()) return py::none();
        Fail("the header of " + what + " " + key + " could not be loaded");
    }
    return ColumnsOf<Record>({&record}, fields);
}

py::object LoadProject(const std::string& connect, const std::string& name) {
    return LoadHeader("IBasicProjectData", &IBasicProjectData::LoadProject, ProjectFields(),
                      connect, name, "project");
}

// ---- well headers -----------------------------------------------------------

py::dict LoadWells(const std::string& connect, const std::string& project) {
    auto wells = Make<IBasicWellData>("IBasicWellData", connect);
    std::vector<BasicWellRecord> records;
    int ok = 0;
    {
        py::gil_scoped_release release;
        ok = wells->LoadProjectWells(project.c_str(), records);
        std::sort(records.begin(), records.end(),
                  [](const BasicWellRecord& a, const BasicWellRecord& b) {
                      return a.WellName < b.WellName;
                  });
    }
    if (!ok && !NothingStored()) Fail("the wells of project " + project + " could not be loaded");
    std::vector<const BasicWellRecord*> rows;
    rows.reserve(records.size());
    for (const BasicWellRecord& record : records) rows.push_back(&record);
    return ColumnsOf(rows, WellFields());
}

py::object LoadWell(const std::string& connect, const std::string& well) {
    return LoadHeader("IBasicWellData", &IBasicWellData::LoadWell, WellFields(), connect, well,
                      "well");
}

// ---- log curves -------------------------------------------------------------

// The curves of one well as Python sees them: names, units, the position of
// each curve's depth curve (-1 for none), and the samples as numpy arrays
// with the well's null value replaced by NaN (depth curves as stored).
py::tuple CurvesToPython(LogCurveSet&& set, bool found) {
    const std::size_t count = set.Records.size();
    py::list names(count);
    py::list units(count);
    py::list depths(count);
    py::list values(count);
    for (std::size_t i = 0; i < count; ++i) {
        LogCurveRecord& record = set.Records[i];
        names[i] = py::str(record.CurveName);
        units[i] = py::str(record.Measure);
        depths[i] = record.DepthCurve;
        values[i] = Adopt(std::move(record.CurveValue));
    }
    return py::make_tuple(found, set.NullValue, names, units, depths, values);
}

// Loads one well's curves without the GIL; false when it has none.
bool LoadWellCurves(ILogData& logs, const std::string& well, LogCurveSet& set) {
    // Nulls become NaN as the module copies the samples: no second pass.
    if (StrataloomLoadWellDataNullsAsNaN(&logs, well.c_str(), &set)) return true;
    if (NothingStored()) return false;
    Fail("the curves of well " + well + " could not be loaded");
}

// One curve with its depth curve (the depth curve first).
py::tuple LoadOneCurve(const std::string& connect, const std::string& well,
                       const std::string& curve) {
    auto logs = Make<ILogData>("ILogData", connect);
    LogCurveSet set;
    int ok = 0;
    {
        py::gil_scoped_release release;
        ok = logs->LoadCurve(well.c_str(), curve.c_str(), set);
        if (ok) StrataloomNullsToNaN(&set);
    }
    if (!ok && !NothingStored())
        Fail("curve " + curve + " of well " + well + " could not be loaded");
    return CurvesToPython(std::move(set), ok != 0);
}

py::tuple LoadCurves(const std::string& connect, const std::string& well) {
    auto logs = Make<ILogData>("ILogData", connect);
    LogCurveSet set;
    const bool found = Released([&] { return LoadWellCurves(*logs, well, set); });
    return CurvesToPython(std::move(set), found);
}

// Only the named curves, each loaded with its depth curve, gathered into one
// set that holds every depth curve once: a few curves of a well of many cost
// a few rows, not the well. Runs without the GIL.
bool LoadNamedCurveSet(ILogData& logs, const std::string& well,
                       const std::vector<std::string>& names, LogCurveSet& all) {
    for (const std::string& name : names) {
        LogCurveSet one;
        if (!logs.LoadCurve(well.c_str(), name.c_str(), one)) {
            if (NothingStored()) throw ModuleError("well " + well + " has no curve " + name);
            Fail("curve " + name + " of well " + well + " could not be loaded");
        }
        all.NullValue = one.NullValue;
        LogCurveRecord& depth = one.Records[0];
        int d = 0;
        while (d < static_cast<int>(all.Records.size()) &&
               !(all.Records[d].DepthCurve == d && all.Records[d].CurveName == depth.CurveName)) {
            ++d;
        }
        if (d == static_cast<int>(all.Records.size())) {
            depth.DepthCurve = d;
            all.Records.push_back(std::move(depth));
        }
        LogCurveRecord& curve = one.Records[1];
        if (curve.CurveName == all.Records[d].CurveName) continue;  // the depth curve itself
        curve.DepthCurve = d;
        all.Records.push_back(std::move(curve));
    }
    StrataloomNullsToNaN(&all);
    return true;
}

// The null value the well's curves are stored with (None without curves):
// read with the depth curves alone.
py::object StoredNull(const std::string& connect, const std::string& well) {
    auto logs = Make<ILogData>("ILogData", connect);
    LogCurveSet set;
    const int ok = Released([&] { return logs->LoadDepthCurves(well.c_str(), set); });
    if (ok) return py::float_(set.NullValue);
    if (NothingStored()) return py::none();
    Fail("the curves of well " + well + " could not be loaded");
}

// ---- DataFrames of curves ----------------------------------------------------

// Which curves of a loaded well make its DataFrame: the depth curve that
// indexes it, the curves that become its columns, and the curves left out
// (each with why) when no names were asked for.
struct FrameChoice {
    std::size_t depth = 0;
    std::vector<std::size_t> columns;
    std::vector<std::string> leftOut;
};

// The depth curve most curves use (the first of equals); -1 when no curve
// gives its own depths.
int MainDepthCurve(const LogCurveSet& set) {
    const int count = static_cast<int>(set.Records.size());
    std::vector<int> users(set.Records.size(), 0);
    for (const LogCurveRecord& record : set.Records) {
        if (record.DepthCurve >= 0 && record.DepthCurve < count) ++users[record.DepthCurve];
    }
    int best = -1;
    for (int i = 0; i < count; ++i) {
        if (set.Records[i].DepthCurve == i && (best < 0 || users[i] > users[best])) best = i;
    }
    return best;
}

// The position of the curve of that name in the set; -1 without one.
int PositionOf(const LogCurveSet& set, const std::string& name) {
    for (std::size_t i = set.Records.size(); i-- > 0;) {
        if (set.Records[i].CurveName == name) return static_cast<int>(i);
    }
    return -1;
}

// The curves asked for by names (every curve but the depth curves when
// empty) and the depth curve they are indexed by: depth when given, else
// the one of the first named curve, else the one most curves use. A named
// curve that cannot be a column raises ValueError; an unnamed one is left
// out.
FrameChoice ChooseFrameColumns(const LogCurveSet& set, const std::string& well,
                               const std::vector<std::string>& names, const std::string& depth) {
    std::vector<std::size_t> asked;
    for (const std::string& name : names) {
        const int found = PositionOf(set, name);
        if (found < 0) throw ModuleError("well " + well + " has no curve " + name);
        asked.push_back(static_cast<std::size_t>(found));
    }
    const auto isDepthCurve = [&](std::size_t i) {
        return set.Records[i].DepthCurve == static_cast<int>(i);
    };
    FrameChoice choice;
    if (!depth.empty()) {
        const int found = PositionOf(set, depth);
        if (found < 0 || !isDepthCurve(static_cast<std::size_t>(found)))
            throw ModuleError("well " + well + " has no depth curve " + depth);
        choice.depth = static_cast<std::size_t>(found);
    } else if (!asked.empty()) {
        const int d = set.Records[asked.front()].DepthCurve;
        if (d < 0 || d >= static_cast<int>(set.Records.size()))
            throw ModuleError("curve " + names.front() + " of well " + well +
                              " has no depth curve");
        choice.depth = static_cast<std::size_t>(d);
    } else {
        const int d = MainDepthCurve(set);
        if (d < 0)
            throw ModuleError("well " + well +
                              " has no depth curve: no curve gives its own depths");
        choice.depth = static_cast<std::size_t>(d);
    }
    const LogCurveRecord& depthCurve = set.Records[choice.depth];
    const std::size_t rows = depthCurve.CurveValue.size();
    if (asked.empty()) {
        for (std::size_t i = 0; i < set.Records.size(); ++i) {
            if (!isDepthCurve(i)) asked.push_back(i);
        }
    }
    for (std::size_t i : asked) {
        const LogCurveRecord& curve = set.Records[i];
        std::string why;
        if (curve.DepthCurve != static_cast<int>(choice.depth)) {
            why = "does not take its depths from " + depthCurve.CurveName;
        } else if (curve.CurveValue.size() != rows) {
            why = "has " + std::to_string(curve.CurveValue.size()) + " samples, its depth curve " +
                  std::to_string(rows);
        }
        if (why.empty()) {
            choice.columns.push_back(i);
        } else if (!names.empty()) {
            throw py::value_error("curve " + curve.CurveName + " of well " + well + " " + why);
        } else {
            choice.leftOut.push_back(curve.CurveName + " " + why);
        }
    }
    return choice;
}

// An array of the doubles at data in the shape dims (C order), that owner
// keeps alive: no copy. Made by numpy's own call, without the shape and
// stride vectors pybind11's constructor allocates for each array, as a
// frame of many curves makes many.
py::object DoublesView(const std::vector<double>& values, std::initializer_list<Py_intptr_t> dims,
                       const py::handle& owner) {
    std::vector<py::ssize_t> shape(dims.begin(), dims.end());
    if (values.empty()) return py::array_t<double>(shape);
    auto& api = py::detail::npy_api::get();
    PyObject* descr = api.PyArray_DescrFromType_(py::detail::npy_api::NPY_DOUBLE_);
    if (!descr) throw py::error_already_set();
    auto array = py::reinterpret_steal<py::object>(api.PyArray_NewFromDescr_(
        api.PyArray_Type_, descr, static_cast<int>(dims.size()),
        const_cast<Py_intptr_t*>(dims.begin()), nullptr, const_cast<double*>(values.data()),
        py::detail::npy_api::NPY_ARRAY_WRITEABLE_, nullptr));
    if (!array) throw py::error_already_set();
    if (api.PyArray_SetBaseObject_(array.ptr(), owner.inc_ref().ptr()) != 0)
        throw py::error_already_set();
    return array;
}

// A loaded well's curves kept for the arrays of its frame: one owner keeps
// the samples of every array, the choice says which curves are shown.
struct FrameSource {
    LogCurveSet* set = nullptr;
    py::capsule owner;
    FrameChoice choice;
};

// Chooses the frame's curves and hands the set to one owner: the curves the
// frame does not show are freed now, the others with the last array.
FrameSource KeepForFrame(LogCurveSet&& set, const std::string& well,
                         const std::vector<std::string>& names, const std::string& depth) {
    FrameSource source;
    source.choice = ChooseFrameColumns(set, well, names, depth);
    std::vector<char> shown(set.Records.size(), 0);
    shown[source.choice.depth] = 1;
    for (std::size_t i : source.choice.columns) shown[i] = 1;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (!shown[i]) std::vector<double>().swap(set.Records[i].CurveValue);
    }
    auto holder = std::make_unique<LogCurveSet>(std::move(set));
    source.set = holder.get();
    source.owner = py::capsule(source.set, [](void* p) { delete static_cast<LogCurveSet*>(p); });
    holder.release();
    return source;
}

// Curve name to unit of the depth curve and the frame's columns, and the
// columns' names.
std::pair<py::dict, py::list> FrameNamesAndUnits(const FrameSource& source) {
    const LogCurveRecord& depthCurve = source.set->Records[source.choice.depth];
    py::dict units;
    units[py::str(depthCurve.CurveName)] = py::str(depthCurve.Measure);
    py::list names(source.choice.columns.size());
    for (std::size_t c = 0; c < source.choice.columns.size(); ++c) {
        const LogCurveRecord& curve = source.set->Records[source.choice.columns[c]];
        names[c] = py::str(curve.CurveName);
        units[names[c]] = py::str(curve.Measure);
    }
    return {std::move(units), std::move(names)};
}

py::object ColumnRow(const FrameSource& source, std::size_t column) {
    const std::vector<double>& values =
        source.set->Records[source.choice.columns[column]].CurveValue;
    return DoublesView(values, {1, static_cast<Py_intptr_t>(values.size())}, source.owner);
}

py::object DepthValues(const FrameSource& source) {
    const std::vector<double>& depths = source.set->Records[source.choice.depth].CurveValue;
    return DoublesView(depths, {static_cast<Py_intptr_t>(depths.size())}, source.owner);
}

// What Python makes a well's DataFrame of: (null, depth curve name, depth
// values, column names, columns as rows of one, units of the depth curve
// and the columns, curves left out); None for a well without curves. Raises
// Error when names were asked for and the well has none.
py::object FrameParts(LogCurveSet&& set, bool found, const std::string& well,
                      const std::vector<std::string>& names, const std::string& depth) {
    if (!found) {
        if (!names.empty()) throw ModuleError("well " + well + " has no curves");
        return py::none();
    }
    const FrameSource source = KeepForFrame(std::move(set), well, names, depth);
    auto [units, columnNames] = FrameNamesAndUnits(source);
    py::list columns(source.choice.columns.size());
    for (std::size_t c = 0; c < source.choice.columns.size(); ++c)
        columns[c] = ColumnRow(source, c);
    return py::make_tuple(source.set->NullValue, source.set->Records[source.choice.depth].CurveName,
                          DepthValues(source), columnNames, columns, units, source.choice.leftOut);
}

// pandas' own classes a DataFrame of curves is made of, given by the package
// when its pandas has the ones it knows: the frame is then made here, one
// block per column, without a Python frame per step (a quarter to a third
// less than the same steps in Python, which matters for wells of few
// samples).
struct FrameClasses {
    py::object block;                    // a block of one column: (values, placement, ndim)
    py::object manager;                  // (blocks, axes, verify_integrity=)
    py::object frameClass;               // DataFrame
    py::object frameInit;                // NDFrame.__init__(frame, manager, copy, attrs)
    py::object floatIndexNew;            // an Index of float64 values as they are: (values, name)
    py::object textIndexNew;             // an Index of the object array as it is: (values)
    py::object placement;                // the placement of a block: (slice)
    std::vector<py::object> placements;  // of column 0, 1, ..., made once
};

// Set from the package under the GIL (None as block makes parts again). A
// frame being made holds its own reference, as Python code it calls may let
// another thread set them anew. Kept for the life of the process: nothing
// of Python may be released after the interpreter ends.
std::shared_ptr<FrameClasses>& CurrentFrameClasses() {
    static auto* current = new std::shared_ptr<FrameClasses>();
    return *current;
}

void UseFrameClasses(py::object block, py::object manager, py::object frameClass,
                     py::object frameInit, py::object floatIndexNew, py::object textIndexNew,
                     py::object placement) {
    if (block.is_none()) {
        CurrentFrameClasses().reset();
        return;
    }
    CurrentFrameClasses() = std::make_shared<FrameClasses>(FrameClasses{std::move(block),
                                                                        std::move(manager),
                                                                        std::move(frameClass),
                                                                        std::move(frameInit),
                                                                        std::move(floatIndexNew),
                                                                        std::move(textIndexNew),
                                                                        std::move(placement),
                                                                        {}});
}

py::object PlacementOf(FrameClasses& classes, std::size_t column) {
    while (classes.placements.size() <= column) {
        const auto at = static_cast<py::ssize_t>(classes.placements.size());
        classes.placements.push_back(classes.placement(py::slice(at, at + 1, 1)));
    }
    return classes.placements[column];
}

// A numpy array of the names as Python str objects (dtype object).
py::object TextArray(const py::list& names) {
    auto& api = py::detail::npy_api::get();
    PyObject* descr = api.PyArray_DescrFromType_(py::detail::npy_api::NPY_OBJECT_);
    if (!descr) throw py::error_already_set();
    Py_intptr_t count = static_cast<Py_intptr_t>(names.size());
    auto array = py::reinterpret_steal<py::object>(api.PyArray_NewFromDescr_(
        api.PyArray_Type_, descr, 1, &count, nullptr, nullptr, 0, nullptr));
    if (!array) throw py::error_already_set();
    // The slots of an object array made without data are empty (null); each
    // takes a reference to its name.
    auto** slots = reinterpret_cast<PyObject**>(py::detail::array_proxy(array.ptr())->data);
    for (Py_intptr_t i = 0; i < count; ++i) {
        PyObject* name = PyList_GET_ITEM(names.ptr(), i);
        Py_INCREF(name);
        std::swap(slots[i], name);
        Py_XDECREF(name);
    }
    return array;
}

// The DataFrame of the frame's columns indexed by the depth curve, with the
// well, its null value and the units in attrs: made of pandas' own blocks,
// no copy of the samples.
py::object MakeFrame(FrameClasses& classes, const FrameSource& source, const std::string& well) {
    auto [units, names] = FrameNamesAndUnits(source);
    const std::size_t count = source.choice.columns.size();
    const py::int_ two(2);
    py::tuple blocks(count);
    for (std::size_t c = 0; c < count; ++c)
        blocks[c] = classes.block(ColumnRow(source, c), PlacementOf(classes, c), two);
    const py::object depthIndex = classes.floatIndexNew(
        DepthValues(source), py::str(source.set->Records[source.choice.depth].CurveName));
    py::list axes(2);
    axes[0] = classes.textIndexNew(TextArray(names));
    axes[1] = depthIndex;
    const py::object manager = classes.manager(blocks, axes, py::arg("verify_integrity") = false);
    py::dict attrs;
    attrs["well"] = py::str(well);
    attrs["null"] = py::float_(source.set->NullValue);
    attrs["units"] = std::move(units);
    auto frame = py::reinterpret_steal<py::object>(PyBaseObject_Type.tp_new(
        reinterpret_cast<PyTypeObject*>(classes.frameClass.ptr()), py::tuple().ptr(), nullptr));
    if (!frame) throw py::error_already_set();
    classes.frameInit(frame, manager, false, attrs);
    return frame;
}

// (DataFrame, curves left out) of a well's curves, made here when the package
// gave pandas' classes; else the parts Python makes it of. None for a well
// without curves.
py::object FrameOrParts(LogCurveSet&& set, bool found, const std::string& well,
                        const std::vector<std::string>& names, const std::string& depth) {
    const std::shared_ptr<FrameClasses> classes = CurrentFrameClasses();
    if (!classes || !found) return FrameParts(std::move(set), found, well, names, depth);
    const FrameSource source = KeepForFrame(std::move(set), well, names, depth);
    return py::make_tuple(MakeFrame(*classes, source, well), source.choice.leftOut);
}

// A well's curves as FrameOrParts gives them: every curve, or only the named
// ones (each loaded with its depth curve).
py::object LoadFrame(const std::string& connect, const std::string& well,
                     const std::vector<std::string>& names, const std::string& depth) {
    auto logs = Make<ILogData>("ILogData", connect);
    LogCurveSet set;
    const bool found = Released([&] {
        return names.empty() ? LoadWellCurves(*logs, well, set)
                             : LoadNamedCurveSet(*logs, well, names, set);
    });
    return FrameOrParts(std::move(set), found, well, names, depth);
}

// Several wells in one call: the GIL is released once for all the loads.
py::list LoadManyFrames(const std::string& connect, const std::vector<std::string>& wells,
                        const std::vector<std::string>& names) {
    auto logs = Make<ILogData>("ILogData", connect);
    std::vector<LogCurveSet> sets(wells.size());
    std::vector<char> found(wells.size(), 0);
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < wells.size(); ++i)
            found[i] = LoadWellCurves(*logs, wells[i], sets[i]);
    }
    py::list result(wells.size());
    for (std::size_t i = 0; i < wells.size(); ++i)
        result[i] = FrameOrParts(std::move(sets[i]), found[i], wells[i], names, "");
    return result;
}

std::vector<std::string> WellsWithCurves(const std::string& connect, const std::string& project) {
    auto logs = Make<ILogData>("ILogData", connect);
    NameList names;
    const int ok = Released([&] { return logs->GetWellNamesWithData(project.c_str(), names); });
    if (!ok && !NothingStored()) Fail("the wells of project " + project + " could not be listed");
    return names;
}

// What the C++ host pays for the same loads: LoadWellData of each well, the
// thread's CPU seconds of each round. For the package's benchmark.
std::vector<double> TimeLoadWellData(const std::string& connect,
                                     const std::vector<std::string>& wells, int rounds) {
    auto logs = Make<ILogData>("ILogData", connect);
    std::vector<double> seconds;
    py::gil_scoped_release release;
    for (int round = 0; round < rounds; ++round) {
        const double start = ThreadSeconds();
        {
            // The sets are kept until every well is loaded, as a host that
            // loads a project keeps them.
            std::vector<LogCurveSet> sets(wells.size());
            for (std::size_t i = 0; i < wells.size(); ++i) {
                if (!logs->LoadWellData(wells[i].c_str(), sets[i]))
                    Fail("LoadWellData of " + wells[i]);
            }
        }
        seconds.push_back(ThreadSeconds() - start);
    }
    return seconds;
}

// The description of each curve name the curve dictionary holds (its display
// name, found by name or alias); names without an entry are left out.
py::dict CurveDescriptions(const std::string& connect, const std::vector<std::string>& curves) {
    auto dictionary = Make<ICurveDictionary>("ICurveDictionary", connect);
    std::vector<std::pair<std::string, std::string>> found;
    {
        py::gil_scoped_release release;
        for (const std::string& curve : curves) {
            CurveDictionaryRecord entry;
            if (dictionary->LoadEntryByAlias(curve.c_str(), entry)) {
                found.emplace_back(curve, entry.DisplayName);
            }
        }
    }
    py::dict descriptions;
    for (const auto& [curve, text] : found) descriptions[py::str(curve)] = text;
    return descriptions;
}

// ---- LAS files --------------------------------------------------------------

py::dict Summary(const formats::Diagnostics& diagnostics) {
    py::dict summary;
    summary["warnings"] = diagnostics.Warnings();
    summary["error"] = diagnostics.Error();
    return summary;
}

// How a write that may put wells into a project treats a project the
// database does not know: refused, or made with a depth unit, as the host
// program's import-las with and without --create-project.
struct ProjectRule {
    bool create = false;
    formats::DepthUnit unit = formats::DepthUnit::kMetre;
    std::string madeBy;  // the description of a project made
};

// The rule of create_project and depth_unit; ValueError for a unit that is
// neither metres nor feet, or one given for a project not to be made.
ProjectRule ProjectRuleOf(bool create, const std::string& depthUnit, const std::string& madeBy) {
    ProjectRule rule{create, formats::DepthUnit::kMetre, madeBy};
    if (depthUnit.empty()) return rule;
    if (!formats::ParseDepthUnit(depthUnit, rule.unit))
        throw py::value_error("depth_unit takes m or ft, not " + depthUnit);
    if (!create)
        throw py::value_error(
            "depth_unit is chosen when a project is made: give create_project=True");
    return rule;
}

// Makes the project with its header and depth unit; without the GIL. A
// header whose unit cannot be saved is removed again.
void CreateProject(formats::ProjectData& data, const std::string& project,
                   const ProjectRule& rule) {
    std::string reason;
    if (!formats::MakeProject(data, project, rule.unit, rule.madeBy, reason))
        throw ModuleError(reason);
}

// The import rules of the host program: wells go into a project the
// database knows (or one made as rule says), nothing stored is replaced
// unless replace says so, and depths go in the unit of the project.
formats::LasImportOptions ImportOptions(formats::ProjectData& data, const std::string& connect,
                                        const std::string& project, bool replace,
                                        const ProjectRule& rule) {
    formats::LasImportOptions options;
    options.replace = replace;
    std::string reason;
    const bool read = Released([&] {
        if (!data.Projects().IsProjectExist(project.c_str())) {
            if (!rule.create) {
                throw ModuleError("project " + project + " is not in " + connect +
                                  ": give an existing project, or create_project=True to "
                                  "make it; nothing was stored");
            }
            CreateProject(data, project, rule);
            options.projectUnit = rule.unit;
            return true;
        }
        return data.OpenOwnTables(reason) &&
               formats::LoadProjectDepthUnit(data.Own(), project, options.projectUnit);
    });
    if (!read) {
        throw ModuleError("the depth unit of project " + project +
                          " cannot be read: " + (reason.empty() ? data.Own().Failure() : reason));
    }
    return options;
}

py::list ImportLas(const std::string& connect, const std::string& project,
                   const std::vector<std::string>& paths, bool replace, bool createProject,
                   const std::string& depthUnit) {
    const ProjectRule rule = ProjectRuleOf(createProject, depthUnit, "created by import_las");
    auto data = OpenData(connect);
    const formats::LasImportOptions options = ImportOptions(*data, connect, project, replace, rule);
    py::list results;
    for (const std::string& path : paths) {
        formats::Diagnostics diagnostics(path);
        formats::LasImportSummary summary;
        const bool ok = Released([&] {
            return formats::ImportLasFile(*data, project, path, summary, diagnostics, options);
        });
        py::dict result = Summary(diagnostics);
        result["path"] = path;
        result["ok"] = ok;
        result["well"] = summary.well;
        result["curves"] = summary.curves;
        result["rows"] = summary.rows;
        result["header_created"] = summary.headerCreated;
        result["changes"] = summary.changes;
        results.append(result);
    }
    return results;
}

py::dict ExportLas(const std::string& connect, const std::string& well,
                   const std::string& depthCurve, const std::string& path) {
    auto data = OpenData(connect);
    formats::Diagnostics diagnostics(path.empty() ? well : path);
    formats::LasExportSummary summary;
    std::string text;
    std::string reason;
    bool ok = false;
    {
        py::gil_scoped_release release;
        ok = formats::ExportLas(*data, well, depthCurve, text, summary, diagnostics);
        if (ok && !path.empty() && !formats::WriteWholeFile(path, text, reason)) ok = false;
    }
    if (!ok) throw ModuleError(reason.empty() ? diagnostics.Error() : reason);
    py::dict result = Summary(diagnostics);
    result["text"] = path.empty() ? py::str(text) : py::str("");
    result["depth_curve"] = summary.depthCurve;
    result["curves"] = summary.curves;
    result["rows"] = summary.rows;
    return result;
}

// A LAS file in memory of the curves given, one per column of equal length
// with the depths first; its names and units must read back as given.
std::string CurvesAsLas(const std::string& well, const std::vector<std::string>& names,
                        const std::vector<std::string>& units,
                        const std::vector<py::array_t<double>>& columns, double null) {
    formats::LasFile las;
    las.nullValue = null;
    formats::LasItem wellItem;
    wellItem.mnemonic = "WELL";
    wellItem.value = well;
    wellItem.description = "WELL";
    las.wellItems.push_back(wellItem);
    for (std::size_t i = 0; i < names.size(); ++i) {
        formats::LasCurve curve;
        curve.header.mnemonic = names[i];
        curve.header.unit = units[i];
        curve.values.assign(columns[i].data(), columns[i].data() + columns[i].size());
        las.curves.push_back(std::move(curve));
    }
    formats::Diagnostics mended;
    std::string text = formats::WriteLas(las, &mended);
    if (!mended.Warnings().empty()) {
        const std::string& warning = mended.Warnings().front();
        throw py::value_error("a LAS file cannot carry this name or unit: " +
                              warning.substr(warning.find("warning: ") + 9));
    }
    // Read it back: what the import will see must be what was given.
    formats::LasFile back;
    formats::Diagnostics read;
    if (!formats::ParseLas(text, back, read) || back.curves.size() != names.size()) {
        throw py::value_error("the curves cannot be written as a LAS file: " + read.Error());
    }
    const formats::LasItem* name = back.WellItem("WELL");
    if (!name || name->value != well) {
        throw py::value_error("the well name " + well + " cannot be carried by a LAS file");
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (back.curves[i].header.mnemonic != names[i] || back.curves[i].header.unit != units[i]) {
            throw py::value_error("curve name or unit '" + names[i] + "." + units[i] +
                                  "' does not survive a LAS file; it reads back as '" +
                                  back.curves[i].header.mnemonic + "." +
                                  back.curves[i].header.unit + "'");
        }
    }
    return text;
}

// Saves curves as the LAS import saves a file's curves: the same checks and
// messages, a header made in project for a well that has none, all or nothing.
py::dict SaveCurves(const std::string& connect, const std::string& project, const std::string& well,
                    const std::vector<std::string>& names, const std::vector<std::string>& units,
                    const std::vector<py::array_t<double>>& columns, double null, bool replace,
                    bool createProject, const std::string& depthUnit) {
    const ProjectRule rule = ProjectRuleOf(createProject, depthUnit, "created by save_curves");
    const std::string text = CurvesAsLas(well, names, units, columns, null);
    auto data = OpenData(connect);
    formats::Diagnostics diagnostics("save_curves");
    formats::LasImportSummary summary;
    const formats::LasImportOptions options = ImportOptions(*data, connect, project, replace, rule);
    const bool ok = Released(
        [&] { return formats::ImportLas(*data, project, text, summary, diagnostics, options); });
    if (!ok) throw ModuleError(diagnostics.Error());
    py::dict result = Summary(diagnostics);
    result["header_created"] = summary.headerCreated;
    result["changes"] = summary.changes;
    return result;
}

// ---- deviation surveys --------------------------------------------------------

using SurveyArray = std::vector<double> DeviateRecord::*;
const std::vector<std::pair<const char*, SurveyArray>>& SurveyArrays() {
    static const std::vector<std::pair<const char*, SurveyArray>> arrays{
        {"Md", &DeviateRecord::Md},           {"Inclination", &DeviateRecord::Inclination},
        {"Azimuth", &DeviateRecord::Azimuth}, {"Xoffset", &DeviateRecord::Xoffset},
        {"Yoffset", &DeviateRecord::Yoffset}, {"Tvd", &DeviateRecord::Tvd},
        {"Xcoor", &DeviateRecord::Xcoor},     {"Ycoor", &DeviateRecord::Ycoor},
        {"Tvdss", &DeviateRecord::Tvdss}};
    return arrays;
}

// Fills the arrays a stored survey left empty: the path by minimum curvature
// and, where the header places the well, coordinates and depths below sea
// level; what stays unknown is left empty.
void CompleteStored(DeviateRecord& record, const BasicWellRecord* header) {
    formats::SurveyInput survey;
    survey.record = record;
    formats::Diagnostics ignored;
    if (formats::CompleteSurvey(survey, header, ignored)) {
        record = std::move(survey.record);
        return;
    }
    if (record.Xoffset.empty() || record.Yoffset.empty() || record.Tvd.empty()) {
        formats::WellPath path =
            formats::MinimumCurvature(record.Md, record.Inclination, record.Azimuth);
        if (record.Xoffset.empty()) record.Xoffset = std::move(path.xoffset);
        if (record.Yoffset.empty()) record.Yoffset = std::move(path.yoffset);
        if (record.Tvd.empty()) record.Tvd = std::move(path.tvd);
    }
}

py::object LoadSurvey(const std::string& connect, const std::string& well) {
    auto surveys = Make<IDeviateData>("IDeviateData", connect);
    auto wells = Make<IBasicWellData>("IBasicWellData", connect);
    DeviateRecord record;
    int ok = 0;
    bool complete = false;
    {
        py::gil_scoped_release release;
        ok = surveys->LoadWellData(well.c_str(), record);
        if (ok) {
            BasicWellRecord header;
            const bool hasHeader = wells->LoadWell(well.c_str(), header) == 1;
            // Minimum curvature needs one inclination and azimuth per station.
            complete = record.Inclination.size() == record.Md.size() &&
                       record.Azimuth.size() == record.Md.size();
            if (complete) CompleteStored(record, hasHeader ? &header : nullptr);
        }
    }
    if (!ok) {
        if (NothingStored()) return py::none();
        Fail("the deviation survey of well " + well + " could not be loaded");
    }
    py::dict columns;
    for (const auto& [name, member] : SurveyArrays())
        columns[name] = Adopt(std::move(record.*member));
    return columns;
}

py::dict SaveSurvey(const std::string& connect, const std::string& well, const py::dict& columns) {
    formats::SurveyInput survey;
    survey.record.WellName = well;
    for (const auto& [name, member] : SurveyArrays()) {
        if (!columns.contains(name)) continue;
        const auto values = NumbersOf<double>(name, columns[name]);
        (survey.record.*member).assign(values.data(), values.data() + values.size());
    }
    auto data = OpenData(connect);
    formats::Diagnostics diagnostics("save_survey");
    bool ok = false;
    {
        py::gil_scoped_release release;
        BasicWellRecord header;
        const bool hasHeader = data->Wells().LoadWell(well.c_str(), header) == 1;
        ok = formats::CompleteSurvey(survey, hasHeader ? &header : nullptr, diagnostics) &&
             data->Surveys().SaveWellData(survey.record);
    }
    if (!ok) {
        if (diagnostics.Failed()) throw ModuleError(diagnostics.Error());
        Fail("the deviation survey of well " + well + " could not be saved");
    }
    return Summary(diagnostics);
}

// ---- per-well records: markers and the well-bore family ---------------------

// One kind of per-well record: its data class and its fields.
struct RecordKind {
    std::function<py::object(const std::string& connect, const std::string& well)> load;
    std::function<void(const std::string& connect, const std::string& well, const py::dict& columns,
                       std::size_t rows)>
        save;
    std::vector<std::string> names;
};

template <class Interface, class Set, class Record>
RecordKind MakeKind(const char* interface, const FieldTable<Record>& fields) {
    RecordKind kind;
    for (const Field<Record>& field : fields) kind.names.push_back(field.name);
    kind.load = [interface, &fields](const std::string& connect,
                                     const std::string& well) -> py::object {
        auto object = Make<Interface>(interface, connect);
        Set set;
        const int ok = Released([&] { return object->LoadWellData(well.c_str(), set); });
        if (!ok && !NothingStored()) Fail("the records of well " + well + " could not be loaded");
        std::vector<const Record*> rows;
        for (const Record& record : set.Records) rows.push_back(&record);
        return ColumnsOf(rows, fields);
    };
    kind.save = [interface, &fields](const std::string& connect, const std::string& well,
                                     const py::dict& columns, std::size_t rows) {
        Set set;
        set.WellName = well;
        set.Records = RecordsOf(columns, rows, fields);
        auto object = Make<Interface>(interface, connect);
        const int ok = Released([&] { return object->SaveWellData(set); });
        if (!ok) Fail("the records of well " + well + " could not be saved");
    };
    return kind;
}

const std::map<std::string, RecordKind>& RecordKinds() {
    static const std::map<std::string, RecordKind> kinds{
        {"markers", MakeKind<IMarkerData, MarkerSet>("IMarkerData", MarkerFields())},
        {"small_markers",
         MakeKind<ISmallMarkerData, SmallMarkerSet>("ISmallMarkerData", SmallMarkerFields())},
        {"lithology",
         MakeKind<ILithologyMarkerData, LithMarkerSet>("ILithologyMarkerData", LithMarkerFields())},
        {"interpretation",
         MakeKind<IInterpretData, InterpretSet>("IInterpretData", InterpretFields())},
        {"oil_tests", MakeKind<IOilTestData, OilTestSet>("IOilTestData", OilTestFields())},
        {"perforations", MakeKind<IShotData, ShotSet>("IShotData", ShotFields())},
        {"cores", MakeKind<ITakeCoreData, TakeCoreSet>("ITakeCoreData", TakeCoreFields())},
        {"sidewall_cores",
         MakeKind<ILateralCoreData, LateralCoreSet>("ILateralCoreData", LateralCoreFields())},
    };
    return kinds;
}

const RecordKind& KindOf(const std::string& kind) {
    const auto found = RecordKinds().find(kind);
    if (found == RecordKinds().end()) throw py::value_error("no kind of record " + kind);
    return found->second;
}

// A silent message box: the module's reason (StrataloomLastError) tells the
// text to Python instead; questions are answered No, which changes nothing.
int QuietBox(const char*, const char*, unsigned int type) {
    return type == MB_YESNO ? IDNO : IDOK;
}

}  // namespace

[[noreturn]] void BadColumn(const std::string& column, const std::string& what) {
    throw py::value_error("column " + column + " " + what);
}

std::string TextOf(const std::string& name, py::ssize_t row, const py::handle& cell) {
    if (cell.is_none()) return "";
    if (py::isinstance<py::str>(cell)) return cell.cast<std::string>();
    if (py::isinstance<py::float_>(cell) && std::isnan(cell.cast<double>())) return "";
    BadColumn(name, "must hold text, not " +
                        py::str(cell.get_type().attr("__name__")).cast<std::string>() + " at row " +
                        std::to_string(row));
}

}  // namespace strataloom::python

PYBIND11_MODULE(_native, m) {
    using namespace strataloom::python;
    m.doc() = "The module's data objects for the strataloom package (internal).";
    // Kept for the life of the process: nothing of Python may be released
    // after the interpreter has finished.
    static auto* error = new py::exception<ModuleError>(m, "Error");
    error->doc() = "A module operation failed; the message carries the module's reason.";
    py::register_exception_translator([](std::exception_ptr failure) {
        try {
            if (failure) std::rethrow_exception(failure);
        } catch (const ModuleError& e) {
            PyErr_SetString(error->ptr(), e.what());
        }
    });
    SetMessageBoxHandler(QuietBox);

    m.def(
        "module_version", [] { return std::string(StrataloomVersion()); },
        "The version of the loaded libstrataloom.");
    m.def("is_server", &IsServer, "Whether a connection string names a server database.");
    m.def("project_of_connection", &strataloom::formats::ProjectOfConnection,
          "The project a database is named after.");
    m.def("check_opens", &CheckOpens, "Raises Error unless the database opens.");
    m.def("project_names", &ProjectNames, "Names of the projects with a header or wells.");
    m.def("load_project", &LoadProject, "The project's header as columns of one row, or None.");
    m.def("load_wells", &LoadWells, "The project's well headers as columns, by well name.");
    m.def("load_well", &LoadWell, "One well's header as columns of one row, or None.");
    m.def("load_curves", &LoadCurves,
          "(found, null, names, units, depth positions, arrays) of one well.");
    m.def("load_one_curve", &LoadOneCurve, "load_curves of one curve and its depth curve.");
    m.def("use_frame_classes", &UseFrameClasses,
          "Makes load_frame give DataFrames made of these pandas classes: (block, manager, "
          "DataFrame, NDFrame.__init__, float Index _simple_new, Index _simple_new, "
          "BlockPlacement).");
    m.def("load_frame", &LoadFrame,
          "(DataFrame, curves left out) of a well's curves (all, or the named) once "
          "use_frame_classes was called, else what the DataFrame is made of; None for a well "
          "without curves.");
    m.def("stored_null", &StoredNull, "The null value of the well's curves, or None.");
    m.def("load_many_frames", &LoadManyFrames, "load_frame of several wells in one call.");
    m.def("wells_with_curves", &WellsWithCurves, "The project's wells that have curves.");
    m.def("curve_descriptions", &CurveDescriptions,
          "Display names of the curve dictionary for the curve names it knows.");
    m.def("time_load_well_data", &TimeLoadWellData,
          "CPU seconds of C++ LoadWellData of the wells, per round (for the benchmark).");
    m.def("import_las", &ImportLas, "Imports LAS files; one result dict per file.");
    m.def("export_las", &ExportLas, "Exports a well's curves as LAS 2.0 (to path, or as text).");
    m.def("save_curves", &SaveCurves,
          "Saves curves through the LAS import of the formats library.");
    m.def("load_survey", &LoadSurvey, "A well's survey as columns, completed; or None.");
    m.def("save_survey", &SaveSurvey, "Completes and saves a well's survey.");
    m.def(
        "record_kinds",
        [] {
            py::dict kinds;
            for (const auto& [name, kind] : RecordKinds())
                kinds[py::str(name)] = py::cast(kind.names);
            return kinds;
        },
        "Each kind of per-well record with its column names.");
    m.def(
        "load_records",
        [](const std::string& kind, const std::string& connect, const std::string& well) {
            return KindOf(kind).load(connect, well);
        },
        "A well's records of a kind as columns.");
    m.def(
        "save_records",
        [](const std::string& kind, const std::string& connect, const std::string& well,
           const py::dict& columns,
           std::size_t rows) { KindOf(kind).save(connect, well, columns, rows); },
        "Replaces a well's records of a kind by the columns given.");
}
