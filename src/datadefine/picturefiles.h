// The picture files of the well pictures: the picture folder "pic" under the
// work directory, the copies saved pictures get there, and the pieces of
// their paths. Paths written elsewhere may use "\" between directories, so
// both "/" and "\" end a directory here.
#pragma once

#include <string>
#include <vector>

namespace strataloom {

// The position of the last "/" or "\" of path, npos when it has none.
std::size_t LastSeparator(const std::string& path);
// What follows the last separator (the whole path when it has none).
std::string FileNameOf(const std::string& path);
// The file name without its last extension.
std::string PathTitle(const std::string& path);
// A stored path ("pic/..." or "pic\...") under the work directory, with "/"
// between its parts.
std::string StoredPathUnder(const std::string& workDirectory, const std::string& stored);
// The path a save stores for the copy of that name: relative to the work
// directory, "pic\" + name, as other programs reading the table expect.
std::string StoredPathOf(const std::string& name);

// The picture folder of a work directory and the copies made into it. Copies
// not kept are removed when the object goes, so that a save that fails
// leaves no file behind.
class PictureFolder {
  public:
    enum class Placed { Copied, InPlace, Failed };

    explicit PictureFolder(const std::string& workDirectory);
    ~PictureFolder();
    PictureFolder(const PictureFolder&) = delete;
    PictureFolder& operator=(const PictureFolder&) = delete;

    // The folder, with its trailing "/".
    const std::string& Path() const { return path_; }

    // A picture's file as a save finds it: an absolute path as it stands, a
    // relative one (as the table stores them) under the work directory.
    std::string Resolve(const std::string& path) const;

    // Brings the file at full into the folder under name. A file already in
    // the folder stays as it is (InPlace, stored = name); any other is copied
    // under the local time "%Y%m%d%H%M%S" + name, with "_2_", "_3_"... before
    // the name when another copy took that name in the same second (Copied,
    // stored = the copy's name). Failed, with the reason, when the name is
    // unusable or the file cannot be read or written.
    Placed Place(const std::string& full, const std::string& name, std::string& stored,
                 std::string& reason);

    // The copies made so far stay.
    void KeepCopies() { copies_.clear(); }

  private:
    std::string workDirectory_;
    std::string path_;  // with its trailing "/"
    std::vector<std::string> copies_;
};

}  // namespace strataloom
