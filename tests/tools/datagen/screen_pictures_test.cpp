// The pictures that the game draws (front end, HUD, stages, fighters, shots
// and effects) say only what the game says: none carries a key, a
// generator's label or a numbered cell. A
// key is written only through Canvas::KeyLabel, and only on pictures that no
// screen draws; the canvas remembers the labels and every text painted, so
// painting the catalogue shows what each picture says.
#include <gtest/gtest.h>

#include <cctype>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "game/screens/story_viewer.h"
#include "game/screens/title_menu.h"
#include "tools/datagen/cast.h"
#include "tools/datagen/picture_set.h"

namespace {

using datagen::Picture;

std::string Lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

bool WordCharacter(char ch) { return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_'; }

// Whether `text` holds `word` whole, whatever the letter case.
bool HoldsWord(const std::string& text, const std::string& word) {
    const std::string lower = Lower(text);
    for (size_t at = lower.find(word); at != std::string::npos; at = lower.find(word, at + 1)) {
        const bool startsWord = at == 0 || !WordCharacter(lower[at - 1]);
        const bool endsWord = at + word.size() == lower.size() || !WordCharacter(lower[at + word.size()]);
        if (startsWord && endsWord) return true;
    }
    return false;
}

TEST(ScreenPictures, DrawnOnesCarryNoKeysLabelsOrCellNumbers) {
    const std::vector<Picture> catalogue = datagen::PictureCatalogue();
    std::set<std::string> keys;
    for (const Picture& p : catalogue) keys.insert(Lower(p.key));
    // A word and a number, such as a sheet's "LABEL 430" or "STAGE 3".
    const std::regex numberedLabel("[A-Za-z]+ [0-9]+\\b");

    datagen::Lettering lettering;
    std::set<std::string> labelled, looked, said;
    for (const Picture& p : catalogue) {
        datagen::Canvas canvas(p.width, p.height, {});
        p.paint(canvas, lettering);
        looked.insert(p.key);
        if (canvas.KeyLabelled()) labelled.insert(p.key);
        if (!p.drawn) continue;
        EXPECT_FALSE(canvas.KeyLabelled()) << p.key << " carries its key";
        for (const std::string& text : canvas.Texts()) {
            said.insert(text);
            for (const std::string& key : keys) EXPECT_FALSE(HoldsWord(text, key)) << p.key << " says \"" << text << "\"";
            EXPECT_FALSE(std::regex_search(text, numberedLabel)) << p.key << " says \"" << text << "\"";
        }
    }

    // Only the story that the extra menu never offers keeps its keys, which
    // shows that the labels are seen where they are.
    const datagen::Character& hidden = datagen::CharacterOf(EXTRA_ITEM_HIDDEN);
    std::set<std::string> hiddenStory{std::string("bp_") + hidden.name};
    for (int page = 0; page <= StoryLastPage(EXTRA_ITEM_HIDDEN); ++page)
        hiddenStory.insert(StoryPageKey(EXTRA_ITEM_HIDDEN, page));
    EXPECT_EQ(labelled, hiddenStory);
    for (const Picture& p : catalogue) EXPECT_EQ(p.drawn, !hiddenStory.count(p.key)) << p.key;

    // The pictures were all looked at, and the screens' words were read.
    for (const char* key : {"black", "morvel", "title_logo", "menu_bgpS", "menu_font", "name_plate", "select_face",
                            "select_stand3", "stand_welo", "vs_bgp", "ed_staff", "system", "conclusion_font", "anm_font",
                            "anm00", "anm11", "bp_kirune", "st_kirune_27", "st_torvi_15", "effect", "perticle",
                            "08block", "01forest", "mdl01", "act_sw06", "item", "ring", "m2rock"})
        EXPECT_TRUE(looked.count(key)) << key;
    for (const char* words : {"TOBRAZEL", "CONNECTING...", "DISCONNECTED", "KIRUNE", "LOCKED", "ENTER YOUR NAME"})
        EXPECT_TRUE(said.count(words)) << words;
}

// The label routine marks the picture it writes on, and only that one.
TEST(ScreenPictures, KeyLabelMarksItsPicture) {
    datagen::Lettering lettering;
    datagen::Canvas labelled(64, 32, {}), worded(64, 32, {});
    labelled.KeyLabel(lettering, "mdl01", 1, 1, 12, {255, 255, 255, 255});
    worded.Text(lettering, "GO", 1, 1, 12, {255, 255, 255, 255});
    EXPECT_TRUE(labelled.KeyLabelled());
    EXPECT_FALSE(worded.KeyLabelled());
    EXPECT_EQ(labelled.Texts(), std::vector<std::string>{"mdl01"});
    EXPECT_EQ(worded.Texts(), std::vector<std::string>{"GO"});
}

}  // namespace
