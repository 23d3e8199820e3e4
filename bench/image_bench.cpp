// Symbol images and the meta-type walk through the module against the same
// work written by hand on the SQLite C API, on copies of the template project:
//
//   SaveImages      images of 10 KB saved in one call: each replaces the row
//                   of its name, type and facet, its content scrambled;
//   GetAllImages    every image read back, its content unscrambled;
//   GetImage        each image looked up by name, one call per image;
//   meta-type walk  b_meta_type read and walked in full, a tree of four
//                   children per node: the children of each node asked for
//                   through IMetaTypeData, the table read afresh every call.
//
// Each at two sizes, N and 10N. Every timed side runs in rounds (module, raw,
// module...), and the table gives the median round of each side: wall time,
// and CPU time of the calling thread, which shows what the work itself costs
// on a shared machine. The goal is the CPU ratio module/raw.

#include <sqlite3.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "benchutil.h"
#include "datadefine/cimagedata.h"
#include "dbaccess/connectionregistry.h"
#include "sqliteutil.h"
#include "strataloom/iimagedata.h"
#include "strataloom/imetatypedata.h"

namespace fs = std::filesystem;

namespace {

using bench::BindText;
using bench::ColumnText;
using bench::CreateObject;
using bench::KeepAlive;
using bench::Median;
using bench::Seconds;
using bench::Statement;

constexpr double kGoalRatio = 1.15;  // CPU time, module/raw
constexpr std::size_t kImageBytes = 10 * 1024;
constexpr int kImages = 100;       // N; 10N is also measured
constexpr int kMetaTypes = 10000;  // N; 10N is also measured
constexpr int kRounds = 7;

// The key the stored contents are scrambled with, as hosts know it.
const unsigned char kKey[] = {0x6B, 0xA3, 0x1D};

using Call = std::function<bool()>;

struct Side {
    Side(Call work) : call(std::move(work)) {}
    Call call;
    std::vector<double> wall, cpu;
    bool failed = false;
};

struct Case {
    std::string what;
    std::string size;
    int iterations;
    Side module, raw;
};

void TimeRound(Side& side, int iterations) {
    if (side.failed) return;
    const double wall = Seconds(CLOCK_MONOTONIC);
    const double cpu = Seconds(CLOCK_THREAD_CPUTIME_ID);
    for (int i = 0; i < iterations; ++i) {
        if (!side.call()) {
            side.failed = true;
            return;
        }
    }
    side.wall.push_back((Seconds(CLOCK_MONOTONIC) - wall) / iterations);
    side.cpu.push_back((Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu) / iterations);
}

void Run(Case& c) {
    std::fprintf(stderr, "%-16s %s\n", c.what.c_str(), c.size.c_str());
    c.module.failed = !c.module.call();  // warm-up, untimed
    c.raw.failed = !c.raw.call();
    for (int round = 0; round < kRounds; ++round) {
        TimeRound(c.module, c.iterations);
        TimeRound(c.raw, c.iterations);
    }
}

// "cpu/node" of the module's side, ms per call over the nodes its size names.
std::string PerNode(const Case& c, double cpuMs) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f us cpu/node", cpuMs * 1e3 / std::stod(c.size));
    return text;
}

// ---------------------------------------------------------------- raw code

using MetaTypeChildren = std::unordered_map<int, std::vector<MetaTypeRecord>>;

