#include "datadefine/datahelpers.h"

namespace strataloom {

std::string InList(const NameList& names) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) list += ',';
        list += '\'';
        list += SqlText(names[i]);
        list += '\'';
    }
    return list;
}

bool OpenTable(CDbManage& session, const char* table) {
    return session.GetDataFromDB(table) != CDbManage::kFailed;
}

int ReadNameList(CDbManage& session, const std::string& query, const char* column,
                 NameList& names) {
    if (session.GetDataFromDB(query.c_str()) != CDbManage::kRows) return 0;
    return AppendNames(session, column, names);
}

int AppendNames(CDbManage& session, const char* column, NameList& names) {
    while (session.Read()) {
        std::string name;
        if (!session.GetFieldValue(column, name)) return 0;
        names.push_back(std::move(name));
    }
    return 1;
}

}  // namespace strataloom
