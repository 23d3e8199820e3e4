// Text curves: named series of depth intervals of a well, each with a
// description, a remark and a type, table w_text_data. Every text curve name
// has an entry in the code table b_text_code giving its text type and its
// track type; saving a text curve whose name has no entry yet creates one.
#pragma once

#include "strataloom/idatabase.h"

// One interval of a text curve.
struct TextRecord {
    double TopDepth = 0.0;     // depth of the top, in the well's depth unit
    double BottomDepth = 0.0;  // depth of the bottom, same unit
    std::string TextDescription;
    std::string Remark;
    int Type = -1;  // the interval's own type; -1 when not given
};

// One text curve of a well.
struct TextCurveSet {
    std::string WellName;
    std::string TextCurveName;
    // For the caller's own use: no operation reads or fills it. The type
    // stored with the rows is always the one of the name's code entry.
    int TextType = 0;
    std::vector<TextRecord> Records;
};

// Every operation returns 1 on success and 0 on failure. Lists and vectors
// are only appended to; what was appended before a failure stays. A query
// that finds nothing gives 0 unless said otherwise. Names are taken as plain
// text, a "%" or a quote included.
class ITextData : public IDataBase {
  public:
    // Appends the project's wells that have text curves, in well-name order.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends every name of the code table, once per entry.
    virtual int GetCodeTextCurveNames(NameList& names) = 0;
    // Appends the distinct names of the well's text curves.
    virtual int GetWellTextCurveNames(const char* well, NameList& names) = 0;
    // Appends the distinct code names of the track type whose text type
    // occurs among the well's rows.
    virtual int GetWellTextCurveNamesOfTrack(const char* well, int trackType, NameList& names) = 0;
    // Appends the distinct names of the well's text curves of the text type.
    virtual int GetWellTextCurveNamesOfType(const char* well, int textType, NameList& names) = 0;
    // Loads the named text curve into every set of the vector, in place: each
    // set's TextCurveName is set and its Records receive that set's well's
    // rows of the curve, in ascending top depth, after the records it held.
    // No set is added or removed. 0 when no well has the curve (the sets are
    // then untouched).
    virtual int LoadTextCurveForWells(const char* textCurve, std::vector<TextCurveSet>& sets) = 0;
    // Appends the well's rows of the text curve to the set's Records in
    // ascending top depth and names the set after the well and the curve; 0
    // with the set untouched when the well has no such curve.
    virtual int LoadWellTextCurve(const char* well, const char* textCurve, TextCurveSet& set) = 0;
    // Appends one set per text curve of the text type in the well. 1 without
    // appending anything when the well has none; 0 when its curves cannot be
    // listed, or at the first curve that cannot be loaded, the sets before it
    // kept.
    virtual int LoadWellTextCurvesOfType(const char* well, int textType,
                                         std::vector<TextCurveSet>& sets) = 0;
    // Deletes the well's rows of the text curve named by the arguments and
    // stores the set's records under the set's own well and curve names, with
    // the text type of the curve's code entry; an entry (text type 0, the
    // given track type) is created first when the name has none. Refuses (in
    // a message box) a set without a well name or a text curve name. All or
    // nothing: a failure leaves the rows and the code table as they were.
    virtual int SaveWellTextCurve(const char* well, const char* textCurve, int trackType,
                                  const TextCurveSet& set) = 0;
    // Deletes the well's rows of the text curve. Refuses an empty well name.
    virtual int DeleteWellTextCurve(const char* well, const char* textCurve) = 0;
    // 1 when the well has at least one row of the text curve. Refuses an
    // empty well name.
    virtual int IsWellTextCurveExist(const char* well, const char* textCurve) = 0;
    // Appends the distinct wells that have the text curve stored with the
    // text type.
    virtual int GetWellsWithTextCurve(const char* textCurve, int textType, NameList& names) = 0;
    // Deletes the text curve from every well; its code entry stays. Refuses
    // an empty name.
    virtual int DeleteTextCurve(const char* textCurve) = 0;
    // Deletes the text curves of every well of the project, and no others.
    // Refuses an empty project name.
    virtual int DeleteProjectData(const char* project) = 0;
    // The text type of the name's code entry (of the last one read when the
    // name has several); 0 with textType untouched when it has none.
    virtual int GetTextType(const char* textCurve, int& textType) = 0;
    // Adds a code entry for the name with text type 0 and the track type,
    // whether or not the name has one already.
    virtual int AddTextCode(const char* textCurve, int trackType) = 0;
    // The name of a code entry of the text type (of the last one read when
    // several have it). 1 with name untouched when none has it; 0 only when
    // the code table cannot be read.
    virtual int GetTextCurveNameOfType(int textType, std::string& name) = 0;
};
