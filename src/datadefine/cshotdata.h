// Perforations: table w_shot_data, any number of perforated intervals per well.
#pragma once

#include "datadefine/plainwelldata.h"
#include "strataloom/ishotdata.h"

// How w_shot_data rows map to perforation records.
struct ShotRows : strataloom::RecordSetRows<ShotRows, ShotSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<ShotRecord>& Columns();
};

class CShotData : public strataloom::PlainWellData<IShotData, ShotRows> {
  public:
    int LoadWellData(const char* well, ShotSet& set) override;
    int SaveWellData(const ShotSet& set) override;
    virtual ClassEntry* GetClassEntry();
};
