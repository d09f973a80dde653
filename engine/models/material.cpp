#include "engine/models/material.h"

#include <algorithm>
#include <iterator>

#include "engine/graphics/texture.h"

Material::Material() {
    std::fill(std::begin(stageStateOverrides), std::end(stageStateOverrides), kStateUnset);
    material = {};
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
}

Material::~Material() {
    for (uint32_t stage = 0; stage < kStages; ++stage) SetTexture(nullptr, stage);
}

void Material::SetTexture(Texture* texture, uint32_t stage) {
    if (stage >= kStages) return;
    if (texture) texture->AddRef();
    if (textures[stage]) textures[stage]->Release();
    textures[stage] = texture;
}

void Material::SetStageStateOverride(uint32_t state, uint32_t value) {
    if (state < kStageStates) stageStateOverrides[state] = value;
}
