#include "datadefine/cimagedata.h"

#include <tuple>

#include "datadefine/metatypewalk.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CImageData, "IImageData")

namespace {

const char kImageTable[] = "b_image_data";
const char kCombinationTable[] = "b_meta_comb";
const char kEmptyImageName[] = "岩性名称不能为空！";

// The key image content is scrambled with.
const unsigned char kImageKey[] = {0x6B, 0xA3, 0x1D};
const std::size_t kImageKeyLength = sizeof kImageKey;

// The tree's root id, where a walk without a parent starts.
const int kRootMetaTypeId = -1;

// The columns of b_image_data every image read needs. The name is the key:
// rows found through an alias are named by the alias instead, and GetImage
// names its record after its argument. The content is read and written as
// bytes in its stored, scrambled form.
const ColumnTable<ImageRecord>& ImageColumns() {
    static const ColumnTable<ImageRecord> columns{
        {"ImageName", &ImageRecord::ImageName, ColumnUse::Key},
        {"ImageType", &ImageRecord::ImageType},
        {"ImageFacet", &ImageRecord::ImageFacet},
        {"SysDefine", &ImageRecord::SysDefine},
        {"ImageData", AsBytes<ImageRecord>{&ImageRecord::ImageData}},
    };
    return columns;
}

// The lithology codes, in both tables: most reads take them when they can and
// leave the record's empty codes otherwise.
const ColumnTable<ImageRecord>& LithCodeColumns() {
    static const ColumnTable<ImageRecord> columns{
        {"ZsyLithCode", &ImageRecord::ZsyLithCode},
        {"ZshLithCode", &ImageRecord::ZshLithCode},
    };
    return columns;
}

// The meta facet of b_image_data, read and set only by the operations that
// care for it; "Metafacet" names the column MetaFacet.
const ColumnTable<ImageRecord>& MetaFacetColumns() {
    static const ColumnTable<ImageRecord> columns{
        {"Metafacet", &ImageRecord::MetaFacet},
    };
    return columns;
}

// The columns of b_meta_comb besides the lithology codes; no SysDefine there.
const ColumnTable<ImageRecord>& CombinationColumns() {
    static const ColumnTable<ImageRecord> columns{
        {"ImageName", &ImageRecord::ImageName, ColumnUse::Key},
        {"ImageType", &ImageRecord::ImageType},
        {"ImageFacet", &ImageRecord::ImageFacet},
        {"MetaFacet", &ImageRecord::MetaFacet},
        {"ImageData", AsBytes<ImageRecord>{&ImageRecord::ImageData}},
    };
    return columns;
}

std::vector<ColumnShape> ImageShapes() {
    return ShapesOf({}, ImageColumns(), LithCodeColumns(), MetaFacetColumns());
}
std::vector<ColumnShape> CombinationShapes() {
    return ShapesOf({}, CombinationColumns(), LithCodeColumns());
}
const MappedTable g_mappedImages(kImageTable, &ImageShapes);
const MappedTable g_mappedCombinations(kCombinationTable, &CombinationShapes);

// The images found through an alias, named by the alias; the condition on
// b_image_data goes between the two parts.
const char kAliasRowsSelect[] =
    "select b_image_alias.AliasName as AliasName,b_image_data.ImageType as "
    "ImageType,b_image_data.ImageFacet as ImageFacet,b_image_data.SysDefine as "
    "SysDefine,b_image_data.ImageData as ImageData,b_image_data.ZsyLithCode as "
    "ZsyLithCode,b_image_data.ZshLithCode as ZshLithCode from b_image_data, b_image_alias where ";
const char kAliasRowsJoin[] =
    " and b_image_data.ImageFacet=b_image_alias.ImageFacet and "
    "b_image_data.ImageType=b_image_alias.ImageType and "
    "b_image_data.ImageName=b_image_alias.ImageName ";

// The statement that removes one image; the saves run it with a trailing blank.
Statement DeleteImageStatement(const std::string& name, int type, int facet) {
    return "delete from b_image_data where ImageName=" + Quoted(name) +
           " and ImageType=" + std::to_string(type) + " and ImageFacet=" + std::to_string(facet);
}

// Reads columns into the record and unscrambles its content at once; false
// when one cannot be read (the fields read before keep their new values).
bool ReadImageColumns(CDbManage& session, const ColumnTable<ImageRecord>& columns,
                      ImageRecord& record, KeyColumns keys) {
    if (!columns.Read(session, record, keys)) return false;
    CImageData::UnscrambleImageData(record.ImageData);
    return true;
}

// A code that cannot be read keeps the record's empty code.
void ReadLithCodesIfPresent(CDbManage& session, ImageRecord& record) {
    for (const Column<ImageRecord>& column : LithCodeColumns().Columns()) {
        column.Read(session, record);
    }
}

// One row of an image list, named from nameColumn: false when a column the
// list needs cannot be read.
bool ReadListedImage(CDbManage& session, const char* nameColumn, ImageRecord& record) {
    if (!session.GetFieldValue(nameColumn, record.ImageName) ||
        !ReadImageColumns(session, ImageColumns(), record, KeyColumns::Skip)) {
        return false;
    }
    ReadLithCodesIfPresent(session, record);
    return true;
}

// Appends one record per row of the query run last that readRow accepts; a
// row it rejects is skipped.
template <class ReadRow>
void AppendAcceptedRows(CDbManage& session, std::vector<ImageRecord>& images, ReadRow&& readRow) {
    while (session.Read()) {
        ImageRecord record;
        if (readRow(record)) images.push_back(std::move(record));
    }
}

// Adds a row of b_image_data holding the record with content as its stored
// content, its meta facet left to the caller. The content is not copied: it
// must stay as it is until the save has run.
void InsertStoredImage(CDbManage& session, const ImageRecord& record, const std::string& content) {
    session.AddNew();
    for (const Column<ImageRecord>& column : ImageColumns().Columns()) {
        if (column.Kind() == ColumnKind::Bytes) {
            session.SetFieldBytesInPlace(column.Name(), content.data(), content.size());
        } else {
            column.Write(session, record);
        }
    }
    LithCodeColumns().Write(session, record);
}

// The stored form of a record's content, made in one pass from it.
void ScrambleInto(const ImageRecord& record, std::string& content) {
    const std::string& text = record.ImageData;
    const std::size_t size = text.size();
    content.resize(size + 2);
    char* bytes = content.data();
    bytes[0] = '<';
    for (std::size_t i = 0, k = 0; i < size; ++i) {
        bytes[i + 1] = static_cast<char>(static_cast<unsigned char>(text[i]) ^ kImageKey[k]);
        k = k + 1 == kImageKeyLength ? 0 : k + 1;
    }
    bytes[size + 1] = '>';
}

std::string Scrambled(const ImageRecord& record) {
    std::string content;
    ScrambleInto(record, content);
    return content;
}

}  // namespace

