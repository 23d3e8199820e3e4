#include "datadefine/datahelpers.h"

namespace strataloom {

bool OpenTable(CDbManage& session, const char* table) {
    return session.CheckTable(table);
}

bool OpenTable(CDbManage& session, const Statement& wholeTable) {
    return session.CheckTable(wholeTable);
}

int ReadNameList(CDbManage& session, const Statement& query, const char* column, NameList& names,
                 NoRows noRows) {
    const int found = session.GetDataFromDB(query);
    if (found == CDbManage::kNoRow && noRows == NoRows::Succeed) return 1;
    if (found != CDbManage::kRows) return 0;
    while (session.Read()) {
        std::string name;
        if (!session.GetFieldValue(column, name)) return 0;
        names.push_back(std::move(name));
    }
    return 1;
}

}  // namespace strataloom
