// Symbol images: the library of lithology patterns and other symbols, table
// b_image_data, and images attached to a meta type, table b_meta_comb.
//
// An image is identified by its name, type and facet. Its content
// (ImageData) is opaque text of any bytes, zero bytes included; it is stored
// scrambled and every operation hands it over plain. Images can also be found
// and listed under their aliases (ialiasdata.h) and by meta type
// (imetatypedata.h).
//
// Operations that fill a vector append to it and never clear it; records
// they return hold the initial values below in every field they do not read.
#pragma once

#include "strataloom/idatabase.h"
#include "strataloom/imetatypedata.h"

// One row of b_image_data or of b_meta_comb.
struct ImageRecord {
    std::string ImageName;
    int ImageType = 3;
    int ImageFacet = 0;
    // The meta facet the image belongs to; -2 for none.
    int MetaFacet = -2;
    // Flag byte, stored and returned unchanged.
    char SysDefine = 1;
    // The image content, plain.
    std::string ImageData;
    // Lithology codes of the two code schemes.
    std::string ZsyLithCode;
    std::string ZshLithCode;
};

class IImageData : public IDataBase {
  public:
    // Appends the images of metaType and of every meta type below it, found
    // through metaTypes (an object of the same factory, on the same
    // database): first those of metaType's children, then of their
    // descendants child by child, finally those of metaType itself. Each
    // meta type served is visited once, and the children of each id are
    // asked for once; a meta type whose children lead back to itself is not
    // walked twice. The cost grows with the meta types, at any depth. 1; 0
    // only when metaTypes is null.
    virtual int GetImagesUnderMetaType(MetaTypeRecord metaType, IMetaTypeData* metaTypes,
                                       std::vector<ImageRecord>& images) = 0;
    // Appends the images of one type and facet (MetaFacet not read) and, with
    // withAliases, each of them once more under every alias it has. 0 when no
    // image has that type and facet.
    virtual int GetImagesByTypeAndFacet(int imageType, int imageFacet,
                                        std::vector<ImageRecord>& images, bool withAliases) = 0;
    // Reads the image imageName of that type and facet into image; with
    // withAliases imageName may also be an alias of it. image.ImageName is
    // set to imageName; MetaFacet is not read. 1 also when nothing is found
    // (image then untouched); 0 when the row cannot be read.
    virtual int GetImage(const char* imageName, int imageType, int imageFacet, ImageRecord& image,
                         bool withAliases) = 0;
    // Appends every image (MetaFacet not read). 0 when there is none.
    virtual int GetAllImages(std::vector<ImageRecord>& images) = 0;
    // 1 when the image is stored. An empty name is refused with a message.
    virtual int IsImageExist(const char* imageName, int imageType, int imageFacet) = 0;
    // Stores every image, each replacing the stored one of its name, type and
    // facet. MetaFacet is not written: new rows get -2. A repeated image is
    // stored once, from its last record. 1 when all were stored (also for no
    // images); on 0 nothing changed.
    virtual int SaveImages(const std::vector<ImageRecord>& images) = 0;
    // Stores one image, MetaFacet included, in place of the image
    // oldImageName of the same type and facet (a rename when the names
    // differ; an image already stored under the new name is replaced too). An
    // empty image name is refused with a message. 1 when stored; on 0 nothing
    // changed.
    virtual int SaveImage(const ImageRecord& image, const char* oldImageName) = 0;
    // Removes the image. 1 when the delete ran, also when there was no such
    // image.
    virtual int DeleteImage(const char* imageName, int imageType, int imageFacet) = 0;
    // Reads the first image with that lithology code of the first scheme
    // into image (MetaFacet not read). 0 when there is none.
    virtual int GetImageByZsyLithCode(const char* code, ImageRecord& image) = 0;
    // The same with the code of the second scheme.
    virtual int GetImageByZshLithCode(const char* code, ImageRecord& image) = 0;
    // Appends the names of the images of one facet, repeated names kept. 0
    // when there is none.
    virtual int GetImageNames(int imageFacet, NameList& names) = 0;
    // Appends the images of type 3 and facets 1 to 7, then each of them once
    // more under every alias it has. 0 when there is none.
    virtual int GetImagesOfFacets(std::vector<ImageRecord>& images) = 0;
    // Table maintenance: turns every stored content from plain into scrambled
    // form, each row keeping its other columns. Run twice, it scrambles
    // twice: call it only on a table stored plain. 0 when the table is empty
    // or a row cannot be read; on 0 nothing changed.
    virtual int ScrambleAllImageData() = 0;
    // The reverse: turns every stored content from scrambled into plain form.
    virtual int UnscrambleAllImageData() = 0;
    // Appends the images whose MetaFacet equals metaType.MetaFacet, MetaFacet
    // included. 0 when there is none or images is null.
    virtual int GetImagesByMetaFacet(MetaTypeRecord metaType, std::vector<ImageRecord>* images) = 0;
    // Appends every image attached to a meta type (SysDefine not read). 0 when
    // there is none or a row cannot be read (images appended before stay).
    virtual int GetMetaCombinations(std::vector<ImageRecord>& images) = 0;
    // Stores an image attached to its MetaFacet, replacing the one of the
    // same name, meta facet, type and facet. 1 when stored.
    virtual int SaveMetaCombination(ImageRecord image) = 0;
};
