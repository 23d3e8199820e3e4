// The data objects of one project database, made from the module's factory
// and used only through the public interfaces, as any host uses them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "formats/depthunit.h"
#include "formats/owntables.h"
#include "strataloom/strataloom.h"

namespace strataloom::formats {

class ProjectData {
  public:
    ProjectData(IDataFactory& factory, std::string connect);
    ~ProjectData();
    ProjectData(const ProjectData&) = delete;
    ProjectData& operator=(const ProjectData&) = delete;

    const std::string& Connect() const { return connect_; }

    // Makes every data object and checks that the database opens; false with
    // a reason when the module lacks a class or the database does not open.
    bool Open(std::string& reason);

    IBasicProjectData& Projects() { return *projects_; }
    IBasicWellData& Wells() { return *wells_; }
    ILogData& Logs() { return *logs_; }
    IMarkerData& Markers() { return *markers_; }
    IDeviateData& Surveys() { return *surveys_; }
    // The formats library's own tables in the same database, connected on
    // first use; false with a reason when they cannot be reached or made.
    bool OpenOwnTables(std::string& reason);
    OwnTables& Own() { return own_; }

    // Where the module's reason for its last failure comes from, when the
    // host has one; it is added to every message about a failed operation.
    void SetFailureReason(std::function<std::string()> reason) { reason_ = std::move(reason); }
    // what, followed by the module's reason when there is one.
    std::string Failure(const std::string& what) const;

  private:
    template <class Interface>
    bool Make(std::unique_ptr<Interface>& slot, const char* name, std::string& reason);

    IDataFactory& factory_;
    std::string connect_;
    std::unique_ptr<IBasicProjectData> projects_;
    std::unique_ptr<IBasicWellData> wells_;
    std::unique_ptr<ILogData> logs_;
    std::unique_ptr<IMarkerData> markers_;
    std::unique_ptr<IDeviateData> surveys_;
    std::function<std::string()> reason_;
    OwnTables own_;
};

// Makes project with its header (described as description) and its depth
// unit; false with the reason, the header taken back when the unit cannot
// be saved, so a project is made whole or not at all.
bool MakeProject(ProjectData& data, const std::string& project, DepthUnit unit,
                 const std::string& description, std::string& reason);

// The project a database is named after: "Field" for ".../Field/Field.mdb"
// and for a server database "Field" (the layout create-project makes).
std::string ProjectOfConnection(const std::string& connect);

}  // namespace strataloom::formats
