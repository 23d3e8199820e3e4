#include "datadefine/cmetatypedata.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <unordered_map>

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CMetaTypeData, "IMetaTypeData")

namespace {

const char kTable[] = "b_meta_type";
// The id of the tree's root, and the parent id of the top-level meta types.
const int kRootId = -1;

const ColumnTable<MetaTypeRecord>& MetaTypeColumns() {
    static const ColumnTable<MetaTypeRecord> columns{
        {"MetaTypeID", &MetaTypeRecord::MetaTypeID},
        {"MetaTypeName", &MetaTypeRecord::MetaTypeName},
        {"MetaTypeDescription", &MetaTypeRecord::MetaTypeDescription},
        {"MetaTypeParentID", &MetaTypeRecord::MetaTypeParentID},
        {"MetaFacet", &MetaTypeRecord::MetaFacet},
    };
    return columns;
}

std::vector<ColumnShape> MetaTypeShapes() {
    return ShapesOf({}, MetaTypeColumns());
}
const MappedTable g_mapped(kTable, &MetaTypeShapes);

// The trees read so far, one per database: an object on one database is never
// answered from another's tree. Trees are handed out shared, so that one
// emptied from the cache stays whole for a caller still walking it.
class MetaTypeCache {
  public:
    std::shared_ptr<const MetaTypeNode> Find(const std::string& connect) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = trees_.find(connect);
        return found == trees_.end() ? nullptr : found->second;
    }
    void Keep(const std::string& connect, std::shared_ptr<const MetaTypeNode> tree) {
        std::lock_guard<std::mutex> lock(mutex_);
        trees_.emplace(connect, std::move(tree));
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        trees_.clear();
    }

  private:
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const MetaTypeNode>> trees_;
};

MetaTypeCache& Cache() {
    static MetaTypeCache cache;
    return cache;
}

// The rows naming each parent id, each parent's in the table's order.
using RowsByParent = std::unordered_map<int, std::vector<const MetaTypeRecord*>>;

// Attaches below node, depth first, every row that names node's id as its
// parent. A row whose id is already on the way from the root down to node
// (its parent links form a cycle, or an id repeated elsewhere leads back up)
// would attach its own ancestors below itself without end: it is left out
// there.
void AttachChildren(MetaTypeNode& node, const RowsByParent& rows, std::vector<int>& path) {
    const auto found = rows.find(node.Record.MetaTypeID);
    if (found == rows.end()) return;
    for (const MetaTypeRecord* row : found->second) {
        if (std::find(path.begin(), path.end(), row->MetaTypeID) != path.end()) continue;
        node.Children.push_back(MetaTypeNode{*row, {}});
        path.push_back(row->MetaTypeID);
        AttachChildren(node.Children.back(), rows, path);
        path.pop_back();
    }
}

std::shared_ptr<const MetaTypeNode> BuildTree(const std::vector<MetaTypeRecord>& rows) {
    RowsByParent byParent;
    for (const MetaTypeRecord& row : rows) byParent[row.MetaTypeParentID].push_back(&row);
    auto root = std::make_shared<MetaTypeNode>();
    root->Record.MetaTypeID = kRootId;
    std::vector<int> path{kRootId};
    AttachChildren(*root, byParent, path);
    return root;
}

// Appends the children of every node carrying id, searching the whole tree
// but not below a node that carries it.
void FindChildren(const MetaTypeNode& node, int id, std::vector<MetaTypeRecord>& children) {
    if (node.Record.MetaTypeID == id) {
        for (const MetaTypeNode& child : node.Children) children.push_back(child.Record);
        return;
    }
    for (const MetaTypeNode& child : node.Children) FindChildren(child, id, children);
}

}  // namespace

CMetaTypeData::~CMetaTypeData() {
    try {
        Cache().Clear();
    } catch (...) {
    }
}

std::shared_ptr<const MetaTypeNode> CMetaTypeData::Tree() {
    if (auto tree = Cache().Find(ConnectString())) return tree;
    std::vector<MetaTypeRecord> rows;
    // Nothing is kept when the table cannot be read: the next question tries again.
    if (!LoadRecordsInTable(kTable, "select * from b_meta_type ", MetaTypeColumns(), rows)) {
        return nullptr;
    }
    auto tree = BuildTree(rows);
    Cache().Keep(ConnectString(), tree);
    return tree;
}

int CMetaTypeData::GetChildMetaTypes(MetaTypeRecord metaType,
                                     std::vector<MetaTypeRecord>* children) {
    if (!children) return Decline("no list for the child meta types was given");
    children->clear();
    return Guarded([&] {
        if (auto tree = Tree()) FindChildren(*tree, metaType.MetaTypeID, *children);
        return 1;
    });
}

int CMetaTypeData::GetRootMetaTypes(std::vector<MetaTypeRecord>& roots) {
    roots.clear();
    return Guarded([&] {
        if (auto tree = Tree()) FindChildren(*tree, kRootId, roots);
        return 1;
    });
}
