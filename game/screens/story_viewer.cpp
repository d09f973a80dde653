#include "game/screens/story_viewer.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/resource.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "game/arena/roster.h"
#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/title_menu.h"

int32_t storyState = STORY_BACKGROUND;
int32_t storyPage = 0;
int32_t storyLastPage = 0;
float storyDimAlpha = 0.0f;
float storyPageAlpha = 0.0f;

namespace {

uint8_t storyLeave = 0;

constexpr const char* kArchive = "gf\\extra.dat";

// The roster entry of a character with a story; null for any other id.
const RosterEntry* Book(int32_t id) {
    const RosterEntry* entry = FindRosterEntry(id);
    return entry && entry->storyPages > 0 ? entry : nullptr;
}

Surface* storyBackground = nullptr;
Texture* storyPageTexture = nullptr;

bool Pressed(int button) { return buttonStates[0][button] == BUTTON_STATE_PRESSED; }

void LoadStoryPage() {
    ReleaseResource(storyPageTexture);
    storyPageTexture = CreateTextureFromArchive(kArchive, StoryPageKey(extraItem, storyPage).c_str(), 1, nullptr);
    storyPageTexture->Update();
}

void InitStory() {
    storyLeave = 0;
    storyState = STORY_BACKGROUND;
    storyPage = 0;
    storyLastPage = 0;
    storyPageAlpha = 0.0f;
    storyDimAlpha = 0.0f;
    if (const RosterEntry* book = Book(extraItem)) {
        const std::string key = std::string("bp_") + book->name;
        storyBackground = CreateSurfaceFromArchive(kArchive, key.c_str(), FORMAT_SCREEN, nullptr);
        storyLastPage = book->storyPages - 1;
    }
    LoadStoryPage();
    PlayBgm(0);
    StartTransition(TRANSITION_WIPE_14);
    sceneInitPending = 0;
}

void LeaveStory() {
    ReleaseResource(storyBackground);
    ReleaseResource(storyPageTexture);
    ChangeScene(SCENE_TITLE);
}

void StartLeaving() {
    storyState = STORY_LEAVING;
    StartTransition(TRANSITION_KIND_124);
}

void DrawStory() {
    SetBlendMode(BLEND_ALPHA);
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
    SetRenderState(gpu::D3DRS_ZENABLE, 0);
    SetRenderState(gpu::D3DRS_FOGENABLE, 0);
    if (BeginScene()) {
        ClearTarget(0xFF555555);
        if (storyBackground) storyBackground->CopyToRenderTarget(0, 0, 0, 0, 640, 480);
        const gpu::RECT whole{0, 0, 640, 480}, dot{0, 0, 10, 10};
        const uint32_t dim = static_cast<uint32_t>(static_cast<int32_t>(storyDimAlpha * 200)) << 24 | 0xFFFFFF;
        transitionSprite->Draw(&whole, 0.0f, &dot, dim, BLEND_ALPHA);
        // Oza's third page sits a little to the left.
        const int32_t x = extraItem == 3 && storyPage == 2 ? 240 : 260;
        const gpu::RECT page{x - 256, 44, x + 256, 556}, src{0, 0, 511, 511};
        const uint32_t fade = static_cast<uint32_t>(static_cast<int32_t>(storyPageAlpha * 255)) << 24 | 0xFFFFFF;
        storyPageTexture->Draw(&page, 0.0f, &src, fade, BLEND_ALPHA_ADD);
        DrawTransition();
        EndScene();
    }
    PresentFrame();
}

void TurnTo(int32_t page) {
    storyPage = page;
    LoadStoryPage();
    storyPageAlpha = 0.0f;
}

void UpdatePages() {
    // The page fades in only once the background has darkened fully.
    if (storyDimAlpha < 1.0f) {
        storyDimAlpha = std::min(storyDimAlpha + 0.02f, 1.0f);
    } else if (storyPageAlpha < 1.0f) {
        storyPageAlpha = std::min(storyPageAlpha + 0.1f, 1.0f);
    }
    if (Pressed(BUTTON_LEFT) && storyPage > 0) TurnTo(storyPage - 1);
    if (Pressed(BUTTON_RIGHT) || Pressed(BUTTON_Z)) {
        if (storyPage < storyLastPage) {
            TurnTo(storyPage + 1);
            return;
        }
        if (Pressed(BUTTON_Z)) {
            StartLeaving();
            return;
        }
    }
    if (Pressed(BUTTON_X)) StartLeaving();
}

void UpdateStory() {
    switch (storyState) {
    case STORY_BACKGROUND:
        if ((Pressed(BUTTON_RIGHT) || Pressed(BUTTON_Z)) && storyPage < storyLastPage) {
            storyState = STORY_PAGES;
            storyPageAlpha = 0.0f;
        } else if (!Book(extraItem) && Pressed(BUTTON_X)) {
            StartLeaving();  // no story to show: X is the only way out
        }
        break;
    case STORY_PAGES: UpdatePages(); break;
    case STORY_LEAVING:
        if (!transitionRunning) storyLeave = 1;
        break;
    default: break;
    }
}

}  // namespace

int32_t StoryLastPage(int32_t id) {
    const RosterEntry* book = Book(id);
    return book ? book->storyPages - 1 : -1;
}

std::string StoryPageKey(int32_t id, int32_t page) {
    const RosterEntry* book = Book(id);
    char key[32];
    std::snprintf(key, sizeof key, "st_%s_%02d", book ? book->name : "", page);
    return key;
}

void RunStoryScene() {
    if (sceneInitPending) InitStory();
    ClearSePlayedFlags();
    UpdateBgm();
    DrawStory();
    PollInput();
    UpdateStory();
    if (storyLeave) LeaveStory();
}

void ResetStoryViewerState() {
    storyState = STORY_BACKGROUND;
    storyPage = 0;
    storyLastPage = 0;
    storyDimAlpha = 0.0f;
    storyPageAlpha = 0.0f;
    storyLeave = 0;
    storyBackground = nullptr;
    storyPageTexture = nullptr;
}
