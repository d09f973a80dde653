#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media_stubs.h"
#include "tests/engine/core/log_capture.h"

namespace test {

// Every call the fake media services saw, in order.
inline std::vector<std::string> mediaCalls;

// A COM object that notes its release and reports `refs` references left.
// Objects that report references left stand for ones the service still
// holds, so the fake media system that made them owns them all and deletes
// them at the end of the test, whatever their count.
template <typename Interface>
struct FakeMediaObject : Interface {
    FakeMediaObject(std::string name, uint32_t refs) : name(std::move(name)), refs(refs) {}
    uint32_t Release() override {
        mediaCalls.push_back(name + " released");
        return --refs;
    }
    std::string name;
    uint32_t refs;
};

struct FakePerformance : FakeMediaObject<platform::DirectMusicPerformance> {
    FakePerformance(bool initAudioWorks) : FakeMediaObject("performance", 3), initAudioWorks(initAudioWorks) {}
    bool InitAudio(platform::DirectMusicObject** out, platform::WindowHandle) override {
        if (!initAudioWorks) return false;
        music = std::make_unique<FakeMediaObject<platform::DirectMusicObject>>("music", 2);
        *out = music.get();
        return true;
    }
    void CloseDown() override { mediaCalls.push_back("performance closed"); }
    bool initAudioWorks;
    std::unique_ptr<FakeMediaObject<platform::DirectMusicObject>> music;
};

struct FakePeer : FakeMediaObject<platform::DirectPlayPeer> {
    explicit FakePeer(bool initializeWorks) : FakeMediaObject("peer", 1), initializeWorks(initializeWorks) {}
    bool Initialize() override { return initializeWorks; }
    bool initializeWorks;
};

struct FakeDirectDraw : FakeMediaObject<platform::DirectDraw> {
    FakeDirectDraw(bool initializeWorks, bool levelWorks)
        : FakeMediaObject("directdraw", 1), initializeWorks(initializeWorks), levelWorks(levelWorks) {}
    bool InitializeEmulationOnly() override { return initializeWorks; }
    bool SetCooperativeLevelNormal() override { return levelWorks; }
    bool initializeWorks, levelWorks;
};

// A mixer of scripted lines, controls and values; Set calls are noted.
struct FakeMixerLines {
    struct Destination {
        platform::MixerLine line;
        std::vector<platform::MixerLine> sources;
    };
    std::vector<Destination> destinations;
    std::map<uint32_t, std::vector<platform::MixerControl>> controls;  // by line id
    std::map<uint32_t, uint32_t> values;                               // by control id
};

struct FakeMixer : platform::MixerDevice {
    explicit FakeMixer(FakeMixerLines& lines) : lines(lines) {}
    bool GetDestinationCount(uint32_t* count) override {
        *count = static_cast<uint32_t>(lines.destinations.size());
        return true;
    }
    bool GetDestination(uint32_t destination, platform::MixerLine* line) override {
        *line = lines.destinations.at(destination).line;
        return true;
    }
    bool GetSource(uint32_t destination, uint32_t source, platform::MixerLine* line) override {
        *line = lines.destinations.at(destination).sources.at(source);
        return true;
    }
    bool GetLineControls(uint32_t lineId, std::vector<platform::MixerControl>* found) override {
        *found = lines.controls[lineId];
        return true;
    }
    bool GetControlValue(uint32_t controlId, uint32_t* value) override {
        *value = lines.values[controlId];
        return true;
    }
    bool SetControlValue(uint32_t controlId, uint32_t value) override {
        mediaCalls.push_back("set " + std::to_string(controlId) + " " + std::to_string(value));
        lines.values[controlId] = value;
        return true;
    }
    FakeMixerLines& lines;
};

// Media services where every class exists (unless told otherwise), MCI
// answers from a table, and one mixer has the scripted lines.
struct FakeMediaSystem : platform::MediaSystem {
    platform::DirectMusicLoader* CreateDirectMusicLoader() override {
        return Make<FakeMediaObject<platform::DirectMusicLoader>>("loader", 1);
    }
    platform::DirectMusicPerformance* CreateDirectMusicPerformance() override {
        return Make<FakePerformance>(initAudioWorks);
    }
    platform::DirectPlayPeer* CreateDirectPlayPeer() override { return Make<FakePeer>(peerInitializeWorks); }
    platform::DirectDraw* CreateDirectDraw() override {
        return haveDirectDraw ? Make<FakeDirectDraw>(directDrawInitializeWorks, cooperativeLevelWorks) : nullptr;
    }
    uint32_t MciSendString(const char* command, char* result, uint32_t size, platform::WindowHandle) override {
        mediaCalls.push_back(command);
        const auto reply = mciReplies.find(command);
        if (result && size > 0) {
            std::snprintf(result, size, "%s", reply == mciReplies.end() ? "" : reply->second.c_str());
        }
        return 0;
    }
    uint32_t MixerGetNumDevs() override { return 1; }
    std::unique_ptr<platform::MixerDevice> MixerOpen(uint32_t device) override {
        return device == 0 ? std::make_unique<FakeMixer>(mixer) : nullptr;
    }

    bool initAudioWorks = true;
    bool peerInitializeWorks = true;
    bool haveDirectDraw = true;
    bool directDrawInitializeWorks = true;
    bool cooperativeLevelWorks = true;
    std::map<std::string, std::string> mciReplies;
    FakeMixerLines mixer;

private:
    template <typename Object, typename... Arguments>
    Object* Make(Arguments&&... arguments) {
        auto object = std::make_unique<Object>(std::forward<Arguments>(arguments)...);
        Object* raw = object.get();
        const std::lock_guard lock(madeLock);  // the media layers create on their own threads
        made.push_back(std::move(object));
        return raw;
    }
    std::mutex madeLock;
    std::vector<std::unique_ptr<platform::MediaInterface>> made;
};

// The fake media services in place, the log captured.
struct FakeMediaTest : testing::Test {
    void SetUp() override {
        mediaCalls.clear();
        platform::SetMediaSystem(&media);
    }
    void TearDown() override { platform::SetMediaSystem(nullptr); }
    FakeMediaSystem media;
    LogCapture log;
};

}  // namespace test
