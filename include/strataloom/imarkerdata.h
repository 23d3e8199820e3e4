// Well markers: named depth intervals picked in wells, table w_marker_data.
#pragma once

#include "strataloom/idatabase.h"

// One marker pick of a well.
struct MarkerRecord {
    std::string MarkerName;
    double TopDepth = 0.0;
    double BottomDepth = 0.0;
    std::string Description;
};

// The markers of one well.
struct MarkerSet {
    std::string WellName;
    std::vector<MarkerRecord> Records;
};

class IMarkerData : public IDataBase {
  public:
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    virtual int GetMarkerNames(const char* project, NameList& names) = 0;
    virtual int GetWellMarkerNames(const char* well, NameList& names) = 0;
    virtual int LoadMarkersByName(const char* project, const char* marker,
                                  std::vector<MarkerSet>& sets) = 0;
    virtual int LoadWellData(const char* well, MarkerSet& set) = 0;
    // The first argument is not used: every well of the table is loaded.
    virtual int LoadAllWellsData(const char* unused, std::vector<MarkerSet>& sets) = 0;
    virtual int IsWellDataExist(const char* well) = 0;
    virtual int SaveWellData(const MarkerSet& set) = 0;
    virtual int GetWellsWithData(const std::vector<MarkerSet>& sets, NameList& names) = 0;
    // The first argument is not used.
    virtual int SaveWellsData(const char* unused, const std::vector<MarkerSet>& sets) = 0;
    virtual int DeleteWellData(const char* well) = 0;
    virtual int DeleteWellsData(const NameList& names) = 0;
    virtual int DeleteProjectData(const char* project) = 0;
};