// Back to front, each byte moving one place on, so that the text needs no
// second buffer; the key position runs down with it.
void CImageData::ScrambleImageData(std::string& text) {
    const std::size_t size = text.size();
    text.resize(size + 2);
    char* bytes = text.data();
    std::size_t k = size % kImageKeyLength;
    for (std::size_t i = size; i-- > 0;) {
        k = k == 0 ? kImageKeyLength - 1 : k - 1;
        bytes[i + 1] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ kImageKey[k]);
    }
    bytes[0] = '<';
    bytes[size + 1] = '>';
}

void CImageData::UnscrambleImageData(std::string& text) {
    if (text.size() < 3) {
        text.clear();
        return;
    }
    const std::size_t size = text.size() - 2;
    char* bytes = text.data();
    std::size_t k = 0;
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i + 1]) ^ kImageKey[k]);
        k = k + 1 == kImageKeyLength ? 0 : k + 1;
    }
    text.resize(size);
}

void CImageData::CollectMetaTypes(std::vector<MetaTypeRecord>& below, IMetaTypeData* metaTypes,
                                  const MetaTypeRecord* parent) {
    if (!metaTypes) return;
    std::vector<MetaTypeRecord> served;
    const int top = parent ? parent->MetaTypeID : kRootMetaTypeId;
    WalkMetaTypes(below, top, [&](const MetaTypeRecord* of, int, auto&& leadsBackUp) {
        const MetaTypeRecord* asked = of ? of : parent;
        if (asked) {
            metaTypes->GetChildMetaTypes(*asked, &served);
        } else {
            metaTypes->GetRootMetaTypes(served);
        }
        for (MetaTypeRecord& child : served) {
            if (!leadsBackUp(child.MetaTypeID)) below.push_back(std::move(child));
        }
    });
}

