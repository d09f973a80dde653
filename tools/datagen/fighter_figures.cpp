#include "tools/datagen/fighter_figures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "game/arena/roster.h"
#include "tools/datagen/fighter_poses.h"
#include "tools/datagen/shapes.h"

namespace datagen {
namespace {

constexpr float POSE_PLANE = 40.0f;  // world units the body pose's picture spans

// Figures are built from shapes in world units about the body's centre, x
// forward and y up, then painted at the picture's scale, outlined so that a
// figure stands out on any stage.

// ---- Bodies ------------------------------------------------------------------

// The colours of one figure. None of them is near white, so that only the
// frame spark is.
struct Palette {
    Colour body, limb, light, face, eye;
};

Palette PaletteOf(Colour costume, bool knockedOut) {
    if (knockedOut) {  // drained toward grey
        const int grey = (costume.r + costume.g + costume.b) / 3;
        auto toward = [grey](uint8_t v) { return static_cast<uint8_t>((v + grey * 2) / 3 * 4 / 5); };
        costume = {toward(costume.r), toward(costume.g), toward(costume.b), 255};
    }
    return {costume, Shade(costume, 0.7f), Shade(costume, 1.3f), {245, 205, 170, 255}, {30, 25, 45, 255}};
}

// Where a figure's limbs point (radians, counter-clockwise from forward),
// how far it leans forward about its middle and how far it is shifted.
struct Stance {
    float frontArm, frontForearm, backArm, backForearm;
    float frontLeg, backLeg;
    float lean = 0;
    Vec shift{0, 0};
};

constexpr Vec HEAD{0, 7.5f};
constexpr float HEAD_RADIUS = 5.5f;
constexpr Vec PIVOT{0, -4};  // leaning turns about it

Stance StanceOf(PoseStep step) {
    const float p = step.phase, d = Radians(1);
    switch (step.kind) {
    case PoseKind::Idle: {
        const float sway = std::sin(p * PI) * 8 * d;
        return {-100 * d + sway, -85 * d + sway, -80 * d - sway, -95 * d, -97 * d, -83 * d, 0, {0, std::sin(p * PI) * 0.8f}};
    }
    case PoseKind::MoveForward:
        return {-135 * d, -160 * d, -145 * d, -170 * d, -120 * d - p * 10 * d, -105 * d + p * 10 * d, Radians(22)};
    case PoseKind::MoveBackward:
        return {-30 * d, 10 * d, -40 * d, 0, -60 * d, -75 * d + p * 8 * d, Radians(-16)};
    case PoseKind::DashForward: return {60 * d, 75 * d, 80 * d, 95 * d, -95 * d, -85 * d, Radians(68)};
    case PoseKind::DashBackward: return {-10 * d, 20 * d, -25 * d, 10 * d, -50 * d, -40 * d, Radians(-35)};
    case PoseKind::Shoot: {
        const float raise = std::min(1.0f, p * 2 + 0.4f);
        return {(-60 + 60 * raise) * d, (-60 + 60 * raise) * d, -115 * d, -100 * d, -95 * d, -80 * d, Radians(4)};
    }
    case PoseKind::Slash: {
        const float a = 115 - 170 * p;
        return {a * d, (a - 10) * d, -130 * d, -150 * d, -70 * d, -110 * d, Radians(8 + 10 * p)};
    }
    case PoseKind::Cast: return {65 * d, 95 * d, 115 * d, 90 * d, -100 * d, -80 * d, 0, {0, p * 1.0f}};
    case PoseKind::Shield: return {-10 * d, 80 * d, -20 * d, 70 * d, -100 * d, -115 * d, Radians(-6)};
    case PoseKind::KnockedBack: return {140 * d, 165 * d, 40 * d, 10 * d, -45 * d, -140 * d, Radians(-8)};
    case PoseKind::KnockedOut: return {-160 * d, -175 * d, -150 * d, -165 * d, -70 * d, -60 * d, Radians(-75)};
    }
    return {};
}

// The shapes of one character's body about its centre, unleaned: its torso,
// its head and the marks of its own (hat, horns, wings, tails).
struct Body {
    std::vector<Shape> behind;  // under the torso
    std::vector<Shape> torso;
    std::vector<Shape> top;  // over the head
};

Body BodyOf(int characterId, const Palette& c) {
    Body b;
    switch (characterId) {
    case 1:  // kirune: a long coat and a tail of hair
        b.behind.push_back(Capsule({-2, 10}, {-10, 4}, 1.8f, c.limb));
        b.torso.push_back(Polygon({{-4, 2}, {4, 2}, {7, -13}, {-7, -13}}, c.body));
        b.torso.push_back(Capsule({0, 1}, {0, -12}, 0.7f, c.light, Outline::None));
        break;
    case 2:  // bemo: round
        b.torso.push_back(Disc({0, -4}, 9.0f, c.body));
        b.torso.push_back(Disc({-2.5f, -1.5f}, 3.0f, c.light, Outline::None));
        break;
    case 3:  // oza: square, with an aerial
        b.torso.push_back(Box({-6.5f, -12}, {6.5f, 2}, c.body));
        b.torso.push_back(Box({-4, -8}, {4, -4}, c.limb, Outline::None));
        b.top.push_back(Capsule({0, 12}, {2.5f, 17}, 0.6f, c.limb));
        b.top.push_back(Disc({2.5f, 17}, 1.5f, c.light));
        break;
    case 4:  // perila: slim, with leaf wings
        b.behind.push_back(Polygon({{-2, 0}, {-14, 8}, {-12, -2}}, c.limb));
        b.behind.push_back(Polygon({{-2, -2}, {-13, -8}, {-8, -12}}, c.limb));
        b.torso.push_back(Polygon({{-3, 2}, {3, 2}, {6, -13}, {-6, -13}}, c.body));
        break;
    case 5:  // ruo: tall and thin, with a pointed hat
        b.torso.push_back(Polygon({{-3.5f, 2}, {3.5f, 2}, {3, -14}, {-3, -14}}, c.body));
        b.top.push_back(Polygon({{-7, 10}, {7, 10}, {-1, 21}}, c.body));
        break;
    case 6:  // torvi: broad shoulders and horns
        b.torso.push_back(Polygon({{-10, 3}, {10, 3}, {4, -12}, {-4, -12}}, c.body));
        b.top.push_back(Capsule({-3, 11}, {-6, 16}, 1.2f, c.limb));
        b.top.push_back(Capsule({3, 11}, {6, 16}, 1.2f, c.limb));
        break;
    case 7:  // nebu: a diamond with a halo
        b.torso.push_back(Polygon({{0, 3}, {7, -4}, {0, -14}, {-7, -4}}, c.body));
        b.top.push_back(Arc({0, 14}, 4.5f, Radians(0), Radians(360), 0.8f, c.light));
        break;
    default:  // welo: twin tails and a wide skirt
        b.behind.push_back(Capsule({-3, 10}, {-10, 1}, 2.0f, c.limb));
        b.behind.push_back(Capsule({2, 11}, {-6, 14}, 1.6f, c.limb));
        b.torso.push_back(Polygon({{-3, 2}, {3, 2}, {9, -12}, {-9, -12}}, c.body));
        break;
    }
    return b;
}

// A limb of two parts from a joint; its hand or foot at `end`.
void Limb(std::vector<Shape>& out, Vec joint, float upper, float lower, float length, float radius, Colour colour,
          Outline outline, Vec* end = nullptr) {
    const Vec elbow = Along(joint, upper, length * 0.5f);
    const Vec hand = Along(elbow, lower, length * 0.5f);
    out.push_back(Capsule(joint, elbow, radius, colour, outline));
    out.push_back(Capsule(elbow, hand, radius, colour, outline));
    if (end) *end = hand;
}

bool HasBladeParts(int characterId) { return characterId == 1 || characterId == 8; }

// The figure's shapes, leaned; the effects that do not lean come in
// `behind` (speed lines, aura) and `over` (the stars of a hit).
std::vector<Shape> FigureShapes(int characterId, const Palette& c, PoseStep step, std::vector<Shape>* behind,
                                std::vector<Shape>* over) {
    const Stance s = StanceOf(step);
    const Body body = BodyOf(characterId, c);
    std::vector<Shape> out;
    Vec frontHand, backHand;
    Limb(out, {-1.5f, -11}, s.backLeg, s.backLeg, 8, 1.6f, Shade(c.limb, 0.85f), Outline::Shared);
    Limb(out, {-1.5f, 0}, s.backArm, s.backForearm, 9, 1.4f, Shade(c.limb, 0.85f), Outline::Shared, &backHand);
    out.insert(out.end(), body.behind.begin(), body.behind.end());
    Limb(out, {1.5f, -11}, s.frontLeg, s.frontLeg, 8, 1.6f, c.limb, Outline::Shared);
    out.insert(out.end(), body.torso.begin(), body.torso.end());
    out.push_back(Disc(HEAD, HEAD_RADIUS, c.body));
    // The face looks forward, so the facing shows at a glance.
    out.push_back(Disc({3.7f, 8.5f}, 2.2f, c.face, Outline::None));
    switch (step.kind) {
    case PoseKind::KnockedBack:  // eyes squeezed shut
        out.push_back(Capsule({3.4f, 9.6f}, {4.8f, 8.8f}, 0.45f, c.eye, Outline::None));
        out.push_back(Capsule({3.4f, 8.0f}, {4.8f, 8.8f}, 0.45f, c.eye, Outline::None));
        break;
    case PoseKind::KnockedOut:  // a cross for an eye
        out.push_back(Capsule({3.2f, 7.6f}, {5.0f, 9.6f}, 0.45f, c.eye, Outline::None));
        out.push_back(Capsule({3.2f, 9.6f}, {5.0f, 7.6f}, 0.45f, c.eye, Outline::None));
        break;
    default: out.push_back(Capsule({4.4f, 8.2f}, {4.4f, 9.6f}, 0.6f, c.eye, Outline::None)); break;
    }
    out.insert(out.end(), body.top.begin(), body.top.end());
    Limb(out, {1.5f, 0}, s.frontArm, s.frontForearm, 9, 1.5f, c.limb, Outline::Own, &frontHand);
    out.push_back(Disc(frontHand, 1.6f, c.face, Outline::Own));

    const Colour spark{255, 225, 90, 255};
    switch (step.kind) {
    case PoseKind::Shoot:
        out.push_back(Glow(Along(frontHand, s.frontForearm, 2.0f), 2.5f + 3.0f * step.phase, spark));
        break;
    case PoseKind::Slash: {
        // The swing's trail from overhead to the hand, and a blade in the
        // hand unless the character's blades are parts of their own.
        const float shoulder = Radians(115);
        out.push_back(Arc({1.5f, 0}, 11, s.frontArm, shoulder, 3.0f, WithAlpha(c.light, 150), true));
        if (!HasBladeParts(characterId))
            out.push_back(Capsule(frontHand, Along(frontHand, s.frontForearm, 10), 0.9f, {175, 195, 215, 255}, Outline::Own));
        break;
    }
    case PoseKind::Cast:
        out.push_back(Glow(frontHand, 3.0f + 2.0f * step.phase, WithAlpha(c.light, 220)));
        out.push_back(Glow(backHand, 2.5f + 2.0f * step.phase, WithAlpha(c.light, 200)));
        break;
    case PoseKind::Shield:
        out.push_back(Arc({0, -2}, 13, Radians(-65), Radians(65), 3.5f, {110, 190, 255, 120}, true));
        out.push_back(Arc({0, -2}, 13, Radians(-65), Radians(65), 1.4f, {150, 215, 255, 230}));
        break;
    default: break;
    }
    for (Shape& shape : out)
        for (Vec& v : shape.points) v = Add(Turn(v, PIVOT, -s.lean), s.shift);
    for (Shape& shape : out)
        if (shape.kind == Shape::Kind::Arc) shape.from -= s.lean, shape.to -= s.lean;

    switch (step.kind) {
    case PoseKind::DashForward:
    case PoseKind::DashBackward: {
        // Speed lines on the side it comes from.
        const float side = step.kind == PoseKind::DashForward ? -1.0f : 1.0f;
        for (int i = 0; i < 3; ++i) {
            const float y = -8.0f + 7.0f * static_cast<float>(i);
            const float length = 6.0f + 4.0f * std::fmod(step.phase * 3.0f + static_cast<float>(i) * 0.4f, 1.0f);
            behind->push_back(Capsule({side * 9, y}, {side * (9 + length), y}, 0.7f, WithAlpha(c.light, 200), Outline::None));
        }
        break;
    }
    case PoseKind::KnockedBack:  // stars about the head
        for (int i = 0; i < 3; ++i) {
            const Vec at = Along({-1, 8}, Radians(60.0f + 50.0f * static_cast<float>(i)), 11.0f);
            over->push_back(Disc(at, 1.3f, spark, Outline::Own));
        }
        break;
    case PoseKind::Cast:
        behind->push_back(Arc({0, -2}, 15.0f + 3.0f * step.phase, 0, 2 * PI, 1.6f, WithAlpha(c.light, 140), true));
        break;
    default: break;
    }
    return out;
}

// The shapes seen in a mirror: facing left instead of right.
void Mirror(std::vector<Shape>& shapes) {
    for (Shape& shape : shapes) {
        for (Vec& v : shape.points) v.x = -v.x;
        if (shape.kind == Shape::Kind::Arc) {
            const float from = shape.from;
            shape.from = PI - shape.to;
            shape.to = PI - from;
        }
    }
}

// The white spark of a pose picture (see FighterPosePainter).
void FrameSpark(Canvas& c, int pose, int poses) {
    const int w = c.Width(), h = c.Height();
    const float a = 2 * PI * static_cast<float>(pose) / static_cast<float>(std::max(poses, 1));
    c.Disc(w / 2 + static_cast<int>(std::cos(a) * static_cast<float>(w) * 0.35f),
           h / 2 + static_cast<int>(std::sin(a) * static_cast<float>(h) * 0.35f), std::max(3, w / 14), {255, 255, 255, 255});
}

// ---- Action parts --------------------------------------------------------------

constexpr Colour STEEL{150, 215, 250, 255};
constexpr Colour FLASH{255, 215, 90, 255};

void AddGun(std::vector<Shape>& out, const Palette& c, Vec grip, float angle, bool firing) {
    const Vec muzzle = Along(grip, angle, 18);
    const Vec across = Along({0, 0}, angle + PI / 2, 3.5f);
    out.push_back(Polygon({Add(grip, {-across.x, -across.y}), Add(muzzle, {-across.x, -across.y}), Add(muzzle, across),
                           Add(grip, across)},
                          c.body));
    out.push_back(Capsule(Along(grip, angle, 4), Along(grip, angle, 17), 0.8f, c.limb, Outline::None));
    out.push_back(Capsule(grip, Along(grip, angle - PI / 2, 4), 1.4f, c.limb));
    if (firing) {
        out.push_back(Glow(Along(muzzle, angle, 4), 6.0f, FLASH));
        out.push_back(Capsule(Along(muzzle, angle, 1), Along(muzzle, angle, 9), 1.0f, FLASH, Outline::None));
    }
}

void AddPod(std::vector<Shape>& out, const Palette& c, float y, float phase) {
    const float reach = 4.0f * phase;  // the halves slide forward as the fan opens
    out.push_back(Box({-14 + reach, y - 5}, {16 + reach, y + 5}, c.body));
    for (int i = 0; i < 3; ++i)
        out.push_back(Disc({15 + reach, y - 3 + 3.0f * static_cast<float>(i)}, 1.1f, c.eye, Outline::None));
    out.push_back(Box({-10 + reach, y - 1}, {10 + reach, y + 1}, c.limb, Outline::None));
}

void AddSwing(std::vector<Shape>& out, const Palette& c, float phase, float reach, float width) {
    const float start = Radians(80), angle = Radians(80 - 150 * phase);
    const Vec shoulder{1.5f, 0};
    out.push_back(Arc(shoulder, reach * 0.75f, angle, start, reach * 0.3f, WithAlpha(STEEL, 170), true));
    out.push_back(Arc(shoulder, reach + 7, angle, start, 0.8f, WithAlpha(STEEL, 200)));
    const Vec hand = Along(shoulder, angle, 8);
    out.push_back(Capsule(hand, Along(hand, angle, reach), width, STEEL, Outline::Own));
    out.push_back(Capsule(Along(hand, angle, -1.5f), Along(hand, angle, 1.5f), width + 0.8f, c.body, Outline::Own));
}

std::vector<Shape> PartShapes(const Palette& c, PartStep step) {
    std::vector<Shape> out;
    const float p = step.phase;
    switch (step.kind) {
    case PartKind::None: break;
    case PartKind::Blade: AddSwing(out, c, p, 24, 1.8f); break;
    case PartKind::BigBlade:
        out.push_back(Glow({6, 6}, 22, WithAlpha(FLASH, 90)));
        AddSwing(out, c, 0.25f + 0.6f * p, 34, 2.4f);
        break;
    case PartKind::BladeThrust: {
        const Vec hand{6 + 8 * p, 0};
        for (int i = 0; i < 3; ++i) {
            const float y = -3.0f + 3.0f * static_cast<float>(i);
            out.push_back(Capsule({hand.x - 14, y}, {hand.x - 4, y}, 0.5f, WithAlpha(STEEL, 140), Outline::None));
        }
        out.push_back(Capsule(hand, Add(hand, {26, 0}), 1.8f, STEEL, Outline::Own));
        out.push_back(Glow(Add(hand, {27, 0}), 3.0f + 4.0f * p, FLASH));
        out.push_back(Capsule(Add(hand, {-1.5f, 0}), Add(hand, {1.5f, 0}), 2.0f, c.body, Outline::Own));
        break;
    }
    case PartKind::GunDrawn: AddGun(out, c, {0.5f, -8}, Radians(-90), false); break;
    case PartKind::GunRaised: AddGun(out, c, {4, -2}, Radians(-35), false); break;
    case PartKind::GunFiring: AddGun(out, c, {4, 0}, 0, true); break;
    case PartKind::PodLower: AddPod(out, c, -29, p); break;
    case PartKind::PodUpper: AddPod(out, c, 24, p); break;
    case PartKind::Cannon:
    case PartKind::CannonFiring: {
        out.push_back(Box({-12, 3}, {26, 12}, c.body));
        out.push_back(Box({26, 2}, {30, 13}, c.limb));
        out.push_back(Disc({30, 7.5f}, 3.0f, c.eye, Outline::None));
        if (step.kind == PartKind::CannonFiring) {
            out.push_back(Glow({34, 7.5f}, 9.0f, FLASH));
            out.push_back(Capsule({32, 7.5f}, {40, 7.5f}, 2.5f, FLASH, Outline::None));
        }
        break;
    }
    case PartKind::ArmBack:
        out.push_back(Capsule({2, 2}, {-8, 5}, 2.6f, c.limb));
        out.push_back(Disc({-10, 5}, 4.0f, c.body));
        break;
    case PartKind::ArmStrike:
        out.push_back(Capsule({2, 5}, {19, 9}, 4.0f, c.body));
        out.push_back(Disc({22, 9.5f}, 5.5f, c.body));
        break;
    case PartKind::StrikeGlow:
        out.push_back(Glow({27, 9.5f}, 9.0f + 6.0f * p, FLASH));
        for (int i = 0; i < 6; ++i) {
            const float a = Radians(60.0f * static_cast<float>(i) + 30.0f * p);
            out.push_back(Capsule(Along({27, 9.5f}, a, 6), Along({27, 9.5f}, a, 13 + 4 * p), 0.8f, FLASH, Outline::None));
        }
        break;
    }
    return out;
}

}  // namespace

void PaintFigure(Canvas& c, int characterId, Colour costume, PoseStep step, float cx, float cy, float pixels,
                 bool facingLeft) {
    const Palette palette = PaletteOf(costume, step.kind == PoseKind::KnockedOut);
    std::vector<Shape> behind, over;
    std::vector<Shape> figure = FigureShapes(characterId, palette, step, &behind, &over);
    if (facingLeft)
        for (std::vector<Shape>* shapes : {&behind, &figure, &over}) Mirror(*shapes);
    const Scale scale{cx, cy, pixels};
    PaintShapes(c, scale, behind);
    // A hit rims the figure in a flash of red.
    PaintShapes(c, scale, figure, step.kind == PoseKind::KnockedBack ? Colour{230, 40, 30, 255} : INK);
    PaintShapes(c, scale, over);
}

FigurePainter FighterPosePainter(int characterId, Colour costume, int pose) {
    const RosterEntry* entry = FindRosterEntry(characterId);
    const int poses = entry ? entry->pictures.frames : 1;
    return [=](Canvas& c, Lettering&) {
        PaintFigure(c, characterId, costume, FighterPose(characterId, pose), c.Width() / 2.0f, c.Height() / 2.0f,
                    static_cast<float>(c.Width()) / POSE_PLANE);
        FrameSpark(c, pose, poses);
    };
}

FigurePainter FighterPartPainter(int characterId, Colour costume, int part) {
    const RosterEntry* entry = FindRosterEntry(characterId);
    const float plane = entry && entry->pictures.actionPlaneSize > 0 ? entry->pictures.actionPlaneSize : POSE_PLANE;
    return [=](Canvas& c, Lettering&) {
        const Scale scale{c.Width() / 2.0f, c.Height() / 2.0f, static_cast<float>(c.Width()) / plane};
        PaintShapes(c, scale, PartShapes(PaletteOf(costume, false), FighterPart(characterId, part)));
    };
}

}  // namespace datagen
