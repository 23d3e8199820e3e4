// Seismic body: table b_earthshockbody_data, the three reference points of
// the project's seismic volume.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/iearthshockbodydata.h"

class CEarthShockBodyData : public strataloom::TableData<IEarthShockBodyData> {
  public:
    int LoadBodyPoints(std::vector<EarthShockBodyRecord>& points) override;
    int SaveBodyPoints(const std::vector<EarthShockBodyRecord>& points) override;
    int DeleteBodyPoints() override;
    virtual ClassEntry* GetClassEntry();
};
