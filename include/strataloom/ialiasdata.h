// Image aliases: further names of the symbol images, table b_image_alias, one
// row per alias. The image operations (iimagedata.h) find and list images
// under these names as well.
#pragma once

#include "strataloom/idatabase.h"

// One alias: AliasName stands for the image (ImageName, ImageType, ImageFacet)
// of the symbol library.
struct AliasRecord {
    std::string AliasName;
    int ImageType = 0;
    int ImageFacet = 0;
    std::string ImageName;
};

class IAliasData : public IDataBase {
  public:
    // Appends every alias row to records, in the database's order. 0 when the
    // table holds no alias (records unchanged) or a row cannot be read
    // (aliases appended before stay).
    virtual int LoadAllAliases(std::vector<AliasRecord>& records) = 0;
    // Stores one alias, replacing every earlier row of the same alias name,
    // whatever image it stood for. 1 when stored.
    virtual int SaveAlias(const AliasRecord& record) = 0;
    // Adds one row per record, nothing removed first: a repeated alias name
    // gets several rows. To replace the whole table, call DeleteAllAliases
    // first. 1 when every row was stored (also for no records); on 0 none was.
    virtual int SaveAliases(const std::vector<AliasRecord>& records) = 0;
    // Removes every alias. 1 when the table was emptied.
    virtual int DeleteAllAliases() = 0;
};
