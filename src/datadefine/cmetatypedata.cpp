#include "datadefine/cmetatypedata.h"

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

}  // namespace

// The meta types reachable from the root, listed under their parent's id:
// the children of an id are the rows whose parent id is that id, each once,
// in the table's order. A row is reachable when its parent id is the root's
// or the id of a reachable row. Rows that repeat an id (a project merged from
// two sources) give that id one list of children, whichever of them is asked
// about. A row whose id is already on the way down to it would lead back up
// to its own ancestors without end (its parent links form a cycle): it is
// left out, the way being walked depth first in the table's order; rows that
// only lead round a cycle are never reached. Built without recursion, in time
// and size linear in the rows, so that a chain as deep as the table is long
// loads as well as a flat list.
class MetaTypeIndex {
  public:
    explicit MetaTypeIndex(std::vector<MetaTypeRecord> rows) {
        std::unordered_map<int, std::vector<std::size_t>> rowsOf;  // by parent id
        for (std::size_t i = 0; i < rows.size(); ++i) rowsOf[rows[i].MetaTypeParentID].push_back(i);
        // The ids on the way down (true) and those walked below already (false).
        std::unordered_map<int, bool> onTheWay{{kRootId, true}};
        struct Step {
            int id;
            const std::vector<std::size_t>* rows;
            std::size_t next;
        };
        const auto stepInto = [&](int id) {
            const auto found = rowsOf.find(id);
            return Step{id, found == rowsOf.end() ? nullptr : &found->second, 0};
        };
        std::vector<Step> way{stepInto(kRootId)};
        while (!way.empty()) {
            Step& step = way.back();
            if (!step.rows || step.next == step.rows->size()) {
                onTheWay[step.id] = false;
                way.pop_back();
                continue;
            }
            MetaTypeRecord& row = rows[(*step.rows)[step.next++]];
            const int id = row.MetaTypeID;
            const auto seen = onTheWay.find(id);
            if (seen != onTheWay.end() && seen->second) continue;  // leads back up
            children_[step.id].push_back(std::move(row));
            if (seen == onTheWay.end()) {
                onTheWay.emplace(id, true);
                way.push_back(stepInto(id));  // step is not used after this
            }
        }
    }

    // Empty for an id that has no children or is not reached.
    const std::vector<MetaTypeRecord>& ChildrenOf(int id) const {
        static const std::vector<MetaTypeRecord> none;
        const auto found = children_.find(id);
        return found == children_.end() ? none : found->second;
    }

  private:
    std::unordered_map<int, std::vector<MetaTypeRecord>> children_;
};

namespace {

// The meta types read so far, one index per database: an object on one
// database is never answered from another's. Indexes are handed out shared,
// so that one emptied from the cache stays whole for a caller still using it.
class MetaTypeCache {
  public:
    std::shared_ptr<const MetaTypeIndex> Find(const std::string& connect) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = trees_.find(connect);
        return found == trees_.end() ? nullptr : found->second;
    }
    void Keep(const std::string& connect, std::shared_ptr<const MetaTypeIndex> tree) {
        std::lock_guard<std::mutex> lock(mutex_);
        trees_.emplace(connect, std::move(tree));
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        trees_.clear();
    }

  private:
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const MetaTypeIndex>> trees_;
};

MetaTypeCache& Cache() {
    static MetaTypeCache cache;
    return cache;
}

}  // namespace

CMetaTypeData::~CMetaTypeData() {
    try {
        Cache().Clear();
    } catch (...) {
    }
}

std::shared_ptr<const MetaTypeIndex> CMetaTypeData::Tree() {
    if (auto tree = Cache().Find(ConnectString())) return tree;
    std::vector<MetaTypeRecord> rows;
    // Nothing is kept when the table cannot be read: the next question tries again.
    if (!LoadRecordsInTable(kTable, "select * from b_meta_type ", MetaTypeColumns(), rows)) {
        return nullptr;
    }
    auto tree = std::make_shared<const MetaTypeIndex>(std::move(rows));
    Cache().Keep(ConnectString(), tree);
    return tree;
}

int CMetaTypeData::GetChildMetaTypes(MetaTypeRecord metaType,
                                     std::vector<MetaTypeRecord>* children) {
    if (!children) return Decline("no list for the child meta types was given");
    children->clear();
    return Guarded([&] {
        if (auto tree = Tree()) *children = tree->ChildrenOf(metaType.MetaTypeID);
        return 1;
    });
}

int CMetaTypeData::GetRootMetaTypes(std::vector<MetaTypeRecord>& roots) {
    roots.clear();
    return Guarded([&] {
        if (auto tree = Tree()) roots = tree->ChildrenOf(kRootId);
        return 1;
    });
}