int CImageData::GetImagesUnderMetaType(MetaTypeRecord metaType, IMetaTypeData* metaTypes,
                                       std::vector<ImageRecord>& images) {
    if (!metaTypes) return Decline("no meta-type object was given");
    return Guarded([&] {
        std::vector<MetaTypeRecord> walked;
        CollectMetaTypes(walked, metaTypes, &metaType);
        walked.push_back(metaType);
        IImageData& self = *this;
        for (const MetaTypeRecord& entry : walked) self.GetImagesByMetaFacet(entry, &images);
        return 1;
    });
}

// The image rows of imageQuery, then, when aliasQuery is given, the rows it
// finds through aliases. No alias row is no failure; a query that fails is.
int CImageData::ListImages(const std::string& imageQuery, const std::string& aliasQuery,
                           std::vector<ImageRecord>& images) {
    return Read([&](CDbManage& session) {
        if (session.GetDataFromDB(imageQuery) != CDbManage::kRows) return 0;
        AppendAcceptedRows(session, images, [&](ImageRecord& record) {
            return ReadListedImage(session, "ImageName", record);
        });
        if (aliasQuery.empty()) return 1;
        const int aliases = session.GetDataFromDB(aliasQuery);
        if (aliases != CDbManage::kRows) return aliases == CDbManage::kFailed ? 0 : 1;
        AppendAcceptedRows(session, images, [&](ImageRecord& record) {
            return ReadListedImage(session, "AliasName", record);
        });
        return 1;
    });
}

int CImageData::GetImagesByTypeAndFacet(int imageType, int imageFacet,
                                        std::vector<ImageRecord>& images, bool withAliases) {
    const std::string type = std::to_string(imageType);
    const std::string facet = std::to_string(imageFacet);
    // The alias query names the facet first.
    return ListImages(
        "select * from b_image_data where ImageType=" + type + " and ImageFacet=" + facet,
        withAliases
            ? kAliasRowsSelect +
                  ("b_image_data.ImageFacet=" + facet + " and b_image_data.ImageType=" + type) +
                  kAliasRowsJoin
            : std::string(),
        images);
}

int CImageData::GetImage(const char* imageName, int imageType, int imageFacet, ImageRecord& image,
                         bool withAliases) {
    const std::string type = std::to_string(imageType);
    const std::string facet = std::to_string(imageFacet);
    const Statement name = Quoted(imageName);
    const Statement sql =
        withAliases
            ? "select * from b_image_data where b_image_data.ImageType=" + type +
                  " and b_image_data.ImageFacet=" + facet +
                  " and ( b_image_data.ImageName=" + name +
                  " or b_image_data.ImageName in (select ImageName from b_image_alias where "
                  "b_image_alias.ImageType=" +
                  type + "  and b_image_alias.ImageFacet=" + facet +
                  "  and b_image_alias.AliasName=" + name + "))"
            : "select * from b_image_data where b_image_data.ImageType=" + type +
                  " and b_image_data.ImageFacet=" + facet + " and b_image_data.ImageName=" + name;
    return Read([&](CDbManage& session) {
        // Nothing found leaves the record untouched and is no failure.
        const int found = session.GetDataFromDB(sql);
        if (found != CDbManage::kRows) return found == CDbManage::kFailed ? 0 : 1;
        // A hit through an alias is named by the alias.
        image.ImageName = TextOrEmpty(imageName);
        if (!ReadImageColumns(session, ImageColumns(), image, KeyColumns::Skip)) return 0;
        ReadLithCodesIfPresent(session, image);
        return 1;
    });
}

