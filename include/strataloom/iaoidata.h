// Areas of interest: named map rectangles of a project, one row each in table
// b_aoi_data. X runs east-west, Y south-north, in the project's map units.
// Areas are addressed by their name alone, across projects. Conventions of
// every interface (results, output, writes): see idatabase.h.
#pragma once

#include "strataloom/ibasicprojectdata.h"
#include "strataloom/idatabase.h"

// One area. -99999.0 marks a bound that has no value.
struct AOIRecord {
    std::string AOIName;      // the area's name; "Global" is the project's whole extent
    std::string ProjectName;  // the project the area belongs to
    double Xmin = -99999.0;   // east-west bounds (map units)
    double Xmax = -99999.0;
    double Ymin = -99999.0;  // south-north bounds (map units)
    double Ymax = -99999.0;
};

class IAOIData : public IDataBase {
  public:
    // Fills record from the area's row (AOIName from the argument). 0 when
    // there is none: the record keeps its values.
    virtual int LoadAOI(const char* name, AOIRecord& record) = 0;
    // Appends the names of the areas of every project, "Global" included.
    // The first argument is not used; sibling operations take the project here.
    virtual int GetAOINames(const char* unused, NameList& names) = 0;
    // Appends the project's areas, in the database's order.
    virtual int LoadProjectAOIs(const char* project, std::vector<AOIRecord>& records) = 0;
    // 1 when an area of that name exists; 0 when not.
    virtual int IsAOIExist(const char* name) = 0;
    // Stores the project's whole extent as the area "Global": X from the
    // header's EWmin/EWmax, Y from SNmin/SNmax. Adds a row each time: earlier
    // "Global" rows of the project stay. 0 after a message box when the row
    // could not be stored.
    virtual int SaveGlobalAOI(const char* project, const BasicProjectRecord& header) = 0;
    // Stores the area under project (record.ProjectName is not used), taking
    // it from any other project. 0 after a message box when the area's name is
    // empty, the table is missing or the row could not be stored.
    virtual int SaveAOI(const char* project, const AOIRecord& record) = 0;
    // Deletes the area. 0 after a message box when the name is empty.
    virtual int DeleteAOI(const char* name) = 0;
};
