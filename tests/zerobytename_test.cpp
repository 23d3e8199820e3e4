// Names holding a zero byte, in every operation of every class that takes a
// name as a standard string (records, sets, name lists, paths): refused before
// any statement runs, with the reason, and nothing of the name cut at the
// zero byte is touched.
#include <functional>

#include "strataloom/strataloom.h"
#include "support/family.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDb;
using testsupport::ProjectDbTest;
using testsupport::SaveWellsOf;
using testsupport::StatementLog;

// Cut at its zero byte, this name would be the well (list, curve...) "A".
const std::string kCut("A\0x", 3);

struct NameCase {
    std::string what;
    std::function<int(ProjectDb&)> call;
};

// A case calling operation on a new object of the interface.
template <class Interface, class Operation>
NameCase On(const char* interfaceName, const char* operation, Operation&& call) {
    return {std::string(interfaceName) + "::" + operation, [interfaceName, call](ProjectDb& db) {
                auto object = db.Create<Interface>(interfaceName);
                return object ? call(*object) : -1;
            }};
}

template <class Set>
Set Named(const std::string& well) {
    Set set;
    set.WellName = well;
    return set;
}

// The per-well operations every member of the well-bore family shares.
template <class Interface, class Set>
void AddFamily(const char* name, std::vector<NameCase>& cases) {
    const std::vector<Set> sets{Named<Set>("B"), Named<Set>(kCut)};
    cases.push_back(On<Interface>(name, "SaveWellData",
                                  [](Interface& o) { return o.SaveWellData(Named<Set>(kCut)); }));
    cases.push_back(On<Interface>(name, "SaveWellsData",
                                  [sets](Interface& o) { return SaveWellsOf(o, sets); }));
    cases.push_back(On<Interface>(name, "GetWellsWithData", [sets](Interface& o) {
        NameList names;
        return o.GetWellsWithData(sets, names);
    }));
    cases.push_back(On<Interface>(name, "DeleteWellsData", [](Interface& o) {
        return o.DeleteWellsData({"B", kCut});
    }));
}

template <class Record>
Record WithName(std::string Record::*field, const std::string& name) {
    Record record;
    record.*field = name;
    return record;
}

