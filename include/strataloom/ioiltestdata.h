// Oil tests: table w_oiltest_data, any number of tested intervals per well.
#pragma once

#include "strataloom/idatabase.h"

// One tested interval of a well. The upper-case fields keep the abbreviated
// column names of the application's oil-test sheet. The module attaches no
// meaning, unit or format to any value: each is stored and returned as it is.
struct OilTestRecord {
    std::string XH;
    std::string CW;
    std::string JSXH;
    float TopDepth = 0.0f;     // top of the tested interval, in the well's depth unit
    float BottomDepth = 0.0f;  // bottom of the tested interval
    int LayerNum = 0;          // number of layers tested together
    float Thickness = 0.0f;    // tested thickness
    std::string Builder;       // who ran the test
    std::string Purpose;
    // Dates as text in whatever form the caller writes them: never parsed.
    std::string BeginDate;
    std::string FinishDate;
    std::string CSLB;
    std::string Approach;
    std::string Method;
    std::string YYBHFW;
    std::string TYBHFW;
    float JY = 0.0f;
    float LY = 0.0f;
    float JW = 0.0f;
    float LW = 0.0f;
    // Production per unit and in total, of oil, gas and water.
    float UnitOilProduct = 0.0f;
    float UnitGasProduct = 0.0f;
    float UnitWaterProduct = 0.0f;
    float TotalOilProduct = 0.0f;
    float TotalGasProduct = 0.0f;
    float TotalWaterProduct = 0.0f;
    float MQRGJD = 0.0f;
    float ProductTime = 0.0f;   // how long the interval produced
    float ProductDepth = 0.0f;  // depth it produced at
    std::string Conclusion;
};

// The oil tests of one well.
struct OilTestSet {
    std::string WellName;
    std::vector<OilTestRecord> Records;
};

// Every operation returns 1 on success and 0 on failure. Lists and vectors
// given to fill are only appended to; what was appended before a failure
// stays. Empty names are refused with a message box where noted.
class IOilTestData : public IDataBase {
  public:
    // Appends the project's wells that have tests, in well-name order.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends the well's tests to the set's records, in the order the
    // database holds them, and names the set after the well; 0, the set
    // untouched, when the well has none.
    virtual int LoadWellData(const char* well, OilTestSet& set) = 0;
    // Appends the name of each given set's well once per stored test.
    virtual int GetWellsWithData(const std::vector<OilTestSet>& sets, NameList& names) = 0;
    // Appends one set per well of the project that has tests, in well-name
    // order. A project without tests appends nothing and gives 1; the first
    // well that cannot be loaded ends the load with 0.
    virtual int LoadProjectData(const char* project, std::vector<OilTestSet>& sets) = 0;
    // 1 when the well has at least one test (refuses an empty well name).
    virtual int IsWellDataExist(const char* well) = 0;
    // Replaces the well's tests by the set's (refuses an empty well name).
    virtual int SaveWellData(const OilTestSet& set) = 0;
    // Replaces the tests of every well of the sets at once: either all are
    // stored or nothing changes. The first argument is not used; no sets
    // give 0.
    virtual int SaveWellsData(const char* unused, const std::vector<OilTestSet>& sets) = 0;
    // Deletes the well's tests (refuses an empty well name).
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes the tests of the named wells; no names give 0.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes the tests of every well of the project, and no others (refuses
    // an empty project name).
    virtual int DeleteProjectData(const char* project) = 0;
};
