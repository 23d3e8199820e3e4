// Symbol images: table b_image_data, the library of named images, and table
// b_meta_comb, images attached to a meta type. Image content is stored
// scrambled, as bytes, and unscrambled on every read; aliases are read from
// b_image_alias through joins, and meta types through an IMetaTypeData.
#pragma once

#include <string>

#include "datadefine/tabledata.h"
#include "strataloom/iimagedata.h"

class CImageData : public strataloom::TableData<IImageData> {
  public:
    int GetImagesUnderMetaType(MetaTypeRecord metaType, IMetaTypeData* metaTypes,
                               std::vector<ImageRecord>& images) override;
    int GetImagesByTypeAndFacet(int imageType, int imageFacet, std::vector<ImageRecord>& images,
                                bool withAliases) override;
    int GetImage(const char* imageName, int imageType, int imageFacet, ImageRecord& image,
                 bool withAliases) override;
    int GetAllImages(std::vector<ImageRecord>& images) override;
    int IsImageExist(const char* imageName, int imageType, int imageFacet) override;
    int SaveImages(const std::vector<ImageRecord>& images) override;
    int SaveImage(const ImageRecord& image, const char* oldImageName) override;
    int DeleteImage(const char* imageName, int imageType, int imageFacet) override;
    int GetImageByZsyLithCode(const char* code, ImageRecord& image) override;
    int GetImageByZshLithCode(const char* code, ImageRecord& image) override;
    int GetImageNames(int imageFacet, NameList& names) override;
    int GetImagesOfFacets(std::vector<ImageRecord>& images) override;
    int ScrambleAllImageData() override;
    int UnscrambleAllImageData() override;
    int GetImagesByMetaFacet(MetaTypeRecord metaType, std::vector<ImageRecord>* images) override;
    int GetMetaCombinations(std::vector<ImageRecord>& images) override;
    int SaveMetaCombination(ImageRecord image) override;
    virtual ClassEntry* GetClassEntry();

    // Appends to below the meta types under parent (under the tree's root
    // when parent is null), as metaTypes serves them: first parent's
    // children, then, child by child, what lies under each. The children of
    // each id are asked for once: a meta type whose id was walked below
    // already (rows that repeat an id) is appended without a walk of its own,
    // and one whose id is on the way down from parent, which would lead the
    // walk back up without end, is left out. The way down is kept on the
    // heap, not on the stack, so that any depth can be walked.
    static void CollectMetaTypes(std::vector<MetaTypeRecord>& below, IMetaTypeData* metaTypes,
                                 const MetaTypeRecord* parent);

    // Turns an image content into its stored form, in place and in one pass:
    // "<", each byte XORed with the key byte of its position (the key
    // restarting for every text), ">".
    static void ScrambleImageData(std::string& text);
    // The reverse, in place: drops the first and the last byte unseen and
    // XORs the others; a text shorter than three bytes becomes empty.
    static void UnscrambleImageData(std::string& text);

  private:
    int ListImages(const std::string& imageQuery, const std::string& aliasQuery,
                   std::vector<ImageRecord>& images);
    int LoadImageByCode(const strataloom::Statement& query, ImageRecord& image);
    int RewriteAllImageData(void (*transform)(std::string&));
};
