// Sidewall cores: table w_lateralcore_data, any number of samples per well.
#pragma once

#include "datadefine/plainwelldata.h"
#include "strataloom/ilateralcoredata.h"

// How w_lateralcore_data rows map to sidewall-core records.
struct LateralCoreRows : strataloom::RecordSetRows<LateralCoreRows, LateralCoreSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<LateralCoreRecord>& Columns();
};

class CLateralCoreData : public strataloom::PlainWellData<ILateralCoreData, LateralCoreRows> {
  public:
    int LoadWellData(const char* well, LateralCoreSet& set) override;
    virtual ClassEntry* GetClassEntry();
};
