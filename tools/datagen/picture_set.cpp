#include "tools/datagen/picture_set.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <utility>

#include "engine/graphics/image.h"
#include "engine/graphics/kag_archive.h"
#include "game/screens/title_menu.h"
#include "tools/datagen/cast.h"
#include "tools/datagen/fighter_figures.h"
#include "tools/datagen/hud_pictures.h"
#include "tools/datagen/model_set.h"
#include "tools/datagen/screen_art.h"
#include "tools/datagen/select_pictures.h"
#include "tools/datagen/shapes.h"
#include "tools/datagen/shot_sheets.h"
#include "tools/datagen/stage_pictures.h"
#include "tools/datagen/story_pictures.h"
#include "tools/datagen/title_pictures.h"

namespace datagen {
namespace {

constexpr const char* SYSTEM = "gf/system.dat";
constexpr const char* ANIMATION = "gf/animation.dat";
constexpr const char* EXTRA = "gf/extra.dat";
constexpr const char* MODEL = "gf/model.dat";

std::string TwoDigits(const char* prefix, int n) {
    char key[32];
    std::snprintf(key, sizeof key, "%s%02d", prefix, n);
    return key;
}

// ---- Painters --------------------------------------------------------------

using Painter = std::function<void(Canvas&, Lettering&)>;

// The transition sprite: a black cell and a white cell on the top row, and
// the banner's two particle colours below.
void PaintTransitionSprite(Canvas& c, Lettering&) {
    c.Fill(0, 0, 32, 32, BLACK);
    c.Fill(32, 0, 64, 32, WHITE);
    c.Disc(32, 96, 31, {110, 170, 255, 255}, true);
    c.Disc(96, 96, 31, {255, 120, 110, 255}, true);
}

// Particle sheet: 23 x 23 sparks on a 24-pixel grid, a colour per row; along
// a row (the animation) each spark twinkles, its glow and four rays waxing
// and waning about a white core.
void PaintParticleSheet(Canvas& c, Lettering&) {
    const Colour rows[] = {{255, 255, 255}, {255, 90, 90}, {90, 255, 90}, {90, 140, 255},
                           {255, 230, 80},  {255, 90, 255}, {80, 240, 255}, {255, 160, 60}};
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col) {
            const int cx = 24 * col + 11, cy = 24 * row + 11;
            const float pulse = 0.5f + 0.5f * std::cos(2 * PI * static_cast<float>(col) / 8);
            c.Disc(cx, cy, 5 + static_cast<int>(5 * pulse), WithAlpha(rows[row], 200), true);
            const int reach = 4 + static_cast<int>(7 * pulse);
            for (int k = 1; k <= reach; ++k) {
                const auto alpha = static_cast<uint8_t>(230 * (reach + 1 - k) / (reach + 1));
                const Colour ray = WithAlpha(Shade(rows[row], 1.4f), alpha);
                for (const auto& [dx, dy] : {std::pair{k, 0}, std::pair{-k, 0}, std::pair{0, k}, std::pair{0, -k}})
                    c.Fill(cx + dx, cy + dy, cx + dx + 1, cy + dy + 1, ray);
            }
            c.Disc(cx, cy, 2, WHITE, true);
        }
}

// Height picture of the hilly stage: the red channel is the height.
void PaintHeightField(Canvas& c, Lettering&) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float h = 0.5f + 0.25f * std::sin(static_cast<float>(x) * 0.07f) + 0.25f * std::cos(static_cast<float>(y) * 0.05f);
            c.SetRed(x, y, static_cast<uint8_t>(std::clamp(h, 0.0f, 1.0f) * 255));
        }
}

// The characters' colours, for their tabs on the HUD sheets.
std::array<Colour, CHARACTER_COUNT> TabColours() {
    std::array<Colour, CHARACTER_COUNT> colours;
    for (size_t i = 0; i < colours.size(); ++i) colours[i] = CHARACTERS[i].colour;
    return colours;
}