std::vector<NameCase> EveryOperationTakingAName() {
    std::vector<NameCase> cases;
    AddFamily<IMarkerData, MarkerSet>("IMarkerData", cases);
    AddFamily<ISmallMarkerData, SmallMarkerSet>("ISmallMarkerData", cases);
    AddFamily<ILithologyMarkerData, LithMarkerSet>("ILithologyMarkerData", cases);
    AddFamily<IInterpretData, InterpretSet>("IInterpretData", cases);
    AddFamily<IOilTestData, OilTestSet>("IOilTestData", cases);
    AddFamily<IShotData, ShotSet>("IShotData", cases);
    AddFamily<ITakeCoreData, TakeCoreSet>("ITakeCoreData", cases);
    AddFamily<ILateralCoreData, LateralCoreSet>("ILateralCoreData", cases);
    const std::vector<LithMarkerSet> lithSets{Named<LithMarkerSet>(kCut)};
    cases.push_back(On<ILithologyMarkerData>("ILithologyMarkerData", "LoadWellsData", [](auto& o) {
        std::vector<LithMarkerSet> sets;
        return o.LoadWellsData({kCut}, sets);
    }));
    cases.push_back(
        On<ILithologyMarkerData>("ILithologyMarkerData", "SaveProjectData",
                                 [lithSets](auto& o) { return o.SaveProjectData("P", lithSets); }));

    // Deviation surveys: an empty survey deletes the well's.
    const auto survey = WithName(&DeviateRecord::WellName, kCut);
    cases.push_back(On<IDeviateData>("IDeviateData", "SaveWellData",
                                     [survey](auto& o) { return o.SaveWellData(survey); }));
    cases.push_back(On<IDeviateData>("IDeviateData", "SaveWellsData",
                                     [survey](auto& o) { return o.SaveWellsData("", {survey}); }));
    cases.push_back(On<IDeviateData>("IDeviateData", "GetWellsWithData", [survey](auto& o) {
        NameList names;
        return o.GetWellsWithData("", {survey}, names);
    }));
    cases.push_back(On<IDeviateData>("IDeviateData", "DeleteWellsData",
                                     [](auto& o) { return o.DeleteWellsData({kCut}); }));

    // Log curves.
    LogCurveSet curves = Named<LogCurveSet>(kCut);
    curves.Records.push_back(WithName(&LogCurveRecord::CurveName, "GR"));
    LogCurveSet curveNamed = Named<LogCurveSet>("W");
    curveNamed.Records.push_back(WithName(&LogCurveRecord::CurveName, kCut));
    cases.push_back(
        On<ILogData>("ILogData", "SaveCurves", [curves](auto& o) { return o.SaveCurves(curves); }));
    cases.push_back(On<ILogData>("ILogData", "SaveCurves(curve)",
                                 [curveNamed](auto& o) { return o.SaveCurves(curveNamed); }));
    cases.push_back(On<ILogData>("ILogData", "SaveWellsCurves(well)",
                                 [curves](auto& o) { return o.SaveWellsCurves("", {curves}); }));
    cases.push_back(On<ILogData>("ILogData", "SaveWellsCurves(curve)", [curveNamed](auto& o) {
        return o.SaveWellsCurves("", {curveNamed});
    }));
    cases.push_back(On<ILogData>("ILogData", "GetExistingCurveNames(well)", [curves](auto& o) {
        NameList names;
        return o.GetExistingCurveNames(curves, names);
    }));
    cases.push_back(On<ILogData>("ILogData", "GetExistingCurveNames(curve)", [curveNamed](auto& o) {
        NameList names;
        return o.GetExistingCurveNames(curveNamed, names);
    }));
    cases.push_back(On<ILogData>("ILogData", "DeleteCurves",
                                 [](auto& o) { return o.DeleteCurves("W", {kCut}); }));
    cases.push_back(On<ILogData>("ILogData", "DeleteWellsData",
                                 [](auto& o) { return o.DeleteWellsData({kCut}); }));

    // Text curves.
    TextCurveSet text = Named<TextCurveSet>(kCut);
    text.TextCurveName = "T";
    cases.push_back(On<ITextData>("ITextData", "SaveWellTextCurve", [text](auto& o) {
        return o.SaveWellTextCurve("A", "T", 1, text);
    }));
    cases.push_back(On<ITextData>("ITextData", "LoadTextCurveForWells", [text](auto& o) {
        std::vector<TextCurveSet> sets{text};
        return o.LoadTextCurveForWells("T", sets);
    }));

    // Pictures: the set's well, and the names and paths of files.
    PicSet pictures = Named<PicSet>(kCut);
    cases.push_back(On<IPicData>("IPicData", "SaveWellPictures",
                                 [pictures](auto& o) { return o.SaveWellPictures(pictures); }));
    cases.push_back(On<IPicData>("IPicData", "CopyPictureToWorkDir(full)", [](auto& o) {
        std::string stored;
        return o.CopyPictureToWorkDir("/tmp/" + kCut + ".jpg", "x.jpg", stored);
    }));
    cases.push_back(On<IPicData>("IPicData", "CopyPictureToWorkDir(name)", [](auto& o) {
        std::string stored;
        return o.CopyPictureToWorkDir("/tmp/x.jpg", kCut + ".jpg", stored);
    }));
    cases.push_back(On<IPicData>("IPicData", "GetPictureFullPath", [](auto& o) {
        std::string full;
        return o.GetPictureFullPath(kCut, full);
    }));

    // Master data.
    const auto project = WithName(&BasicProjectRecord::ProjectName, kCut);
    cases.push_back(On<IBasicProjectData>("IBasicProjectData", "SaveProject",
                                          [project](auto& o) { return o.SaveProject(project); }));
    const auto well = WithName(&BasicWellRecord::WellName, kCut);
    cases.push_back(On<IBasicWellData>("IBasicWellData", "SaveWell",
                                       [well](auto& o) { return o.SaveWell("P", well); }));
    cases.push_back(On<IBasicWellData>("IBasicWellData", "SaveWells",
                                       [well](auto& o) { return o.SaveWells("P", {well}); }));
    cases.push_back(On<IBasicWellData>("IBasicWellData", "GetExistingWells", [well](auto& o) {
        NameList names;
        return o.GetExistingWells("", {well}, names);
    }));
    cases.push_back(On<IBasicWellData>("IBasicWellData", "DeleteWells",
                                       [](auto& o) { return o.DeleteWells("P", {kCut}); }));
    WellListSet list;
    list.WellListName = kCut;
    cases.push_back(On<IWellListData>("IWellListData", "SaveWellList",
                                      [list](auto& o) { return o.SaveWellList(list); }));
    SectionWellListRecord section = WithName(&SectionWellListRecord::Setction_Name, kCut);
    section.Section_WellList = "A,B";
    cases.push_back(
        On<ISectionWellListData>("ISectionWellListData", "SaveSection",
                                 [section](auto& o) { return o.SaveSection(section); }));
    cases.push_back(
        On<ISectionWellListData>("ISectionWellListData", "SaveSections",
                                 [section](auto& o) { return o.SaveSections({section}); }));
    const auto area = WithName(&AOIRecord::AOIName, kCut);
    cases.push_back(
        On<IAOIData>("IAOIData", "SaveAOI", [area](auto& o) { return o.SaveAOI("P", area); }));
    cases.push_back(On<IAOIData>("IAOIData", "SaveGlobalAOI",
                                 [project](auto& o) { return o.SaveGlobalAOI("P", project); }));

    // Curve dictionary.
    const auto entry = WithName(&CurveDictionaryRecord::CurveName, kCut);
    cases.push_back(On<ICurveDictionary>("ICurveDictionary", "SaveEntry",
                                         [entry](auto& o) { return o.SaveEntry(entry); }));
    cases.push_back(On<ICurveDictionary>("ICurveDictionary", "SaveEntries",
                                         [entry](auto& o) { return o.SaveEntries({entry}); }));
    cases.push_back(On<ICurveDictionary>("ICurveDictionary", "DeleteEntries",
                                         [](auto& o) { return o.DeleteEntries({kCut}); }));

    // Map and seismic data.
    CSRecord line = WithName(&CSRecord::CSName, kCut);
    line.MarkerName = "M";
    CSRecord marker = WithName(&CSRecord::MarkerName, kCut);
    marker.CSName = "L";
    cases.push_back(
        On<ICSData>("ICSData", "SaveCS(line)", [line](auto& o) { return o.SaveCS(line); }));
    cases.push_back(
        On<ICSData>("ICSData", "SaveCS(marker)", [marker](auto& o) { return o.SaveCS(marker); }));
    cases.push_back(
        On<ICSData>("ICSData", "SaveCSList", [line](auto& o) { return o.SaveCSList({line}); }));
    cases.push_back(On<ICSData>("ICSData", "LoadCSByNames", [](auto& o) {
        std::vector<CSRecord> records;
        return o.LoadCSByNames("M", 0, {kCut}, records);
    }));
    const auto surface = WithName(&StructureRecord::MarkerName, kCut);
    cases.push_back(On<IStructureData>("IStructureData", "SaveStructureData", [surface](auto& o) {
        return o.SaveStructureData("P", surface);
    }));
    cases.push_back(On<IStructureData>("IStructureData", "SaveStructuresData", [surface](auto& o) {
        return o.SaveStructuresData("", {surface});
    }));
    cases.push_back(
        On<IStructureData>("IStructureData", "GetStructuresWithData", [surface](auto& o) {
            NameList names;
            return o.GetStructuresWithData("", {surface}, names);
        }));
    cases.push_back(On<IStructureData>("IStructureData", "DeleteStructuresData",
                                       [](auto& o) { return o.DeleteStructuresData({kCut}); }));
    const auto point = WithName(&LineCoor2DRecord::LineName, kCut);
    cases.push_back(On<ILineCoor2DData>("ILineCoor2DData", "SaveLinePoint",
                                        [point](auto& o) { return o.SaveLinePoint("", point); }));
    cases.push_back(On<ILineCoor2DData>("ILineCoor2DData", "SaveLinesData", [point](auto& o) {
        return o.SaveLinesData("P", {point});
    }));
    cases.push_back(On<ILineCoor2DData>("ILineCoor2DData", "GetLinesWithData", [point](auto& o) {
        NameList names;
        return o.GetLinesWithData("", {point}, names);
    }));
    cases.push_back(On<ILineCoor2DData>("ILineCoor2DData", "DeleteLinesData",
                                        [](auto& o) { return o.DeleteLinesData("P", {kCut}); }));
    const auto grid = WithName(&LineGrid3DRecord::LineGrid3DName, kCut);
    cases.push_back(On<ILineGrid3DData>("ILineGrid3DData", "SaveGridData",
                                        [grid](auto& o) { return o.SaveGridData(grid); }));
    cases.push_back(On<ILineGrid3DData>("ILineGrid3DData", "SaveGridsData",
                                        [grid](auto& o) { return o.SaveGridsData("P", {grid}); }));
    cases.push_back(On<ILineGrid3DData>("ILineGrid3DData", "GetGridsWithData", [grid](auto& o) {
        NameList names;
        return o.GetGridsWithData({grid}, names);
    }));
    cases.push_back(On<ILineGrid3DData>("ILineGrid3DData", "DeleteGridsData",
                                        [](auto& o) { return o.DeleteGridsData("P", {kCut}); }));

    // Symbol images.
    const auto image = WithName(&ImageRecord::ImageName, kCut);
    cases.push_back(On<IImageData>("IImageData", "SaveImages",
                                   [image](auto& o) { return o.SaveImages({image}); }));
    cases.push_back(On<IImageData>("IImageData", "SaveImage",
                                   [image](auto& o) { return o.SaveImage(image, "A"); }));
    cases.push_back(On<IImageData>("IImageData", "SaveMetaCombination",
                                   [image](auto& o) { return o.SaveMetaCombination(image); }));
    const auto alias = WithName(&AliasRecord::AliasName, kCut);
    const auto aliased = WithName(&AliasRecord::ImageName, kCut);
    cases.push_back(On<IAliasData>("IAliasData", "SaveAlias(alias)",
                                   [alias](auto& o) { return o.SaveAlias(alias); }));
    cases.push_back(On<IAliasData>("IAliasData", "SaveAlias(image)",
                                   [aliased](auto& o) { return o.SaveAlias(aliased); }));
    cases.push_back(On<IAliasData>("IAliasData", "SaveAliases", [alias, aliased](auto& o) {
        return o.SaveAliases({alias, aliased});
    }));
    return cases;
}

