// Seismic body: the project's seismic data volume, described by three
// reference points in table b_earthshockbody_data.
#pragma once

#include "strataloom/idatabase.h"

// One reference point of the seismic body.
struct EarthShockBodyRecord {
    int LineNumber = 0;
    int CDPNumber = 0;
    // Map coordinates, stored at float precision.
    float X = 0.0f;
    float Y = 0.0f;
};

// Every operation returns 1 on success and 0 on failure. No operation shows
// a message.
class IEarthShockBodyData : public IDataBase {
  public:
    // Appends every stored point, in the database's order; 0 when there is
    // none.
    virtual int LoadBodyPoints(std::vector<EarthShockBodyRecord>& points) = 0;
    // Adds exactly three points to the table (0 and nothing added for any
    // other count). Stored points stay: to replace the body, delete it first.
    virtual int SaveBodyPoints(const std::vector<EarthShockBodyRecord>& points) = 0;
    // Deletes every point; 1 when the delete ran.
    virtual int DeleteBodyPoints() = 0;
};
