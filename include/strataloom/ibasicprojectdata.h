// Project headers: one row per project of table b_project_data, and the
// creation of a new project's storage. Conventions of every interface
// (results, output, writes, units): see idatabase.h.
#pragma once

#include "strataloom/idatabase.h"

// The header of one project: description, map extent, ellipsoid and map
// projection. The creation time is written from the clock and never read back.
// The module stores every field as given and computes nothing from the
// ellipsoid and projection parameters; their units below are the usual ones
// of such parameters, which the application keeps.
struct BasicProjectRecord {
    std::string ProjectName;    // the project's name: the key, and the name its wells carry
    std::string Description;    // free text
    char AutoCalcMinMax = '0';  // automatic-extent flag: whether the application computes
                                // the map extent from the project's data; stored as given
    double SNmin = 0.0;         // map extent: south-north (map Y) bounds, map units
    double SNmax = 0.0;
    double EWmin = 0.0;  // map extent: east-west (map X) bounds, map units
    double EWmax = 0.0;
    int EllipsoidID = 0;                // the application's number of the ellipsoid
    std::string EllipsoidDescription;   // its name
    double SemiMajor = 0.0;             // semi-major axis of the ellipsoid (metres)
    double Flattering = 0.0;            // flattening of the ellipsoid, f or 1/f (no unit)
    int ProjectionType = 0;             // the application's number of the map projection
    std::string ProjectionDescription;  // its name
    double CentralMeridian = 0.0;       // longitude of the central meridian (degrees)
    double OriginLatitude = 0.0;        // latitude of the projection's origin (degrees)
    double FalseEasting = 0.0;          // added to every easting (map units)
    double FalseNorthing = 0.0;         // added to every northing (map units)
    double StdParallel1 = 0.0;          // first standard parallel (degrees)
    double StdParallel2 = 0.0;          // second standard parallel (degrees)
    double ScaleFactor = 0.0;           // scale factor on the central meridian (no unit)
    double Azimuth = 0.0;               // azimuth of the projection's central line (degrees)
    int ZoneType = 0;                   // the application's number of the zone system
    int indexZone = 0;                  // the zone's number in that system
    int CooridnateType = 0;             // the application's number of the coordinate type
};

class IBasicProjectData : public IDataBase {
  public:
    // Kept for the host's call table; does nothing and returns 1.
    virtual int Reserved(const char* unused) = 0;
    // Makes the folder parent/name holding name.mdb, a writable copy of
    // templateDir/Projects.mdb (installed in share/strataloom/template). Needs
    // no connection string. 1: made. 0, after a message box: name is empty or
    // not a plain folder name, parent is empty, or parent/name cannot be made
    // (it exists already: nothing there is touched); or the template cannot be
    // copied (the new folder is removed again). The project's header is not
    // written: call SaveProject on the new database.
    virtual int CreateProjectFiles(const char* name, const char* parent,
                                   const char* templateDir) = 0;
    // Makes the database name on the server that serverConnection reaches (a
    // connection string of its maintenance database, "... dbname=postgres"),
    // restored from the server backup welltrove.bak; the object's own
    // connection string is not used. The backup is looked for beside the
    // running program, beside the module, in share/strataloom next to the
    // module's folder and in the installed data folder. The wait window is up
    // while the database is made, and a message box tells the outcome.
    // 1: made (the database holds every table, empty; the header is not
    // written). 0 without a box: a database of that name exists already and is
    // left as it is. 0 after a box: name is not made of letters, digits and
    // '_' (or starts with a digit), or the server or the backup could not be
    // used (a backup found nowhere is named on standard error with every place
    // searched); nothing is left on the server.
    virtual int CreateSqlServerDatabase(const char* name, const char* serverConnection) = 0;
    // Fills record from the header row of project name (ProjectName from the
    // argument). 0: no such row (the record is untouched) or a read failed.
    virtual int LoadProject(const char* name, BasicProjectRecord& record) = 0;
    // 1 when the header row of project name exists; 0 when not.
    virtual int IsProjectExist(const char* name) = 0;
    // Replaces the header row of record.ProjectName and stamps it with the
    // current time (UTC). 0 after a message box: the name is empty, the table
    // is missing, or the row could not be stored (nothing changed).
    virtual int SaveProject(const BasicProjectRecord& record) = 0;
    // Removes the header row only: wells, files and directories stay.
    // 0 after a message box when the name is empty.
    virtual int DeleteProject(const char* name) = 0;
};
