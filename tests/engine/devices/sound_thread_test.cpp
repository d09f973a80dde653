#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "engine/devices/sound.h"
#include "engine/devices/sound_pack.h"
#include "tests/engine/devices/sound_layer_fixture.h"

namespace {

// Every operation the sound thread performs on a RecordingSound, in order.
std::vector<std::string> performed;

struct RecordingSound : Sound {
    explicit RecordingSound(std::string name) : name(std::move(name)) {}
    ~RecordingSound() override { Note("deleted"); }
    void Note(const std::string& what) { performed.push_back(name + " " + what); }
    int LoadFromPack(const char* path, const char* key) override {
        Note(std::string("pack ") + path + " " + key);
        return 0;
    }
    int LoadWave(const char* file) override {
        Note(std::string("wave ") + file);
        return 0;
    }
    void Play(uint32_t loopFlag) override { Note("play " + std::to_string(loopFlag)); }
    void Stop() override { Note("stop"); }
    void TogglePause() override { Note("pause"); }
    void SetVolume(float volume) override { Note("volume " + std::to_string(static_cast<int>(volume))); }
    void SetPan(float pan) override { Note("pan " + std::to_string(static_cast<int>(pan))); }
    void RemoveEffects() override { Note("fx none"); }
    void SetReverbEffect(const platform::I3DL2Reverb* parameters) override {
        Note("reverb " + std::to_string(parameters->room));
    }
    void SetEchoEffect() override { Note("echo"); }
    void SetChorusEffect() override { Note("chorus"); }
    void SetCompressorEffect() override { Note("compressor"); }
    void SetDistortionEffect() override { Note("distortion"); }
    void SetFlangerEffect() override { Note("flanger"); }
    void SetGargleEffect() override { Note("gargle"); }
    void SetParamEqEffect() override { Note("parameq"); }
    std::string name;
};

struct SoundThreadTest : test::ManualSoundLayer {
    void SetUp() override {
        performed.clear();
        ManualSoundLayer::SetUp();
    }
    static void Post(Sound* target, uint32_t code, const void* argument = nullptr, size_t size = 0) {
        SoundCommand command(code, target, argument, size);
        PostSoundCommand(&command);
    }
};

TEST_F(SoundThreadTest, EachCodeRunsItsOperation) {
    auto* sound = new RecordingSound("s");
    platform::I3DL2Reverb reverb;
    reverb.room = -77;
    const platform::I3DL2Reverb* reverbPointer = &reverb;
    const uint32_t loop = 1;
    const float level = 42.0f, pan = -30.0f;
    char wave[SOUND_ARGUMENT_BYTES];
    std::memset(wave, 'w', sizeof wave);  // no NUL: cut at the field's end

    Post(sound, SOUND_CMD_LOAD_WAVE, wave, sizeof wave);
    Post(sound, SOUND_CMD_PLAY, &loop, sizeof loop);
    Post(sound, 4);
    Post(sound, SOUND_CMD_STOP);
    Post(sound, SOUND_CMD_PAUSE);
    Post(sound, SOUND_CMD_VOLUME, &level, sizeof level);
    Post(sound, SOUND_CMD_PAN, &pan, sizeof pan);
    Post(sound, SOUND_CMD_FX_NONE);
    Post(sound, SOUND_CMD_FX_I3DL2REVERB, &reverbPointer, sizeof reverbPointer);
    for (uint32_t code = SOUND_CMD_FX_ECHO; code <= SOUND_CMD_FX_PARAMEQ; ++code) Post(sound, code);
    Post(sound, 19);
    Post(sound, 1000);
    Post(nullptr, SOUND_CMD_PLAY, &loop, sizeof loop);
    SoundCommand taken;  // a slot whose command is not valid is skipped
    taken.command = SOUND_CMD_STOP;
    taken.target = sound;
    PostSoundCommand(&taken);
    Post(sound, SOUND_CMD_RELEASE);
    WaitSoundQueueEmpty();

    const std::vector<std::string> expected = {
        "s wave " + std::string(SOUND_ARGUMENT_BYTES, 'w'), "s play 1", "s stop", "s pause", "s volume 42",
        "s pan -30", "s fx none", "s reverb -77", "s echo", "s chorus", "s compressor", "s distortion",
        "s flanger", "s gargle", "s parameq", "s deleted",
    };
    EXPECT_EQ(performed, expected);
}

TEST_F(SoundThreadTest, AsyncHelpersAreServedInPostingOrder) {
    auto* a = new RecordingSound("a");
    auto* b = new RecordingSound("b");
    SoundCommand load(SOUND_CMD_LOAD_PACK, a);
    std::strcpy(reinterpret_cast<char*>(load.arguments), "se.dat");
    std::strcpy(reinterpret_cast<char*>(load.arguments + SOUND_NAME_BYTES), "hit");
    HoldSoundThread(true);
    PostSoundCommand(&load);
    PlaySoundAsync(a, 0);
    SetSoundVolumeAsync(b, 80.0f);
    StopSoundAsync(a);
    PlaySoundAsync(nullptr, 1);
    ReleaseSoundAsync(b);
    EXPECT_EQ(GetPendingSoundCommands(), 5);
    HoldSoundThread(false);
    WaitSoundQueueEmpty();
    const std::vector<std::string> expected = {"a pack se.dat hit", "a play 0", "b volume 80", "a stop", "b deleted"};
    EXPECT_EQ(performed, expected);
}

TEST_F(SoundThreadTest, PlayPostedAfterItsLoadInAWrappedRingStillPlays) {
    const std::string pack = dir.file("one.dat");
    KsdSound tone{"tone", platform::PcmFormat(1, 16, 44100), std::vector<uint8_t>(4000, 0x20)};
    ASSERT_TRUE(WriteKsdPack(pack, {tone}));

    // Fill slots 0 to 62 with commands that do nothing, so the load lands in
    // slot 63 and the play in slot 0.
    for (int i = 0; i < SOUND_QUEUE_SLOTS - 1; ++i) Post(nullptr, 4);
    WaitSoundQueueEmpty();
    HoldSoundThread(true);
    Sound* sound = CreateSound(pack.c_str(), "tone");
    PlaySoundAsync(sound, 1);
    HoldSoundThread(false);
    WaitSoundQueueEmpty();
    EXPECT_EQ(sound->loaded, 1u);
    EXPECT_TRUE(IsSoundPlaying(sound));
}

TEST_F(SoundThreadTest, SixtyFivePostsWhileHeldLoseNothing) {
    auto* sound = new RecordingSound("s");
    HoldSoundThread(true);
    std::atomic<bool> allPosted{false};
    std::thread poster([&] {
        for (int i = 0; i <= SOUND_QUEUE_SLOTS; ++i) SetSoundVolumeAsync(sound, static_cast<float>(i));
        allPosted = true;
    });
    while (GetPendingSoundCommands() < SOUND_QUEUE_SLOTS) std::this_thread::yield();
    // The ring is full and nothing is served: the 65th post must be waiting.
    EXPECT_FALSE(allPosted);
    EXPECT_EQ(GetPendingSoundCommands(), SOUND_QUEUE_SLOTS);
    HoldSoundThread(false);
    poster.join();
    WaitSoundQueueEmpty();
    ASSERT_EQ(performed.size(), SOUND_QUEUE_SLOTS + 1u);
    for (int i = 0; i <= SOUND_QUEUE_SLOTS; ++i) EXPECT_EQ(performed[i], "s volume " + std::to_string(i));
}

TEST_F(SoundThreadTest, QuitReleasesEveryListedSoundAndLaterPostsAreIgnored) {
    new RecordingSound("a");
    auto* b = new RecordingSound("b");
    b->AddRef();  // a holder the thread does not know of keeps b alive
    DestroySound();
    EXPECT_EQ(soundList.GetCount(), 0);
    EXPECT_EQ(performed, std::vector<std::string>{"a deleted"});

    PlaySoundAsync(b, 1);  // no thread: nothing happens, nothing waits
    Sound* orphan = CreateSound("se.dat", "hit");
    EXPECT_EQ(orphan->loaded, 0u);
    WaitSoundQueueEmpty();
    EXPECT_EQ(performed, std::vector<std::string>{"a deleted"});
    EXPECT_EQ(StopSoundThread(), 0);
    {
        std::lock_guard lock(soundLock);
        b->Release();
        soundList.ReleaseAll();
    }
}

TEST_F(SoundThreadTest, MixingAndNullQueriesNeverWaitForTheSoundLock) {
    // The sound thread holds the lock through whole loads; the device
    // callback must go on mixing meanwhile.
    std::unique_lock held(soundLock);
    auto work = std::async(std::launch::async, [] { return Mix(512).size() + IsSoundPlaying(nullptr); });
    const bool finished = work.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    held.unlock();
    EXPECT_TRUE(finished);
    EXPECT_EQ(work.get(), 1024u);
}

TEST(SoundLayer, WithoutAnAudioDeviceEverythingStaysSilent) {
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SetSoundOutput(SoundOutput::Device);
    EXPECT_EQ(InitializeSound(), 1);
    EXPECT_EQ(GetSoundMixer(), nullptr);
    Sound* sound = CreateSound("se.dat", "hit");
    PlaySoundAsync(sound, 1);
    SetSoundVolumeAsync(sound, 10.0f);
    WaitSoundQueueEmpty();
    EXPECT_EQ(sound->loaded, 0u);
    EXPECT_FALSE(IsSoundPlaying(sound));
    DestroySound();
    EXPECT_EQ(soundList.GetCount(), 0);
    DestroySound();  // twice is harmless
    if (previous) setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
}

// A driver that starts but opens no device (the disk writer, its file in a
// folder that does not exist) leaves SDL's audio system up; the next start
// still takes the driver then set and gets its device.
TEST(SoundLayer, AfterADriverOpenedNoDeviceTheNextStartTakesTheDriverThenSet) {
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-folder/sound.raw", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    SetSoundOutput(SoundOutput::Device);
    InitializeSound();
    EXPECT_EQ(GetSoundMixer(), nullptr);
    DestroySound();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    InitializeSound();
    ASSERT_NE(GetSoundMixer(), nullptr);
    EXPECT_TRUE(GetSoundMixer()->HasDevice());
    DestroySound();
    unsetenv("SDL_DISKAUDIOFILE");
}

TEST(SoundLayer, TheDeviceMixesWhileTheThreadLoadsAndPlays) {
    test::TempDir dir;
    const std::string pack = dir.file("one.dat");
    ASSERT_TRUE(WriteKsdPack(pack, {{"tone", platform::PcmFormat(2, 8, 8000), std::vector<uint8_t>(64000, 200)}}));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SetSoundOutput(SoundOutput::Device);
    InitializeSound();
    ASSERT_NE(GetSoundMixer(), nullptr);
    EXPECT_TRUE(GetSoundMixer()->HasDevice());
    Sound* sound = CreateSound(pack.c_str(), "tone");
    PlaySoundAsync(sound, 1);
    SetSoundVolumeAsync(sound, 50.0f);
    WaitSoundQueueEmpty();
    EXPECT_TRUE(IsSoundPlaying(sound));
    DestroySound();
    EXPECT_EQ(GetSoundMixer(), nullptr);
}

}  // namespace
