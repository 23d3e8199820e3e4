// Lithology markers: table w_lith_marker_data, any number of lithology
// intervals per well, depths in single precision.
#pragma once

#include "datadefine/perwell.h"
#include "strataloom/ilithologymarkerdata.h"

// How w_lith_marker_data rows map to lithology records.
struct LithMarkerRows : strataloom::RecordSetRows<LithMarkerRows, LithMarkerSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<LithMarkerRecord>& Columns();
};

class CLithologyMarkerData : public strataloom::PerWellData<ILithologyMarkerData, LithMarkerRows> {
  public:
    int GetWellNamesWithData(const char* project, NameList& names) override;
    int LoadWellData(const char* well, LithMarkerSet& set) override;
    int LoadWellsData(const NameList& names, std::vector<LithMarkerSet>& sets) override;
    int LoadProjectData(const char* project, std::vector<LithMarkerSet>& sets) override;
    int IsWellDataExist(const char* well) override;
    int SaveWellData(const LithMarkerSet& set) override;
    int GetWellsWithData(const std::vector<LithMarkerSet>& sets, NameList& names) override;
    int SaveWellsData(const std::vector<LithMarkerSet>& sets) override;
    int SaveProjectData(const char* unused, const std::vector<LithMarkerSet>& sets) override;
    int DeleteWellData(const char* well) override;
    int DeleteWellsData(const NameList& names) override;
    int DeleteProjectData(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
