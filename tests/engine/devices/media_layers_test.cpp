#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "engine/devices/media_directmusic.h"
#include "engine/devices/media_directplay.h"
#include "engine/devices/media_directshow.h"
#include "engine/devices/media_mci.h"
#include "engine/devices/media_stream.h"
#include "engine/startup/engine_main.h"
#include "tests/engine/core/application_fixture.h"
#include "tests/engine/core/log_capture.h"
#include "tests/engine/devices/media_fixture.h"

namespace {

using test::mediaCalls;

int StartNothing() { return 1; }
void StopNothing() {}

// The engine's start and stop with the media layers as built and the
// graphics, input and sound layers left out; the Linux media services.
class MediaStartupTest : public test::ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        for (int layer = 0; layer < 3; ++layer) {
            engineLayers[layer].start = StartNothing;
            engineLayers[layer].stop = StopNothing;
        }
    }
    test::LogCapture log;
};

// Steps that must appear in this order in the text.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& steps) {
    size_t at = 0;
    for (const std::string& step : steps) {
        const size_t found = text.find(step, at);
        ASSERT_NE(found, std::string::npos) << step << "\nin:\n" << text;
        at = found + step.size();
    }
}

TEST_F(MediaStartupTest, TheGamesFlagsStartNoMediaLayer) {
    engineInitFlags = ENGINE_INIT_GRAPHICS | ENGINE_INIT_INPUT | ENGINE_INIT_SOUND;
    ASSERT_EQ(InitializeEngine(), 1);
    EXPECT_FALSE(directShowLayer.IsRunning());
    EXPECT_FALSE(directMusicLayer.IsRunning());
    ShutdownEngine();
    const std::string written = log.Take();
    for (const char* layer : {"DirectMusic", "DirectShow", "DirectPlay", "MediaStream", "Mixer"}) {
        EXPECT_EQ(written.find(layer), std::string::npos) << layer << " in:\n" << written;
    }
}

TEST_F(MediaStartupTest, EachMediaBitStartsAndStopsItsLayerOverTheFailingServices) {
    engineInitFlags = 0xFF;
    testing::internal::CaptureStderr();
    ASSERT_EQ(InitializeEngine(), 1);
    EXPECT_TRUE(directShowLayer.IsRunning());
    EXPECT_TRUE(directMusicLayer.IsRunning());
    ShutdownEngine();
    const std::string boxes = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(directShowLayer.IsRunning());
    EXPECT_FALSE(directMusicLayer.IsRunning());
    const std::string banner = "\n============================================== ";
    ExpectInOrder(log.Take(),
                  {banner + "Initialize DirectMusic\n", "  \x83\x47\x83\x89\x81\x5b : DirectMusicLoader",
                   "    [ DirectX8.1", banner + "Initialize DirectShow(Audio)\n", banner + "Initialize DirectPlay\n",
                   "  Error Can't Create DirectPlayPeer Object\n    [ DirectX8.1", banner + "Initialize MediaStream\n",
                   "  \x83\x47\x83\x89\x81\x5b : DirectDraw", banner + "Initialize Audio Mixer\n",
                   "  \x83\x47\x83\x89\x81\x5b : \x83\x7e\x83\x4c\x83\x54\x81\x5b", banner + "Destroy MediaStream\n",
                   banner + "Destroy DirectPlay\n", banner + "Destroy DirectShow(Audio)\n",
                   banner + "Destroy DirectMusic\n"});
    // "DirectX8.1が正しく..." in the Error box, once for DirectMusic and once for DirectPlay.
    const std::string box = "Error: DirectX8.1\xE3\x81\x8C\xE6\xAD\xA3\xE3\x81\x97\xE3\x81\x8F";
    const size_t first = boxes.find(box);
    ASSERT_NE(first, std::string::npos) << boxes;
    EXPECT_NE(boxes.find(box, first + 1), std::string::npos) << boxes;
}

// An object that notes what the commands did to it.
std::vector<std::string> performed;

struct RecordingObject : DirectShowObject {
    ~RecordingObject() override { performed.push_back("deleted"); }
    void Perform(int operation, const uint8_t* block, uint32_t word) override {
        std::string what = "op" + std::to_string(operation);
        if (block) what += std::string(" block:") + reinterpret_cast<const char*>(block + 4);
        if (word) what += " word:" + std::to_string(word);
        performed.push_back(what);
    }
};

struct CommandLayerCase {
    const char* name;
    int (*start)();
    void (*stop)();
    void (*post)(const MediaCommand*);
    MediaCommandLayer* layer;
    uint32_t quit;
    uint32_t lastCode;
    std::vector<std::string> expected;  // in code order, the quit left out
};

class CommandLayerTest : public test::FakeMediaTest {};

