// Drilling cores: table w_takecore_data, any number of cores per well.
#pragma once

#include "datadefine/plainwelldata.h"
#include "strataloom/itakecoredata.h"

// How w_takecore_data rows map to core records.
struct TakeCoreRows : strataloom::RecordSetRows<TakeCoreRows, TakeCoreSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<TakeCoreRecord>& Columns();
};

class CTakeCoreData : public strataloom::PlainWellData<ITakeCoreData, TakeCoreRows> {
  public:
    int LoadWellData(const char* well, TakeCoreSet& set) override;
    virtual ClassEntry* GetClassEntry();
};
