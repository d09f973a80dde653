#include "game/flow/sound_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "engine/devices/sound.h"
#include "engine/devices/sound_pack.h"
#include "tests/engine/devices/sound_layer_fixture.h"
// The placeholder sound set's generator is built into these tests, which
// check it against the tables it serves.
#include "tools/datagen/sound_set.h"

namespace {

TEST(SoundSet, EveryTableKeyIsInItsPackEachSoundDistinct) {
    test::TempDir dir;
    ASSERT_TRUE(datagen::WriteSoundSet(dir.path().string()));
    std::set<std::vector<uint8_t>> seen;
    auto check = [&](const std::string& pack, const char* key, double minimumSeconds) {
        std::FILE* file = std::fopen(dir.file(pack).c_str(), "rb");
        ASSERT_NE(file, nullptr);
        KsdEntry entry;
        ASSERT_EQ(FindKsdEntry(file, key, &entry), KsdLookup::Found) << pack << " " << key;
        EXPECT_TRUE(platform::IsPlayableFormat(entry.format)) << key;
        EXPECT_GE(entry.dataSize / entry.format.blockAlign, minimumSeconds * entry.format.samplesPerSec) << key;
        std::vector<uint8_t> data(entry.dataSize);
        ASSERT_EQ(std::fread(data.data(), 1, data.size(), file), data.size());
        std::fclose(file);
        seen.insert(data);
    };
    for (const SeDefinition& definition : seDefinitions) check("se.dat", definition.key, 0.1);
    for (const char* key : bgmKeys) check("bgm.dat", key, 3.0);
    EXPECT_EQ(seen.size(), size_t{SE_COUNT} + size_t{BGM_COUNT} - 1);  // two music numbers share "1"
    EXPECT_FALSE(datagen::WriteSoundSet(dir.file("no/such/folder")));
}

// The tables over the generated set, with the sound layer driven by hand.
struct SoundTablesTest : test::ManualSoundLayer {
    std::filesystem::path previousFolder = std::filesystem::current_path();

