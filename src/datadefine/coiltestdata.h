// Oil tests: table w_oiltest_data, any number of tested intervals per well.
#pragma once

#include "datadefine/plainwelldata.h"
#include "strataloom/ioiltestdata.h"

// How w_oiltest_data rows map to oil-test records.
struct OilTestRows : strataloom::RecordSetRows<OilTestRows, OilTestSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<OilTestRecord>& Columns();
};

class COilTestData : public strataloom::PlainWellData<IOilTestData, OilTestRows> {
  public:
    int LoadWellData(const char* well, OilTestSet& set) override;
    virtual ClassEntry* GetClassEntry();
};
