#include "datadefine/perwell.h"

namespace strataloom {

const char kEmptyWellNameMessage[] = "井名称不能为空！";
const char kEmptyProjectNameMessage[] = "工区名称不能为空！";

WellTable::WellTable(std::string table)
    : table_(std::move(table)),
      deleteWellHead_("delete from  " + table_ + " where "),
      deleteWellsHead_("delete from  " + table_ + " where "),
      wellRowsHead_("select * from  " + table_ + " where "),
      storedWellsHead_("select WellName from  " + table_ + " where ") {}

Statement WellTable::WellsWithData(const char* project) const {
    return "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = " +
           Quoted(project) + " and exists( select " + table_ + ".wellname from " + table_ + " " +
           "where w_well_data.wellname = " + table_ + ".wellname ) " +
           " order by w_well_data.wellname ";
}

Statement WellTable::DeleteProject(const char* project) const {
    return ("delete from " + table_ + " where " +
            "exists( select w_well_data.wellname from w_well_data " +
            "where w_well_data.wellname = " + table_ + ".wellname " +
            "and  w_well_data.ProjectName = " + Quoted(project) + " )")
        .On(table_);
}

Statement WellTable::DeleteWell(const char* well) const {
    return (deleteWellHead_ + WellIs(well)).On(table_);
}

Statement WellTable::DeleteWell(const std::string& well) const {
    return (deleteWellHead_ + WellIs(well)).On(table_);
}

Statement WellTable::DeleteWells(const NameList& wells) const {
    return (deleteWellsHead_ + "WellName in (" + InList(wells) + ")").On(table_);
}

Statement WellTable::WellRows(const char* well) const {
    return wellRowsHead_ + WellIs(well);
}

Statement WellTable::StoredWells(const NameList& wells) const {
    return storedWellsHead_ + "WellName in (" + InList(wells) + ")";
}

WellTable& WellTable::DeleteWellHead(std::string head) {
    deleteWellHead_ = std::move(head);
    return *this;
}

WellTable& WellTable::DeleteWellsHead(std::string head) {
    deleteWellsHead_ = std::move(head);
    return *this;
}

WellTable& WellTable::WellRowsHead(std::string head) {
    wellRowsHead_ = std::move(head);
    return *this;
}

WellTable& WellTable::StoredWellsHead(std::string head) {
    storedWellsHead_ = std::move(head);
    return *this;
}

Statement WellIs(const char* well) {
    return "WellName=" + Quoted(well);
}

Statement WellIs(const std::string& well) {
    return "WellName=" + Quoted(well);
}

Statement ProjectHasWells(const char* project) {
    return "exists( select w_well_data.wellname from w_well_data where w_well_data.ProjectName "
           "= " +
           Quoted(project) + " )";
}

}  // namespace strataloom
