#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>

#include "engine/core/resource.h"
#include "engine/devices/command_ring.h"

// The worker thread and command ring of the DirectShow-audio and DirectMusic
// layers, built like the sound layer's: 64 slots of one fixed-size command,
// served first in first out under the layer's lock, a poster waiting while
// every slot is pending, and the layer's objects released when it quits.

// An object of a command layer. A command reaches one of its own virtual
// operations by number: 1 is the first after Delete, Release and AddRef.
class MediaObject : public ResourceObject {
public:
    // block: the command's 256 argument bytes; word: their first u32.
    virtual void Perform(int operation, const uint8_t* block, uint32_t word);
};

constexpr int MEDIA_QUEUE_SLOTS = 64;
constexpr int MEDIA_ARGUMENT_BYTES = 256;

struct MediaCommand {
    MediaCommand() = default;
    // A valid command with its argument in the first bytes (cut to 256).
    MediaCommand(uint32_t code, MediaObject* object, const void* argument = nullptr, size_t size = 0);

    uint32_t valid = 0;
    uint32_t command = 0;
    MediaObject* target = nullptr;
    uint8_t arguments[MEDIA_ARGUMENT_BYTES] = {};
};

// What a command code does to its target.
enum class MediaArgument { None, Block, Word };
constexpr int MEDIA_RELEASE = -1;  // the target's Release
constexpr int MEDIA_NOTHING = 0;
struct MediaRoute {
    int operation;  // an own operation's number, MEDIA_RELEASE or MEDIA_NOTHING
    MediaArgument argument = MediaArgument::None;
};

class MediaCommandLayer {
public:
    // routes[code] for each code below the table's size; quitCode ends the
    // thread; other codes do nothing.
    MediaCommandLayer(std::span<const MediaRoute> routes, uint32_t quitCode);
    ~MediaCommandLayer();

    // Starts the thread and returns once it serves: setUp runs first on the
    // thread, before any command; tearDown runs last, after the objects went.
    void Start(void (*setUp)(), void (*tearDown)());
    bool IsRunning() const { return thread.joinable(); }
    // Posts the quit command and waits for the thread; false without one.
    bool Stop();
    // Does nothing while no thread serves.
    void Post(const MediaCommand& command);

    // The layer's objects; linked, unlinked and walked under `lock`, which
    // each command holds while it runs.
    ResourceList objects;
    std::mutex lock;

private:
    void Serve(void (*setUp)(), void (*tearDown)());
    // Runs one command under the lock; true for the quit command.
    bool Perform(const MediaCommand& command);

    std::span<const MediaRoute> routes;
    uint32_t quitCode;
    CommandRing<MediaCommand, MEDIA_QUEUE_SLOTS> ring;
    bool serving = false;
    std::condition_variable changed;
    std::thread thread;
};
