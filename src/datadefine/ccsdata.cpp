#include "datadefine/ccsdata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CCSData, "ICSData")

namespace {

const char kTable[] = "b_cs_data";
const char kEmptyName[] = "名称不能为空！";
// The overwrite question of a list save names at most this many lines.
constexpr std::size_t kMostNamed = 5;

// The loads given a marker take its name from their argument. A line whose
// type, depths or turn points cannot be read still loads; its name and map
// coordinates must be there.
const ColumnTable<CSRecord>& LineColumns() {
    static const ColumnTable<CSRecord> columns{
        {"MarkerName", &CSRecord::MarkerName, ColumnUse::Key},
        {"CSName", &CSRecord::CSName},
        {"CSType", &CSRecord::CSType, ColumnUse::Optional},
        {"Xcoor", &CSRecord::Xcoor},
        {"Ycoor", &CSRecord::Ycoor},
        {"Depth", &CSRecord::Depth, ColumnUse::Optional},
        {"TurnPoint1", &CSRecord::TurnPoint1, ColumnUse::Optional},
        {"TurnPoint2", &CSRecord::TurnPoint2, ColumnUse::Optional},
    };
    return columns;
}

std::vector<ColumnShape> LineShapes() {
    return ShapesOf({}, LineColumns());
}
const MappedTable g_mapped(kTable, &LineShapes);

// The type codes a filter selects: 0 the family '0' to '2', 1 and 2 the codes
// '3' and '4' alone, any other value both of them.
std::string TypeCondition(int filter) {
    switch (filter) {
        case 0:
            return "CSType in ('0','1','2')";
        case 1:
            return "CSType='3'";
        case 2:
            return "CSType='4'";
        default:
            return "CSType in ('3','4')";
    }
}
std::string WhereType(int filter) {
    return "where " + TypeCondition(filter);
}
std::string AndType(int filter) {
    return "and " + TypeCondition(filter);
}

Statement MarkerRows(const char* marker, int filter) {
    return "select * from b_cs_data where MarkerName=" + Quoted(marker) + " " + AndType(filter);
}

Statement DeleteLine(const std::string& marker, const std::string& name) {
    return "delete from b_cs_data where CSName=" + Quoted(name) +
           " and MarkerName=" + Quoted(marker);
}

// The user's answer to a Yes/No question; no handler answers No.
bool UserAgrees(const std::string& question) {
    return AppMessageBox(question.c_str(), MB_YESNO) == IDYES;
}

std::string OverwriteQuestion(const CSRecord& line) {
    return "\"" + line.MarkerName + "\"中已经存在" + line.CSName + ",是否覆盖?";
}

std::string OverwriteQuestion(const std::vector<const CSRecord*>& existing) {
    std::string question = "已经存在";
    for (std::size_t i = 0; i < existing.size(); ++i) {
        if (i) question += ',';
        question += "\"" + existing[i]->CSName + "\"";
    }
    if (existing.size() == kMostNamed) question += "等";
    return question + ",\n是否覆盖?";
}

}  // namespace

int CCSData::GetMarkerNamesOfTypes012(NameList& names) {
    return ListNames("select distinct MarkerName from b_cs_data where CSType in ('0','1','2')",
                     "MarkerName", names);
}

int CCSData::GetMarkerNamesOfTypes34(NameList& names) {
    return ListNames("select distinct MarkerName from b_cs_data where CSType in ('3','4')",
                     "MarkerName", names);
}

int CCSData::GetCSNames(int filter, NameList& names) {
    // This list alone writes the last condition without a blank.
    const bool bothOfSecondFamily = filter < 0 || filter > 2;
    return ListNames(
        "select distinct CSName from b_cs_data " +
            (bothOfSecondFamily ? std::string("where CSType in('3','4')") : WhereType(filter)),
        "CSName", names);
}

int CCSData::GetMarkerCSNames(const char* marker, int filter, NameList& names) {
    return ListNames("select distinct CSName from b_cs_data where MarkerName=" + Quoted(marker) +
                         " and " + TypeCondition(filter),
                     "CSName", names);
}

int CCSData::LoadAllCS(int filter, std::vector<CSRecord>& records) {
    return LoadRecords("select * from b_cs_data " + WhereType(filter), LineColumns(), records);
}

int CCSData::LoadCSByNames(const char* marker, int filter, const NameList& names,
                           std::vector<CSRecord>& records) {
    if (HoldsZeroByte(names)) return RefuseZeroByteName();
    if (names.empty()) return Succeed();
    const Statement rows = MarkerRows(marker, filter);
    return Read([&](CDbManage& session) {
        for (const std::string& name : names) {
            const Statement sql = rows + " and CSName=" + Quoted(name);
            // A name without a line is skipped; of several rows the first is taken.
            if (session.GetDataFromDB(sql) != CDbManage::kRows) continue;
            CSRecord line;
            line.MarkerName = TextOrEmpty(marker);
            if (!LineColumns().Read(session, line, KeyColumns::Skip)) return 0;
            records.push_back(std::move(line));
        }
        return 1;
    });
}