// ---- Catalogue ---------------------------------------------------------------

void Add(std::vector<Picture>& out, const char* archive, std::string key, int w, int h, int format, Painter paint) {
    out.push_back({archive, std::move(key), w, h, format, std::move(paint)});
}

void AddSystemPictures(std::vector<Picture>& out) {
    const int LZ = IMAGE_PIXEL_32_LZSS, LZ16 = IMAGE_PIXEL_16_LZSS;
    Add(out, SYSTEM, "black", 128, 128, IMAGE_PIXEL_32, PaintTransitionSprite);
    Add(out, SYSTEM, "morvel", 640, 480, LZ, PaintMakerLogo);
    Add(out, SYSTEM, "quastel", 640, 480, LZ16, PaintEngineLogo);
    Add(out, SYSTEM, "effect", 512, 512, LZ, EffectSheetPainter());
    Add(out, SYSTEM, "perticle", 256, 256, LZ, PaintParticleSheet);
    for (bool replay : {false, true})
        Add(out, SYSTEM, replay ? "system_r" : "system", 512, 512, LZ,
            [replay](Canvas& c, Lettering& l) { PaintSystemSheet(c, l, TabColours(), replay); });
    Add(out, SYSTEM, "name_plate", 256, 256, LZ, PaintNamePlates);
    Add(out, SYSTEM, "message", 512, 256, LZ, PaintMessageSheet);
    Add(out, SYSTEM, "menu_font", 512, 512, LZ, PaintMenuFont);
    Add(out, SYSTEM, "replay_font", 512, 512, LZ, PaintReplayFont);
    Add(out, SYSTEM, "title_logo", 512, 256, LZ, PaintTitleLogo);
    Add(out, SYSTEM, "ranking_font", 512, 512, LZ, PaintRankingFont);
    Add(out, SYSTEM, "menu_bgp", 512, 512, LZ, PaintMenuLight);
    Add(out, SYSTEM, "menu_bgpS", 640, 480, LZ16, PaintMenuBackground);
    Add(out, SYSTEM, "select_face", 512, 512, LZ, PaintSelectFaces);
    const char* const standSheets[] = {"select_stand", "select_stand2", "select_stand3"};
    for (int sheet = 0; sheet < 3; ++sheet)
        Add(out, SYSTEM, standSheets[sheet], 512, 512, LZ,
            [sheet](Canvas& c, Lettering& l) { PaintSelectStands(c, l, sheet); });
    Add(out, SYSTEM, "select_stage", 512, 512, LZ, PaintSelectStages);
    Add(out, SYSTEM, "select_stagename", 512, 512, LZ, PaintStageNames);
    Add(out, SYSTEM, "select_wheel", 512, 512, LZ, PaintCharacterWheel);
    Add(out, SYSTEM, "select_wheel2", 512, 512, LZ, PaintStageWheel);
    Add(out, SYSTEM, "select_sky", 512, 512, LZ, PaintSelectSky);
    for (int id = 1; id <= CHARACTER_COUNT; ++id)
        Add(out, SYSTEM, std::string("stand_") + CharacterOf(id).name, 512, 512, LZ,
            [id](Canvas& c, Lettering&) { PaintStandPicture(c, id); });
    Add(out, SYSTEM, "conclusion_font", 512, 512, LZ, PaintConclusionSheet);
    Add(out, SYSTEM, "vs_font", 256, 128, LZ, PaintVersusMark);
    Add(out, SYSTEM, "vs_bgp", 640, 480, LZ16, PaintVersusBackground);
    Add(out, SYSTEM, "ed_staff", 512, 512, LZ, PaintStaffRoll);
}

