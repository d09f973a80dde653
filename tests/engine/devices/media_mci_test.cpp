#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/devices/media_mci.h"
#include "tests/engine/devices/media_fixture.h"

namespace {

using platform::MixerControl;
using platform::MixerLine;
using test::mediaCalls;
using Calls = std::vector<std::string>;

constexpr uint32_t kMute = 0x20010002;
constexpr uint32_t kVolume = platform::MIXERCONTROL_CONTROLTYPE_VOLUME;

class MciTest : public test::FakeMediaTest {
protected:
    void SetUp() override {
        FakeMediaTest::SetUp();
        mci = MciState{};
        // Speakers with a synthesizer, a CD, a wave output without a volume
        // control and a second one with it; a recording line with a CD.
        media.mixer.destinations = {
            {MixerLine{10, platform::MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 4, "Spk", "Speakers"},
             {MixerLine{11, platform::MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, 0, "Syn", "Synth"},
              MixerLine{12, platform::MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, 0, "CD", "CD Audio"},
              MixerLine{13, platform::MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 0, "Wav", "Wave"},
              MixerLine{14, platform::MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, 0, "Wav2", "Wave 2"}}},
            {MixerLine{20, 7, 1, "Rec", "Recording"},
             {MixerLine{21, platform::MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, 0, "CD", "CD In"}}},
        };
        media.mixer.controls = {{10, {MixerControl{99, kMute}, MixerControl{100, kVolume}}},
                                {11, {MixerControl{101, kVolume}}},
                                {12, {MixerControl{102, kVolume}}},
                                {13, {MixerControl{103, kMute}}},
                                {14, {MixerControl{104, kVolume}}},
                                {21, {MixerControl{121, kVolume}}}};
        media.mixer.values = {{100, 30000}, {101, 1000}, {102, 2000}, {104, 4000}, {121, 9}};
    }
    void TearDown() override {
        mixerReady = 0;
        FakeMediaTest::TearDown();
    }
};

TEST_F(MciTest, TheMixerLogsItsLinesAndKeepsTheFirstVolumeControlOfEachKind) {
    EXPECT_EQ(InitializeMci(), 1);
    EXPECT_EQ(mediaCalls, Calls{"open cdaudio"});
    EXPECT_EQ(log.Take(),
              "\n============================================== Initialize Audio Mixer\n"
              "  \x81\xa1 \x83\x7e\x83\x4c\x83\x54\x81\x5b\x83\x66\x83\x6f\x83\x43\x83\x58\x90\x94 1\n"
              "    \x81\x9b\x83\x66\x83\x6f\x83\x43\x83\x58No.00 \"Spk\" [Speakers]\n"
              "       \x83\x58\x83\x73\x81\x5b\x83\x4a\x81\x5b\x82\xc9\x90\xda\x91\xb1\n"
              "       \x83\x89\x83\x43\x83\x93\x8f\x6f\x97\xcd\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\n"
              "            \x81\x45SYNTHESIZER\x83\x7b\x83\x8a\x83\x85\x81\x5b\x83\x80\x83\x52\x83\x93\x83\x67\x83\x8d"
              "\x81\x5b\x83\x8b\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\n"
              "            \x81\x45" "ANALOG-CDAUDIO\x83\x7b\x83\x8a\x83\x85\x81\x5b\x83\x80\x83\x52\x83\x93\x83\x67\x83"
              "\x8d\x81\x5b\x83\x8b\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\n"
              "            \x81\x45WAVE OUT\x83\x7b\x83\x8a\x83\x85\x81\x5b\x83\x80\x83\x52\x83\x93\x83\x67\x83\x8d"
              "\x81\x5b\x83\x8b\x82\xf0\x83\x54\x83\x7c\x81\x5b\x83\x67\n"
              "    \x81\x9b\x83\x66\x83\x6f\x83\x43\x83\x58No.01 \"Rec\" [Recording]\n");
    EXPECT_EQ(mixerReady, 1);
    const struct {
        MixerLineIndex line;
        uint32_t control, saved;
    } expected[] = {{MIXER_SPEAKERS, 100, 30000}, {MIXER_WAVE_OUT, 104, 4000}, {MIXER_SYNTHESIZER, 101, 1000},
                    {MIXER_CD_AUDIO, 102, 2000}};
    for (const auto& e : expected) {
        EXPECT_EQ(mixerLines[e.line].found, 1) << e.line;
        EXPECT_EQ(mixerLines[e.line].controlId, e.control) << e.line;
        EXPECT_EQ(mixerLines[e.line].savedVolume, e.saved) << e.line;
    }
}

TEST_F(MciTest, VolumesAreCutToTheControlsRangeAndPutBackAtTheEnd) {
    InitializeMci();
    mediaCalls.clear();
    EXPECT_EQ(SetMixerVolume(70000, MIXER_SPEAKERS), 1);
    EXPECT_EQ(SetMixerVolume(-5, MIXER_WAVE_OUT), 1);
    EXPECT_EQ(SetMixerVolume(5, MIXER_LINE_COUNT), 0);
    EXPECT_EQ(SetMixerVolume(5, -1), 0);
    EXPECT_EQ(mediaCalls, (Calls{"set 100 65535", "set 104 0"}));
    mediaCalls.clear();
    DestroyMci();
    EXPECT_EQ(mediaCalls, (Calls{"stop midi", "close midi", "stop wave", "close wave", "set 100 30000",
                                 "set 104 4000", "set 101 1000", "set 102 2000", "close cdaudio"}));
}

TEST_F(MciTest, WithoutAMixerNothingIsKeptOrSet) {
    platform::SetMediaSystem(nullptr);  // Linux: no MCI device, no mixer
    EXPECT_EQ(InitializeMci(), 1);
    EXPECT_EQ(mixerReady, 0);
    EXPECT_EQ(SetMixerVolume(100, MIXER_SPEAKERS), 0);
    // "  エラー : ミキサーデバイスがありません\n"
    EXPECT_TRUE(log.Take().ends_with("Initialize Audio Mixer\n  \x83\x47\x83\x89\x81\x5b : \x83\x7e\x83\x4c\x83\x54"
                                     "\x81\x5b\x83\x66\x83\x6f\x83\x43\x83\x58\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9"
                                     "\x82\xf1\n"));
    DestroyMci();
}

TEST_F(MciTest, AStoppedDeviceReplaysItselfWhenItLoopsElseCloses) {
    media.mciReplies = {{"status midi mode", "stop"}, {"status wave mode", "stop"}, {"status cdaudio mode", "stop"}};
    const struct {
        int midiLoops, waveLoops, cdLoops;
        Calls calls;
    } cases[] = {
        {1, 0, 1,
         {"status midi mode", "seek midi to start", "play midi notify", "status wave mode", "stop wave", "close wave",
          "status cdaudio mode", "stop cdaudio", "play cdaudio from 0 to 150 notify"}},
        {0, 1, 0,
         {"status midi mode", "stop midi", "close midi", "status wave mode", "seek wave to start", "play wave notify",
          "status cdaudio mode", "stop cdaudio"}},
    };
    for (const auto& c : cases) {
        mci = MciState{};
        mci.midiLoops = c.midiLoops;
        mci.waveLoops = c.waveLoops;
        mci.cdAudioOpen = 1;
        mci.cdTrackCount = 2;
        mci.cdTracks[0] = {0, 100};
        mci.cdTracks[1] = {100, 50};
        mci.cdPlaying = 1;
        mci.cdLoops = c.cdLoops;
        mci.cdFirstTrack = 1;
        mci.cdLastTrack = 2;
        mediaCalls.clear();
        HandleMciNotify();
        EXPECT_EQ(mediaCalls, c.calls);
    }
}

TEST_F(MciTest, NotificationsChangeNothingWhileOffOrWhileDevicesPlay) {
    media.mciReplies = {{"status midi mode", "playing"}, {"status wave mode", "stopped"}};
    HandleMciNotify();
    EXPECT_EQ(mediaCalls, (Calls{"status midi mode", "status wave mode", "status cdaudio mode"}));
    mediaCalls.clear();
    mci.notifyOff = 1;
    HandleMciNotify();
    EXPECT_TRUE(mediaCalls.empty());
}

TEST_F(MciTest, CdTracksPlayOnlyFromTheTableOfAnOpenCd) {
    mci.cdTrackCount = 2;
    mci.cdTracks[0] = {0, 100};
    mci.cdTracks[1] = {100, 50};
    PlayCdTracks(1, 2, 0);  // the CD is not open
    mci.cdAudioOpen = 1;
    PlayCdTracks(0, 2, 0);
    PlayCdTracks(1, 3, 0);
    EXPECT_TRUE(mediaCalls.empty());
    PlayCdTracks(2, 2, 1);
    EXPECT_EQ(mediaCalls, Calls{"play cdaudio from 100 to 150 notify"});
    EXPECT_EQ(mci.cdPlaying, 1);
    EXPECT_EQ(mci.cdLoops, 1);
}

}  // namespace