// The images and meta types on the SQLite C API, with the module's settings
// (rollback journal, synchronous commits) and prepared statements kept.
class RawImages {
  public:
    bool Open(const std::string& path) {
        sqlite3* handle = nullptr;
        const int rc = sqlite3_open_v2(path.c_str(), &handle,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        handle_.reset(handle);
        if (rc != SQLITE_OK) return false;
        sqlite3_busy_timeout(handle, 10000);
        return Exec("PRAGMA journal_mode=DELETE") &&
               Prepare(
                   "delete from b_image_data where ImageName = ? and ImageType = ? and "
                   "ImageFacet = ?",
                   delete_) &&
               Prepare(
                   "insert into b_image_data (ImageName, ImageType, ImageFacet, SysDefine, "
                   "ImageData, ZsyLithCode, ZshLithCode) values (?, ?, ?, ?, ?, ?, ?)",
                   insert_) &&
               Prepare(
                   "select ImageName, ImageType, ImageFacet, SysDefine, ImageData, "
                   "ZsyLithCode, ZshLithCode from b_image_data",
                   selectAll_) &&
               Prepare(
                   "select ImageType, ImageFacet, SysDefine, ImageData, ZsyLithCode, "
                   "ZshLithCode from b_image_data where ImageType = ? and ImageFacet = ? and "
                   "ImageName = ?",
                   selectOne_) &&
               Prepare(
                   "select MetaTypeID, MetaTypeName, MetaTypeDescription, "
                   "MetaTypeParentID, MetaFacet from b_meta_type",
                   selectMetaTypes_);
    }

    bool Exec(const std::string& sql) {
        return sqlite3_exec(handle_.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    bool SaveImages(const std::vector<ImageRecord>& images) {
        if (!Exec("BEGIN IMMEDIATE")) return false;
        std::string content;
        bool done = true;
        for (const ImageRecord& image : images) {
            sqlite3_stmt* remove = delete_.get();
            sqlite3_reset(remove);
            BindText(remove, 1, image.ImageName);
            sqlite3_bind_int(remove, 2, image.ImageType);
            sqlite3_bind_int(remove, 3, image.ImageFacet);
            Scramble(image.ImageData, content);
            sqlite3_stmt* insert = insert_.get();
            sqlite3_reset(insert);
            BindText(insert, 1, image.ImageName);
            sqlite3_bind_int(insert, 2, image.ImageType);
            sqlite3_bind_int(insert, 3, image.ImageFacet);
            sqlite3_bind_text(insert, 4, &image.SysDefine, 1, SQLITE_STATIC);
            sqlite3_bind_blob(insert, 5, content.data(), static_cast<int>(content.size()),
                              SQLITE_STATIC);
            BindText(insert, 6, image.ZsyLithCode);
            BindText(insert, 7, image.ZshLithCode);
            if (sqlite3_step(remove) != SQLITE_DONE || sqlite3_step(insert) != SQLITE_DONE) {
                done = false;
                break;
            }
        }
        if (done && Exec("COMMIT")) return true;
        Exec("ROLLBACK");
        return false;
    }

    bool LoadImages(std::vector<ImageRecord>& images) {
        sqlite3_stmt* select = selectAll_.get();
        sqlite3_reset(select);
        int rc;
        while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
            ImageRecord image;
            image.ImageName = ColumnText(select, 0);
            ReadImage(select, 1, image);
            images.push_back(std::move(image));
        }
        return rc == SQLITE_DONE && !images.empty();
    }

    bool LoadImage(const std::string& name, int type, int facet, ImageRecord& image) {
        sqlite3_stmt* select = selectOne_.get();
        sqlite3_reset(select);
        sqlite3_bind_int(select, 1, type);
        sqlite3_bind_int(select, 2, facet);
        BindText(select, 3, name);
        if (sqlite3_step(select) != SQLITE_ROW) return false;
        image.ImageName = name;
        ReadImage(select, 0, image);
        return true;
    }

    // The whole table read into children lists by parent id.
    bool ReadMetaTypes(MetaTypeChildren& children) {
        sqlite3_stmt* select = selectMetaTypes_.get();
        sqlite3_reset(select);
        int rc;
        while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
            MetaTypeRecord record;
            record.MetaTypeID = sqlite3_column_int(select, 0);
            record.MetaTypeName = ColumnText(select, 1);
            record.MetaTypeDescription = ColumnText(select, 2);
            record.MetaTypeParentID = sqlite3_column_int(select, 3);
            record.MetaFacet = sqlite3_column_int(select, 4);
            children[record.MetaTypeParentID].push_back(std::move(record));
        }
        return rc == SQLITE_DONE;
    }

    // The lists walked depth first as the module walks them: the children
    // of a node as one block, then what lies below each of them.
    static void WalkMetaTypes(const MetaTypeChildren& children,
                              std::vector<MetaTypeRecord>& below) {
        struct Step {
            const std::vector<MetaTypeRecord>* children;
            std::size_t next;
        };
        static const std::vector<MetaTypeRecord> none;
        const auto stepInto = [&](int id) {
            const auto found = children.find(id);
            const std::vector<MetaTypeRecord>* list =
                found == children.end() ? &none : &found->second;
            below.insert(below.end(), list->begin(), list->end());
            return Step{list, 0};
        };
        std::vector<Step> way{stepInto(-1)};
        while (!way.empty()) {
            Step& step = way.back();
            if (step.next == step.children->size()) {
                way.pop_back();
                continue;
            }
            const int id = (*step.children)[step.next++].MetaTypeID;
            way.push_back(stepInto(id));
        }
    }

  private:
    bool Prepare(const char* sql, Statement& statement) {
        return bench::Prepare(handle_.get(), sql, statement);
    }

    static void Scramble(const std::string& text, std::string& out) {
        out.resize(text.size() + 2);
        out.front() = '<';
        out.back() = '>';
        for (std::size_t i = 0, k = 0; i < text.size(); ++i, k = k == 2 ? 0 : k + 1) {
            out[i + 1] = static_cast<char>(static_cast<unsigned char>(text[i]) ^ kKey[k]);
        }
    }

    // Type, facet, flag, unscrambled content and codes from column first on.
    static void ReadImage(sqlite3_stmt* select, int first, ImageRecord& image) {
        image.ImageType = sqlite3_column_int(select, first);
        image.ImageFacet = sqlite3_column_int(select, first + 1);
        const auto* flag = static_cast<const char*>(sqlite3_column_blob(select, first + 2));
        image.SysDefine = flag ? flag[0] : '\0';
        const auto* stored = static_cast<const char*>(sqlite3_column_blob(select, first + 3));
        const std::size_t size = static_cast<std::size_t>(sqlite3_column_bytes(select, first + 3));
        image.ImageData.resize(size < 3 ? 0 : size - 2);
        for (std::size_t i = 0, k = 0; i < image.ImageData.size(); ++i, k = k == 2 ? 0 : k + 1) {
            image.ImageData[i] =
                static_cast<char>(static_cast<unsigned char>(stored[i + 1]) ^ kKey[k]);
        }
        image.ZsyLithCode = ColumnText(select, first + 4);
        image.ZshLithCode = ColumnText(select, first + 5);
    }

    bench::Database handle_;
    Statement delete_, insert_, selectAll_, selectOne_, selectMetaTypes_;
};

// ---------------------------------------------------------------- data

std::vector<ImageRecord> MakeImages(int count) {
    std::vector<ImageRecord> images(static_cast<std::size_t>(count));
    unsigned state = 12345;
    for (int i = 0; i < count; ++i) {
        ImageRecord& image = images[static_cast<std::size_t>(i)];
        image.ImageName = "img" + std::to_string(i);
        image.ImageType = 3;
        image.ImageFacet = 1 + i % 7;
        image.ZsyLithCode = "zsy" + std::to_string(i);
        image.ZshLithCode = "zsh" + std::to_string(i);
        image.ImageData.resize(kImageBytes);
        for (char& byte : image.ImageData) {
            state = state * 1103515245u + 12345u;
            byte = static_cast<char>(state >> 16);
        }
    }
    return images;
}

bool SameImages(const std::vector<ImageRecord>& a, const std::vector<ImageRecord>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].ImageName != b[i].ImageName || a[i].ImageData != b[i].ImageData ||
            a[i].ImageFacet != b[i].ImageFacet || a[i].ZshLithCode != b[i].ZshLithCode ||
            a[i].SysDefine != b[i].SysDefine) {
            return false;
        }
    }
    return true;
}

