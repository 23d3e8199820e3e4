// The meta-type tree against a real project database, and its cache.
#include "strataloom/imetatypedata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;

MetaTypeRecord MetaType(int id, int parent = -1) {
    MetaTypeRecord record;
    record.MetaTypeID = id;
    record.MetaTypeParentID = parent;
    return record;
}

std::vector<int> Ids(const std::vector<MetaTypeRecord>& records) {
    std::vector<int> ids;
    for (const MetaTypeRecord& record : records) ids.push_back(record.MetaTypeID);
    return ids;
}

void AddMetaType(testsupport::ProjectDb& db, int id, int parent, const std::string& name = "",
                 int facet = 0) {
    db.Exec(
        "insert into b_meta_type (MetaTypeID, MetaTypeName, MetaTypeDescription, "
        "MetaTypeParentID, MetaFacet) values (" +
        std::to_string(id) + ", '" + name + "', '" + name + " type', " + std::to_string(parent) +
        ", " + std::to_string(facet) + ")");
}

class MetaTypeDataTest : public ProjectDbTest {
  protected:
    std::unique_ptr<IMetaTypeData> Object() { return Create<IMetaTypeData>("IMetaTypeData"); }
    std::vector<int> Children(IMetaTypeData& metaTypes, int id) {
        std::vector<MetaTypeRecord> children{MetaType(99)};
        EXPECT_EQ(1, metaTypes.GetChildMetaTypes(MetaType(id), &children));
        return Ids(children);
    }
    std::vector<int> Roots(IMetaTypeData& metaTypes) {
        std::vector<MetaTypeRecord> roots{MetaType(99)};
        EXPECT_EQ(1, metaTypes.GetRootMetaTypes(roots));
        return Ids(roots);
    }
};

TEST_P(MetaTypeDataTest, ChildrenAndRootsKeepTheTableOrder) {
    AddMetaType(*this, 1, -1, "A", 10);
    AddMetaType(*this, 2, 1, "B", 20);
    AddMetaType(*this, 3, 1, "C", 30);
    AddMetaType(*this, 4, -1, "D", 40);
    AddMetaType(*this, 5, 77, "orphan", 50);  // its parent is no row
    const auto metaTypes = Object();
    EXPECT_EQ((std::vector<int>{1, 4}), Roots(*metaTypes));
    EXPECT_EQ((std::vector<int>{2, 3}), Children(*metaTypes, 1));
    EXPECT_EQ(std::vector<int>{}, Children(*metaTypes, 2));
    EXPECT_EQ(std::vector<int>{}, Children(*metaTypes, 77));

    std::vector<MetaTypeRecord> children;
    ASSERT_EQ(1, metaTypes->GetChildMetaTypes(MetaType(1), &children));
    EXPECT_EQ("C", children[1].MetaTypeName);
    EXPECT_EQ("C type", children[1].MetaTypeDescription);
    EXPECT_EQ(1, children[1].MetaTypeParentID);
    EXPECT_EQ(30, children[1].MetaFacet);
    EXPECT_EQ(0, metaTypes->GetChildMetaTypes(MetaType(1), nullptr));
}

// A project merged from two sources: the id's children are its rows' children, each once.
TEST_P(MetaTypeDataTest, AnIdCarriedTwiceGivesItsChildrenOnce) {
    AddMetaType(*this, 1, -1);
    AddMetaType(*this, 2, -1);
    AddMetaType(*this, 7, 2);  // met second: under 2
    AddMetaType(*this, 7, 1);  // met first: under 1
    AddMetaType(*this, 8, 7);
    AddMetaType(*this, 9, 7);
    const auto metaTypes = Object();
    EXPECT_EQ((std::vector<int>{8, 9}), Children(*metaTypes, 7));
    std::vector<MetaTypeRecord> children;
    ASSERT_EQ(1, metaTypes->GetChildMetaTypes(MetaType(1), &children));
    ASSERT_EQ(1u, children.size());
    EXPECT_EQ(1, children[0].MetaTypeParentID);
}

TEST_P(MetaTypeDataTest, RowsThatLeadBackToTheirOwnAncestorsAreLeftOut) {
    AddMetaType(*this, 1, -1);
    AddMetaType(*this, 2, 1);
    AddMetaType(*this, 1, 2);  // a second id 1 below 2: 1 -> 2 -> 1 ...
    AddMetaType(*this, 3, 3);  // its own parent, unreachable
    AddMetaType(*this, 4, -1);
    AddMetaType(*this, 4, 4);    // its own parent, below the other id 4
    AddMetaType(*this, -1, -1);  // would be the root below the root
    AddMetaType(*this, 5, 6);    // a cycle of two rows, unreachable
    AddMetaType(*this, 6, 5);
    const auto metaTypes = Object();
    EXPECT_EQ((std::vector<int>{1, 4}), Roots(*metaTypes));
    EXPECT_EQ(std::vector<int>{2}, Children(*metaTypes, 1));
    EXPECT_EQ(std::vector<int>{}, Children(*metaTypes, 2));
    EXPECT_EQ(std::vector<int>{}, Children(*metaTypes, 4));
    EXPECT_EQ(std::vector<int>{}, Children(*metaTypes, 5));
}

TEST_P(MetaTypeDataTest, TreeIsKeptPerDatabaseUntilAnyObjectIsDestroyed) {
    AddMetaType(*this, 1, -1);
    const auto first = Object();
    EXPECT_EQ(std::vector<int>{1}, Roots(*first));

    testsupport::ProjectDb other;
    other.Open(GetParam());
    AddMetaType(other, 5, -1);
    AddMetaType(other, 6, -1);
    const auto onOther = other.Create<IMetaTypeData>("IMetaTypeData");
    EXPECT_EQ((std::vector<int>{5, 6}), Roots(*onOther));
    EXPECT_EQ(std::vector<int>{1}, Roots(*first));

    // Answers stay those of the first read, for every object on the database...
    AddMetaType(*this, 2, -1);
    auto second = Object();
    EXPECT_EQ(std::vector<int>{1}, Roots(*second));
    EXPECT_EQ(std::vector<int>{1}, Roots(*first));
    // ...until any object is destroyed.
    second.reset();
    EXPECT_EQ((std::vector<int>{1, 2}), Roots(*first));
    EXPECT_EQ((std::vector<int>{5, 6}), Roots(*onOther));
    other.Close();
}

TEST_P(MetaTypeDataTest, UnreadableTableAnswersEmptyAndIsReadAgainNextTime) {
    const auto metaTypes = Object();
    {
        testsupport::StatementLog log;
        EXPECT_EQ(std::vector<int>{}, Roots(*metaTypes));  // no row yet
        EXPECT_EQ((std::vector<std::string>{"b_meta_type", "select * from b_meta_type "}),
                  log.texts);
    }
    AddMetaType(*this, 3, -1);
    EXPECT_EQ(std::vector<int>{3}, Roots(*metaTypes));
    testsupport::StatementLog log;
    EXPECT_EQ(std::vector<int>{}, Children(*metaTypes, 3));
    EXPECT_TRUE(log.texts.empty());  // answered from the tree in memory

    Exec("drop table b_meta_type");
    auto another = Object();
    another.reset();  // empties the cache
    EXPECT_EQ(std::vector<int>{}, Roots(*metaTypes));
    EXPECT_EQ(std::vector<int>{}, Children(*metaTypes, 3));
}

STRATALOOM_ENGINES(MetaTypeDataTest);

}  // namespace
