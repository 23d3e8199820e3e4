// The field tables of the records the Python package shows as DataFrames.
#pragma once

#include "fields.h"
#include "strataloom/strataloom.h"

namespace strataloom::python {

const FieldTable<BasicProjectRecord>& ProjectFields();
const FieldTable<BasicWellRecord>& WellFields();
const FieldTable<MarkerRecord>& MarkerFields();
const FieldTable<SmallMarkerRecord>& SmallMarkerFields();
const FieldTable<LithMarkerRecord>& LithMarkerFields();
const FieldTable<InterpretRecord>& InterpretFields();
const FieldTable<OilTestRecord>& OilTestFields();
const FieldTable<ShotRecord>& ShotFields();
const FieldTable<TakeCoreRecord>& TakeCoreFields();
const FieldTable<LateralCoreRecord>& LateralCoreFields();

}  // namespace strataloom::python