struct Database {
    std::string path;
    RawImages raw;
};

bool OpenDatabase(const fs::path& dir, const std::string& name, Database& db) {
    db.path = (dir / (name + ".mdb")).string();
    std::error_code error;
    return fs::copy_file(STRATALOOM_TEMPLATE_PATH, db.path, error) && db.raw.Open(db.path);
}

void AddImageCases(Database& db, int count, const std::vector<ImageRecord>& images,
                   std::vector<Case>& cases) {
    const std::string size = std::to_string(count) + " x 10 KB";
    auto module = CreateObject<IImageData>("IImageData", db.path);
    std::shared_ptr<IImageData> shared(std::move(module));
    const int iterations = count < 1000 ? 10 : 1;
    cases.push_back({"SaveImages",
                     size,
                     iterations,
                     {[shared, &images] { return shared->SaveImages(images) == 1; }},
                     {[&db, &images] { return db.raw.SaveImages(images); }}});
    cases.push_back({"GetAllImages",
                     size,
                     iterations,
                     {[shared] {
                         std::vector<ImageRecord> loaded;
                         const int done = shared->GetAllImages(loaded);
                         KeepAlive(loaded);
                         return done == 1;
                     }},
                     {[&db] {
                         std::vector<ImageRecord> loaded;
                         const bool done = db.raw.LoadImages(loaded);
                         KeepAlive(loaded);
                         return done;
                     }}});
    cases.push_back({"GetImage",
                     size + ", one call each",
                     iterations,
                     {[shared, &images] {
                         for (const ImageRecord& image : images) {
                             ImageRecord loaded;
                             if (shared->GetImage(image.ImageName.c_str(), image.ImageType,
                                                  image.ImageFacet, loaded, false) != 1 ||
                                 loaded.ImageData.size() != kImageBytes) {
                                 return false;
                             }
                         }
                         return true;
                     }},
                     {[&db, &images] {
                         for (const ImageRecord& image : images) {
                             ImageRecord loaded;
                             if (!db.raw.LoadImage(image.ImageName, image.ImageType,
                                                   image.ImageFacet, loaded) ||
                                 loaded.ImageData.size() != kImageBytes) {
                                 return false;
                             }
                         }
                         return true;
                     }}});
}

