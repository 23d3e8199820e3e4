// Small-layer markers: table w_smallmarker_data, any number of small layers
// per well, depths and thicknesses in single precision.
#pragma once

#include "datadefine/perwell.h"
#include "strataloom/ismallmarkerdata.h"

// How w_smallmarker_data rows map to small-layer records.
struct SmallMarkerRows : strataloom::RecordSetRows<SmallMarkerRows, SmallMarkerSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<SmallMarkerRecord>& Columns();
};

class CSmallMarkerData : public strataloom::PerWellData<ISmallMarkerData, SmallMarkerRows> {
  public:
    int GetWellNamesWithData(const char* project, NameList& names) override;
    int GetSmallMarkerNames(const char* project, NameList& names) override;
    int GetWellSmallMarkerNames(const char* well, NameList& names) override;
    int LoadWellData(const char* well, SmallMarkerSet& set) override;
    int LoadProjectData(const char* project, std::vector<SmallMarkerSet>& sets) override;
    int IsWellDataExist(const char* well) override;
    int SaveWellData(const SmallMarkerSet& set) override;
    int GetWellsWithData(const std::vector<SmallMarkerSet>& sets, NameList& names) override;
    int SaveWellsData(const char* unused, const std::vector<SmallMarkerSet>& sets) override;
    int DeleteWellData(const char* well) override;
    int DeleteWellsData(const NameList& names) override;
    int DeleteProjectData(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
