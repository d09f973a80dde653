#include "game/shots/object_sprite.h"

#include "engine/graphics/texture.h"
#include "game/arena/battle_assets.h"
#include "game/flow/numeric_helpers.h"

namespace {

Texture* OwnersPicture(const std::vector<Texture*>& pictures, int32_t picture) {
    return picture >= 0 && static_cast<size_t>(picture) < pictures.size() ? pictures[static_cast<size_t>(picture)]
                                                                           : nullptr;
}

Texture* SheetOf(const ObjectSprite& s) {
    const bool side = s.owner == 0 || s.owner == 1;
    switch (s.sheet) {
    case SpriteSheet::Item: return side ? playerItemTexture[s.owner] : nullptr;
    case SpriteSheet::Ring: return side ? playerRingTexture[s.owner] : nullptr;
    case SpriteSheet::BattleEffect: return battleEffectTexture;
    case SpriteSheet::BattleSystem: return battleSystemTexture;
    case SpriteSheet::CharacterPicture: return side ? OwnersPicture(characterFrameTextures[s.owner], s.picture) : nullptr;
    }
    return nullptr;
}

}  // namespace

ObjectSprite WorldSprite(SpriteSheet sheet, int32_t owner, const float position[2], float a, float b,
                         ScreenRect source, float angle, uint32_t colour, SpriteBlend blend) {
    return {owner,
            sheet,
            CentredRect(WorldToScreen(position[0], position[1]), ScreenLength(a), ScreenLength(b)),
            source,
            RadianToAngle(Negate(angle)),
            colour,
            blend};
}

void DrawObjectSprites(const std::vector<ObjectSprite>& sprites) {
    for (const ObjectSprite& s : sprites) {
        Texture* sheet = SheetOf(s);
        if (!sheet) continue;
        const gpu::RECT destination = ToDeviceRect(s.destination), source = ToDeviceRect(s.source);
        const int mode = static_cast<int>(s.blend);
        if (s.turned)
            sheet->DrawRotated(&destination, 0.0f, &source, s.rotation, s.colour, mode);
        else
            sheet->Draw(&destination, 0.0f, &source, s.colour, mode);
    }
}
