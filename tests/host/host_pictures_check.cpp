// A host built against the public headers alone: loads the module with
// dlopen, points the import module installed beside it at a work directory
// of its own through STRATALOOM_WORK_DIR, stores pictures of a well (their
// files copied into the picture folder), loads them back with absolute
// paths, and runs every picture and curve-dictionary operation on a copy of
// the template and, with STRATALOOM_TEST_SERVER set, on a database it
// creates on that server. A copy of the module with no import module beside
// it must store nothing.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/hostmodule.h"

namespace fs = std::filesystem;

namespace {

struct Place {
    fs::path work;     // the work directory the import module names
    fs::path sources;  // picture files outside it
    std::string db;
    std::string on;  // "" or " on the server"
};

std::string Content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::size_t FilesIn(const fs::path& folder) {
    std::error_code error;
    std::size_t count = 0;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::end(it); ++it) {
        ++count;
    }
    return count;
}

PicSet Cores(const Place& place, const char* well) {
    PicSet set;
    set.WellName = well;
    set.PicType = 1;
    set.PicTypeName = "cores";
    PicRecord core;
    core.TopDepth = 1500.5;
    core.BottomDepth = 1502.0;
    core.FileName = "core.jpg";
    core.FilePath = (place.sources / "core.jpg").string();
    core.Description = "whole core";
    PicRecord thin = core;
    thin.TopDepth = 1510.0;
    thin.FileName = "thin section.png";
    thin.FilePath = (place.sources / "thin section.png").string();
    set.Records = {core, thin};
    return set;
}

// Both pictures, with absolute paths into the picture folder whose files
// hold what the sources held.
bool LoadedWithCopies(const Place& place, const PicSet& set) {
    const std::string folder = (place.work / "pic").string() + "/";
    if (set.Records.size() != 2 || set.Records[0].FileName != "core.jpg") return false;
    for (const PicRecord& record : set.Records) {
        if (record.FilePath.rfind(folder, 0) != 0) return false;
        if (Content(record.FilePath) != Content(place.sources / record.FileName)) return false;
    }
    return set.Records[0].TopDepth == 1500.5 && set.Records[0].Description == "whole core";
}

void RunPictures(host::Module& module, host::Checks& check, const Place& place) {
    const std::string& on = place.on;
    auto pictures = module.Create<IPicData>("IPicData", place.db);
    if (!pictures) return check(false, "IPicData created" + on);
    const fs::path folder = place.work / "pic";
    const std::size_t before = FilesIn(folder);
    check(pictures->SaveWellPictures(Cores(place, "W1")) == 1 && FilesIn(folder) == before + 2,
          "pictures SaveWellPictures copies both files" + on);
    PicSet set;
    check(pictures->LoadWellPictures("W1", 1, set) == 1 && set.WellName == "W1" &&
              set.PicTypeName == "cores" && LoadedWithCopies(place, set),
          "pictures LoadWellPictures with absolute paths" + on);
    PicSet byName;
    check(pictures->LoadWellPicturesByTypeName("W1", "cores", byName) == 1 && byName.PicType == 1 &&
              LoadedWithCopies(place, byName),
          "pictures LoadWellPicturesByTypeName" + on);
    std::vector<PicSet> sets;
    check(pictures->LoadWellPictureSets("W1", 1, sets) == 1 && sets.size() == 1 &&
              sets[0].Records.size() == 2 && sets[0].Records[0].FilePath.rfind("pic\\", 0) == 0,
          "pictures LoadWellPictureSets with stored paths" + on);
    NameList names;
    check(pictures->GetPictureNames("W1", 1, names) == 1 &&
              names == NameList{"core.jpg", "thin section.png"},
          "pictures GetPictureNames" + on);
    check(pictures->IsWellPictureExist("W1", 1) == 1 && pictures->IsWellPictureExist("W1", 2) == 0,
          "pictures IsWellPictureExist" + on);
    check(pictures->SaveWellPictures(set) == 1 && pictures->SaveWellPictures(sets[0]) == 1 &&
              FilesIn(folder) == before + 2,
          "pictures saved again without new copies" + on);
    std::string stored;
    std::string full;
    check(
        pictures->CopyPictureToWorkDir((place.sources / "core.jpg").string(), "core.jpg", stored) ==
                1 &&
            pictures->GetPictureFullPath(stored, full) == 1 && full == (folder / stored).string() &&
            Content(full) == Content(place.sources / "core.jpg"),
        "pictures CopyPictureToWorkDir and GetPictureFullPath" + on);
    std::string title;
    check(pictures->GetPathTitle(full, title) == 1 && title == fs::path(stored).stem().string(),
          "pictures GetPathTitle" + on);
    check(pictures->DeleteWellPictures("W1", 1) == 1 && pictures->IsWellPictureExist("W1", 1) == 0,
          "pictures DeleteWellPictures" + on);
    const int boxes = host::Module::BoxesShown();
    check(pictures->SaveWellPictures(Cores(place, "")) == 0 &&
              host::Module::BoxesShown() == boxes + 1,
          "pictures empty well name shown to the user" + on);
}

