// Log interpretation results: table w_interpret_data, any number of
// interpreted intervals per well.
#pragma once

#include "datadefine/plainwelldata.h"
#include "strataloom/iinterpretdata.h"

// How w_interpret_data rows map to interpretation records.
struct InterpretRows : strataloom::RecordSetRows<InterpretRows, InterpretSet> {
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<InterpretRecord>& Columns();
};

class CInterpretData : public strataloom::PlainWellData<IInterpretData, InterpretRows> {
  public:
    int LoadWellData(const char* well, InterpretSet& set) override;
    virtual ClassEntry* GetClassEntry();
};
