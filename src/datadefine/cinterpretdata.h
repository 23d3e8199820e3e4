// Log interpretation results: table w_interpret_data, any number of
// interpreted intervals per well.
#pragma once

#include "datadefine/perwell.h"
#include "strataloom/iinterpretdata.h"

// How w_interpret_data rows map to interpretation records.
struct InterpretRows : strataloom::RecordSetRows<InterpretRows, InterpretSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<InterpretRecord>& Columns();
    static std::string WellLoad(const char* well);
};

class CInterpretData : public strataloom::StandardWellData<IInterpretData, InterpretRows> {
  public:
    int LoadProjectData(const char* project, std::vector<InterpretSet>& sets) override;
    virtual ClassEntry* GetClassEntry();
};