CurveDictionaryRecord Entry(const char* name, double left) {
    CurveDictionaryRecord entry;
    entry.CurveName = name;
    entry.DisplayName = std::string(name) + " curve";
    entry.CurveUnit = "API";
    entry.LeftValue = left;
    entry.RightValue = left + 150.0;
    entry.CurveType = 1;
    entry.Color = 255;
    entry.CurveWidth = 1.5;
    entry.CoorType = 0;
    return entry;
}

void RunDictionary(host::Module& module, host::Checks& check, const Place& place) {
    const std::string& on = place.on;
    auto dictionary = module.Create<ICurveDictionary>("ICurveDictionary", place.db);
    if (!dictionary) return check(false, "ICurveDictionary created" + on);
    check(dictionary->SaveEntry(Entry("GR", 0.0)) == 1, "dictionary SaveEntry" + on);
    check(dictionary->SaveEntries({Entry("SP", -50.0), Entry("GR", 10.0), Entry("AC", 40.0)}) == 1,
          "dictionary SaveEntries" + on);
    NameList names;
    check(dictionary->GetEntryNames(names) == 1 && names == NameList{"AC", "GR", "SP"},
          "dictionary GetEntryNames" + on);
    names.clear();
    check(dictionary->GetDisplayNames(names) == 1 && names.size() == 3,
          "dictionary GetDisplayNames" + on);
    CurveDictionaryRecord entry;
    check(dictionary->LoadEntry("GR", entry) == 1 && entry.CurveName == "GR" &&
              entry.LeftValue == 10.0 && entry.RightValue == 160.0 && entry.Color == 255,
          "dictionary LoadEntry" + on);
    CurveDictionaryRecord byAlias;
    check(dictionary->LoadEntryByAlias("SP", byAlias) == 1 && byAlias.CurveName == "SP" &&
              byAlias.LeftValue == -50.0 && dictionary->LoadEntryByAlias("RHOB", byAlias) == 0,
          "dictionary LoadEntryByAlias" + on);
    std::vector<CurveDictionaryRecord> entries;
    check(dictionary->LoadAllEntries(entries) == 1 && entries.size() == 3,
          "dictionary LoadAllEntries" + on);
    check(dictionary->IsEntryExist("AC") == 1 && dictionary->IsEntryExist("RHOB") == 0,
          "dictionary IsEntryExist" + on);
    check(dictionary->DeleteEntry("AC") == 1 && dictionary->IsEntryExist("AC") == 0,
          "dictionary DeleteEntry" + on);
    check(dictionary->DeleteEntries({"SP"}) == 1 && dictionary->IsEntryExist("SP") == 0,
          "dictionary DeleteEntries" + on);
    check(dictionary->DeleteAllEntries("P") == 1 && dictionary->IsEntryExist("GR") == 0,
          "dictionary DeleteAllEntries" + on);
    const int boxes = host::Module::BoxesShown();
    check(dictionary->DeleteEntry("") == 0 && host::Module::BoxesShown() == boxes + 1,
          "dictionary empty curve name shown to the user" + on);
}

// A copy of the module alone in a directory finds no import module: what
// needs the work directory gives 0 and stores or copies nothing.
void RunWithoutImportModule(const char* modulePath, host::Checks& check, const Place& place,
                            const fs::path& dir) {
    const fs::path alone = dir / "alone" / "libstrataloom.so";
    fs::create_directories(alone.parent_path());
    fs::copy_file(modulePath, alone);
    host::Module module(alone.string().c_str());
    if (!module.Loaded()) return check(false, "module copy loaded");
    module.QuietHooks();
    auto pictures = module.Create<IPicData>("IPicData", place.db);
    if (!pictures) return check(false, "IPicData created from the module copy");
    const std::size_t before = FilesIn(place.work / "pic");
    PicSet set;
    std::string stored = "unchanged";
    check(pictures->SaveWellPictures(Cores(place, "W2")) == 0 &&
              pictures->IsWellPictureExist("W2", 1) == 0 &&
              pictures->CopyPictureToWorkDir((place.sources / "core.jpg").string(), "core.jpg",
                                             stored) == 0 &&
              stored == "unchanged" && FilesIn(place.work / "pic") == before,
          "without the import module nothing is stored or copied");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_pictures_check MODULE TEMPLATE\n");
        return 2;
    }
    const host::ScratchDir scratch("strataloom-pictures");
    const fs::path& dir = scratch.Path();
    Place place{dir / "work", dir / "sources", (dir / "Pictures.mdb").string(), ""};
    fs::create_directories(place.work);
    fs::create_directories(place.sources);
    std::ofstream(place.sources / "core.jpg", std::ios::binary) << "core picture bytes";
    std::ofstream(place.sources / "thin section.png", std::ios::binary) << "thin section bytes";
    fs::copy_file(argv[2], place.db);
    ::setenv("STRATALOOM_WORK_DIR", place.work.c_str(), 1);

    host::Checks check;
    host::Module module(argv[1]);
    if (!module.Loaded()) return 1;
    check(module.QuietHooks(), "host hooks found");
    RunPictures(module, check, place);
    RunDictionary(module, check, place);
    RunWithoutImportModule(argv[1], check, place, dir);
    host::OnTestServer(module, check, "strataloom_pictures", [&](const std::string& server) {
        Place onServer = place;
        onServer.db = server;
        onServer.on = " on the server";
        RunPictures(module, check, onServer);
        RunDictionary(module, check, onServer);
    });
    return check.Finish();
}
