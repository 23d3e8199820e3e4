#include "datadefine/picturefiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace strataloom {

namespace {

// The picture folder's name under the work directory.
const char kFolder[] = "pic";

// Copies made of pictures of one name within one second, at most.
constexpr int kCopiesPerSecond = 1000;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string SystemMessage(int error) {
    return std::strerror(error);
}

std::string LocalTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return std::string(text, length);
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t separator = LastSeparator(path);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

bool IsUsableName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}

enum class CopyResult { Done, TargetExists, Failed };

// Copies source into target, which this call creates: a target that exists
// already is never written to, so two copies cannot take the same name.
CopyResult CopyIntoNewFile(std::FILE* source, const std::string& target, std::string& reason) {
    File out(std::fopen(target.c_str(), "wbx"));
    if (!out) {
        const int error = errno;
        if (error == EEXIST) return CopyResult::TargetExists;
        reason = "cannot create picture file " + target + ": " + SystemMessage(error);
        return CopyResult::Failed;
    }
    std::rewind(source);
    errno = 0;
    char buffer[1 << 16];
    int error = 0;
    std::size_t read;
    while (!error && (read = std::fread(buffer, 1, sizeof buffer, source)) > 0) {
        if (std::fwrite(buffer, 1, read, out.get()) != read) error = errno ? errno : EIO;
    }
    if (!error && std::ferror(source)) error = errno ? errno : EIO;
    if (std::fclose(out.release()) != 0 && !error) error = errno ? errno : EIO;
    if (!error) return CopyResult::Done;
    std::remove(target.c_str());
    reason = "cannot copy picture into " + target + ": " + SystemMessage(error);
    return CopyResult::Failed;
}

}  // namespace

std::size_t LastSeparator(const std::string& path) {
    return path.find_last_of("/\\");
}

std::string FileNameOf(const std::string& path) {
    const std::size_t separator = LastSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string PathTitle(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string StoredPathUnder(const std::string& workDirectory, const std::string& stored) {
    std::string path = workDirectory + "/" + stored;
    for (std::size_t i = workDirectory.size(); i < path.size(); ++i) {
        if (path[i] == '\\') path[i] = '/';
    }
    return path;
}

std::string StoredPathOf(const std::string& name) {
    return std::string(kFolder) + "\\" + name;
}

PictureFolder::PictureFolder(const std::string& workDirectory)
    : workDirectory_(workDirectory), path_(workDirectory + "/" + kFolder + "/") {}

PictureFolder::~PictureFolder() {
    for (const std::string& copy : copies_) std::remove(copy.c_str());
}

std::string PictureFolder::Resolve(const std::string& path) const {
    if (!path.empty() && path[0] == '/') return path;
    return StoredPathUnder(workDirectory_, path);
}

PictureFolder::Placed PictureFolder::Place(const std::string& full, const std::string& name,
                                           std::string& stored, std::string& reason) {
    if (!IsUsableName(name)) {
        reason = "picture file name '" + name + "' is empty or holds a directory separator";
        return Placed::Failed;
    }
    std::error_code ignored;
    fs::create_directory(path_, ignored);  // one level; a folder already there is fine
    if (DirectoryOf(full) == path_) {
        if (!fs::is_regular_file(full, ignored)) {
            reason = "picture file " + full + " not found";
            return Placed::Failed;
        }
        stored = name;
        return Placed::InPlace;
    }
    File source(std::fopen(full.c_str(), "rb"));
    if (!source) {
        reason = "cannot read picture file " + full + ": " + SystemMessage(errno);
        return Placed::Failed;
    }
    const std::string stamp = LocalTimeStamp();
    for (int copy = 1; copy <= kCopiesPerSecond; ++copy) {
        const std::string candidate =
            stamp + (copy == 1 ? std::string() : "_" + std::to_string(copy) + "_") + name;
        switch (CopyIntoNewFile(source.get(), path_ + candidate, reason)) {
            case CopyResult::Done:
                copies_.push_back(path_ + candidate);
                stored = candidate;
                return Placed::Copied;
            case CopyResult::TargetExists:
                continue;
            case CopyResult::Failed:
                return Placed::Failed;
        }
    }
    reason = "more than " + std::to_string(kCopiesPerSecond) + " pictures named " + name +
             " copied within one second";
    return Placed::Failed;
}

}  // namespace strataloom