int CImageData::GetAllImages(std::vector<ImageRecord>& images) {
    return ListImages("select * from b_image_data ", std::string(), images);
}

int CImageData::IsImageExist(const char* imageName, int imageType, int imageFacet) {
    if (IsEmptyText(imageName)) return Refuse(kEmptyImageName);
    return HasRows(kImageTable, "select * from b_image_data where ImageName=" + Quoted(imageName) +
                                    " and ImageType=" + std::to_string(imageType) +
                                    " and ImageFacet=" + std::to_string(imageFacet));
}

int CImageData::SaveImages(const std::vector<ImageRecord>& images) {
    if (HoldsZeroByte(images, &ImageRecord::ImageName)) return RefuseZeroByteName();
    return Write(kImageTable, [&](CDbManage& session) {
        // One row per image: the last record of each name, type and facet.
        const std::vector<bool> keep = LastOfEachKey(images, [](const ImageRecord& image) {
            return std::make_tuple(image.ImageName, image.ImageType, image.ImageFacet);
        });
        // Each row goes to the table before the next delete runs, as a
        // hand-written save would order them. The stored contents are kept in
        // place until the save (the rows wait where they cannot go at once).
        std::vector<std::string> contents;
        contents.reserve(images.size());
        session.StoreRowsAsAdded();
        for (std::size_t i = 0; i < images.size(); ++i) {
            if (!keep[i]) continue;
            const ImageRecord& image = images[i];
            session.ExecuteSQL(
                DeleteImageStatement(image.ImageName, image.ImageType, image.ImageFacet) + " ");
            contents.emplace_back();
            ScrambleInto(image, contents.back());
            InsertStoredImage(session, image, contents.back());
        }
        return session.SaveData() ? 1 : 0;
    });
}

int CImageData::SaveImage(const ImageRecord& image, const char* oldImageName) {
    if (HoldsZeroByte(image.ImageName)) return RefuseZeroByteName();
    if (image.ImageName.empty()) return Refuse(kEmptyImageName);
    const std::string content = Scrambled(image);
    return Replace(
        kImageTable,
        DeleteImageStatement(TextOrEmpty(oldImageName), image.ImageType, image.ImageFacet) + " ",
        [&](CDbManage& session) {
            // A rename onto a name already stored replaces that image too:
            // two rows of one name, type and facet would hide one another.
            if (image.ImageName != TextOrEmpty(oldImageName)) {
                session.ExecuteSQL(
                    DeleteImageStatement(image.ImageName, image.ImageType, image.ImageFacet) + " ");
            }
            InsertStoredImage(session, image, content);
            MetaFacetColumns().Write(session, image);
        });
}

int CImageData::DeleteImage(const char* imageName, int imageType, int imageFacet) {
    return RunReportedDelete(kImageTable,
                             DeleteImageStatement(TextOrEmpty(imageName), imageType, imageFacet));
}

// Every column of the first row is needed, the lithology codes included.
int CImageData::LoadImageByCode(const Statement& query, ImageRecord& image) {
    return Read([&](CDbManage& session) {
        if (session.GetDataFromDB(query) != CDbManage::kRows) return 0;
        return ReadImageColumns(session, ImageColumns(), image, KeyColumns::Read) &&
                       LithCodeColumns().Read(session, image)
                   ? 1
                   : 0;
    });
}

int CImageData::GetImageByZsyLithCode(const char* code, ImageRecord& image) {
    return LoadImageByCode("select * from b_image_data where ZsyLithCode=" + Quoted(code), image);
}

