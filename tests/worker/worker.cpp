// The tests' second host: a process of its own working on the same project
// database as the test, through the module's data objects (or, to hold a
// lock, through the engine directly). Reports on standard output, one line
// per event.
//
//   worker hold-lock FILE MILLIS        takes the write lock of a project file,
//                                       prints "locked", holds it, releases it
//   worker save-curves CONNECT WELLS FIRST COUNT SAMPLES
//                                       saves versions FIRST, FIRST+1, ... of the
//                                       curves of each well (WELLS: W1,W2,...),
//                                       COUNT versions or, with 0, until killed;
//                                       prints "ready", then "saved WELL VERSION"
//                                       or "failed WELL VERSION REASON"; the exit
//                                       code is the number of failed saves
//   worker save-text-curves CONNECT WELLS PREFIX COUNT [crossing]
//                                       saves COUNT new text curves PREFIX0,
//                                       PREFIX1... in each well (each adds an
//                                       entry to the code table); prints
//                                       "failed WELL CURVE REASON" per failed
//                                       save; the exit code is their number.
//                                       crossing: each save runs inside a
//                                       write that opened another table first:
//                                       the code table with the curve table
//                                       declared after it (the opposite of the
//                                       save's own order), or the well table
//                                       alone, so that the save's tables are
//                                       queued on inside the transaction
//   worker [--as-nobody] read-markers CONNECT WELL
//                                       prints the number of the well's markers,
//                                       or "failed REASON"
//   worker [--as-nobody] delete-markers CONNECT WELL
//                                       prints "result N REASON"
// --as-nobody gives up the rights of the super-user first, so that file
// permissions apply.
#include <grp.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "datadefine/dataobject.h"
#include "dbaccess/cdbmanage.h"
#include "frame/cdatafactory.h"
#include "strataloom/strataloom.h"
#include "support/versions.h"

namespace {

template <class Interface>
std::unique_ptr<Interface> Create(const char* name, const std::string& connect) {
    CDataFactory factory;
    std::unique_ptr<Interface> object(dynamic_cast<Interface*>(factory.CreateObject(name)));
    if (object) object->SetConnectString(connect.c_str());
    return object;
}

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> parts;
    std::stringstream in(list);
    for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
    return parts;
}

int HoldLock(const std::string& file, int millis) {
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        Say(std::string("failed ") + sqlite3_errmsg(handle));
        sqlite3_close(handle);
        return 1;
    }
    Say("locked");
    std::this_thread::sleep_for(std::chrono::milliseconds(millis));
    sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(handle);
    return 0;
}

int SaveCurves(const std::string& connect, const std::string& wells, int first, int count,
               int samples) {
    auto logs = Create<ILogData>("ILogData", connect);
    if (!logs) return 100;
    int failures = 0;
    Say("ready");
    for (int version = first; count == 0 || version < first + count; ++version) {
        for (const std::string& well : Split(wells)) {
            const std::string tag = well + " " + std::to_string(version);
            if (logs->SaveCurves(testsupport::VersionedCurves(well, version, samples))) {
                Say("saved " + tag);
            } else {
                Say("failed " + tag + " " + StrataloomLastError());
                ++failures;
            }
        }
    }
    return failures < 100 ? failures : 100;
}

// The save inside a write whose first statement opened another table.
int SaveInsideCrossingWrite(ITextData& texts, const std::string& connect, const TextCurveSet& set,
                            bool opposite) {
    using strataloom::db::Statement;
    const Statement first = opposite ? Statement::WholeTable("b_text_code").On("w_text_data")
                                     : Statement::WholeTable("w_well_data");
    return strataloom::Atomic(connect, [&] {
        CDbManage session(connect.c_str());
        if (!session.CheckTable(first)) return 0;
        return texts.SaveWellTextCurve(set.WellName.c_str(), set.TextCurveName.c_str(), 1, set);
    });
}

int SaveTextCurves(const std::string& connect, const std::string& wells, const std::string& prefix,
                   int count, bool crossing) {
    auto texts = Create<ITextData>("ITextData", connect);
    if (!texts) return 100;
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        for (const std::string& well : Split(wells)) {
            TextCurveSet set;
            set.WellName = well;
            set.TextCurveName = prefix + std::to_string(i);
            set.Records.resize(3);
            const int saved = crossing ? SaveInsideCrossingWrite(*texts, connect, set, i % 2 == 0)
                                       : texts->SaveWellTextCurve(
                                             well.c_str(), set.TextCurveName.c_str(), 1, set);
            if (!saved) {
                Say("failed " + well + " " + set.TextCurveName + " " + StrataloomLastError());
                ++failures;
            }
        }
    }
    return failures < 100 ? failures : 100;
}

int ReadMarkers(const std::string& connect, const std::string& well) {
    auto markers = Create<IMarkerData>("IMarkerData", connect);
    MarkerSet set;
    if (!markers || !markers->LoadWellData(well.c_str(), set)) {
        Say(std::string("failed ") + StrataloomLastError());
        return 1;
    }
    Say(std::to_string(set.Records.size()));
    return 0;
}

int DeleteMarkers(const std::string& connect, const std::string& well) {
    auto markers = Create<IMarkerData>("IMarkerData", connect);
    const int result = markers ? markers->DeleteWellData(well.c_str()) : -1;
    Say("result " + std::to_string(result) + " " + StrataloomLastError());
    return 0;
}

bool BecomeNobody() {
    if (::geteuid() != 0) return true;
    const gid_t nogroup = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(nogroup) == 0 && ::setuid(65534) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--as-nobody") {
        if (!BecomeNobody()) return 99;
        args.erase(args.begin());
    }
    SetMessageBoxHandler([](const char*, const char*, unsigned int) { return IDOK; });
    const std::string command = args.empty() ? "" : args[0];
    if (command == "hold-lock" && args.size() == 3) return HoldLock(args[1], std::stoi(args[2]));
    if (command == "save-curves" && args.size() == 6) {
        return SaveCurves(args[1], args[2], std::stoi(args[3]), std::stoi(args[4]),
                          std::stoi(args[5]));
    }
    if (command == "save-text-curves" && (args.size() == 5 || args.size() == 6)) {
        return SaveTextCurves(args[1], args[2], args[3], std::stoi(args[4]),
                              args.size() == 6 && args[5] == "crossing");
    }
    if (command == "read-markers" && args.size() == 3) return ReadMarkers(args[1], args[2]);
    if (command == "delete-markers" && args.size() == 3) return DeleteMarkers(args[1], args[2]);
    std::fprintf(stderr, "worker: unknown command\n");
    return 98;
}
