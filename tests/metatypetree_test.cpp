// Meta-type tables of hostile shapes: ids repeated at every level (a project
// merged from two sources), a chain as deep as the table is long, and a wide
// tree walked in full, each held to its size and cost.
#include <time.h>

#include <cstddef>
#include <map>

#include "datadefine/cimagedata.h"
#include "strataloom/imetatypedata.h"
#include "support/projectdb.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer's runtime, whose allocator replaces the C library's.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

using testsupport::ProjectDb;
using testsupport::ProjectDbTest;

// Bytes the process holds allocated now.
double AllocatedBytes() {
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<double>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<double>(mallinfo2().uordblks);
#endif
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

MetaTypeRecord MetaType(int id) {
    MetaTypeRecord record;
    record.MetaTypeID = id;
    return record;
}

std::vector<int> Ids(const std::vector<MetaTypeRecord>& records) {
    std::vector<int> ids;
    for (const MetaTypeRecord& record : records) ids.push_back(record.MetaTypeID);
    return ids;
}

// Rows numbered n = 1 to count, each with the value of parentOf (an
// expression of n) as its parent id and facet n, made by the engine itself.
void AddNumberedRows(ProjectDb& db, int count, const std::string& parentOf) {
    db.Exec(
        "insert into b_meta_type (MetaTypeID, MetaTypeName, MetaTypeParentID, MetaFacet) "
        "with recursive numbers(n) as (select 1 union all select n + 1 from numbers where n "
        "< " +
        std::to_string(count) + ") select n, 'm' || n, " + parentOf + ", n from numbers");
}

// Forwards to the module's meta types and counts what the walk asks for.
class CountingMetaTypes : public IMetaTypeData {
  public:
    explicit CountingMetaTypes(IMetaTypeData& inner) : inner_(inner) {}
    void SetConnectString(const char*) override {}
    int GetChildMetaTypes(MetaTypeRecord metaType, std::vector<MetaTypeRecord>* children) override {
        ++calls;
        const int result = inner_.GetChildMetaTypes(metaType, children);
        returned += children->size();
        return result;
    }
    int GetRootMetaTypes(std::vector<MetaTypeRecord>& roots) override {
        ++calls;
        const int result = inner_.GetRootMetaTypes(roots);
        returned += roots.size();
        return result;
    }
    std::size_t calls = 0;
    std::size_t returned = 0;

  private:
    IMetaTypeData& inner_;
};

class MetaTypeTreeTest : public ProjectDbTest {
  protected:
    std::unique_ptr<IMetaTypeData> Object() { return Create<IMetaTypeData>("IMetaTypeData"); }
};

// 60 rows, each id carried by two rows over 30 levels: a tree that copied the
// rows below every row carrying an id would hold 2^30 nodes.
TEST_P(MetaTypeTreeTest, RepeatedIdsLoadEachRowOnceInLinearSize) {
    for (int copy = 0; copy < 2; ++copy) AddNumberedRows(*this, 30, "n - 1");
    Exec("update b_meta_type set MetaTypeParentID = -1 where MetaTypeID = 1");
    const auto metaTypes = Object();
    const double allocated = AllocatedBytes();
    const double cpu = ThreadCpuSeconds();
    std::vector<MetaTypeRecord> roots;
    ASSERT_EQ(1, metaTypes->GetRootMetaTypes(roots));
    EXPECT_LT(ThreadCpuSeconds() - cpu, 1.0);
    EXPECT_LT(AllocatedBytes() - allocated, 50.0 * 1024 * 1024);
    EXPECT_EQ((std::vector<int>{1, 1}), Ids(roots));
    std::vector<MetaTypeRecord> children;
    for (int id = 1; id < 30; ++id) {
        ASSERT_EQ(1, metaTypes->GetChildMetaTypes(MetaType(id), &children));
        EXPECT_EQ((std::vector<int>{id + 1, id + 1}), Ids(children)) << id;
    }
    ASSERT_EQ(1, metaTypes->GetChildMetaTypes(MetaType(30), &children));
    EXPECT_TRUE(children.empty());

    // The walk of the images takes every row once, and asks once per id.
    CountingMetaTypes counting(*metaTypes);
    std::vector<MetaTypeRecord> below;
    CImageData::CollectMetaTypes(below, &counting, nullptr);
    EXPECT_EQ(60u, below.size());
    EXPECT_EQ(31u, counting.calls);
}

TEST_P(MetaTypeTreeTest, AChainAMillionLevelsDeepLoadsAndIsWalked) {
    constexpr int kLevels = 1000000;
    AddNumberedRows(*this, kLevels, "n - 1");
    Exec("update b_meta_type set MetaTypeParentID = -1 where MetaTypeID = 1");
    const auto metaTypes = Object();
    std::vector<MetaTypeRecord> found;
    ASSERT_EQ(1, metaTypes->GetRootMetaTypes(found));
    EXPECT_EQ(std::vector<int>{1}, Ids(found));
    ASSERT_EQ(1, metaTypes->GetChildMetaTypes(MetaType(kLevels - 1), &found));
    EXPECT_EQ(std::vector<int>{kLevels}, Ids(found));
    EXPECT_EQ(kLevels - 1, found[0].MetaTypeParentID);

    std::vector<MetaTypeRecord> below;
    CImageData::CollectMetaTypes(below, metaTypes.get(), nullptr);
    ASSERT_EQ(static_cast<std::size_t>(kLevels), below.size());
    EXPECT_EQ(kLevels, below.back().MetaTypeID);
}

// A tree of four children per node: a full walk asks once per node and
// receives each node once, and its cost grows with the nodes, not their square.
TEST_P(MetaTypeTreeTest, AFullWalkCostsLinearlyInTheNodes) {
    std::map<int, double> cpu;
    for (int nodes : {10000, 100000}) {
        ProjectDb db;
        db.Open(GetParam());
        AddNumberedRows(db, nodes, "case when n < 4 then -1 else n / 4 end");
        const auto metaTypes = db.Create<IMetaTypeData>("IMetaTypeData");
        std::vector<MetaTypeRecord> roots;
        ASSERT_EQ(1, metaTypes->GetRootMetaTypes(roots));  // the table is read here
        CountingMetaTypes counting(*metaTypes);
        std::vector<MetaTypeRecord> below;
        const double start = ThreadCpuSeconds();
        CImageData::CollectMetaTypes(below, &counting, nullptr);
        cpu[nodes] = ThreadCpuSeconds() - start;
        EXPECT_EQ(static_cast<std::size_t>(nodes), below.size());
        EXPECT_EQ(static_cast<std::size_t>(nodes) + 1, counting.calls);
        EXPECT_EQ(static_cast<std::size_t>(nodes), counting.returned);
        db.Close();
    }
    // Ten times the nodes: linear work takes about ten times as long (more
    // once the tree outgrows the processor's caches), a search of the whole
    // tree per call a hundred times.
    EXPECT_LT(cpu[100000], 40.0 * cpu[10000]) << cpu[10000] << " s, then " << cpu[100000] << " s";
}

STRATALOOM_ENGINES(MetaTypeTreeTest);

}  // namespace
