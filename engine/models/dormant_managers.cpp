#include "engine/models/dormant_managers.h"

#include "engine/core/log.h"

ResourceList sceneList;
ResourceList perticleList;
ResourceList primitiveList;
ResourceList primitiveList2;
ResourceList listSpriteList;
ResourceList spriteList;
ResourceList fontSpriteList;
ResourceList fontFxList;
ResourceList sheetList;
uint32_t sceneShaderHandle = kNoSceneShader;

namespace {

// A manager's list and the title of its banners (null: no start banner).
struct Manager {
    ResourceList* list;
    const char* startTitle;
    const char* endTitle;
};

const Manager perticleManager{&perticleList, "Perticle", "Perticle"};
const Manager primitiveManager{&primitiveList, "Primitive", "Primitive"};
const Manager primitiveManager2{&primitiveList2, "Primitive", "Primitive"};
const Manager listSpriteManager{&listSpriteList, "ListSprite", "ListSprite"};
const Manager spriteManager{&spriteList, "Sprite", "Sprite"};
const Manager fontSpriteManager{&fontSpriteList, "FontSprite", "FontSprite"};
const Manager fontFxManager{&fontFxList, "FontFx", "FontFx"};
const Manager sheetManager{&sheetList, nullptr, "Sheet"};

void LogBanner(const char* step, const char* title) {
    WriteLog("\n============================================== %s %s\n", step, title);
}

int StartManager(const Manager& manager) {
    if (manager.startTitle) LogBanner("Initialize", manager.startTitle);
    manager.list->Reset();
    return 1;
}

void EndManager(const Manager& manager) {
    LogBanner("Destroy", manager.endTitle);
    manager.list->ReleaseAll();
}

// Head to tail; the next item is taken before the call, so an item may leave
// the list in its own operation.
template <typename Item, typename Operation>
void ForEachItem(ResourceList& list, Operation operation) {
    for (ResourceObject* node = list.GetHead(); node;) {
        ResourceObject* next = node->next;
        if (auto* item = dynamic_cast<Item*>(node)) operation(*item);
        node = next;
    }
}

void ReleaseDeviceItems(ResourceList& list) {
    ForEachItem<DeviceItem>(list, [](DeviceItem& item) { item.ReleaseDeviceObjects(); });
}

void RestoreDeviceItems(ResourceList& list) {
    ForEachItem<DeviceItem>(list, [](DeviceItem& item) { item.RestoreDeviceObjects(); });
}

template <typename Operation>
void ForEachSceneGrid(Operation operation) {
    ForEachItem<SceneItem>(sceneList, [&](SceneItem& scene) { ForEachItem<SceneGrid>(scene.grids, operation); });
}

void ReleaseGridBuffers(SceneGrid& grid) {
    ReleaseSceneGridBuffers(grid.buffers);
    grid.buffers = nullptr;
}

}  // namespace

SceneGrid::~SceneGrid() { ReleaseSceneGridBuffers(buffers); }

int InitSceneManager() {
    LogBanner("Initialize", "Scene");
    sceneList.Reset();
    sceneShaderHandle = CreateSceneShader();
    RegisterDormantDeviceObjectWalks();
    return 1;
}

void DestroySceneManager() {
    LogBanner("Destroy", "Scene");
    if (sceneShaderHandle != kNoSceneShader) DeleteSceneShader(sceneShaderHandle);
    sceneShaderHandle = kNoSceneShader;
    sceneList.ReleaseAll();
}

int InitPerticleManager() { return StartManager(perticleManager); }
void DestroyPerticleManager() { EndManager(perticleManager); }
int InitPrimitiveManager() { return StartManager(primitiveManager); }
void DestroyPrimitiveManager() { EndManager(primitiveManager); }
int InitPrimitiveManager2() { return StartManager(primitiveManager2); }
void DestroyPrimitiveManager2() { EndManager(primitiveManager2); }
int InitListSpriteManager() { return StartManager(listSpriteManager); }
void DestroyListSpriteManager() { EndManager(listSpriteManager); }
int InitSpriteManager() { return StartManager(spriteManager); }
void DestroySpriteManager() { EndManager(spriteManager); }
int InitFontSpriteManager() { return StartManager(fontSpriteManager); }
void DestroyFontSpriteManager() { EndManager(fontSpriteManager); }
int InitFontFxManager() { return StartManager(fontFxManager); }
void DestroyFontFxManager() { EndManager(fontFxManager); }
int InitSheetManager() { return StartManager(sheetManager); }
void DestroySheetManager() { EndManager(sheetManager); }

void ReleaseSceneDeviceObjects() { ForEachSceneGrid(ReleaseGridBuffers); }
void RestoreSceneDeviceObjects() { ForEachSceneGrid([](SceneGrid& grid) { RebuildSceneItem(&grid); }); }
void ReleasePerticleDeviceObjects() { ReleaseDeviceItems(perticleList); }
void RestorePerticleDeviceObjects() { RestoreDeviceItems(perticleList); }
void ReleasePrimitiveDeviceObjects() { ReleaseDeviceItems(primitiveList); }
void RestorePrimitiveDeviceObjects() { RestoreDeviceItems(primitiveList); }
void ReleasePrimitive2DeviceObjects() { ReleaseDeviceItems(primitiveList2); }
void RestorePrimitive2DeviceObjects() { RestoreDeviceItems(primitiveList2); }
void ReleaseListSpriteDeviceObjects() { ReleaseDeviceItems(listSpriteList); }
void RestoreListSpriteDeviceObjects() { RestoreDeviceItems(listSpriteList); }
void ReleaseSpriteDeviceObjects() { ReleaseDeviceItems(spriteList); }
void RestoreSpriteDeviceObjects() { RestoreDeviceItems(spriteList); }

void RebuildSceneItem(SceneGrid* grid) {
    ReleaseGridBuffers(*grid);
    grid->buffers = CreateSceneGridBuffers(grid->gridWidth, grid->gridHeight);
}
