// The depth-first walk of a meta-type tree shared by the index of the meta
// types and the walk of the images below a meta type: children listed side
// by side, each id gone down into once, the way down kept on the heap so that
// any depth can be walked.
#pragma once

#include <cstddef>
#include <vector>

#include "datadefine/idmap.h"
#include "strataloom/imetatypedata.h"

namespace strataloom {

// Walks the tree below the meta type of id top. appendChildren(of, id,
// leadsBackUp) appends the children of the meta type of that id to list (of
// is null for the top, else the meta type in list; it must be read before
// list grows), leaving out each child for whose id leadsBackUp(childId) is
// true: one already on the way down, which would lead the walk back up
// without end. The walk then goes down into each child, child by child, but
// into each id only once: rows that repeat an id are listed, not walked
// again. So list holds the children of the top as one block, then, child by
// child, what lies below each.
template <class AppendChildren>
void WalkMetaTypes(std::vector<MetaTypeRecord>& list, int top, AppendChildren&& appendChildren) {
    IdMap<bool> onTheWay;  // true on the way down, false walked below
    const auto leadsBackUp = [&](int id) {
        const bool* seen = onTheWay.Find(id);
        return seen && *seen;
    };
    // The children of one meta type in list, and the next of them to go into.
    struct Step {
        int id;
        std::size_t next, end;
    };
    // The id is on the way down once its step is made.
    const auto stepInto = [&](const MetaTypeRecord* of, int id) {
        const std::size_t begin = list.size();
        appendChildren(of, id, leadsBackUp);
        return Step{id, begin, list.size()};
    };
    onTheWay.Insert(top, true);
    std::vector<Step> way{stepInto(nullptr, top)};
    while (!way.empty()) {
        Step& step = way.back();
        if (step.next == step.end) {
            *onTheWay.Find(step.id) = false;
            way.pop_back();
            continue;
        }
        const MetaTypeRecord& child = list[step.next++];
        if (onTheWay.Insert(child.MetaTypeID, true).second) {
            way.push_back(stepInto(&child, child.MetaTypeID));
        }
    }
}

}  // namespace strataloom