void AddAnimationPictures(std::vector<Picture>& out) {
    Add(out, ANIMATION, "anm_font", 512, 512, IMAGE_PIXEL_32_LZSS, PaintAnimationFont);
    // "anm00" is the title picture, "anm01" on the stills.
    Add(out, ANIMATION, "anm00", 512, 512, IMAGE_PIXEL_32_LZSS, PaintAnimationTitle);
    for (int entry = 0; entry < ANIMATION_STILLS; ++entry)
        Add(out, ANIMATION, TwoDigits("anm", entry + 1), 512, 512, IMAGE_PIXEL_32_LZSS,
            [entry](Canvas& c, Lettering&) { PaintAnimationStill(c, entry); });
}

void AddExtraPictures(std::vector<Picture>& out) {
    for (int id = 1; id <= CHARACTER_COUNT; ++id) {
        const Character& ch = CharacterOf(id);
        if (ch.storyPages == 0) continue;
        // The extra menu never offers one character's story: its pictures
        // carry their keys.
        const bool drawn = id != EXTRA_ITEM_HIDDEN;
        auto labelled = [drawn](std::string key, Painter paint) -> Painter {
            if (drawn) return paint;
            return [key, paint](Canvas& c, Lettering& l) {
                paint(c, l);
                c.KeyLabel(l, key, 8, 8, 16, WHITE);
            };
        };
        const std::string bp = std::string("bp_") + ch.name;
        Add(out, EXTRA, bp, 640, 480, IMAGE_PIXEL_16_LZSS,
            labelled(bp, [id](Canvas& c, Lettering&) { PaintStoryBackground(c, id); }));
        out.back().drawn = drawn;
        for (int page = 0; page < ch.storyPages; ++page) {
            const std::string key = TwoDigits((std::string("st_") + ch.name + "_").c_str(), page);
            Add(out, EXTRA, key, 512, 512, IMAGE_PIXEL_32_LZSS,
                labelled(key, [id, page](Canvas& c, Lettering& l) { PaintStoryPage(c, l, id, page); }));
            out.back().drawn = drawn;
        }
    }
}

void AddStagePictures(std::vector<Picture>& out) {
    for (Picture& p : StagePictures()) out.push_back(std::move(p));
    Add(out, MODEL, "03land", 161, 161, IMAGE_PIXEL_32_LZSS, PaintHeightField);
    for (Picture& p : StageModelTextures()) out.push_back(std::move(p));
}

void AddCharacterPictures(std::vector<Picture>& out) {
    for (int id = 1; id <= CHARACTER_COUNT; ++id) {
        const Character& ch = CharacterOf(id);
        for (int colour = 0; colour < 2; ++colour) {
            std::string archive = "gf/mdl_" + std::to_string(id) + std::to_string(colour + 1) + ".dat";
            auto add = [&](std::string key, int w, int h, Painter p) {
                out.push_back({archive, std::move(key), w, h, IMAGE_PIXEL_32_LZSS, std::move(p)});
            };
            for (int k = 0; k < ch.pictures.frames; ++k) {
                std::string key = TwoDigits("mdl", k);
                add(key, 64, 64, FighterPosePainter(id, CostumeColour(ch, colour), k));
            }
            for (int k = 0; k < ch.pictures.actions; ++k) {
                std::string key = TwoDigits(ch.pictures.actionPrefix, k);
                add(key, ACTION_PICTURE_SIDE, ACTION_PICTURE_SIDE, FighterPartPainter(id, CostumeColour(ch, colour), k));
            }
            add("item", 512, 512, ShotSheetPainter(id, CostumeColour(ch, colour)));
            add("ring", 512, 512, RingSheetPainter(id, CostumeColour(ch, colour)));
        }
    }
}

}  // namespace

std::vector<Picture> PictureCatalogue() {
    std::vector<Picture> out;
    AddSystemPictures(out);
    AddAnimationPictures(out);
    AddExtraPictures(out);
    AddStagePictures(out);
    AddCharacterPictures(out);
    return out;
}

std::vector<std::string> PictureArchives(const std::vector<Picture>& catalogue) {
    std::vector<std::string> archives;
    for (const Picture& p : catalogue)
        if (std::find(archives.begin(), archives.end(), p.archive) == archives.end()) archives.push_back(p.archive);
    return archives;
}

