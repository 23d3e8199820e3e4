#include "formats/projectdata.h"

#include <filesystem>

namespace strataloom::formats {

ProjectData::ProjectData(IDataFactory& factory, std::string connect)
    : factory_(factory), connect_(std::move(connect)), own_(connect_) {}

ProjectData::~ProjectData() = default;

template <class Interface>
bool ProjectData::Make(std::unique_ptr<Interface>& slot, const char* name, std::string& reason) {
    if (slot) return true;
    slot.reset(dynamic_cast<Interface*>(factory_.CreateObject(name)));
    if (!slot) {
        reason = "the module has no data class for " + std::string(name);
        return false;
    }
    slot->SetConnectString(connect_.c_str());
    return true;
}

bool ProjectData::Open(std::string& reason) {
    if (!Make(projects_, "IBasicProjectData", reason) || !Make(wells_, "IBasicWellData", reason) ||
        !Make(logs_, "ILogData", reason) || !Make(markers_, "IMarkerData", reason) ||
        !Make(surveys_, "IDeviateData", reason)) {
        return false;
    }
    // Saving no wells opens the well table and changes nothing: it answers
    // whether the database is there and holds the project tables.
    if (!wells_->SaveWells("", {})) {
        reason = Failure("cannot open the project database " + connect_);
        return false;
    }
    return true;
}

bool ProjectData::OpenOwnTables(std::string& reason) {
    return own_.Open(reason);
}

std::string ProjectData::Failure(const std::string& what) const {
    const std::string reason = reason_ ? reason_() : "";
    return reason.empty() ? what : what + ": " + reason;
}

std::string ProjectOfConnection(const std::string& connect) {
    const std::size_t key = connect.find("dbname=");
    if (key != std::string::npos) {
        const std::size_t start = key + 7;
        return connect.substr(start, connect.find_first_of(" \t", start) - start);
    }
    for (const char* scheme : {"postgresql://", "postgres://"}) {
        if (connect.rfind(scheme, 0) != 0) continue;
        const std::size_t slash = connect.find('/', std::char_traits<char>::length(scheme));
        if (slash == std::string::npos) return "";
        return connect.substr(slash + 1, connect.find('?', slash) - slash - 1);
    }
    std::string path = connect.rfind("sqlite:", 0) == 0 ? connect.substr(7) : connect;
    return std::filesystem::path(path).stem().string();
}

bool MakeProject(ProjectData& data, const std::string& project, DepthUnit unit,
                 const std::string& description, std::string& reason) {
    BasicProjectRecord header;
    header.ProjectName = project;
    header.Description = description;
    if (!data.Projects().SaveProject(header)) {
        reason = data.Failure("project " + project + " could not be made");
        return false;
    }
    std::string own;
    if (!data.OpenOwnTables(own) || !SaveProjectDepthUnit(data.Own(), project, unit)) {
        reason = "the depth unit of project " + project +
                 " could not be saved: " + (own.empty() ? data.Own().Failure() : own);
        data.Projects().DeleteProject(project.c_str());
        return false;
    }
    return true;
}

}  // namespace strataloom::formats