int CImageData::GetImageByZshLithCode(const char* code, ImageRecord& image) {
    return LoadImageByCode("select * from b_image_data where ZshLithCode=" + Quoted(code), image);
}

int CImageData::GetImageNames(int imageFacet, NameList& names) {
    return ListNamesInTable(
        kImageTable,
        "select ImageName from b_image_data where ImageFacet=" + std::to_string(imageFacet),
        "ImageName", names);
}

int CImageData::GetImagesOfFacets(std::vector<ImageRecord>& images) {
    return ListImages(
        "select * from b_image_data where ImageFacet in(1,2,3,4,5,6,7) and ImageType=3",
        kAliasRowsSelect +
            std::string("b_image_data.ImageFacet in(1,2,3,4,5,6,7) and b_image_data.ImageType=3") +
            kAliasRowsJoin,
        images);
}

// Rewrites every row of b_image_data with its content transformed, every
// other column, the meta facet included, carried over. The rows are read and
// replaced in one write, so none can change in between and a failure leaves
// every row as it was.
int CImageData::RewriteAllImageData(void (*transform)(std::string&)) {
    return Write(nullptr, [&](CDbManage& session) {
        std::vector<ImageRecord> rows;
        const int read = ForEachRow(session, "select * from b_image_data ", [&] {
            ImageRecord row;
            if (!ImageColumns().Read(session, row) || !MetaFacetColumns().Read(session, row)) {
                return false;
            }
            ReadLithCodesIfPresent(session, row);
            transform(row.ImageData);
            rows.push_back(std::move(row));
            return true;
        });
        if (!read || !OpenTable(session, kImageTable)) return 0;
        for (const ImageRecord& row : rows) {
            session.ExecuteSQL(DeleteImageStatement(row.ImageName, row.ImageType, row.ImageFacet) +
                               " ");
            InsertStoredImage(session, row, row.ImageData);
            MetaFacetColumns().Write(session, row);
        }
        return session.SaveData() ? 1 : 0;
    });
}

int CImageData::ScrambleAllImageData() {
    return RewriteAllImageData(&CImageData::ScrambleImageData);
}

int CImageData::UnscrambleAllImageData() {
    return RewriteAllImageData(&CImageData::UnscrambleImageData);
}

int CImageData::GetImagesByMetaFacet(MetaTypeRecord metaType, std::vector<ImageRecord>* images) {
    if (!images) return Decline("no image list was given");
    const std::string sql =
        "select * from b_image_data where MetaFacet = " + std::to_string(metaType.MetaFacet);
    return Read([&](CDbManage& session) {
        if (session.GetDataFromDB(sql) != CDbManage::kRows) return 0;
        AppendAcceptedRows(session, *images, [&](ImageRecord& record) {
            return ReadListedImage(session, "ImageName", record) &&
                   MetaFacetColumns().Read(session, record);
        });
        return 1;
    });
}

int CImageData::GetMetaCombinations(std::vector<ImageRecord>& images) {
    return Read([&](CDbManage& session) {
        return ForEachRow(session, "select * from b_meta_comb", [&] {
            ImageRecord record;
            session.GetFieldValue("ImageName", record.ImageName);  // unreadable: stays empty
            if (!ReadImageColumns(session, CombinationColumns(), record, KeyColumns::Skip)) {
                return false;
            }
            ReadLithCodesIfPresent(session, record);
            images.push_back(std::move(record));
            return true;
        });
    });
}

int CImageData::SaveMetaCombination(ImageRecord image) {
    ScrambleImageData(image.ImageData);
    return Replace(kCombinationTable,
                   "delete from b_meta_comb  where ImageName=" + Quoted(image.ImageName) +
                       " and MetaFacet=" + std::to_string(image.MetaFacet) +
                       " and ImageType=" + std::to_string(image.ImageType) +
                       " and ImageFacet=" + std::to_string(image.ImageFacet) + " ",
                   [&](CDbManage& session) {
                       session.AddNew();
                       CombinationColumns().Write(session, image);
                       LithCodeColumns().Write(session, image);
                   });
}
