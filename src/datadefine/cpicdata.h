// Well pictures: table w_pic_data, one row per picture of a well and a
// picture type, the files kept in the picture folder of the work directory.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/ipicdata.h"

class CPicData : public strataloom::TableData<IPicData> {
  public:
    int LoadWellPictures(const char* well, int type, PicSet& set) override;
    int LoadWellPictureSets(const char* well, int type, std::vector<PicSet>& sets) override;
    int GetPictureNames(const char* well, int type, NameList& names) override;
    int LoadWellPicturesByTypeName(const char* well, const char* typeName, PicSet& set) override;
    int SaveWellPictures(const PicSet& set) override;
    int DeleteWellPictures(const char* well, int type) override;
    int IsWellPictureExist(const char* well, int type) override;
    int CopyPictureToWorkDir(std::string full, std::string name, std::string& stored) override;
    int GetPictureFullPath(std::string name, std::string& full) override;
    int GetPathTitle(std::string path, std::string& title) override;
    virtual ClassEntry* GetClassEntry();

  private:
    template <class NameSet, class ReadType>
    int LoadPictureRows(const strataloom::Statement& query, PicSet& set, NameSet&& nameSet,
                        ReadType&& readType, const std::string* workDirectory);
    int LoadPicturesOfType(const char* well, int type, PicSet& set,
                           const std::string* workDirectory);
};
