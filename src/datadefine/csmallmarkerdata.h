// Small-layer markers: table w_smallmarker_data, any number of small layers
// per well, depths and thicknesses in single precision.
#pragma once

#include "datadefine/plainwelldata.h"
#include "strataloom/ismallmarkerdata.h"

// How w_smallmarker_data rows map to small-layer records.
struct SmallMarkerRows : strataloom::RecordSetRows<SmallMarkerRows, SmallMarkerSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<SmallMarkerRecord>& Columns();
};

class CSmallMarkerData : public strataloom::PlainWellData<ISmallMarkerData, SmallMarkerRows> {
  public:
    int GetSmallMarkerNames(const char* project, NameList& names) override;
    int GetWellSmallMarkerNames(const char* well, NameList& names) override;
    int LoadWellData(const char* well, SmallMarkerSet& set) override;
    virtual ClassEntry* GetClassEntry();
};