int CCSData::LoadMarkerCS(const char* marker, int filter, std::vector<CSRecord>& records) {
    CSRecord keyed;
    keyed.MarkerName = TextOrEmpty(marker);
    return LoadKeyedRecords(MarkerRows(marker, filter), LineColumns(), keyed, records);
}

int CCSData::LoadCS(const char* marker, const char* name, CSRecord& record) {
    return LoadNamedRecord("select * from b_cs_data where MarkerName=" + Quoted(marker) +
                               " and CSName=" + Quoted(name),
                           LineColumns(), record, [&] {
                               record.MarkerName = TextOrEmpty(marker);
                               record.CSName = TextOrEmpty(name);
                           });
}

int CCSData::IsMarkerCSExist(const char* marker) {
    return HasRows(kTable, "select * from b_cs_data where MarkerName=" + Quoted(marker));
}

int CCSData::IsCSExist(const char* marker, const char* name) {
    return HasRows(kTable, "select * from b_cs_data where CSName=" + Quoted(name) +
                               " and MarkerName=" + Quoted(marker));
}

// The user is asked before the write begins: no lock on the project waits on
// the box, and a write that starts over does not ask again.
int CCSData::SaveCS(const CSRecord& record) {
    if (AnyHoldsZeroByte(record.MarkerName, record.CSName)) return RefuseZeroByteName();
    return Guarded([&] {
        ICSData& self = *this;
        if (self.IsCSExist(record.MarkerName.c_str(), record.CSName.c_str()) &&
            !UserAgrees(OverwriteQuestion(record))) {
            return 0;
        }
        return Replace(kTable, DeleteLine(record.MarkerName, record.CSName),
                       [&](CDbManage& session) { InsertRecord(session, LineColumns(), record); });
    });
}

int CCSData::SaveCSList(const std::vector<CSRecord>& records) {
    if (HoldsZeroByte(records, &CSRecord::MarkerName) ||
        HoldsZeroByte(records, &CSRecord::CSName)) {
        return RefuseZeroByteName();
    }
    if (records.empty()) return Succeed();
    return Guarded([&] {
        ICSData& self = *this;
        std::vector<const CSRecord*> existing;
        for (const CSRecord& line : records) {
            if (existing.size() == kMostNamed) break;
            if (self.IsCSExist(line.MarkerName.c_str(), line.CSName.c_str())) {
                existing.push_back(&line);
            }
        }
        if (!existing.empty() && !UserAgrees(OverwriteQuestion(existing))) return 0;
        // The deletes and the inserts are one write: any failure leaves every line as it was.
        return Write(nullptr, [&](CDbManage& session) {
            for (const CSRecord& line : records) {
                const Statement sql = "delete from b_cs_data where (CSName=" + Quoted(line.CSName) +
                                      " and MarkerName=" + Quoted(line.MarkerName) + ")";
                if (!session.ExecuteSQL(sql)) return 0;
            }
            if (!OpenTable(session, kTable)) return 0;
            for (const CSRecord& line : records) InsertRecord(session, LineColumns(), line);
            return session.SaveData() ? 1 : 0;
        });
    });
}

int CCSData::DeleteMarkerCS(const char* marker, int filter) {
    if (IsEmptyText(marker)) return Refuse(kEmptyName);
    return RunReportedDelete(
        kTable, "delete from b_cs_data where MarkerName=" + Quoted(marker) + " " + AndType(filter));
}

int CCSData::DeleteCS(const char* marker, const char* name) {
    if (IsEmptyText(marker) || IsEmptyText(name)) return Refuse(kEmptyName);
    return RunReportedDelete(kTable, DeleteLine(marker, name));
}

int CCSData::Reserved(void*, void*) {
    return Decline("this operation is kept for the host's call table and does nothing");
}

int CCSData::DeleteCSByType(int filter) {
    return RunReportedDelete(kTable, "delete from b_cs_data " + WhereType(filter),
                             TableCheck::Skip);
}

void CCSData::ReleasePointList(std::vector<CSPoint>& points) {
    std::vector<CSPoint>().swap(points);
}

void CCSData::ClearCSRecord(CSRecord& record) {
    record.CSName.clear();
    std::vector<double>().swap(record.Depth);
    std::vector<double>().swap(record.Xcoor);
    std::vector<double>().swap(record.Ycoor);
}
