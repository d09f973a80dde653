#pragma once
#include <cstdint>

#include "engine/core/resource.h"
#include "engine/models/scene_device.h"

// Resource managers that the engine starts with the graphics device and this
// game leaves empty: scenes, particles ("Perticle"), two primitive lists, list
// sprites, sprites, font sprites, font effects and sheets. Six of them hold
// device objects that are released before a device reset and restored after.

// An item of a list whose device objects follow device resets.
class DeviceItem : public ResourceObject {
public:
    virtual void ReleaseDeviceObjects() = 0;
    virtual void RestoreDeviceObjects() = 0;
};

// One grid of a scene: its device buffers are built from its size.
class SceneGrid : public ResourceObject {
public:
    ~SceneGrid() override;
    int gridWidth = 0;
    int gridHeight = 0;
    SceneGridBuffers* buffers = nullptr;
};

// A scene: the grids it draws.
class SceneItem : public ResourceObject {
public:
    ResourceList grids;
};

extern ResourceList sceneList;
extern ResourceList perticleList;
extern ResourceList primitiveList;
extern ResourceList primitiveList2;
extern ResourceList listSpriteList;
extern ResourceList spriteList;
extern ResourceList fontSpriteList;
extern ResourceList fontFxList;
extern ResourceList sheetList;
extern uint32_t sceneShaderHandle;  // kNoSceneShader while there is none

// Each start logs its banner (the sheets have none), empties its list and
// returns 1; the scene manager also makes its shader, whether or not that
// succeeds. Each end logs its banner and releases every item of its list.
int InitSceneManager();
void DestroySceneManager();
int InitPerticleManager();
void DestroyPerticleManager();
int InitPrimitiveManager();
void DestroyPrimitiveManager();
int InitPrimitiveManager2();
void DestroyPrimitiveManager2();
int InitListSpriteManager();
void DestroyListSpriteManager();
int InitSpriteManager();
void DestroySpriteManager();
int InitFontSpriteManager();
void DestroyFontSpriteManager();
int InitFontFxManager();
void DestroyFontFxManager();
int InitSheetManager();
void DestroySheetManager();

// Device-reset walks, head to tail: every DeviceItem of the list releases or
// restores its device objects; the scene walks release or rebuild the buffers
// of every grid of every scene.
void ReleaseSceneDeviceObjects();
void RestoreSceneDeviceObjects();
void ReleasePerticleDeviceObjects();
void RestorePerticleDeviceObjects();
void ReleasePrimitiveDeviceObjects();
void RestorePrimitiveDeviceObjects();
void ReleasePrimitive2DeviceObjects();
void RestorePrimitive2DeviceObjects();
void ReleaseListSpriteDeviceObjects();
void RestoreListSpriteDeviceObjects();
void ReleaseSpriteDeviceObjects();
void RestoreSpriteDeviceObjects();

// Builds the grid's buffers afresh from its size.
void RebuildSceneItem(SceneGrid* grid);
