#include "tests/support/battle_hash.h"

#include <bit>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/transitions.h"
#include "game/shots/screen_flashes.h"

namespace test {

namespace {

class Hasher {
public:
    Hasher() = default;
    // Also lists every field with a hash of its own value, under its name.
    explicit Hasher(std::vector<StateField>* fields) : fields_(fields) {}

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

    // A field under its name in the code, "p.x": listed as "<scope>.x".
    template <class T>
    Hasher& Field(std::string_view name, const T& value) {
        if (fields_) {
            Hasher own;
            own(value);
            if (!scope_.empty()) name = name.substr(name.find('.') + 1);
            fields_->push_back({scope_.empty() ? std::string(name) : scope_ + "." + std::string(name), own.value()});
        }
        return (*this)(value);
    }
    bool listing() const { return fields_ != nullptr; }
    // The record the fields that follow belong to; empty for globals.
    void SetScope(std::string scope) { scope_ = std::move(scope); }
    const std::string& scope() const { return scope_; }

private:
    void Mix(uint64_t v) {
        for (int byte = 0; byte < 8; ++byte) {
            hash_ ^= (v >> (8 * byte)) & 0xFF;
            hash_ *= 0x100000001B3ull;
        }
    }
    uint64_t hash_ = 0xCBF29CE484222325ull;
    std::vector<StateField>* fields_ = nullptr;
    std::string scope_;
};

#define FIELD(expr) Field(#expr, expr)

// Converts to any field's type: the largest number of them a record's
// braces take is its field count (an array counts each element).
struct AnyField {
    template <class T>
    operator T() const;  // never called, only named in unevaluated braces
};

template <class Record, class... Taken>
constexpr size_t FieldCount() {
    if constexpr (requires { Record{Taken{}..., AnyField{}}; })
        return FieldCount<Record, Taken..., AnyField>();
    else
        return sizeof...(Taken);
}

// A hashed record that gains a field stops the build here: hash the field
// in its Add below (or say there why it is left out), then count it here.
static_assert(FieldCount<PlayerObject>() == 14, "PlayerObject changed: update Add(PlayerObject) and this count");
static_assert(FieldCount<PlayerRecord>() == 58, "PlayerRecord changed: update Add(PlayerRecord) and this count");
static_assert(FieldCount<HeavyShot>() == 22, "HeavyShot changed: update Add(HeavyShot) and this count");
static_assert(FieldCount<Shot>() == 23, "Shot changed: update Add(Shot) and this count");
static_assert(FieldCount<AttackArea>() == 14, "AttackArea changed: update Add(AttackArea) and this count");
static_assert(FieldCount<Effect>() == 8, "Effect changed: update Add(Effect) and this count");
static_assert(FieldCount<Particle>() == 8, "Particle changed: update Add(Particle) and this count");

// Names the records of a list while the fields are listed.
void EnterRecord(Hasher& h, const std::string& list, size_t index) {
    if (h.listing()) h.SetScope(list + "[" + std::to_string(index) + "]");
}

void Add(Hasher& h, const PlayerObject& o) {
    h.FIELD(o.tag)
        .FIELD(o.type)
        .FIELD(o.unusedWords)
        .FIELD(o.timer)
        .FIELD(o.position)
        .FIELD(o.heading)
        .FIELD(o.angle)
        .FIELD(o.speed)
        .FIELD(o.slowdown)
        .FIELD(o.unusedTail);
}

void Add(Hasher& h, const PlayerRecord& p) {
    h.FIELD(p.characterId)
        .FIELD(p.colour)
        .FIELD(p.counter)
        .FIELD(p.active)
        .FIELD(p.modeFlag)
        .FIELD(p.x)
        .FIELD(p.y)
        .FIELD(p.previousX)
        .FIELD(p.previousY);
    h.FIELD(p.life)
        .FIELD(p.shownLife)
        .FIELD(p.maxLife)
        .FIELD(p.state)
        .FIELD(p.stateTimer)
        .FIELD(p.invulnerableTimer)
        .FIELD(p.hitShape)
        .FIELD(p.aimAngle);
    h.FIELD(p.spare)
        .FIELD(p.boostGauge)
        .FIELD(p.hyperGauge)
        .FIELD(p.moveFinished)
        .FIELD(p.moveAngle)
        .FIELD(p.speed)
        .FIELD(p.autoAim);
    h.FIELD(p.comboDamage).FIELD(p.bestComboDamage).FIELD(p.comboHits).FIELD(p.bestComboHits).FIELD(p.comboTimer);
    h.FIELD(p.objects.size());
    const std::string owner = h.scope();
    for (size_t i = 0; i < p.objects.size(); ++i) {
        EnterRecord(h, owner + ".objects", i);
        Add(h, p.objects[i]);
    }
    h.SetScope(owner);
    // Not the live pad (padInput, buttons): it is what the hands at this
    // machine press, idle during a playback and different on each peer. Nor
    // netInput: only the machine that plays the side samples into it, and
    // the word both peers use arrives in inputWords. The menu's copy of the
    // buttons counts while the menu is open (AddScene).
    h.FIELD(p.hitFlashCounter).FIELD(p.ringPhase);
}

void Add(Hasher& h, const HeavyShot& s) {
    h.FIELD(s.type)
        .FIELD(s.age)
        .FIELD(s.targetSide)
        .FIELD(s.grazed)
        .FIELD(s.owner)
        .FIELD(s.vanishesOnHit)
        .FIELD(s.knocksBack)
        .FIELD(s.position);
    h.FIELD(s.previousPosition)
        .FIELD(s.trailPosition)
        .FIELD(s.heading)
        .FIELD(s.angle)
        .FIELD(s.speed)
        .FIELD(s.param)
        .FIELD(s.hitShape)
        .FIELD(s.damage);
    h.FIELD(s.knockBackSpeed);
}

void Add(Hasher& h, const Shot& s) {
    h.FIELD(s.hitPoints)
        .FIELD(s.power)
        .FIELD(s.knockBackSpeed)
        .FIELD(s.type)
        .FIELD(s.age)
        .FIELD(s.targetSide)
        .FIELD(s.grazed)
        .FIELD(s.owner);
    h.FIELD(s.vanishesOnHit)
        .FIELD(s.knocksBack)
        .FIELD(s.position)
        .FIELD(s.previousPosition)
        .FIELD(s.trailPosition)
        .FIELD(s.heading)
        .FIELD(s.angle);
    h.FIELD(s.speed).FIELD(s.param).FIELD(s.hitShape);
}

void Add(Hasher& h, const AttackArea& a) {
    h.FIELD(a.type)
        .FIELD(a.missesDashingPlayer)
        .FIELD(a.position)
        .FIELD(a.angle)
        .FIELD(a.scaleX)
        .FIELD(a.scaleY)
        .FIELD(a.owner)
        .FIELD(a.hitShape)
        .FIELD(a.power);
    h.FIELD(a.knockBackSpeed).FIELD(a.knocksBack);
}

void Add(Hasher& h, const Effect& e) {
    h.FIELD(e.owner).FIELD(e.age).FIELD(e.type).FIELD(e.position).FIELD(e.angle).FIELD(e.strength).FIELD(e.scale);
}

void Add(Hasher& h, const Particle& p) {
    h.FIELD(p.frame).FIELD(p.kind).FIELD(p.x).FIELD(p.y).FIELD(p.angle).FIELD(p.alpha).FIELD(p.size).FIELD(p.speed);
}

void Add(Hasher& h, const int32_t& age) { h.FIELD(age); }

void Add(Hasher& h, const float& value) { h.FIELD(value); }

template <class Record>
void AddVector(Hasher& h, const char* name, const std::vector<Record>& list) {
    h.SetScope("");
    h.Field(std::string(name) + ".size()", list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EnterRecord(h, name, i);
        Add(h, list[i]);
    }
    h.SetScope("");
}


// What the scene keeps beside the objects: the view, the fade, the way the
// battle ends, the menu, the banner and the running transition.
void AddScene(Hasher& h) {
    h.FIELD(viewWidth).FIELD(viewHeight).FIELD(cameraX).FIELD(cameraY).FIELD(battleFadeLevel).FIELD(stageNumber);
    if (battleOver) h.FIELD(battleEndChoice);  // set with battleOver, left from the last battle before
    // The menu's values stay from its last opening, in an earlier battle too.
    if (battlePaused) {
        h.FIELD(battleMenuState).FIELD(battleMenuAlpha).FIELD(battleMenuFadeSpeed).FIELD(battleMenuCursor);
        for (const PlayerRecord& p : players)
            h.Field("players[" + std::to_string(&p - players) + "].menuButtons", p.menuButtons);
    }
    h.FIELD(bannerActive).FIELD(bannerKind).FIELD(bannerTimer).FIELD(bannerCentre);
    AddVector(h, "bannerLetters", bannerLetters);
    // Only how many sparks: the start banner places them with draws made
    // before the battle's seed, from whatever state the generator was in.
    h.FIELD(bannerParticles.size());
    h.FIELD(transitionRunning).FIELD(transitionKind).FIELD(transitionSpeed);
    // The fade level is the fades' own: each sets it when it starts, and no
    // wipe sets or reads it. A battle runs wipes only, so the level left by
    // the screen before it (the versus screen's fade, or none in a playback
    // started from the replay list) is no part of the battle.
    if (transitionKind == TRANSITION_FADE_IN || transitionKind == TRANSITION_FADE_OUT) h.FIELD(transitionAlpha);
}

template <class Record>
void AddList(Hasher& h, const char* name, ObjectList<Record>& list) {
    h.SetScope("");
    h.Field(std::string(name) + ".Size()", list.Size());
    for (int32_t i = 0; i < list.Size(); ++i) {
        EnterRecord(h, name, static_cast<size_t>(i));
        Add(h, list[i]);
    }
    h.SetScope("");
}

uint64_t Hash(Hasher& h) {
    for (size_t side = 0; side < 2; ++side) {
        EnterRecord(h, "players", side);
        Add(h, players[side]);
    }
    AddList(h, "heavyShotList", heavyShotList);
    AddList(h, "shotList", shotList);
    AddList(h, "attackAreaList", attackAreaList);
    AddList(h, "effectList", effectList);
    AddList(h, "flashList", flashList);
    AddList(h, "particleList", particleList);
    h.FIELD(GetRandomState())
        .FIELD(battleFrame)
        .FIELD(battleTimer)
        .FIELD(battleOver)
        .FIELD(startCountdown)
        .FIELD(battlePaused);
    h.FIELD(inputWords).FIELD(buttonStates);
    AddScene(h);
    return h.value();
}

}  // namespace

uint64_t HashBattleState() {
    Hasher h;
    return Hash(h);
}

std::vector<StateField> BattleStateFields() {
    std::vector<StateField> fields;
    Hasher h(&fields);
    Hash(h);
    return fields;
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