void AddWalkCase(Database& db, int count, std::vector<Case>& cases) {
    db.raw.Exec(
        "insert into b_meta_type (MetaTypeID, MetaTypeName, MetaTypeDescription, "
        "MetaTypeParentID, MetaFacet) with recursive numbers(n) as (select 1 union all "
        "select n + 1 from numbers where n < " +
        std::to_string(count) +
        ") select n, 'type ' || n, 'meta type ' || n, case when n < 4 then -1 else n / 4 "
        "end, n from numbers");
    const std::string path = db.path;
    const std::string size = std::to_string(count) + " nodes";
    const int iterations = count < 50000 ? 5 : 1;
    const auto walked = [count](const std::vector<MetaTypeRecord>& below) {
        return below.size() == static_cast<std::size_t>(count);
    };
    cases.push_back({"walk, table read",
                     size,
                     iterations,
                     {[path, walked] {
                         // A new object each call, and the cache emptied after: the
                         // table is read again, as by a host that opens a project.
                         auto metaTypes = CreateObject<IMetaTypeData>("IMetaTypeData", path);
                         std::vector<MetaTypeRecord> below;
                         CImageData::CollectMetaTypes(below, metaTypes.get(), nullptr);
                         KeepAlive(below);
                         return walked(below);
                     }},
                     {[&db, walked] {
                         MetaTypeChildren children;
                         std::vector<MetaTypeRecord> below;
                         const bool read = db.raw.ReadMetaTypes(children);
                         RawImages::WalkMetaTypes(children, below);
                         KeepAlive(below);
                         return read && walked(below);
                     }}});
    // The tree in memory: the module's cache, the raw code's lists.
    std::shared_ptr<IMetaTypeData> kept(CreateObject<IMetaTypeData>("IMetaTypeData", path));
    auto children = std::make_shared<MetaTypeChildren>();
    db.raw.ReadMetaTypes(*children);
    cases.push_back({"walk, in memory",
                     size,
                     iterations,
                     {[kept, walked] {
                         std::vector<MetaTypeRecord> below;
                         CImageData::CollectMetaTypes(below, kept.get(), nullptr);
                         KeepAlive(below);
                         return walked(below);
                     }},
                     {[children, walked] {
                         std::vector<MetaTypeRecord> below;
                         RawImages::WalkMetaTypes(*children, below);
                         KeepAlive(below);
                         return walked(below);
                     }}});
}

}  // namespace

