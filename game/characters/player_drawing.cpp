#include "game/characters/player_drawing.h"

#include "engine/graphics/render_state.h"
#include "engine/models/model.h"
#include "game/arena/battle_assets.h"
#include "game/arena/player_record.h"
#include "game/characters/character_routines.h"

namespace {

Model* ModelOf(int32_t side, const CharacterModelDraw& draw) {
    const std::vector<Model*>& list =
        draw.kind == CharacterModelKind::Frame ? characterFrameModels[side] : characterActionModels[side];
    if (draw.index < 0 || static_cast<size_t>(draw.index) >= list.size()) return nullptr;
    return list[static_cast<size_t>(draw.index)];
}

}  // namespace

void DrawPlayer(int32_t side) {
    if (const CharacterRoutines* routines = FindCharacterRoutines(players[side].characterId)) routines->draw(side);
}

void DrawCharacterModels(int32_t side, const std::vector<CharacterModelDraw>& draws) {
    // Every fighter's picture starts in alpha blending, also one that draws
    // nothing (knocked out for 180 frames): what is drawn after it blends so.
    SetBlendMode(BLEND_ALPHA);
    for (const CharacterModelDraw& draw : draws) {
        SetBlendMode(draw.blendMode);
        Model* model = ModelOf(side, draw);
        if (!model) continue;
        model->ResetTransform();
        model->SetPosition(draw.x, draw.y, 0.0f);
        if (draw.turn.rolled) model->Roll(draw.turn.roll);
        if (draw.turn.mirrored) model->Yaw(ToAngle16(DegreeToAngle(180)));
        model->Update(0.0f);
        model->Draw();
    }
}
