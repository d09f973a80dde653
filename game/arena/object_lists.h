#pragma once
// The battle's object lists: growable arrays of plain value records addressed
// by index. An append may move the records, so no code keeps a pointer or a
// reference to a record across a spawn: it keeps the index and goes through
// the list again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/arena/object_types.h"

// A projectile or beam without hit points that cancels the opponent's Shots.
struct HeavyShot {
    int32_t type;
    int32_t age;  // +1 at the start of every update; negative = still waiting
    int32_t targetSide;
    uint8_t grazed;
    int32_t owner;
    uint8_t vanishesOnHit;
    uint8_t knocksBack;
    float position[2];
    float previousPosition[2];  // start of the last move (graze segment)
    float trailPosition[2];     // end of the last move
    float heading;              // direction of motion
    float angle;                // orientation of hit shape, picture and trails
    float speed;
    float param;
    float hitShape[3];  // along, across, radius
    int32_t damage;
    float knockBackSpeed;
};

// A bullet with hit points.
struct Shot {
    int32_t hitPoints;
    int32_t power;
    float knockBackSpeed;
    int32_t type;
    int32_t age;  // +1 at the end of every update
    int32_t targetSide;
    uint8_t grazed;
    int32_t owner;
    uint8_t vanishesOnHit;
    uint8_t knocksBack;
    float position[2];
    float previousPosition[2];
    float trailPosition[2];
    float heading;
    float angle;
    float speed;
    float param;
    float hitShape[3];
};

// The hit zone of an attack for one battle frame.
struct AttackArea {
    int32_t type;
    int32_t missesDashingPlayer;
    float position[2];
    float angle;
    float scaleX;
    float scaleY;
    int32_t owner;
    float hitShape[3];
    int32_t power;
    float knockBackSpeed;
    uint8_t knocksBack;
};

// A short-lived picture; codes from 1001 on are also graze lines.
struct Effect {
    int32_t owner;
    int32_t age;  // +1 at the start of every update; negative = still waiting
    int32_t type;
    float position[2];
    float angle;
    float strength;
    float scale;
};

// A record of one side's own object list (satellites, launchers, circling
// objects), with a type numbering of its own.
struct PlayerObject {
    int32_t tag;  // 100 for satellites, 9999 for the others; read by nobody here
    int32_t type;
    int32_t unusedWords[2];
    int32_t timer;
    float position[2];
    float heading;
    float angle;
    float speed;
    float slowdown;
    int32_t unusedTail[3];
};

enum class WalkStep { Keep, Erase };

// During a walk the list is a gap buffer: the records it has erased so far
// form a gap just before the record being visited, which the walk moves
// forward one record at a time, so a walk costs time linear in the records.
// Every index, Size() and Append see the list as if each erase had closed
// its gap at once.
template <class Record>
class ObjectList {
public:
    int32_t Size() const { return static_cast<int32_t>(records_.size()) - gapSize_; }
    // Index of the last record, -1 when the list is empty: what every spawner
    // returns, whether or not it appended.
    int32_t LastIndex() const { return Size() - 1; }
    int32_t Append(const Record& record) {
        records_.push_back(record);
        return LastIndex();
    }
    // For indices known to lie inside the list (the walks below).
    Record& operator[](int32_t index) { return records_[Slot(index)]; }
    const Record& operator[](int32_t index) const { return records_[Slot(index)]; }
    // Runs adjust on the record at index; an index outside the list (a spawn
    // that made nothing) is ignored. Returns whether it ran.
    template <class Fn>
    bool Adjust(int32_t index, Fn adjust) {
        if (index < 0 || index >= Size()) return false;
        adjust((*this)[index]);
        return true;
    }
    // Removes the record at index; the later records move down by one. The
    // record a walk is visiting joins the gap; any other is erased from the
    // storage, which moves only the records after it.
    void Erase(int32_t index) {
        if (index < 0 || index >= Size()) return;
        if (index == gapStart_) {
            ++gapSize_;
            return;
        }
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(Slot(index)));
        if (index < gapStart_) --gapStart_;
    }
    // Size 0, storage kept.
    void Clear() {
        records_.clear();
        CloseGap();
    }
    // Size 0 and storage given back.
    void Free() {
        std::vector<Record>().swap(records_);
        CloseGap();
    }

    // Walks the list by index, reading its size afresh at every step: a step
    // that erases its record leaves the index where it is (the next record
    // takes it), and records appended during the walk are visited in the same
    // walk. The step gets the index, never a reference, since it may append to
    // the same list.
    template <class Step>
    void Walk(Step step) {
        for (int32_t i = 0; i < Size();) {
            MoveGapTo(i);
            if (step(i) == WalkStep::Erase) Erase(i);
            else ++i;
        }
        MoveGapTo(Size());
        records_.resize(static_cast<std::size_t>(Size()));
        CloseGap();
    }

