#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/aux_window.h"
#include "engine/models/dormant_managers.h"
#include "engine/core/memory_status.h"
#include "tests/engine/core/log_capture.h"

namespace {

std::vector<std::string> calls;

struct RecordingItem : DeviceItem {
    explicit RecordingItem(std::string name) : name(std::move(name)) {}
    ~RecordingItem() override { calls.push_back(name + " deleted"); }
    void ReleaseDeviceObjects() override { calls.push_back(name + " release"); }
    void RestoreDeviceObjects() override { calls.push_back(name + " restore"); }
    std::string name;
};

struct Manager {
    const char* name;
    int (*init)();
    void (*destroy)();
    ResourceList* list;
    void (*releaseWalk)();
    void (*restoreWalk)();
    const char* startBanner;  // "" for none
    const char* endBanner;
};

const Manager kManagers[] = {
    {"Perticle", InitPerticleManager, DestroyPerticleManager, &perticleList, ReleasePerticleDeviceObjects,
     RestorePerticleDeviceObjects, "Initialize Perticle", "Destroy Perticle"},
    {"Primitive", InitPrimitiveManager, DestroyPrimitiveManager, &primitiveList, ReleasePrimitiveDeviceObjects,
     RestorePrimitiveDeviceObjects, "Initialize Primitive", "Destroy Primitive"},
    {"Primitive2", InitPrimitiveManager2, DestroyPrimitiveManager2, &primitiveList2, ReleasePrimitive2DeviceObjects,
     RestorePrimitive2DeviceObjects, "Initialize Primitive", "Destroy Primitive"},
    {"ListSprite", InitListSpriteManager, DestroyListSpriteManager, &listSpriteList, ReleaseListSpriteDeviceObjects,
     RestoreListSpriteDeviceObjects, "Initialize ListSprite", "Destroy ListSprite"},
    {"Sprite", InitSpriteManager, DestroySpriteManager, &spriteList, ReleaseSpriteDeviceObjects,
     RestoreSpriteDeviceObjects, "Initialize Sprite", "Destroy Sprite"},
    {"FontSprite", InitFontSpriteManager, DestroyFontSpriteManager, &fontSpriteList, nullptr, nullptr,
     "Initialize FontSprite", "Destroy FontSprite"},
    {"FontFx", InitFontFxManager, DestroyFontFxManager, &fontFxList, nullptr, nullptr, "Initialize FontFx",
     "Destroy FontFx"},
    {"Sheet", InitSheetManager, DestroySheetManager, &sheetList, nullptr, nullptr, "", "Destroy Sheet"},
    {"Scene", InitSceneManager, DestroySceneManager, &sceneList, nullptr, nullptr, "Initialize Scene",
     "Destroy Scene"},
};

std::string Banner(const std::string& title) {
    return title.empty() ? "" : "\n============================================== " + title + "\n";
}

class ManagerTest : public testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    test::LogCapture log;
};

TEST_F(ManagerTest, EachManagerLogsItsBannersAndReleasesItsItemsAtTheEnd) {
    for (const Manager& m : kManagers) {
        EXPECT_EQ(m.init(), 1) << m.name;
        EXPECT_EQ(log.Take(), Banner(m.startBanner)) << m.name;
        m.list->PushBack(new RecordingItem("a"));
        m.list->PushBack(new RecordingItem("b"));
        calls.clear();
        m.destroy();
        EXPECT_EQ(log.Take(), Banner(m.endBanner)) << m.name;
        EXPECT_EQ(calls, (std::vector<std::string>{"a deleted", "b deleted"})) << m.name;
        EXPECT_EQ(m.list->GetCount(), 0) << m.name;
    }
}

TEST_F(ManagerTest, TheSceneManagerStartsWithoutAShaderWhileNoneCanBeMade) {
    EXPECT_EQ(InitSceneManager(), 1);
    EXPECT_EQ(sceneShaderHandle, kNoSceneShader);
    DestroySceneManager();
}

TEST_F(ManagerTest, DeviceWalksVisitTheirListHeadToTailAndSkipOtherObjects) {
    for (const Manager& m : kManagers) {
        if (!m.releaseWalk) continue;
        m.init();
        m.list->PushBack(new RecordingItem("first"));
        m.list->PushBack(new ResourceObject());  // holds no device objects
        m.list->PushBack(new RecordingItem("last"));
        calls.clear();
        m.releaseWalk();
        m.restoreWalk();
        EXPECT_EQ(calls, (std::vector<std::string>{"first release", "last release", "first restore", "last restore"}))
            << m.name;
        m.destroy();
    }
}

TEST_F(ManagerTest, SceneWalksClearEveryGridsBuffers) {
    InitSceneManager();
    auto* scene = new SceneItem();
    auto* grid = new SceneGrid();
    grid->gridWidth = 4;
    grid->gridHeight = 3;
    scene->grids.PushBack(grid);
    sceneList.PushBack(scene);
    ReleaseSceneDeviceObjects();
    EXPECT_EQ(grid->buffers, nullptr);
    RestoreSceneDeviceObjects();  // rebuilds from the size; no device here to make buffers
    EXPECT_EQ(grid->gridWidth, 4);
    DestroySceneManager();
    EXPECT_EQ(sceneList.GetCount(), 0);
}

TEST(MemoryStatusTest, EitherFigureMayBeLeftOut) {
    uint32_t total = 0, available = 0;
    GetMemoryStatus(&total, &available);
    EXPECT_GT(total, 0u);
    EXPECT_LE(available, total);
    uint32_t alone = 0;
    GetMemoryStatus(nullptr, &alone);
    GetMemoryStatus(&alone, nullptr);
    EXPECT_GT(alone, 0u);
}

std::vector<uint32_t> auxMessages;

platform::LRESULT RecordAuxMessage(platform::WindowHandle, uint32_t message, platform::WPARAM, platform::LPARAM) {
    auxMessages.push_back(message);
    return 0;
}

TEST(AuxWindowTest, CloseSendsWmCloseOnceAndForgetsTheWindow) {
    platform::WindowStyle style;
    style.title = "aux";
    auxWindowHandle = platform::CreateWindow(style, RecordAuxMessage);
    ASSERT_NE(auxWindowHandle, nullptr);
    auxMessages.clear();
    CloseAuxWindow();
    CloseAuxWindow();
    EXPECT_EQ(auxMessages, std::vector<uint32_t>{platform::WM_CLOSE});
    EXPECT_EQ(auxWindowHandle, nullptr);
    platform::CloseWindowSystem();
}

}  // namespace
