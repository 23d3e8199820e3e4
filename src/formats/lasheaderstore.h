// The LAS header of every imported run of a well, kept in the project so
// that an export writes the items the file came with. A run is named by its
// depth curve: its ~V, ~W, ~P and ~O items belong to the run, each ~C item
// to the stored curve it describes.
#pragma once

#include <string>
#include <vector>

#include "formats/las.h"
#include "formats/owntables.h"

namespace strataloom::formats {

struct RunHeader {
    std::vector<LasItem> versionItems;  // ~V but VERS, WRAP and DLM
    std::vector<LasItem> wellItems;
    std::vector<LasItem> parameters;
    std::vector<std::string> otherLines;  // ~O, line by line
    // ~C: the stored curve's name and the item as the file wrote it (its
    // mnemonic may differ from the stored name, as GR for GR:1).
    std::vector<std::pair<std::string, LasItem>> curveItems;

    bool HasRunItems() const {
        return !versionItems.empty() || !wellItems.empty() || !parameters.empty() ||
               !otherLines.empty();
    }
    // The ~C item of the stored curve, or null.
    const LasItem* CurveItem(const std::string& curve) const;
};

// The header of the run of depthCurve of well, with the ~C items of every
// curve of the well; an empty header when nothing is kept.
bool LoadRunHeader(OwnTables& tables, const std::string& well, const std::string& depthCurve,
                   RunHeader& header);

// What one import changes in the kept headers, in one transaction: the run
// items of depthCurve are replaced when replaceRunItems (else kept), the ~C
// items of the header's curves replaced, and the ~C items of `gone` curves
// (deleted from the well) removed.
bool SaveRunHeader(OwnTables& tables, const std::string& well, const std::string& depthCurve,
                   const RunHeader& header, bool replaceRunItems,
                   const std::vector<std::string>& gone);

}  // namespace strataloom::formats