    void SetUp() override {
        ManualSoundLayer::SetUp();
        ASSERT_TRUE(datagen::WriteSoundSet(dir.path().string()));
        std::filesystem::current_path(dir.path());
        seTable.clear();
        bgmCurrent = bgmRequested = 0;
        bgmVolume = 0.0f;
        bgmSound = nullptr;
        soundOff = 0;
    }
    void TearDown() override {
        ReleaseSeTable();
        StopBgm();
        soundOff = 0;
        ManualSoundLayer::TearDown();
        std::filesystem::current_path(previousFolder);
    }
    static std::vector<bool> PoolPlaying(int id) {
        WaitSoundQueueEmpty();
        std::vector<bool> playing;
        for (Sound* sound : seTable[id].pool) playing.push_back(IsSoundPlaying(sound));
        return playing;
    }
    static void Frame() {
        ClearSePlayedFlags();
        UpdateBgm();
    }
};

TEST_F(SoundTablesTest, AnEffectPlaysThroughTheTablesIntoTheMixer) {
    LoadSeTable();
    WaitSoundQueueEmpty();
    ASSERT_EQ(seTable.size(), static_cast<size_t>(SE_COUNT));
    EXPECT_EQ(soundList.GetCount(), 59);
    EXPECT_TRUE(Silent(Mix(1024)));
    PlaySe(SE_SHOOT00);
    WaitSoundQueueEmpty();
    EXPECT_FALSE(Silent(Mix(1024)));
}

TEST_F(SoundTablesTest, PlaySeStartsOncePerFrameAndRotatesItsPool) {
    LoadSeTable();
    PlaySe(SE_HIT);
    PlaySe(SE_HIT);
    EXPECT_EQ(PoolPlaying(SE_HIT), (std::vector<bool>{true, false}));
    PlaySe(SE_HIT);  // still the same frame
    EXPECT_EQ(PoolPlaying(SE_HIT), (std::vector<bool>{true, false}));

    Frame();
    PlaySe(SE_HIT);
    EXPECT_EQ(PoolPlaying(SE_HIT), (std::vector<bool>{true, true}));

    // All busy: the first buffer starts again from the beginning.
    Mix(100);
    Frame();
    PlaySe(SE_HIT);
    WaitSoundQueueEmpty();
    EXPECT_EQ(seTable[SE_HIT].pool[0]->buffer->GetCurrentPosition(), 0u);
    EXPECT_NE(seTable[SE_HIT].pool[1]->buffer->GetCurrentPosition(), 0u);

    // Once the first has finished, it is the free one again.
    Mix(44100);
    Frame();
    PlaySe(SE_HIT);
    EXPECT_EQ(PoolPlaying(SE_HIT), (std::vector<bool>{true, false}));
}

TEST_F(SoundTablesTest, OutOfRangeIdsAreIgnored) {
    LoadSeTable();
    for (int32_t id : {-1, int32_t{SE_COUNT}, 1 << 30}) PlaySe(id);
    PlayBgm(-1);
    PlayBgm(BGM_COUNT);
    WaitSoundQueueEmpty();
    EXPECT_TRUE(Silent(Mix(256)));
    EXPECT_EQ(bgmRequested, 0);
    EXPECT_EQ(bgmSound, nullptr);
}

TEST_F(SoundTablesTest, MusicFadeTakesFiftyOneFrames) {
    PlayBgm(2);
    Sound* first = bgmSound;
    PlayBgm(3);
    for (int frame = 1; frame <= 50; ++frame) {
        Frame();
        ASSERT_EQ(bgmCurrent, 2) << frame;
        ASSERT_EQ(bgmSound, first) << frame;
    }
    EXPECT_EQ(bgmVolume, 0.0f);
    WaitSoundQueueEmpty();
    EXPECT_EQ(first->buffer->GetVolume(), platform::AUDIO_VOLUME_MIN);
    EXPECT_TRUE(IsSoundPlaying(first));  // volume 0 is still played

    Frame();
    EXPECT_EQ(bgmCurrent, 3);
    EXPECT_EQ(bgmVolume, 100.0f);
    ASSERT_NE(bgmSound, nullptr);
    WaitSoundQueueEmpty();
    EXPECT_EQ(soundList.GetCount(), 1);  // the old piece was released
    EXPECT_TRUE(IsSoundPlaying(bgmSound));
    EXPECT_EQ(bgmSound->buffer->GetVolume(), 0);
    EXPECT_EQ(bgmSound->buffer->GetStatus() & platform::AUDIO_STATUS_LOOPING, platform::AUDIO_STATUS_LOOPING);
    Frame();
    EXPECT_EQ(bgmVolume, 100.0f);  // no fade without a new request
}

TEST_F(SoundTablesTest, RequestsDuringAFadeAndOfTheSamePiece) {
    PlayBgm(BGM_SELECT);
    PlayBgm(BGM_DECIDE);
    for (int i = 0; i < 10; ++i) Frame();
    PlayBgm(BGM_WIND);  // replaces the request; the fade goes on
    for (int i = 0; i < 41; ++i) Frame();
    EXPECT_EQ(bgmCurrent, BGM_WIND);

    PlayBgm(BGM_ENDING);
    for (int i = 0; i < 10; ++i) Frame();
    Sound* piece = bgmSound;
    PlayBgm(BGM_WIND);  // the current piece again: no fade, full volume, restarted
    EXPECT_EQ(bgmVolume, 100.0f);
    WaitSoundQueueEmpty();
    EXPECT_EQ(bgmSound, piece);
    EXPECT_EQ(bgmSound->buffer->GetVolume(), 0);
    EXPECT_EQ(bgmSound->buffer->GetCurrentPosition(), 0u);
    Frame();
    EXPECT_EQ(bgmVolume, 100.0f);
}

TEST_F(SoundTablesTest, WinPlaysOnceAndPieceZeroLetsTheNextStartAtOnce) {
    PlayBgm(BGM_WIN);
    WaitSoundQueueEmpty();
    EXPECT_EQ(bgmSound->buffer->GetStatus(), platform::AUDIO_STATUS_PLAYING);  // not looping

    PlayBgm(0);
    for (int i = 0; i < 51; ++i) Frame();
    EXPECT_EQ(bgmCurrent, 0);
    PlayBgm(BGM_SELECT);
    EXPECT_EQ(bgmCurrent, BGM_SELECT);
    WaitSoundQueueEmpty();
    EXPECT_EQ(soundList.GetCount(), 1);
}

TEST_F(SoundTablesTest, StageMusic) {
    struct Case { int32_t stage, piece; } cases[] = {
        {0, 1}, {1, 2}, {6, 7}, {7, 9}, {8, 8}, {9, 0}, {-1, 0},
    };
    for (const Case& c : cases) {
        bgmCurrent = bgmRequested = 0;
        PlayStageBgm(c.stage);
        EXPECT_EQ(bgmRequested, c.piece) << c.stage;
    }
}

TEST_F(SoundTablesTest, SoundOffCreatesAndPlaysNothing) {
    soundOff = 1;
    LoadSeTable();
    PlaySe(SE_HIT);
    PlayBgm(BGM_SELECT);
    UpdateBgm();
    StopBgm();
    ReleaseSeTable();
    WaitSoundQueueEmpty();
    EXPECT_TRUE(seTable.empty());
    EXPECT_EQ(bgmSound, nullptr);
    EXPECT_EQ(bgmRequested, 0);
    EXPECT_EQ(soundList.GetCount(), 0);
}

TEST_F(SoundTablesTest, QuitReleasesEverything) {
    LoadSeTable();
    PlayBgm(BGM_SELECT);
    ReleaseSeTable();
    StopBgm();
    WaitSoundQueueEmpty();
    EXPECT_TRUE(seTable.empty());
    EXPECT_EQ(bgmSound, nullptr);
    EXPECT_EQ(soundList.GetCount(), 0);
    UpdateBgm();  // harmless after the music was stopped
}

}  // namespace
