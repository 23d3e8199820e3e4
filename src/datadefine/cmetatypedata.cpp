#include "datadefine/cmetatypedata.h"

#include <atomic>
#include <map>
#include <mutex>

#include "datadefine/idmap.h"
#include "datadefine/metatypewalk.h"

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
        const RowsByParent byParent(rows);
        records_.reserve(rows.size());
        WalkMetaTypes(records_, kRootId, [&](const MetaTypeRecord*, int id, auto&& leadsBackUp) {
            const std::size_t begin = records_.size();
            byParent.ForEachRow(id, [&](std::size_t row) {
                if (!leadsBackUp(rows[row].MetaTypeID)) records_.push_back(std::move(rows[row]));
            });
            if (records_.size() > begin) spans_.Insert(id, Span{begin, records_.size()});
        });
    }

    // Replaces children with those of id; none for an id that has no
    // children or is not reached.
    void ChildrenOf(int id, std::vector<MetaTypeRecord>& children) const {
        const Span* span = spans_.Find(id);
        if (!span) {
            children.clear();
            return;
        }
        children.assign(records_.begin() + static_cast<std::ptrdiff_t>(span->begin),
                        records_.begin() + static_cast<std::ptrdiff_t>(span->end));
    }

  private:
    // The rows of each parent id in the table's order, as chains of row
    // numbers: no list of its own per parent.
    class RowsByParent {
      public:
        explicit RowsByParent(const std::vector<MetaTypeRecord>& rows) : next_(rows.size(), kNone) {
            for (std::size_t row = 0; row < rows.size(); ++row) {
                const auto added = chains_.Insert(rows[row].MetaTypeParentID, Chain{row, row});
                if (!added.second) {
                    next_[added.first->last] = row;
                    added.first->last = row;
                }
            }
        }
        template <class Visit>
        void ForEachRow(int parent, Visit&& visit) const {
            const Chain* chain = chains_.Find(parent);
            if (!chain) return;
            for (std::size_t row = chain->first; row != kNone; row = next_[row]) visit(row);
        }

      private:
        static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
        struct Chain {
            std::size_t first, last;
        };
        IdMap<Chain> chains_;
        std::vector<std::size_t> next_;
    };

    // Where the children of one id lie in records_.
    struct Span {
        std::size_t begin, end;
    };
    std::vector<MetaTypeRecord> records_;  // each id's children side by side
    IdMap<Span> spans_;
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
        ++generation_;
    }
    // Changes whenever the cache is emptied: an index taken before stays
    // usable only while it has not changed.
    unsigned long Generation() const { return generation_; }

  private:
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const MetaTypeIndex>> trees_;
    std::atomic<unsigned long> generation_{0};
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

const MetaTypeIndex* CMetaTypeData::Tree() {
    const unsigned long generation = Cache().Generation();
    if (tree_ && treeGeneration_ == generation) return tree_.get();
    tree_ = Cache().Find(ConnectString());
    if (!tree_) {
        std::vector<MetaTypeRecord> rows;
        // Nothing is kept when the table cannot be read: the next question tries again.
        if (!LoadRecordsInTable(kTable, "select * from b_meta_type ", MetaTypeColumns(), rows)) {
            return nullptr;
        }
        tree_ = std::make_shared<const MetaTypeIndex>(std::move(rows));
        Cache().Keep(ConnectString(), tree_);
    }
    treeGeneration_ = generation;
    return tree_.get();
}

void CMetaTypeData::SetConnectString(const char* text) {
    TableData::SetConnectString(text);
    tree_.reset();  // of the database named before
}

int CMetaTypeData::GetChildMetaTypes(MetaTypeRecord metaType,
                                     std::vector<MetaTypeRecord>* children) {
    if (!children) return Decline("no list for the child meta types was given");
    children->clear();
    return Guarded([&] {
        if (const MetaTypeIndex* tree = Tree()) tree->ChildrenOf(metaType.MetaTypeID, *children);
        return 1;
    });
}

int CMetaTypeData::GetRootMetaTypes(std::vector<MetaTypeRecord>& roots) {
    roots.clear();
    return Guarded([&] {
        if (const MetaTypeIndex* tree = Tree()) tree->ChildrenOf(kRootId, roots);
        return 1;
    });
}
