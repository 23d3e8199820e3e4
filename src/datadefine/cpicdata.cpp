#include "datadefine/cpicdata.h"

#include "datadefine/perwell.h"
#include "datadefine/picturefiles.h"
#include "dbaccess/sqltrace.h"
#include "frame/workdirectory.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CPicData, "IPicData")

namespace {

const char kTable[] = "w_pic_data";

// The set's columns lead every row: the well, then the picture type.
const ColumnTable<PicSet>& SetColumns() {
    static const ColumnTable<PicSet> columns{
        {"WellName", &PicSet::WellName},
        {"PicType", &PicSet::PicType},
        {"PicTypeName", &PicSet::PicTypeName},
    };
    return columns;
}

// The saves write FilePath as the copy's path relative to the work
// directory, the loads read it as stored.
const ColumnTable<PicRecord>& PictureColumns() {
    static const ColumnTable<PicRecord> columns{
        {"TopDepth", &PicRecord::TopDepth},       {"BottomDepth", &PicRecord::BottomDepth},
        {"FileName", &PicRecord::FileName},       {"FilePath", &PicRecord::FilePath},
        {"Description", &PicRecord::Description},
    };
    return columns;
}

std::vector<ColumnShape> PictureShapes() {
    return ShapesOf({}, SetColumns(), PictureColumns());
}
const MappedTable g_mapped(kTable, &PictureShapes);

// " and PicType = " + the type in decimal: how the statements name a type.
std::string AndTypeIs(int type) {
    return " and PicType = " + std::to_string(type);
}

Statement DeleteOfType(const char* well, int type) {
    return "delete from  w_pic_data where " + WellIs(well) + AndTypeIs(type);
}

// An operation on the picture files ends with 0 for reason.
int PictureFault(const std::string& reason) {
    db::NoteFailure(reason);
    return 0;
}

// Runs body with the work directory; without one, 0 and nothing is run.
template <class Body>
int WithWorkDirectory(Body&& body) {
    return Guarded([&] {
        std::string workDirectory;
        std::string reason;
        if (!LookUpWorkDirectory(workDirectory, reason)) return PictureFault(reason);
        return body(workDirectory);
    });
}

}  // namespace

// Loads the rows of query into set: nameSet runs once the query has rows;
// per row readType reads the row's picture type into the set (each row
// overwrites it) and a record is appended. Its FilePath is put under the
// work directory when one is given, else kept as stored.
template <class NameSet, class ReadType>
int CPicData::LoadPictureRows(const Statement& query, PicSet& set, NameSet&& nameSet,
                              ReadType&& readType, const std::string* workDirectory) {
    return Read([&](CDbManage& session) {
        if (session.GetDataFromDB(query) != CDbManage::kRows) return 0;
        nameSet();
        while (session.Read()) {
            PicRecord record;
            if (!readType(session) || !PictureColumns().Read(session, record)) return 0;
            if (workDirectory) record.FilePath = StoredPathUnder(*workDirectory, record.FilePath);
            set.Records.push_back(std::move(record));
        }
        return 1;
    });
}

int CPicData::LoadPicturesOfType(const char* well, int type, PicSet& set,
                                 const std::string* workDirectory) {
    return LoadPictureRows(
        "select * from w_pic_data where WellName = " + Quoted(well) + AndTypeIs(type), set,
        [&] {
            set.WellName = TextOrEmpty(well);
            set.PicType = type;
        },
        [&](CDbManage& session) { return session.GetFieldValue("PicTypeName", set.PicTypeName); },
        workDirectory);
}

int CPicData::LoadWellPictures(const char* well, int type, PicSet& set) {
    return WithWorkDirectory([&](const std::string& workDirectory) {
        return LoadPicturesOfType(well, type, set, &workDirectory);
    });
}

// All the rows go into one set, their paths as stored.
int CPicData::LoadWellPictureSets(const char* well, int type, std::vector<PicSet>& sets) {
    PicSet set;
    const int loaded = LoadPicturesOfType(well, type, set, nullptr);
    // Rows read before a failed one stay with the caller, as in every load.
    if (!set.Records.empty()) sets.push_back(std::move(set));
    return loaded;
}

