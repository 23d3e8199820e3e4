#include "dbaccess/locatedfields.h"

namespace strataloom::db {

LocatedFields::Fields LocatedFields::Find(const ColumnList& list,
                                          const std::vector<const char*>& names) const {
    for (const Entry& entry : entries_) {
        if (entry.list == list && entry.names == names) return entry.fields;
    }
    return nullptr;
}

void LocatedFields::Keep(ColumnList list, const std::vector<const char*>& names, Fields fields) {
    Entry entry{std::move(list), names, std::move(fields)};
    if (entries_.size() < kKept) {
        entries_.push_back(std::move(entry));
        return;
    }
    entries_[next_] = std::move(entry);
    next_ = (next_ + 1) % kKept;
}

}  // namespace strataloom::db
