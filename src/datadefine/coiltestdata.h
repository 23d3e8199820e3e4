// Oil tests: table w_oiltest_data, any number of tested intervals per well.
#pragma once

#include "datadefine/perwell.h"
#include "strataloom/ioiltestdata.h"

// How w_oiltest_data rows map to oil-test records.
struct OilTestRows : strataloom::RecordSetRows<OilTestRows, OilTestSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<OilTestRecord>& Columns();
    static std::string WellLoad(const char* well);
};

class COilTestData : public strataloom::StandardWellData<IOilTestData, OilTestRows> {
  public:
    int LoadProjectData(const char* project, std::vector<OilTestSet>& sets) override;
    virtual ClassEntry* GetClassEntry();
};
