// Well pictures: picture files attached to a well over a depth interval,
// grouped by a picture type (a number and a name), in table w_pic_data.
//
// The files themselves live in the picture folder "pic" under the
// application's work directory; the table keeps each one's path relative to
// the work directory ("pic\" + stored name; rows written with "pic/" are
// read alike, and files are always opened with "/"). The work directory comes
// from the application's import module, libQuernxml.so, which the module loads
// for every operation that needs it (from the directory libstrataloom.so was
// loaded from, else from the loader's search path) and unloads after the
// call; the module shipped with Strataloom answers the value of the
// environment variable STRATALOOM_WORK_DIR when it is set, else the current
// directory. When the import module cannot be loaded or gives no directory,
// the operations that need the directory return 0 and change nothing.
#pragma once

#include "strataloom/idatabase.h"

// One picture of a well.
struct PicRecord {
    double TopDepth = 0.0;     // top of the depth interval the picture covers
    double BottomDepth = 0.0;  // bottom of that interval
    std::string FileName;      // the file's name as the caller gave it
    // The picture file. Loads by type number and by type name give the
    // absolute path (work directory + "/pic/" + stored name); the load of
    // whole sets gives the path as stored, relative to the work directory.
    // A save takes either.
    std::string FilePath;
    std::string Description;
};

// The pictures of one well and one picture type.
struct PicSet {
    std::string WellName;
    int PicType = 0;          // picture type number
    std::string PicTypeName;  // picture type name
    std::vector<PicRecord> Records;
};

// Every operation returns 1 on success and 0 on failure unless stated. An
// empty well name where one is required is refused with a message box before
// anything is read, copied or written; a name or path holding a zero byte is
// refused the same way, without a box. List operations only append to the
// caller's list, also when they fail; loads only append records and sets.
// Every write is all-or-nothing: a save or delete that returns 0 has changed
// no row, and a save leaves no copied file behind.
class IPicData : public IDataBase {
  public:
    // Appends the well's pictures of that type to set.Records, with absolute
    // paths, behind the records the set already holds; the set takes the well
    // name and the type, and the type name of the rows. 0 when the well has
    // none or the work directory is unknown: the set is left as it was.
    virtual int LoadWellPictures(const char* well, int type, PicSet& set) = 0;
    // Appends one set holding all the well's pictures of that type, their
    // paths as stored (relative to the work directory). 0 when there is none.
    virtual int LoadWellPictureSets(const char* well, int type, std::vector<PicSet>& sets) = 0;
    // Appends the FileName of each of the well's pictures of that type, once
    // per picture; 0, nothing appended, when there is none or the names
    // cannot be read.
    virtual int GetPictureNames(const char* well, int type, NameList& names) = 0;
    // As LoadWellPictures, for the pictures whose type name is typeName; the
    // set takes the type number of the rows.
    virtual int LoadWellPicturesByTypeName(const char* well, const char* typeName, PicSet& set) = 0;
    // Replaces the well's pictures of set.PicType by the set's records. Each
    // record's file (FilePath absolute, or relative to the work directory) is
    // first copied into the picture folder as CopyPictureToWorkDir does; a
    // file already there is kept as it is. When a file cannot be copied (not
    // found, picture folder not writable) the save returns 0, removes the
    // copies it made and leaves the stored pictures as they were. A set
    // without records takes the well's pictures of that type away (their
    // files stay in the picture folder).
    virtual int SaveWellPictures(const PicSet& set) = 0;
    // Deletes the well's pictures of that type; 1 also when it had none. The
    // files stay in the picture folder.
    virtual int DeleteWellPictures(const char* well, int type) = 0;
    // 1 when the well has at least one picture of that type, 0 otherwise.
    virtual int IsWellPictureExist(const char* well, int type) = 0;
    // Copies the file at full into the picture folder (made when missing)
    // under the local time as "%Y%m%d%H%M%S" followed by name; when a file of
    // that name is there already (a copy of another file within the same
    // second), "_2_", "_3_"... goes between the time and the name. 1 when the
    // copy was made, stored receiving its name. 0 when full already lies in
    // the picture folder: nothing is copied and stored receives name. 0 as
    // well, stored left as it was, when the file cannot be copied, the work
    // directory is unknown, or name is empty or holds a "/" or "\".
    virtual int CopyPictureToWorkDir(std::string full, std::string name, std::string& stored) = 0;
    // full receives the path of a stored picture: work directory + "/pic/" +
    // name. 0, full left as it was, when the work directory is unknown.
    virtual int GetPictureFullPath(std::string name, std::string& full) = 0;
    // title receives the file's name without its directory and without its
    // last extension ("/data/b.c.jpg" gives "b.c"); "/" and "\" both end a
    // directory. Always 1.
    virtual int GetPathTitle(std::string path, std::string& title) = 0;
};
