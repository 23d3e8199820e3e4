// Deviation surveys: table w_deviate_well, one row per well holding nine
// arrays of survey-station values.
#pragma once

#include "datadefine/perwell.h"
#include "strataloom/ideviatedata.h"

// How w_deviate_well rows map to surveys: a survey is its own set of one row.
struct DeviateRows {
    using Set = DeviateRecord;
    static const strataloom::WellTable& Table();
    // The well name, then the nine arrays of survey-station values.
    static const strataloom::ColumnTable<DeviateRecord>& Columns();
    // Reads the nine arrays of the current row into the survey.
    static bool ReadRow(CDbManage& session, DeviateRecord& survey);
    // Writes the survey's row, or nothing when it has no measured depths.
    static void WriteRows(CDbManage& session, const DeviateRecord& survey);
};

class CDeviateData : public strataloom::PerWellData<IDeviateData, DeviateRows> {
  public:
    int GetWellNamesWithData(const char* project, NameList& names) override;
    int LoadWellData(const char* well, DeviateRecord& record) override;
    int LoadAllWellsData(const char* unused, std::vector<DeviateRecord>& records) override;
    int IsWellDataExist(const char* well) override;
    int SaveWellData(const DeviateRecord& record) override;
    int GetWellsWithData(const char* unused, const std::vector<DeviateRecord>& records,
                         NameList& names) override;
    int SaveWellsData(const char* unused, const std::vector<DeviateRecord>& records) override;
    int DeleteWellData(const char* well) override;
    int DeleteWellsData(NameList names) override;
    int DeleteProjectData(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
