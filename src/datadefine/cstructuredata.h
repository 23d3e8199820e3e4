// Structure data: table s_structure_data, one row per marker surface holding
// its points in three value arrays.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/istructuredata.h"

class CStructureData : public strataloom::TableData<IStructureData> {
  public:
    int GetStructureMarkerNames(const char* project, NameList& names) override;
    int LoadStructureData(const char* marker, StructureRecord& record) override;
    int LoadProjectStructureData(const char* project,
                                 std::vector<StructureRecord>& records) override;
    int IsStructureDataExist(const char* project, const char* marker) override;
    int SaveStructureData(const char* project, const StructureRecord& record) override;
    int GetStructuresWithData(const char* unused, const std::vector<StructureRecord>& records,
                              NameList& names) override;
    int SaveStructuresData(const char* unused,
                           const std::vector<StructureRecord>& records) override;
    int DeleteStructureData(const char* marker) override;
    int DeleteStructuresData(NameList markers) override;
    int DeleteProjectStructureData(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
