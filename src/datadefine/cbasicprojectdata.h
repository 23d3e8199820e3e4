// Project headers: table b_project_data, one row per project; and the storage
// of a new project, either a directory holding a copy of the template database
// or a database restored on a server from the application's backup.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/ibasicprojectdata.h"

class CBasicProjectData : public strataloom::TableData<IBasicProjectData> {
  public:
    int Reserved(const char* unused) override;
    int CreateProjectFiles(const char* name, const char* parent, const char* templateDir) override;
    int CreateSqlServerDatabase(const char* name, const char* serverConnection) override;
    int LoadProject(const char* name, BasicProjectRecord& record) override;
    int IsProjectExist(const char* name) override;
    int SaveProject(const BasicProjectRecord& record) override;
    int DeleteProject(const char* name) override;
    virtual ClassEntry* GetClassEntry();
};
