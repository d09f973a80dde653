#include "tests/support/battle_hash.h"

#include <bit>
#include <type_traits>
#include <vector>

#include "engine/core/math.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/particles.h"
#include "game/battle/player_record.h"
#include "game/flow/input_words.h"
#include "game/flow/transitions.h"
#include "game/shots/object_lists.h"
#include "game/shots/screen_flashes.h"

namespace test {

namespace {

class Hasher {
public:
    template <class T>
    Hasher& operator()(const T& value) {
        if constexpr (std::is_array_v<T>) {
            for (const auto& element : value) (*this)(element);
        } else if constexpr (std::is_same_v<T, float>) {
            Mix(std::bit_cast<uint32_t>(value));
        } else if constexpr (std::is_same_v<T, double>) {
            Mix(std::bit_cast<uint64_t>(value));
        } else {
            static_assert(std::is_integral_v<T> || std::is_enum_v<T>);
            Mix(static_cast<uint64_t>(value));
        }
        return *this;
    }
    uint64_t value() const { return hash_; }

private:
    void Mix(uint64_t v) {
        for (int byte = 0; byte < 8; ++byte) {
            hash_ ^= (v >> (8 * byte)) & 0xFF;
            hash_ *= 0x100000001B3ull;
        }
    }
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

void Add(Hasher& h, const PlayerObject& o) {
    h(o.tag)(o.type)(o.unusedWords)(o.timer)(o.position)(o.heading)(o.angle)(o.speed)(o.slowdown)(o.unusedTail);
}

void Add(Hasher& h, const PlayerRecord& p) {
    h(p.characterId)(p.colour)(p.counter)(p.active)(p.modeFlag)(p.x)(p.y)(p.previousX)(p.previousY);
    h(p.life)(p.shownLife)(p.maxLife)(p.state)(p.stateTimer)(p.invulnerableTimer)(p.hitShape)(p.aimAngle);
    h(p.spare)(p.boostGauge)(p.hyperGauge)(p.moveFinished)(p.moveAngle)(p.speed)(p.autoAim);
    h(p.comboDamage)(p.bestComboDamage)(p.comboHits)(p.bestComboHits)(p.comboTimer);
    h(p.objects.size());
    for (const PlayerObject& o : p.objects) Add(h, o);
    // Not the live pad (padInput, buttons): it is what the hands at this
    // machine press, idle during a playback and different on each peer. The
    // menu's copy of the buttons counts while the menu is open (AddScene).
    h(p.netInput)(p.hitFlashCounter)(p.ringPhase);
}

void Add(Hasher& h, const HeavyShot& s) {
    h(s.type)(s.age)(s.targetSide)(s.grazed)(s.owner)(s.vanishesOnHit)(s.knocksBack)(s.position);
    h(s.previousPosition)(s.trailPosition)(s.heading)(s.angle)(s.speed)(s.param)(s.hitShape)(s.damage);
    h(s.knockBackSpeed);
}

void Add(Hasher& h, const Shot& s) {
    h(s.hitPoints)(s.power)(s.knockBackSpeed)(s.type)(s.age)(s.targetSide)(s.grazed)(s.owner);
    h(s.vanishesOnHit)(s.knocksBack)(s.position)(s.previousPosition)(s.trailPosition)(s.heading)(s.angle);
    h(s.speed)(s.param)(s.hitShape);
}

void Add(Hasher& h, const AttackArea& a) {
    h(a.type)(a.missesDashingPlayer)(a.position)(a.angle)(a.scaleX)(a.scaleY)(a.owner)(a.hitShape)(a.power);
    h(a.knockBackSpeed)(a.knocksBack);
}

void Add(Hasher& h, const Effect& e) { h(e.owner)(e.age)(e.type)(e.position)(e.angle)(e.strength)(e.scale); }

void Add(Hasher& h, const Particle& p) { h(p.frame)(p.kind)(p.x)(p.y)(p.angle)(p.alpha)(p.size)(p.speed); }

void Add(Hasher& h, const int32_t& age) { h(age); }

void Add(Hasher& h, const float& value) { h(value); }

template <class Record>
void AddVector(Hasher& h, const std::vector<Record>& list) {
    h(list.size());
    for (const Record& r : list) Add(h, r);
}


// What the scene keeps beside the objects: the view, the fade, the way the
// battle ends, the menu, the banner and the running transition.
void AddScene(Hasher& h) {
    h(viewWidth)(viewHeight)(cameraX)(cameraY)(battleFadeLevel)(stageNumber);
    if (battleOver) h(battleEndChoice);  // set with battleOver, left from the last battle before
    // The menu's values stay from its last opening, in an earlier battle too.
    if (battlePaused) {
        h(battleMenuState)(battleMenuAlpha)(battleMenuFadeSpeed)(battleMenuCursor);
        for (const PlayerRecord& p : players) h(p.menuButtons);
    }
    h(bannerActive)(bannerKind)(bannerTimer)(bannerCentre);
    AddVector(h, bannerLetters);
    // Only how many sparks: the start banner places them with draws made
    // before the battle's seed, from whatever state the generator was in.
    h(bannerParticles.size());
    h(transitionRunning)(transitionKind)(transitionAlpha)(transitionSpeed);
}

template <class Record>
void AddList(Hasher& h, ObjectList<Record>& list) {
    h(list.Size());
    for (int32_t i = 0; i < list.Size(); ++i) Add(h, list[i]);
}

}  // namespace

uint64_t HashBattleState() {
    Hasher h;
    for (const PlayerRecord& p : players) Add(h, p);
    AddList(h, heavyShotList);
    AddList(h, shotList);
    AddList(h, attackAreaList);
    AddList(h, effectList);
    AddList(h, flashList);
    AddList(h, particleList);
    h(GetRandomState())(battleFrame)(battleTimer)(battleOver)(startCountdown)(battlePaused);
    h(inputWords)(buttonStates);
    AddScene(h);
    return h.value();
}

int32_t RandomDrawsSince(uint32_t before, int32_t limit) {
    const uint32_t now = GetRandomState();
    uint32_t state = before;
    for (int32_t draws = 0; draws <= limit; ++draws) {
        if (state == now) return draws;
        state = state * 214013u + 2531011u;
    }
    return -1;
}

}  // namespace test
