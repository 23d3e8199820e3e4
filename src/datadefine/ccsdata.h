// Map polylines: table b_cs_data, one row per line of a marker's map, its
// vertices in three value arrays.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/icsdata.h"

class CCSData : public strataloom::TableData<ICSData> {
  public:
    int GetMarkerNamesOfTypes012(NameList& names) override;
    int GetMarkerNamesOfTypes34(NameList& names) override;
    int GetCSNames(int filter, NameList& names) override;
    int GetMarkerCSNames(const char* marker, int filter, NameList& names) override;
    int LoadAllCS(int filter, std::vector<CSRecord>& records) override;
    int LoadCSByNames(const char* marker, int filter, const NameList& names,
                      std::vector<CSRecord>& records) override;
    int LoadMarkerCS(const char* marker, int filter, std::vector<CSRecord>& records) override;
    int LoadCS(const char* marker, const char* name, CSRecord& record) override;
    int IsMarkerCSExist(const char* marker) override;
    int IsCSExist(const char* marker, const char* name) override;
    int SaveCS(const CSRecord& record) override;
    int SaveCSList(const std::vector<CSRecord>& records) override;
    int DeleteMarkerCS(const char* marker, int filter) override;
    int DeleteCS(const char* marker, const char* name) override;
    int Reserved(void* first, void* second) override;
    int DeleteCSByType(int filter) override;
    void ReleasePointList(std::vector<CSPoint>& points) override;
    void ClearCSRecord(CSRecord& record) override;
    virtual ClassEntry* GetClassEntry();
};