// A well without pictures of the type appends nothing and gives 0, as every
// query without a row does.
int CPicData::GetPictureNames(const char* well, int type, NameList& names) {
    return ListNames("select FileName from w_pic_data where " + WellIs(well) + AndTypeIs(type),
                     "FileName", names);
}

int CPicData::LoadWellPicturesByTypeName(const char* well, const char* typeName, PicSet& set) {
    const Statement sql = "select * from w_pic_data where WellName = " + Quoted(well) +
                          " and PicTypeName = " + Quoted(typeName);
    return WithWorkDirectory([&](const std::string& workDirectory) {
        return LoadPictureRows(
            sql, set,
            [&] {
                set.WellName = TextOrEmpty(well);
                set.PicTypeName = TextOrEmpty(typeName);
            },
            [&](CDbManage& session) { return session.GetFieldValue("PicType", set.PicType); },
            &workDirectory);
    });
}

// Every file is in the picture folder before any row changes, so no row ever
// names a file that is not there; the copies of a save that fails go again.
int CPicData::SaveWellPictures(const PicSet& set) {
    if (AnyHoldsZeroByte(set.WellName, set.PicTypeName)) return RefuseZeroByteName();
    if (set.WellName.empty()) return RefuseEmptyWellName();
    return WithWorkDirectory([&](const std::string& workDirectory) {
        PictureFolder folder(workDirectory);
        std::vector<PicRecord> rows;
        rows.reserve(set.Records.size());
        for (const PicRecord& record : set.Records) {
            std::string stored;
            std::string reason;
            if (folder.Place(folder.Resolve(record.FilePath), FileNameOf(record.FilePath), stored,
                             reason) == PictureFolder::Placed::Failed) {
                return PictureFault(reason);
            }
            rows.push_back(record);
            rows.back().FilePath = StoredPathOf(stored);
        }
        const int saved = Replace(kTable, DeleteOfType(set.WellName.c_str(), set.PicType),
                                  [&](CDbManage& session) {
                                      for (const PicRecord& row : rows) {
                                          session.AddNew();
                                          SetColumns().Write(session, set);
                                          PictureColumns().Write(session, row);
                                      }
                                  });
        if (saved) folder.KeepCopies();
        return saved;
    });
}

int CPicData::DeleteWellPictures(const char* well, int type) {
    if (IsEmptyText(well)) return RefuseEmptyWellName();
    return RunDelete(kTable, DeleteOfType(well, type));
}

int CPicData::IsWellPictureExist(const char* well, int type) {
    if (IsEmptyText(well)) return RefuseEmptyWellName();
    // No blank between the closing quote and "and".
    return HasRows(kTable, "select * from  w_pic_data where " + WellIs(well) +
                               "and PicType = " + std::to_string(type));
}

int CPicData::CopyPictureToWorkDir(std::string full, std::string name, std::string& stored) {
    if (AnyHoldsZeroByte(full, name)) return RefuseZeroByteName();
    return WithWorkDirectory([&](const std::string& workDirectory) {
        PictureFolder folder(workDirectory);
        std::string placed;
        std::string reason;
        switch (folder.Place(full, name, placed, reason)) {
            case PictureFolder::Placed::Copied:
                folder.KeepCopies();
                stored = placed;
                return 1;
            case PictureFolder::Placed::InPlace:
                stored = placed;
                return PictureFault(placed + " is in the picture folder already");
            case PictureFolder::Placed::Failed:
                break;
        }
        return PictureFault(reason);
    });
}

int CPicData::GetPictureFullPath(std::string name, std::string& full) {
    if (HoldsZeroByte(name)) return RefuseZeroByteName();
    return WithWorkDirectory([&](const std::string& workDirectory) {
        full = PictureFolder(workDirectory).Path() + name;
        return 1;
    });
}

int CPicData::GetPathTitle(std::string path, std::string& title) {
    return Guarded([&] {
        title = PathTitle(path);
        return 1;
    });
}