// --only=TEXT runs the cases whose name holds TEXT.
int main(int argc, char** argv) {
    const std::string only = argc > 1 && std::string(argv[1]).rfind("--only=", 0) == 0
                                 ? std::string(argv[1]).substr(7)
                                 : std::string();
    std::string pattern = (fs::temp_directory_path() / "strataloom-image-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::fprintf(stderr, "cannot make a scratch directory\n");
        return 1;
    }
    const fs::path dir = pattern;
    std::vector<Case> cases;
    std::vector<std::unique_ptr<Database>> databases;
    std::vector<std::unique_ptr<std::vector<ImageRecord>>> data;
    bool ok = true;
    for (int count : {kImages, 10 * kImages}) {
        databases.push_back(std::make_unique<Database>());
        Database& db = *databases.back();
        data.push_back(std::make_unique<std::vector<ImageRecord>>(MakeImages(count)));
        const std::vector<ImageRecord>& images = *data.back();
        if (!OpenDatabase(dir, "images" + std::to_string(count), db)) {
            ok = false;
            break;
        }
        // Both sides read what the other wrote alike.
        auto module = CreateObject<IImageData>("IImageData", db.path);
        std::vector<ImageRecord> byModule, byRaw;
        if (!db.raw.SaveImages(images) || module->GetAllImages(byModule) != 1 ||
            !SameImages(byModule, images) || module->SaveImages(images) != 1 ||
            !db.raw.LoadImages(byRaw) || !SameImages(byRaw, images)) {
            std::fprintf(stderr, "the module and the raw code read the images differently\n");
            ok = false;
            break;
        }
        AddImageCases(db, count, images, cases);
    }
    for (int count : {kMetaTypes, 10 * kMetaTypes}) {
        if (!ok) break;
        databases.push_back(std::make_unique<Database>());
        Database& db = *databases.back();
        if (!OpenDatabase(dir, "metatypes" + std::to_string(count), db)) {
            ok = false;
            break;
        }
        AddWalkCase(db, count, cases);
    }
    bool goalsMet = ok;
    if (ok) {
        cases.erase(
            std::remove_if(cases.begin(), cases.end(),
                           [&](const Case& c) { return c.what.find(only) == std::string::npos; }),
            cases.end());
        for (Case& c : cases) Run(c);
        std::printf(
            "Symbol images and meta types, embedded engine (ms per call; median of %d "
            "rounds; cpu: the calling thread)\n",
            kRounds);
        std::printf("%-16s %-24s %9s %9s %9s %9s %7s %7s\n", "operation", "size", "module",
                    "mod cpu", "raw", "raw cpu", "wall x", "cpu x");
        for (const Case& c : cases) {
            const bool failed = c.module.failed || c.raw.failed;
            const double mw = Median(c.module.wall) * 1e3, mc = Median(c.module.cpu) * 1e3;
            const double rw = Median(c.raw.wall) * 1e3, rc = Median(c.raw.cpu) * 1e3;
            // The walks are held to their growth, shown beside them, not to a ratio.
            const bool walk = c.what.rfind("walk", 0) == 0;
            const bool met = !failed && (walk || mc <= kGoalRatio * rc);
            goalsMet = goalsMet && met;
            const std::string note = failed ? "  FAILED"
                                     : walk ? "  " + PerNode(c, mc)
                                     : met  ? ""
                                            : "  above goal";
            std::printf("%-16s %-24s %9.2f %9.2f %9.2f %9.2f %7.2f %7.2f%s\n", c.what.c_str(),
                        c.size.c_str(), mw, mc, rw, rc, mw / rw, mc / rc, note.c_str());
        }
        std::printf("goal: image operations at most %.2f x raw in CPU time; walks: cpu per node\n",
                    kGoalRatio);
    }
    databases.clear();
    strataloom::db::ReleaseIdleConnections();
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return goalsMet ? 0 : 1;
}
