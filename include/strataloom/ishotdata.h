// Perforations: the shooting records of wells, any number of depth intervals
// per well, in table w_shot_data. The module gives no value a meaning: every
// field is stored and handed back as it was given, depths in the project's
// depth unit.
#pragma once

#include "strataloom/idatabase.h"

// One perforated interval of a well.
struct ShotRecord {
    // Date of the shooting, as text in the form the project uses. The
    // single-well save stores an empty date as no date at all; either way it
    // reads back as the empty text.
    std::string ShotDate;
    double TopDepth = 0.0;     // top of the interval
    double BottomDepth = 0.0;  // bottom of the interval
    int XH = 0;                // a number the project gives the interval
    int LayerNum = 0;          // the layer shot
    double Thickness = 0.0;    // thickness shot
    std::string Method;        // shooting method
    std::string GunType;
    std::string BulletType;  // charge type
    int Density = 0;         // shot density
    float ShotRate = 0.0f;   // rate of the shooting; kept at 32-bit precision
    std::string WJYMC;       // a further attribute, as text
    float WJYMD = 0.0f;      // a further attribute, as a 32-bit number
    std::string JSXH;        // a further text code
    std::string LayerType;
    std::string Description;
};

// The perforations of one well.
struct ShotSet {
    std::string WellName;
    std::vector<ShotRecord> Records;
};

// Every operation returns 1 on success and 0 on failure. An empty well or
// project name where one is required is refused with a message box before
// anything is read or written. List operations only append to the caller's
// list, also when they fail; loads only append records and sets. Every write
// is all-or-nothing: a save or delete that returns 0 has changed nothing.
class IShotData : public IDataBase {
  public:
    // Appends the project's wells that have perforations, in well-name
    // order, each once. 0 when there is none.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends the well's perforations to set.Records in ascending TopDepth,
    // behind the records the set already holds, and names the set after the
    // well. 0 when the well has none: the set is left as it was.
    virtual int LoadWellData(const char* well, ShotSet& set) = 0;
    // Appends one set per well of the project that has perforations, in
    // well-name order. 1 with nothing appended for a project without any; 0
    // at the first well that cannot be loaded, the sets before it kept.
    virtual int LoadProjectData(const char* project, std::vector<ShotSet>& sets) = 0;
    // Appends the WellName of the given sets once per stored perforation (a
    // well with five is listed five times). Only the sets' WellName is used.
    virtual int GetWellsWithData(const std::vector<ShotSet>& sets, NameList& names) = 0;
    // Replaces the well's perforations by the set's records; a set without
    // records takes them all away.
    virtual int SaveWellData(const ShotSet& set) = 0;
    // Replaces the perforations of every well of sets, all at once. The first
    // argument is not used. 0 for an empty vector, which changes nothing.
    virtual int SaveWellsData(const char* unused, const std::vector<ShotSet>& sets) = 0;
    // Deletes the well's perforations; 1 also when it had none.
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes the perforations of the named wells; 0 for an empty list.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes the perforations of every well of the project, and no other.
    virtual int DeleteProjectData(const char* project) = 0;
    // 1 when the well has at least one perforation, 0 otherwise.
    virtual int IsWellDataExist(const char* well) = 0;
};