private:
    std::size_t Slot(int32_t index) const {
        return static_cast<std::size_t>(index >= gapStart_ ? index + gapSize_ : index);
    }
    // Puts the gap just before the record at index, moving the records that
    // lie between.
    void MoveGapTo(int32_t index) {
        if (gapSize_ == 0) {
            gapStart_ = index;
            return;
        }
        if (index == gapStart_ + 1) {  // the walk's usual step
            records_[static_cast<std::size_t>(gapStart_)] = records_[static_cast<std::size_t>(gapStart_ + gapSize_)];
            gapStart_ = index;
            return;
        }
        const auto at = [this](int32_t slot) { return records_.begin() + slot; };
        if (index > gapStart_) std::move(at(gapStart_ + gapSize_), at(index + gapSize_), at(gapStart_));
        else std::move_backward(at(index), at(gapStart_), at(gapStart_ + gapSize_));
        gapStart_ = index;
    }
    void CloseGap() {
        gapStart_ = -1;
        gapSize_ = 0;
    }

    std::vector<Record> records_;
    int32_t gapStart_ = -1;  // -1 outside walks
    int32_t gapSize_ = 0;
};

template <class Record, class Step>
void WalkObjectList(ObjectList<Record>& list, Step step) {
    list.Walk(step);
}

extern ObjectList<HeavyShot> heavyShotList;
extern ObjectList<Shot> shotList;
extern ObjectList<AttackArea> attackAreaList;
extern ObjectList<Effect> effectList;
extern ObjectList<int32_t> flashList;  // the ages of the running screen flashes

// One call of a spawner, as asked.
struct SpawnRequest {
    ObjectKind kind;
    int32_t type;
    float angle;
    float position[2];
    int32_t owner;
};

// When set, every spawner call is recorded here before it runs, so that the
// requests for kinds that make no records yet can be followed (tests, traces).
extern std::vector<SpawnRequest>* spawnTrace;
void TraceSpawn(ObjectKind kind, int32_t type, float angle, const float position[2], int32_t owner);
// Frees the lists' records and drops the trace, as at program start.
void ResetObjectListState();

// Each spawner appends the record(s) of a type code and returns the index of
// the last record of its list (-1 when empty). The caller adjusts the new
// record at once through ObjectList::Adjust with that index.
int32_t SpawnHeavyShot(int32_t type, float angle, const float position[2], int32_t owner);
int32_t SpawnShot(int32_t type, float angle, const float position[2], int32_t owner);
int32_t SpawnAttackArea(int32_t type, float angle, const float position[2], int32_t owner);
int32_t SpawnEffect(int32_t type, float angle, const float position[2], int32_t owner);

// The responses of a Shot, HeavyShot and AttackArea that touched a fighter or
// another object at position. They spawn the hit's effects, particles,
// follow-up objects and sounds, and never erase their own record.
void EndShot(int32_t index, const float position[2]);
void HitHeavyShot(int32_t index, const float position[2]);
void HitAttackArea(int32_t index, const float position[2]);

// Starts a white flash of the whole screen.
void AddScreenFlash();

// Empties the attack areas (done once per unpaused frame, after the drawing).
void ClearAttackAreas();
// Empties the object lists and the flashes at battle start.
void EmptyBattleObjectLists();
