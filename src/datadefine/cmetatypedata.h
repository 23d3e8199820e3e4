// Meta types: table b_meta_type, read once per database into a tree that the
// whole process shares, and answered from that tree.
#pragma once

#include <memory>

#include "datadefine/tabledata.h"
#include "strataloom/imetatypedata.h"

// The meta types of one database, indexed by the id of their parent.
class MetaTypeIndex;

class CMetaTypeData : public strataloom::TableData<IMetaTypeData> {
  public:
    // Empties the cache of every database, so that the next question of any
    // object reads its table again.
    ~CMetaTypeData() override;
    void SetConnectString(const char* text) override;
    int GetChildMetaTypes(MetaTypeRecord metaType, std::vector<MetaTypeRecord>* children) override;
    int GetRootMetaTypes(std::vector<MetaTypeRecord>& roots) override;
    virtual ClassEntry* GetClassEntry();

  private:
    // The meta types of this object's database, read on first use; null when
    // the table cannot be read or holds no row. Valid until the next call.
    const MetaTypeIndex* Tree();

    // The index answered from last, kept while the cache has not been emptied
    // since and the connection string has not changed: a call then needs no
    // look-up in the cache.
    std::shared_ptr<const MetaTypeIndex> tree_;
    unsigned long treeGeneration_ = 0;
};
