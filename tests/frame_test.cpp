// The class catalog, the data factory and the exported functions.
#include <set>

#include "datadefine/cbasicwelldata.h"
#include "frame/classcatalog.h"
#include "support/projectdb.h"

namespace {

using testsupport::BoxCapture;

TEST(FrameTest, FactoryFindsClassesByExactInterfaceName) {
    BoxCapture boxes;
    IDataFactory* factory = CreateDataFactoryObject();
    ASSERT_NE(nullptr, factory);
    EXPECT_STREQ("", factory->GetConnectString());
    factory->SetConnectString("factory.mdb");
    EXPECT_STREQ("factory.mdb", factory->GetConnectString());

    std::unique_ptr<IDataBase> first(factory->CreateObject("IBasicWellData"));
    std::unique_ptr<IDataBase> second(factory->CreateObject("IBasicWellData"));
    ASSERT_NE(nullptr, first);
    EXPECT_NE(first.get(), second.get());
    auto* well = dynamic_cast<CBasicWellData*>(first.get());
    ASSERT_NE(nullptr, well);
    EXPECT_STREQ("CBasicWellData", well->GetClassEntry()->ClassName);
    EXPECT_TRUE(boxes.Boxes().empty());

    for (const char* wrong : {"ibasicwelldata", "CBasicWellData", "", "IBasicWellData "}) {
        EXPECT_EQ(nullptr, factory->CreateObject(wrong));
    }
    EXPECT_EQ(nullptr, factory->CreateObject(nullptr));
    ASSERT_EQ(5u, boxes.Boxes().size());
    EXPECT_EQ("型录表中没有找到该对象的相应类！", boxes.Boxes()[0].text);
    EXPECT_EQ("(none)", boxes.Boxes()[0].caption);

    DeleteDataFactory(factory);
    DeleteDataFactory(nullptr);
    // Objects outlive their factory.
    NameList names;
    EXPECT_EQ(0, dynamic_cast<IBasicWellData*>(second.get())->GetWellNames("P", names));
}

TEST(FrameTest, CatalogNamesAreDistinctAndEveryEntryCreatesItsClass) {
    std::set<std::string> interfaces;
    for (ClassEntry* entry = strataloom::ClassCatalogHead(); entry; entry = entry->Next) {
        EXPECT_TRUE(interfaces.insert(entry->InterfaceName).second) << entry->InterfaceName;
        EXPECT_EQ('I', entry->InterfaceName[0]);
        EXPECT_STREQ(entry->ClassName + 1, entry->InterfaceName + 1);
        ASSERT_NE(nullptr, entry->Creator);
        std::unique_ptr<IDataBase> object(entry->Creator());
        EXPECT_NE(nullptr, object);
    }
    EXPECT_TRUE(interfaces.count("IBasicWellData"));
}

TEST(FrameTest, MissingCreatorShowsTheCreationFailureBox) {
    ClassEntry broken = {"CBrokenData", "IBrokenData", nullptr, nullptr};
    BoxCapture boxes;
    EXPECT_EQ(nullptr, strataloom::CreateFromCatalog("IBrokenData", &broken));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("创建该对象失败！", boxes.Boxes()[0].text);
    EXPECT_EQ("错误信息", boxes.Boxes()[0].caption);
}

TEST(FrameTest, DefaultBoxNeverBlocksAndAnswersNoToQuestions) {
    MessageBoxHandler previous = SetMessageBoxHandler(nullptr);
    MessageBoxHandler installedDefault = SetMessageBoxHandler(previous);
    ASSERT_NE(nullptr, installedDefault);
    EXPECT_EQ(IDOK, installedDefault("text", nullptr, MB_OK));
    EXPECT_EQ(IDNO, installedDefault("question", "caption", MB_YESNO));
}

}  // namespace
