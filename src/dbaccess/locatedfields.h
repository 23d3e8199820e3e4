// Where readers found their columns in the column lists of results, kept by
// the connection across results. The drivers hand out one column list per
// statement shape for as long as they keep the shape, so a read that repeats
// (the same columns read from the same kind of answer) finds its columns
// without matching their names again.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace strataloom::db {

// A column of a result, found once for all of its rows.
struct Field {
    int index = -1;  // -1: the result has no such column
    const char* name = nullptr;
};

class LocatedFields {
  public:
    using ColumnList = std::shared_ptr<const std::vector<std::string>>;
    using Fields = std::shared_ptr<const std::vector<Field>>;

    // The fields of names (matched by the names' addresses) located in list
    // before; null when they were not.
    Fields Find(const ColumnList& list, const std::vector<const char*>& names) const;
    // Keeps the fields located for names in list; the oldest entry makes
    // room once the few kept are taken.
    void Keep(ColumnList list, const std::vector<const char*>& names, Fields fields);

  private:
    // The entry holds its list: a list let go cannot be mistaken for a new
    // one made at the same address.
    struct Entry {
        ColumnList list;
        std::vector<const char*> names;
        Fields fields;
    };
    static constexpr std::size_t kKept = 16;
    std::vector<Entry> entries_;
    std::size_t next_ = 0;
};

}  // namespace strataloom::db
