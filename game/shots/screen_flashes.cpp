#include "game/shots/screen_flashes.h"

#include <algorithm>
#include <cmath>

#include "engine/core/math.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/arena/hud_sheets.h"
#include "game/arena/object_lists.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/transitions.h"
#include "game/shots/object_rules.h"

uint8_t bannerActive = 0;
int32_t bannerKind = BANNER_START;
int32_t bannerTimer = 0;
float bannerCentre[2] = {320.0f, 240.0f};
std::vector<float> bannerLetters;
std::vector<BannerParticle> bannerParticles;

namespace {

Texture* SheetTexture(OverlaySheet sheet) {
    switch (sheet) {
    case OverlaySheet::Transition: return transitionSprite;
    case OverlaySheet::BattleMessage: return battleMessageTexture;
    case OverlaySheet::BattleSystem: return battleSystemTexture;
    }
    return nullptr;
}

gpu::RECT ToRect(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

constexpr ScreenRect WHITE_CELL{0, 0, 30, 30};

// Flash brightness by age: up by 8 a frame, held at 160 from 20 to 80, then
// down by 8 a frame to 0 at 100.
int32_t FlashBrightness(int32_t age) {
    if (age < 20) return age * 8;
    if (age <= 80) return 160;
    return (100 - age) * 8;
}

// --- Banner ---------------------------------------------------------------

void SetLetters(std::initializer_list<float> values) { bannerLetters.assign(values); }

// How one kind of banner looks at timer t.
struct BannerLook {
    int32_t bandAlpha;
    double letterStep;  // added in double, rounded once into the letter's value
    bool lettersAlwaysDrawn;  // else only once a letter's value is above 0
    int32_t messageRow;       // of the message sheet
};

BannerLook LookOf(int32_t kind, int32_t t) {
    switch (kind) {
    case BANNER_START: return {std::min(2 * t, 100), 0.1, false, hud_sheets::BANNER_ROW_READY};
    case BANNER_START_SECOND: return {100, 0.2, false, hud_sheets::BANNER_ROW_GO};
    case BANNER_START_LEAVE: return {std::max(0, (190 - t) * 5), 0.2, true, hud_sheets::BANNER_ROW_GO};
    default: {  // knock-out and time up
        const int32_t band = t < 150 ? std::min(5 * t, 100) : std::max(0, (200 - t) * 2);
        return {band, 0.1, false, kind == BANNER_KNOCKOUT ? hud_sheets::BANNER_ROW_KNOCKOUT : hud_sheets::BANNER_ROW_TIME_UP};
    }
    }
}

// Half-height of a letter at progress k.
int32_t LetterHalfHeight(int32_t kind, float k) {
    switch (kind) {
    case BANNER_START_SECOND: return 120 - TruncateScreenValue(80.0f * k);
    case BANNER_START_LEAVE: return 40 - TruncateScreenValue(-80.0f * k);
    default: return 110 - TruncateScreenValue(80.0f * k);
    }
}

int32_t LetterAlpha(int32_t kind, int32_t t, float k) {
    switch (kind) {
    case BANNER_START: return t > 90 ? std::max(0, (115 - t) * 10) : 255;
    case BANNER_START_SECOND: return 255;
    case BANNER_START_LEAVE: return std::clamp(255 - TruncateScreenValue(255.0f * k), 0, 255);
    default: return t > 150 ? std::max(0, (200 - t) * 5) : 255;
    }
}

void AddParticleQuads(std::vector<OverlayQuad>& quads) {
    const int32_t t = bannerTimer;
    for (size_t i = 0; i < bannerParticles.size(); ++i) {
        BannerParticle& p = bannerParticles[i];
        const double theta = static_cast<double>((3 * static_cast<int32_t>(i) + t) * 10 % 360) * PI_F / 180.0;
        int32_t size = 20 - TruncateScreenValue(static_cast<float>(-10.0 * std::cos(theta)));
        if (t < 80) size = TruncateScreenValue(t * 0.25f);
        if (t > 170) size = TruncateScreenValue(static_cast<float>((200 - t) * 0.6));
        const ScreenRect destination{TruncateScreenValue(p.x - size), TruncateScreenValue(p.y - size),
                                     TruncateScreenValue(p.x + size), TruncateScreenValue(p.y + size)};
        const ScreenRect source = p.colour == 0 ? ScreenRect{0, 64, 63, 127} : ScreenRect{64, 64, 127, 127};
        quads.push_back({OverlaySheet::Transition, destination, source, WhiteWithAlpha(100)});

        float target = static_cast<float>(std::atan2(240.0 - p.y, 320.0 - p.x));
        float speed = 10.0f;
        if (t > 150) {
            target += PI_F;
            speed = 18.0f;
        }
        TurnAngleToward(&p.heading, target, 0.12f);
        p.x = static_cast<float>(p.x + std::cos(static_cast<double>(p.heading)) * speed);
        p.y = static_cast<float>(p.y + std::sin(static_cast<double>(p.heading)) * speed);
    }
}

void AddLetterQuads(std::vector<OverlayQuad>& quads, const BannerLook& look) {
    const int32_t n = static_cast<int32_t>(bannerLetters.size());
    const int32_t x0 = TruncateScreenValue(bannerCentre[0]) + 23 - 45 * (n / 2) - 23 * (n % 2) - 22;
    const int32_t y0 = TruncateScreenValue(bannerCentre[1]);
    for (int32_t i = 0; i < n; ++i) {
        float& value = bannerLetters[static_cast<size_t>(i)];
        AddInDouble(&value, look.letterStep);
        if (!look.lettersAlwaysDrawn && !(value > 0.0f)) continue;
        float k = std::min(value, 1.0f);
        if (bannerKind == BANNER_START_LEAVE) k = std::max(k, 0.0f);
        const int32_t h = LetterHalfHeight(bannerKind, k);
        const int32_t s = i % 2 == 0 ? -1 : 1;  // even letters come from above
        const int32_t v = bannerKind == BANNER_START_LEAVE ? s * TruncateScreenValue(-50.0f * k)
                                                           : s * (50 - TruncateScreenValue(50.0f * k));
        const int32_t x = x0 + 45 * i;
        const hud_sheets::Cell letter = hud_sheets::BannerLetter(look.messageRow, i);
        quads.push_back({OverlaySheet::BattleMessage,
                         {x, y0 + v - h, x + 44, y0 + v + h},
                         {letter.left, letter.top, letter.right, letter.bottom},
                         WhiteWithAlpha(LetterAlpha(bannerKind, bannerTimer, k))});
    }
}

// The end of a banner frame: the start banner changes its word at 126 and
// 181 (and never ends before its last kind); the others end after 200.
void AdvanceBanner() {
    ++bannerTimer;
    if (bannerKind == BANNER_START) {
        if (bannerTimer >= 126) {
            bannerKind = BANNER_START_SECOND;
            SetLetters({-1.0f, -1.5f, -2.0f, -2.5f, -3.0f, -3.5f, -4.0f, -4.5f, -5.0f});
        }
        return;
    }
    if (bannerKind == BANNER_START_SECOND) {
        if (bannerTimer >= 181) {
            bannerKind = BANNER_START_LEAVE;
            SetLetters({-1.4f, -1.2f, -0.8f, -0.4f, 0.0f, -0.4f, -0.8f, -1.2f, -1.4f});
        }
        return;
    }
    if (bannerTimer > 200) bannerActive = 0;
}

}  // namespace

void DrawOverlayQuads(const std::vector<OverlayQuad>& quads) {
    for (const OverlayQuad& q : quads) {
        Texture* texture = SheetTexture(q.sheet);
        if (!texture) continue;
        const gpu::RECT destination = ToRect(q.destination);
        const gpu::RECT source = ToRect(q.source);
        texture->Draw(&destination, 0.0f, &source, q.colour, BLEND_ALPHA);
    }
}

std::vector<OverlayQuad> StepScreenFlashes() {
    int32_t brightest = 0;
    WalkObjectList(flashList, [&](int32_t i) {
        int32_t& age = flashList[i];
        brightest = std::max(brightest, FlashBrightness(age));
        if (!battlePaused) ++age;
        return age > 100 ? WalkStep::Erase : WalkStep::Keep;
    });
    if (brightest < 1) return {};
    return {{OverlaySheet::Transition, {0, 0, 640, 480}, {0, 0, 29, 29}, WhiteWithAlpha(brightest)}};
}

void DrawScreenFlashes() { DrawOverlayQuads(StepScreenFlashes()); }

void StartBanner(int32_t kind) {
    if (kind != BANNER_START && kind != BANNER_KNOCKOUT && kind != BANNER_TIME_UP) return;
    bannerActive = 1;
    bannerKind = kind;
    bannerTimer = 0;
    std::vector<BannerParticle>().swap(bannerParticles);
    std::vector<float>().swap(bannerLetters);
    bannerCentre[0] = 320.0f;
    bannerCentre[1] = 240.0f;
    if (kind != BANNER_START) {
        SetLetters({0.0f, -0.5f, -1.0f, -1.5f, -2.0f, -2.5f, -3.0f});
        return;
    }
    SetLetters({-5.0f, -5.5f, -6.0f, -6.5f, -7.0f, -7.5f, -8.0f, -8.5f});
    // The sparks start on a ring 800 to 1200 pixels about the screen's
    // top-left corner, off the screen; three draws each, in this order.
    for (int32_t k = 0; k < 24; ++k) {
        BannerParticle p{};
        const double direction = k * 15.0 * PI_F / 180.0;
        p.heading = RandomFloat(-PI_F, PI_F);
        p.x = static_cast<float>(RandomFloat(800.0f, 1200.0f) * std::cos(direction));
        p.y = static_cast<float>(RandomFloat(800.0f, 1200.0f) * std::sin(direction));
        p.colour = k % 2;
        bannerParticles.push_back(p);
    }
}

std::vector<OverlayQuad> StepBanner() {
    if (!bannerActive) return {};
    std::vector<OverlayQuad> quads;
    AddParticleQuads(quads);
    const BannerLook look = LookOf(bannerKind, bannerTimer);
    quads.push_back({OverlaySheet::Transition, {0, 190, 640, 300}, WHITE_CELL, WhiteWithAlpha(look.bandAlpha)});
    AddLetterQuads(quads, look);
    AdvanceBanner();
    return quads;
}

void DrawBanner() { DrawOverlayQuads(StepBanner()); }

void ResetBannerState() {
    bannerActive = 0;
    bannerKind = BANNER_START;
    bannerTimer = 0;
    bannerCentre[0] = 320.0f;
    bannerCentre[1] = 240.0f;
    bannerLetters.clear();
    bannerParticles.clear();
}
