// Meta types: the tree of categories that groups the symbol images, table
// b_meta_type, one row per meta type naming its parent. Read only.
//
// The tree is read once per database and kept for the whole process: later
// answers come from memory, also after the table has changed, until any
// IMetaTypeData object is destroyed, which makes the next question read every
// database's table again.
#pragma once

#include "strataloom/idatabase.h"

// One meta type. The images of a meta type are those whose MetaFacet equals
// its MetaFacet (iimagedata.h).
struct MetaTypeRecord {
    int MetaTypeID = 0;
    std::string MetaTypeName;
    std::string MetaTypeDescription;
    // The parent's MetaTypeID; -1 for a top-level meta type.
    int MetaTypeParentID = 0;
    int MetaFacet = 0;
};

class IMetaTypeData : public IDataBase {
  public:
    // Replaces *children with the meta types whose parent is metaType's
    // MetaTypeID, each once, in the table's order: of the rows reachable from
    // the top level (parent -1, then parent a reachable row's id). When several
    // rows carry that id (a project merged from two sources), they share this
    // one list. Rows whose parent links only lead round a cycle are never
    // reached. A call costs the children it returns. 1, also when the table
    // cannot be read (children then empty); 0 only when children is null.
    virtual int GetChildMetaTypes(MetaTypeRecord metaType,
                                  std::vector<MetaTypeRecord>* children) = 0;
    // Replaces roots with the top-level meta types (parent -1), in the
    // table's order. Always 1; roots empty when the table cannot be read.
    virtual int GetRootMetaTypes(std::vector<MetaTypeRecord>& roots) = 0;
};