TEST_F(CommandLayerTest, EachCodeReachesItsOperationAndQuitReleasesTheLayersObjects) {
    const CommandLayerCase cases[] = {
        {"DirectShow", InitializeDirectShow, DestroyDirectShow, PostDirectShowCommand, &directShowLayer,
         DIRECTSHOW_CMD_QUIT, 11,
         {"op1 block:tune", "op2 word:7", "op3", "op5", "op6 word:7", "op7 word:7", "op8 word:7", "deleted"}},
        {"DirectMusic", InitializeDirectMusic, DestroyDirectMusic, PostMusicCommand, &directMusicLayer,
         MUSIC_CMD_QUIT, 18,
         {"op1 block:tune", "op2 word:7", "op3", "op5", "op6 word:7", "op7 word:7", "op8", "op9 word:7", "op10",
          "op11", "op12", "op13", "op14", "op15", "op16", "deleted"}},
    };
    struct Arguments {
        uint32_t word = 7;
        char name[8] = "tune";
    } arguments;
    for (const CommandLayerCase& c : cases) {
        performed.clear();
        c.start();
        auto* object = new RecordingObject();
        object->AddRef();  // code 1 drops this one; the quit drops the last
        {
            std::lock_guard guard(c.layer->lock);
            c.layer->objects.PushBack(object);
        }
        for (uint32_t code = 0; code <= c.lastCode; ++code) {
            if (code == c.quit) continue;
            const MediaCommand command(code, object, &arguments, sizeof arguments);
            c.post(&command);
        }
        c.stop();
        EXPECT_EQ(performed, c.expected) << c.name;

        // Nothing is served once the layer has ended.
        RecordingObject late;
        const MediaCommand command(2, &late, &arguments, sizeof arguments);
        performed.clear();
        c.post(&command);
        EXPECT_TRUE(performed.empty()) << c.name;
    }
}

// A graph with scripted events that notes the calls it gets.
struct FakeGraph : platform::MediaGraph {
    bool TakeEvent(int32_t* code) override {
        if (events.empty()) return false;
        *code = events.front();
        events.pop_front();
        return true;
    }
    void SeekTo(int64_t position) override { calls.push_back("seek " + std::to_string(position)); }
    void Run() override { calls.push_back("run"); }
    std::deque<int32_t> events;
    std::vector<std::string> calls;
};

struct DirectShowEventTest : test::FakeMediaTest {
    RecordingObject* Add(FakeGraph* graph, int active, int loops, int64_t start) {
        auto* object = new RecordingObject();
        object->graph = graph;
        object->active = active;
        object->loops = loops;
        object->startPosition = start;
        std::lock_guard guard(directShowLayer.lock);
        directShowLayer.objects.PushBack(object);
        return object;
    }
};

TEST_F(DirectShowEventTest, AFinishedPlaySeeksBackAndLoopsOrEnds) {
    InitializeDirectShow();
    FakeGraph looping, once, inactive;
    looping.events = {3, platform::EC_COMPLETE};
    once.events = {platform::EC_COMPLETE};
    inactive.events = {platform::EC_COMPLETE};
    Add(&looping, 1, 1, 100);
    Add(&once, 1, 0, 5);
    Add(&inactive, 0, 0, 0);
    performed.clear();
    HandleDirectShowEvent();
    EXPECT_EQ(looping.calls, (std::vector<std::string>{"seek 100", "run"}));
    EXPECT_TRUE(looping.events.empty());
    EXPECT_EQ(once.calls, std::vector<std::string>{"seek 5"});
    EXPECT_EQ(performed, std::vector<std::string>{"op3"});
    EXPECT_TRUE(inactive.calls.empty());
    EXPECT_EQ(inactive.events.size(), 1u);
    DestroyDirectShow();
}

TEST_F(DirectShowEventTest, NothingHappensWhileTheLayerIsNotRunning) {
    FakeGraph graph;
    graph.events = {platform::EC_COMPLETE};
    RecordingObject* object = Add(&graph, 1, 1, 0);
    HandleDirectShowEvent();
    EXPECT_EQ(graph.events.size(), 1u);
    EXPECT_TRUE(graph.calls.empty());
    directShowLayer.objects.Remove(object);
    delete object;
}

// "  ■ パフォーマンスオブジェクトを初期化\n" and its failure line.
const std::string kPerformanceReady =
    "  \x81\xa1 \x83\x70\x83\x74\x83\x48\x81\x5b\x83\x7d\x83\x93\x83\x58\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67"
    "\x82\xf0\x8f\x89\x8a\xfa\x89\xbb\n";
const std::string kPerformanceFailed =
    "  \x83\x47\x83\x89\x81\x5b : \x83\x70\x83\x74\x83\x48\x81\x5b\x83\x7d\x83\x93\x83\x58\x83\x49\x83\x75\x83\x57\x83"
    "\x46\x83\x4e\x83\x67\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94\x73\n";

