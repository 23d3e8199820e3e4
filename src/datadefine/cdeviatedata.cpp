#include "datadefine/cdeviatedata.h"

#include "dbaccess/valuearray.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CDeviateData, "IDeviateData")

namespace {

const char kTable[] = "w_deviate_well";

std::vector<ColumnShape> DeviateShapes() {
    return ShapesOf({}, DeviateRows::Columns());
}
const MappedTable g_mapped(kTable, &DeviateShapes);

// A short stored array leaves the vector as it was, so a survey read into a
// reused record starts empty: no array may keep another well's stations.
void ClearSurvey(DeviateRecord& survey) {
    const std::string well = std::move(survey.WellName);
    survey = DeviateRecord();
    survey.WellName = well;
}

}  // namespace

const strataloom::WellTable& DeviateRows::Table() {
    // The existence test selects only the well name.
    static const strataloom::WellTable table =
        strataloom::WellTable(kTable).WellRowsHead("select WellName from  w_deviate_well where ");
    return table;
}

const ColumnTable<DeviateRecord>& DeviateRows::Columns() {
    static const ColumnTable<DeviateRecord> columns{
        {"WellName", &DeviateRecord::WellName, ColumnUse::Key},
        {"Md", &DeviateRecord::Md},
        {"Azimuth", &DeviateRecord::Azimuth},
        {"Inclination", &DeviateRecord::Inclination},
        {"Xoffset", &DeviateRecord::Xoffset},
        {"Yoffset", &DeviateRecord::Yoffset},
        {"Xcoor", &DeviateRecord::Xcoor},
        {"Ycoor", &DeviateRecord::Ycoor},
        {"Tvd", &DeviateRecord::Tvd},
        {"Tvdss", &DeviateRecord::Tvdss},
    };
    return columns;
}

bool DeviateRows::ReadRow(CDbManage& session, DeviateRecord& survey) {
    return Columns().Read(session, survey, KeyColumns::Skip);
}

void DeviateRows::WriteRows(CDbManage& session, const DeviateRecord& survey) {
    if (survey.Md.empty()) return;
    InsertRecord(session, Columns(), survey);
}

int CDeviateData::GetWellNamesWithData(const char* project, NameList& names) {
    return ListWellsWithData(project, names);
}

int CDeviateData::LoadWellData(const char* well, DeviateRecord& record) {
    const Statement sql = "select * from w_deviate_well where " + WellIs(well);
    return Read([&](CDbManage& session) {
        const int found = session.GetDataFromDB(sql);
        if (found == CDbManage::kFailed) return 0;
        // The record names the well even when it has no survey to read.
        record.WellName = strataloom::TextOrEmpty(well);
        if (found != CDbManage::kRows) return 0;
        ClearSurvey(record);
        return DeviateRows::ReadRow(session, record) ? 1 : 0;
    });
}

int CDeviateData::LoadAllWellsData(const char*, std::vector<DeviateRecord>& records) {
    return Read([&](CDbManage& session) {
        if (session.GetDataFromDB("select * from w_deviate_well") != CDbManage::kRows) return 0;
        records.resize(static_cast<std::size_t>(session.GetRecordCount()));
        std::size_t next = 0;
        while (session.Read()) {
            // Rows beyond the reported count are appended, never written past the end.
            if (next == records.size()) records.emplace_back();
            DeviateRecord& survey = records[next++];
            survey = DeviateRecord();
            if (!DeviateRows::Columns().Read(session, survey)) return 0;
        }
        return 1;
    });
}

int CDeviateData::IsWellDataExist(const char* well) {
    return HasWellRows(well);
}

int CDeviateData::SaveWellData(const DeviateRecord& record) {
    if (HoldsZeroByte(record.WellName)) return strataloom::RefuseZeroByteName();
    if (record.WellName == "") return strataloom::RefuseEmptyWellName();
    // Without measured depths the survey is only taken away: no row to store.
    if (record.Md.empty()) return DeleteWellRows(record.WellName.c_str());
    return ReplaceWell(record);
}

int CDeviateData::GetWellsWithData(const char*, const std::vector<DeviateRecord>& records,
                                   NameList& names) {
    return ListStoredWells(records, names);
}

int CDeviateData::SaveWellsData(const char*, const std::vector<DeviateRecord>& records) {
    return ReplaceWells(records, strataloom::DeleteStep::BeforeSession);
}

int CDeviateData::DeleteWellData(const char* well) {
    if (IsEmptyText(well)) return strataloom::RefuseEmptyWellName();
    return DeleteWellRows(well);
}

// An empty list is sent as it is: the statement deletes nothing and 1 is returned.
int CDeviateData::DeleteWellsData(NameList names) {
    return DeleteWellsRows(names);
}

int CDeviateData::DeleteProjectData(const char* project) {
    if (IsEmptyText(project)) return strataloom::RefuseEmptyProjectName();
    // Surveys are deleted by project without the table check.
    return DeleteProjectRows(project, strataloom::TableCheck::Skip);
}
