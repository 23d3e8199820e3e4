// Project headers: one row per project of table b_project_data, and the
// creation of a new project's storage.
#pragma once

#include "strataloom/idatabase.h"

// The header of one project: description, map extent, ellipsoid and map
// projection. The creation time is written from the clock and never read back.
struct BasicProjectRecord {
    std::string ProjectName;
    std::string Description;
    char AutoCalcMinMax = '0';
    double SNmin = 0.0;
    double SNmax = 0.0;
    double EWmin = 0.0;
    double EWmax = 0.0;
    int EllipsoidID = 0;
    std::string EllipsoidDescription;
    double SemiMajor = 0.0;
    double Flattering = 0.0;
    int ProjectionType = 0;
    std::string ProjectionDescription;
    double CentralMeridian = 0.0;
    double OriginLatitude = 0.0;
    double FalseEasting = 0.0;
    double FalseNorthing = 0.0;
    double StdParallel1 = 0.0;
    double StdParallel2 = 0.0;
    double ScaleFactor = 0.0;
    double Azimuth = 0.0;
    int ZoneType = 0;
    int indexZone = 0;
    int CooridnateType = 0;
};

class IBasicProjectData : public IDataBase {
  public:
    // Kept for the host's call table; does nothing and returns 1.
    virtual int Reserved(const char* unused) = 0;
    // Makes parent/name holding name.mdb, a copy of templateDir/Projects.mdb.
    virtual int CreateProjectFiles(const char* name, const char* parent,
                                   const char* templateDir) = 0;
    // Restores a new database of that name on the server from the application's backup.
    virtual int CreateSqlServerDatabase(const char* name, const char* serverConnection) = 0;
    virtual int LoadProject(const char* name, BasicProjectRecord& record) = 0;
    virtual int IsProjectExist(const char* name) = 0;
    virtual int SaveProject(const BasicProjectRecord& record) = 0;
    // Removes the header row only: wells, files and directories stay.
    virtual int DeleteProject(const char* name) = 0;
};
