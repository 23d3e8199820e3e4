// A host built against the public headers alone: loads the module with
// dlopen and runs every operation of the symbol-image, image-alias and
// meta-type interfaces on a copy of the template and, with
// STRATALOOM_TEST_SERVER set, on a database it creates on that server. Image
// contents hold every byte value. The meta-type table, which the module only
// reads, is filled through the engines' own client libraries.
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "host/hostmodule.h"

namespace fs = std::filesystem;

namespace {

// P (facet 10) with children A (20) and B (30), A with child A1 (40).
const char kMetaTypes[] =
    "insert into b_meta_type (MetaTypeID, MetaTypeName, MetaTypeDescription, MetaTypeParentID, "
    "MetaFacet) values (1, 'P', 'all', -1, 10), (2, 'A', 'sands', 1, 20), (3, 'B', 'shales', 1, "
    "30), (4, 'A1', 'fine sands', 2, 40)";

bool FillMetaTypesInFile(const std::string& db) {
    sqlite3* handle = nullptr;
    const bool done = sqlite3_open(db.c_str(), &handle) == SQLITE_OK &&
                      sqlite3_exec(handle, kMetaTypes, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    return done;
}

bool FillMetaTypesOnServer(const std::string& connect) {
    PGconn* handle = PQconnectdb(connect.c_str());
    bool done = false;
    if (PQstatus(handle) == CONNECTION_OK) {
        PGresult* result = PQexec(handle, kMetaTypes);
        done = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
    }
    PQfinish(handle);
    return done;
}

std::string EveryByte() {
    std::string text;
    for (int b = 0; b < 256; ++b) text += static_cast<char>(b);
    return text;
}

ImageRecord Image(const std::string& name, int facet, int metaFacet, const std::string& data) {
    ImageRecord image;
    image.ImageName = name;
    image.ImageFacet = facet;
    image.MetaFacet = metaFacet;
    image.ImageData = data;
    image.ZsyLithCode = name + "-zsy";
    image.ZshLithCode = name + "-zsh";
    return image;
}

std::vector<std::string> Names(const std::vector<ImageRecord>& images) {
    std::vector<std::string> names;
    for (const ImageRecord& image : images) names.push_back(image.ImageName);
    return names;
}

void RunAliases(host::Module& module, host::Checks& check, const std::string& db,
                const std::string& on) {
    auto aliases = module.Create<IAliasData>("IAliasData", db);
    if (!aliases) return check(false, "IAliasData created" + on);
    std::vector<AliasRecord> all;
    check(aliases->SaveAliases({{"Arenite", 3, 1, "Sand"}, {"Mudstone", 3, 1, "Shale"}}) == 1,
          "aliases SaveAliases" + on);
    check(aliases->SaveAlias({"Mudstone", 3, 1, "Sand"}) == 1, "aliases SaveAlias" + on);
    check(aliases->LoadAllAliases(all) == 1 && all.size() == 2, "aliases LoadAllAliases" + on);
    all.clear();
    check(aliases->DeleteAllAliases() == 1 && aliases->LoadAllAliases(all) == 0 && all.empty(),
          "aliases DeleteAllAliases" + on);
    check(aliases->SaveAliases({{"Arenite", 3, 1, "Sand"}}) == 1, "aliases saved again" + on);
}

void RunMetaTypes(host::Module& module, host::Checks& check, const std::string& db,
                  const std::string& on) {
    auto metaTypes = module.Create<IMetaTypeData>("IMetaTypeData", db);
    if (!metaTypes) return check(false, "IMetaTypeData created" + on);
    std::vector<MetaTypeRecord> found;
    check(metaTypes->GetRootMetaTypes(found) == 1 && found.size() == 1 &&
              found[0].MetaTypeName == "P",
          "meta types GetRootMetaTypes" + on);
    MetaTypeRecord root = found.at(0);
    check(metaTypes->GetChildMetaTypes(root, &found) == 1 && found.size() == 2 &&
              found[0].MetaTypeName == "A" && found[1].MetaFacet == 30,
          "meta types GetChildMetaTypes" + on);
}

void RunImages(host::Module& module, host::Checks& check, const std::string& db,
               const std::string& on) {
    auto images = module.Create<IImageData>("IImageData", db);
    auto metaTypes = module.Create<IMetaTypeData>("IMetaTypeData", db);
    if (!images || !metaTypes) return check(false, "IImageData created" + on);
    const std::string bytes = EveryByte();
    const std::string invalidUtf8("\xc3\x28\0\xff\xfe", 5);
    std::vector<ImageRecord> list;
    ImageRecord one;
    NameList names;

    check(
        images->SaveImages({Image("Sand", 1, 20, bytes), Image("Shale", 1, 30, invalidUtf8)}) == 1,
        "images SaveImages" + on);
    // The batch save leaves meta facets alone: one by one they are stored.
    check(images->SaveImage(Image("Sand", 1, 20, bytes), "Sand") == 1 &&
              images->SaveImage(Image("Shale", 1, 30, invalidUtf8), "Shale") == 1 &&
              images->SaveImage(Image("Silt", 2, 40, "silt"), "") == 1 &&
              images->SaveImage(Image("Fine sand", 2, 40, bytes + "fine"), "Silt") == 1,
          "images SaveImage" + on);
    check(images->IsImageExist("Fine sand", 3, 2) == 1 && images->IsImageExist("Silt", 3, 2) == 0,
          "images IsImageExist" + on);
    check(images->GetImage("Sand", 3, 1, one, false) == 1 && one.ImageData == bytes,
          "images GetImage by name" + on);
    one = ImageRecord();
    check(images->GetImage("Arenite", 3, 1, one, true) == 1 && one.ImageName == "Arenite" &&
              one.ImageData == bytes,
          "images GetImage by alias" + on);
    check(images->GetImagesByTypeAndFacet(3, 1, list, true) == 1 &&
              Names(list) == std::vector<std::string>{"Sand", "Shale", "Arenite"},
          "images GetImagesByTypeAndFacet" + on);
    list.clear();
    check(images->GetAllImages(list) == 1 && list.size() == 3, "images GetAllImages" + on);
    check(images->GetImageByZsyLithCode("Shale-zsy", one) == 1 && one.ImageData == invalidUtf8,
          "images GetImageByZsyLithCode" + on);
    check(
        images->GetImageByZshLithCode("Fine sand-zsh", one) == 1 && one.ImageData == bytes + "fine",
        "images GetImageByZshLithCode" + on);
    check(images->GetImageNames(2, names) == 1 && names == NameList{"Fine sand"},
          "images GetImageNames" + on);
    list.clear();
    check(images->GetImagesOfFacets(list) == 1 && list.size() == 4,
          "images GetImagesOfFacets" + on);
    list.clear();
    check(images->UnscrambleAllImageData() == 1 && images->ScrambleAllImageData() == 1 &&
              images->GetImagesByMetaFacet(MetaTypeRecord{0, "", "", 0, 30}, &list) == 1 &&
              list.size() == 1 && list[0].ImageData == invalidUtf8,
          "images UnscrambleAllImageData, ScrambleAllImageData, GetImagesByMetaFacet" + on);
    list.clear();
    MetaTypeRecord top{1, "P", "all", -1, 10};
    check(images->GetImagesUnderMetaType(top, metaTypes.get(), list) == 1 &&
              Names(list) == std::vector<std::string>{"Sand", "Shale", "Fine sand"},
          "images GetImagesUnderMetaType" + on);
    list.clear();
    check(images->SaveMetaCombination(Image("Sand", 1, 10, invalidUtf8)) == 1 &&
              images->GetMetaCombinations(list) == 1 && list.size() == 1 &&
              list[0].ImageData == invalidUtf8 && list[0].MetaFacet == 10,
          "images SaveMetaCombination, GetMetaCombinations" + on);
    check(images->DeleteImage("Sand", 3, 1) == 1 && images->IsImageExist("Sand", 3, 1) == 0,
          "images DeleteImage" + on);
}

void RunAll(host::Module& module, host::Checks& check, const std::string& db,
            const std::string& on) {
    RunAliases(module, check, db, on);
    RunMetaTypes(module, check, db, on);
    RunImages(module, check, db, on);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_images_check MODULE TEMPLATE\n");
        return 2;
    }
    host::Checks check;
    host::Module module(argv[1]);
    if (!module.Loaded() || !module.QuietHooks()) return 1;

    const std::string id = std::to_string(::getpid());
    const fs::path dir = fs::temp_directory_path() / ("strataloom-images-" + id);
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string db = (dir / "Images.mdb").string();
    fs::copy_file(argv[2], db);
    check(FillMetaTypesInFile(db), "meta types filled in the project file");
    RunAll(module, check, db, "");

    const char* server = std::getenv("STRATALOOM_TEST_SERVER");
    if (server && *server) {
        auto projects = module.Create<IBasicProjectData>("IBasicProjectData", "");
        const std::string name = "strataloom_images" + id;
        const std::string connect = std::string(server) + " dbname=" + name;
        check(projects && projects->CreateSqlServerDatabase(name.c_str(), server) == 1,
              "CreateSqlServerDatabase");
        check(FillMetaTypesOnServer(connect), "meta types filled on the server");
        RunAll(module, check, connect, " on the server");
    } else {
        std::printf("skip server part: STRATALOOM_TEST_SERVER is not set\n");
    }
    fs::remove_all(dir);
    return check.Finish();
}
