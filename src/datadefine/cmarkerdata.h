// Well markers: table w_marker_data, any number of marker picks per well.
#pragma once

#include "datadefine/perwell.h"
#include "strataloom/imarkerdata.h"

// How w_marker_data rows map to marker records.
struct MarkerRows : strataloom::RecordSetRows<MarkerRows, MarkerSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<MarkerRecord>& Columns();
};

class CMarkerData : public strataloom::PerWellData<IMarkerData, MarkerRows> {
  public:
    int GetWellNamesWithData(const char* project, NameList& names) override;
    int GetMarkerNames(const char* project, NameList& names) override;
    int GetWellMarkerNames(const char* well, NameList& names) override;
    int LoadMarkersByName(const char* project, const char* marker,
                          std::vector<MarkerSet>& sets) override;
    int LoadWellData(const char* well, MarkerSet& set) override;
    int LoadAllWellsData(const char* unused, std::vector<MarkerSet>& sets) override;
    int IsWellDataExist(const char* well) override;
    int SaveWellData(const MarkerSet& set) override;
    int GetWellsWithData(const std::vector<MarkerSet>& sets, NameList& names) override;
    int SaveWellsData(const char* unused, const std::vector<MarkerSet>& sets) override;
    int DeleteWellData(const char* well) override;
    int DeleteWellsData(const NameList& names) override;
    int DeleteProjectData(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
