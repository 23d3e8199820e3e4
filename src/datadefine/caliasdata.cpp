#include "datadefine/caliasdata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CAliasData, "IAliasData")

namespace {

const char kTable[] = "b_image_alias";

const ColumnTable<AliasRecord>& AliasColumns() {
    static const ColumnTable<AliasRecord> columns{
        {"AliasName", &AliasRecord::AliasName},
        {"ImageType", &AliasRecord::ImageType},
        {"ImageFacet", &AliasRecord::ImageFacet},
        {"ImageName", &AliasRecord::ImageName},
    };
    return columns;
}

std::vector<ColumnShape> AliasShapes() {
    return ShapesOf({}, AliasColumns());
}
const MappedTable g_mapped(kTable, &AliasShapes);

}  // namespace

int CAliasData::LoadAllAliases(std::vector<AliasRecord>& records) {
    return LoadRecords("select * from b_image_alias", AliasColumns(), records);
}

int CAliasData::SaveAlias(const AliasRecord& record) {
    if (AnyHoldsZeroByte(record.AliasName, record.ImageName)) return RefuseZeroByteName();
    // An alias names one image: its earlier mapping goes, whatever image it named.
    return Replace(kTable, "delete from b_image_alias where AliasName=" + Quoted(record.AliasName),
                   [&](CDbManage& session) { InsertRecord(session, AliasColumns(), record); });
}

int CAliasData::SaveAliases(const std::vector<AliasRecord>& records) {
    if (HoldsZeroByte(records, &AliasRecord::AliasName) ||
        HoldsZeroByte(records, &AliasRecord::ImageName)) {
        return RefuseZeroByteName();
    }
    return Write(kTable, [&](CDbManage& session) {
        for (const AliasRecord& record : records) InsertRecord(session, AliasColumns(), record);
        return session.SaveData() ? 1 : 0;
    });
}

int CAliasData::DeleteAllAliases() {
    return RunReportedDelete(kTable, "delete from  b_image_alias");
}