TEST_F(CommandLayerTest, DirectMusicMakesItsObjectsOnItsThreadAndReleasesThemAtTheEnd) {
    InitializeDirectMusic();
    DestroyDirectMusic();
    const std::string written = log.Take();
    ExpectInOrder(written, {"\x81\xa1 DirectMusicLoader\x82\xf0\x90\xb6\x90\xac\n", kPerformanceReady,
                            // the counts that Release returned
                            "DirectMusicPerformance\x82\xf0\x89\xf0\x91\xcc [\x8e\x51\x8f\xc6\x83\x4a\x83\x45\x83\x93"
                            "\x83\x67" "2]\n",
                            "DirectMusicLoader\x82\xf0\x89\xf0\x91\xcc [\x8e\x51\x8f\xc6\x83\x4a\x83\x45\x83\x93\x83"
                            "\x67" "0]\n",
                            "DirectMusicObject\x82\xf0\x89\xf0\x91\xcc [\x8e\x51\x8f\xc6\x83\x4a\x83\x45\x83\x93\x83"
                            "\x67" "1]\n"});
    EXPECT_EQ(mediaCalls, (std::vector<std::string>{"performance closed", "performance released", "loader released",
                                                    "music released"}));
    EXPECT_EQ(musicPerformance, nullptr);
}

TEST_F(CommandLayerTest, AFailedAudioSetUpIsLoggedWithoutABox) {
    media.initAudioWorks = false;
    testing::internal::CaptureStderr();
    InitializeDirectMusic();
    DestroyDirectMusic();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const std::string written = log.Take();
    EXPECT_NE(written.find(kPerformanceFailed), std::string::npos) << written;
    EXPECT_EQ(written.find(kPerformanceReady), std::string::npos) << written;
}

class DirectPlayTest : public test::FakeMediaTest {};

TEST_F(DirectPlayTest, ThePeerIsMadeOnTheThreadAndReleasedWhenTheLayerEnds) {
    for (bool initializeWorks : {true, false}) {
        media.peerInitializeWorks = initializeWorks;
        mediaCalls.clear();
        InitializeDirectPlay();
        EXPECT_NE(directPlayPeer, nullptr);
        EXPECT_TRUE(mediaCalls.empty());
        DestroyDirectPlay();
        EXPECT_EQ(mediaCalls, std::vector<std::string>{"peer released"});
        EXPECT_EQ(directPlayPeer, nullptr);
        ExpectInOrder(log.Take(), {"  \x81\xa1 Create DirectPlayPeer Object\n",
                                   initializeWorks ? "  \x81\xa1 Initialize DirectPlayPeer Object\n"
                                                   : "  Error Can't Initialize DirectPlayPeer Object\n",
                                   "Destroy DirectPlay\n"});
    }
}

TEST_F(DirectPlayTest, DestroyWithoutAThreadOnlyLogsItsBanner) {
    DestroyDirectPlay();
    EXPECT_EQ(log.Take(), "\n============================================== Destroy DirectPlay\n");
}

class MediaStreamTest : public test::FakeMediaTest {};

TEST_F(MediaStreamTest, EachFailingStepEndsTheStartWithItsLine) {
    const struct {
        bool haveDirectDraw, initializeWorks, levelWorks;
        int result;
        const char* lastLine;
    } cases[] = {
        {false, true, true, 0, "\x82\xcc\x90\xb6\x90\xac\x82\xc9\x8e\xb8\x94\x73\n"},  // の生成に失敗
        {true, false, true, 0, "\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94\x73\n"},  // の初期化に失敗
        {true, true, false, 0, "\x82\xcc\x90\xdd\x92\xe8\x82\xc9\x8e\xb8\x94\x73\n"},          // の設定に失敗
        {true, true, true, 1, "  \x81\xa1 \x8b\xa6\x92\xb2\x83\x8c\x83\x78\x83\x8b\x82\xf0\x90\xdd\x92\xe8\n"},
    };
    for (const auto& c : cases) {
        media.haveDirectDraw = c.haveDirectDraw;
        media.directDrawInitializeWorks = c.initializeWorks;
        media.cooperativeLevelWorks = c.levelWorks;
        EXPECT_EQ(InitializeMediaStream(), c.result) << c.lastLine;
        const std::string written = log.Take();
        EXPECT_TRUE(written.ends_with(c.lastLine)) << written;
        mediaCalls.clear();
        DestroyMediaStream();
        EXPECT_EQ(mediaCalls, c.haveDirectDraw ? std::vector<std::string>{"directdraw released"}
                                               : std::vector<std::string>{});
        EXPECT_EQ(mediaStreamDirectDraw, nullptr);
        log.Take();
    }
}

TEST_F(MediaStreamTest, DestroyReleasesTheLayersObjects) {
    InitializeMediaStream();
    performed.clear();
    mediaStreamList.PushBack(new RecordingObject());
    DestroyMediaStream();
    EXPECT_EQ(performed, std::vector<std::string>{"deleted"});
    EXPECT_NE(log.Take().find("Release DirectDraw Object [\x8e\x51\x8f\xc6\x83\x4a\x83\x45\x83\x93\x83\x67" "0]\n"),
              std::string::npos);
}

}  // namespace