class ZeroByteNameTest : public ProjectDbTest {};

TEST_P(ZeroByteNameTest, EveryOperationRefusesTheNameBeforeAnyStatement) {
    const std::vector<NameCase> cases = EveryOperationTakingAName();
    EXPECT_GE(cases.size(), 80u);
    for (const NameCase& c : cases) {
        StatementLog log;
        EXPECT_EQ(0, c.call(*this)) << c.what;
        EXPECT_EQ(std::vector<std::string>{}, log.texts) << c.what;
        EXPECT_NE(std::string::npos, std::string(StrataloomLastError()).find("zero byte"))
            << c.what << ": " << StrataloomLastError();
    }
    EXPECT_TRUE(Boxes().empty());
}

// Cut at the zero byte, the empty saves would take away well A's rows.
TEST_P(ZeroByteNameTest, EmptySavesLeaveTheWellTheCutNameWouldNameAlone) {
    auto markers = Create<IMarkerData>("IMarkerData");
    MarkerSet kept = Named<MarkerSet>("A");
    kept.Records.push_back(WithName(&MarkerRecord::MarkerName, "top"));
    ASSERT_EQ(1, markers->SaveWellData(kept));
    EXPECT_EQ(0, markers->SaveWellData(Named<MarkerSet>(kCut)));
    EXPECT_EQ(0, markers->SaveWellsData("", {Named<MarkerSet>(kCut)}));
    EXPECT_EQ(0, markers->DeleteWellsData({kCut}));
    EXPECT_EQ(1, markers->IsWellDataExist("A"));

    auto surveys = Create<IDeviateData>("IDeviateData");
    DeviateRecord survey = WithName(&DeviateRecord::WellName, "A");
    survey.Md = {1.0, 2.0};
    ASSERT_EQ(1, surveys->SaveWellData(survey));
    EXPECT_EQ(0, surveys->SaveWellData(WithName(&DeviateRecord::WellName, kCut)));
    EXPECT_EQ(1, surveys->IsWellDataExist("A"));

    Exec(
        "insert into w_pic_data (WellName, PicType, PicTypeName, FileName, FilePath) values "
        "('A', 0, 'core', 'a.jpg', 'pic\\a.jpg')");
    auto pictures = Create<IPicData>("IPicData");
    EXPECT_EQ(0, pictures->SaveWellPictures(Named<PicSet>(kCut)));
    EXPECT_EQ(1, pictures->IsWellPictureExist("A", 0));
}

STRATALOOM_ENGINES(ZeroByteNameTest);

}  // namespace
