#include "engine/devices/media_command_queue.h"

#include <algorithm>
#include <cstring>

void MediaObject::Perform(int, const uint8_t*, uint32_t) {}

MediaCommand::MediaCommand(uint32_t code, MediaObject* object, const void* argument, size_t size)
    : valid(1), command(code), target(object) {
    if (argument) std::memcpy(arguments, argument, std::min<size_t>(size, MEDIA_ARGUMENT_BYTES));
}

MediaCommandLayer::MediaCommandLayer(std::span<const MediaRoute> routes, uint32_t quitCode)
    : routes(routes), quitCode(quitCode) {}

MediaCommandLayer::~MediaCommandLayer() { Stop(); }

void MediaCommandLayer::Start(void (*setUp)(), void (*tearDown)()) {
    if (IsRunning()) return;
    std::unique_lock guard(lock);
    ring.Clear();
    serving = false;
    thread = std::thread(&MediaCommandLayer::Serve, this, setUp, tearDown);
    changed.wait(guard, [this] { return serving; });
}

void MediaCommandLayer::Serve(void (*setUp)(), void (*tearDown)()) {
    if (setUp) setUp();
    std::unique_lock guard(lock);
    objects.Reset();
    serving = true;
    changed.notify_all();
    for (;;) {
        changed.wait(guard, [this] { return ring.Pending() > 0; });
        const MediaCommand command = ring.Take();
        const bool quit = command.valid && Perform(command);
        changed.notify_all();
        if (quit) break;
    }
    serving = false;
    ring.Clear();
    objects.ReleaseAll();
    changed.notify_all();
    guard.unlock();
    if (tearDown) tearDown();
}

bool MediaCommandLayer::Perform(const MediaCommand& command) {
    if (command.command == quitCode) return true;
    if (!command.target || command.command >= routes.size()) return false;
    const MediaRoute& route = routes[command.command];
    if (route.operation == MEDIA_RELEASE) {
        command.target->Release();
    } else if (route.operation != MEDIA_NOTHING) {
        uint32_t word = 0;
        std::memcpy(&word, command.arguments, sizeof word);
        command.target->Perform(route.operation,
                                route.argument == MediaArgument::Block ? command.arguments : nullptr,
                                route.argument == MediaArgument::Word ? word : 0);
    }
    return false;
}

bool MediaCommandLayer::Stop() {
    if (!IsRunning()) return false;
    Post(MediaCommand(quitCode, nullptr));
    thread.join();
    return true;
}

void MediaCommandLayer::Post(const MediaCommand& command) {
    std::unique_lock guard(lock);
    changed.wait(guard, [this] { return !serving || !ring.IsFull(); });
    if (!serving) return;
    ring.Push(command);
    changed.notify_all();
}
