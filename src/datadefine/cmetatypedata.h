// Meta types: table b_meta_type, read once per database into a tree that the
// whole process shares, and answered from that tree.
#pragma once

#include <memory>

#include "datadefine/tabledata.h"
#include "strataloom/imetatypedata.h"

// A meta type with the meta types below it, in the table's order.
struct MetaTypeNode {
    MetaTypeRecord Record;
    std::vector<MetaTypeNode> Children;
};

class CMetaTypeData : public strataloom::TableData<IMetaTypeData> {
  public:
    // Empties the cache of every database, so that the next question of any
    // object reads its table again.
    ~CMetaTypeData() override;
    int GetChildMetaTypes(MetaTypeRecord metaType, std::vector<MetaTypeRecord>* children) override;
    int GetRootMetaTypes(std::vector<MetaTypeRecord>& roots) override;
    virtual ClassEntry* GetClassEntry();

  private:
    // The tree of this object's database, read on first use; null when the
    // table cannot be read or holds no row.
    std::shared_ptr<const MetaTypeNode> Tree();
};
