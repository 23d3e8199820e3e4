// Well markers: table w_marker_data, any number of marker picks per well.
#pragma once

#include "datadefine/plainwelldata.h"
#include "strataloom/imarkerdata.h"

// How w_marker_data rows map to marker records.
struct MarkerRows : strataloom::RecordSetRows<MarkerRows, MarkerSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<MarkerRecord>& Columns();
};

class CMarkerData : public strataloom::PlainWellData<IMarkerData, MarkerRows> {
  public:
    int GetMarkerNames(const char* project, NameList& names) override;
    int GetWellMarkerNames(const char* well, NameList& names) override;
    int LoadMarkersByName(const char* project, const char* marker,
                          std::vector<MarkerSet>& sets) override;
    int LoadWellData(const char* well, MarkerSet& set) override;
    int LoadAllWellsData(const char* unused, std::vector<MarkerSet>& sets) override;
    virtual ClassEntry* GetClassEntry();
};