namespace {

// One picture painted and stored as its archive entry holds it.
std::vector<uint8_t> PaintEntry(const Picture& p, Lettering& lettering) {
    Canvas canvas(p.width, p.height, CLEAR);
    p.paint(canvas, lettering);
    if (p.format == IMAGE_PIXEL_16 || p.format == IMAGE_PIXEL_16_LZSS) canvas.Dither(17);
    std::vector<uint8_t> data(static_cast<size_t>(GetDataSize(p.width, p.height, p.format)));
    ConvertPixels(p.width, p.height, IMAGE_PIXEL_32, canvas.Pixels().data(), p.format, data.data(), nullptr);
    // Entry names are lower-case; the reader lowers the keys it is asked for.
    std::string name = p.key;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return KagWriter::MakeEntry(name, p.width, p.height, p.format, data.data());
}

// The entries of the catalogue's pictures `which`, painted several at once.
std::vector<std::vector<uint8_t>> PaintEntries(const std::vector<Picture>& catalogue, const std::vector<size_t>& which) {
    std::vector<std::vector<uint8_t>> entries(which.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        Lettering lettering;
        for (size_t i = next++; i < which.size(); i = next++) entries[i] = PaintEntry(catalogue[which[i]], lettering);
    };
    std::vector<std::thread> threads;
    const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    for (unsigned t = 0; t < count; ++t) threads.emplace_back(work);
    for (std::thread& t : threads) t.join();
    return entries;
}

// Makes the folder an archive goes in; false when there can be none.
bool MakeArchiveFolder(const std::string& folder, const std::string& archive) {
    namespace fs = std::filesystem;
    const fs::path parent = (fs::path(folder) / archive).parent_path();
    std::error_code error;
    fs::create_directories(parent, error);
    return fs::is_directory(parent, error);
}

// Writes an archive from its entries, in catalogue order.
bool WriteEntries(const std::string& folder, const std::string& archive, const std::vector<std::vector<uint8_t>>& entries) {
    if (!MakeArchiveFolder(folder, archive)) return false;
    KagWriter writer;
    for (const std::vector<uint8_t>& entry : entries) writer.AddEntry(entry);
    return writer.WriteFile((std::filesystem::path(folder) / archive).string());
}

std::vector<size_t> PicturesOf(const std::vector<Picture>& catalogue, const std::string& archive) {
    std::vector<size_t> which;
    for (size_t i = 0; i < catalogue.size(); ++i)
        if (catalogue[i].archive == archive) which.push_back(i);
    return which;
}

}  // namespace

bool WritePictureArchive(const std::string& folder, const std::vector<Picture>& catalogue, const std::string& archive) {
    if (!MakeArchiveFolder(folder, archive)) return false;
    return WriteEntries(folder, archive, PaintEntries(catalogue, PicturesOf(catalogue, archive)));
}

bool WritePictureSet(const std::string& folder) {
    const std::vector<Picture> catalogue = PictureCatalogue();
    const std::vector<std::string> archives = PictureArchives(catalogue);
    // Painting takes seconds: a folder that cannot be written is told first.
    bool ok = true;
    for (const std::string& archive : archives) {
        if (MakeArchiveFolder(folder, archive)) continue;
        std::fprintf(stderr, "datagen: cannot write %s/%s\n", folder.c_str(), archive.c_str());
        ok = false;
    }
    if (!ok) return false;
    std::vector<size_t> all(catalogue.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = i;
    std::vector<std::vector<uint8_t>> entries = PaintEntries(catalogue, all);
    for (const std::string& archive : archives) {
        std::vector<std::vector<uint8_t>> own;
        for (size_t i : PicturesOf(catalogue, archive)) own.push_back(std::move(entries[i]));
        if (WriteEntries(folder, archive, own)) continue;
        std::fprintf(stderr, "datagen: cannot write %s/%s\n", folder.c_str(), archive.c_str());
        ok = false;
    }
    return ok;
}

}  // namespace datagen
