// Image aliases: table b_image_alias, one row per further name of a symbol
// image. The image class reads the same table through its joins.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/ialiasdata.h"

class CAliasData : public strataloom::TableData<IAliasData> {
  public:
    int LoadAllAliases(std::vector<AliasRecord>& records) override;
    int SaveAlias(const AliasRecord& record) override;
    int SaveAliases(const std::vector<AliasRecord>& records) override;
    int DeleteAllAliases() override;
    virtual ClassEntry* GetClassEntry();
};
