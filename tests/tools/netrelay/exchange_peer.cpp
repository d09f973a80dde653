// One side of a scripted network match on this machine, for the relay test:
// connects, exchanges one select word, runs the start handshake and the input
// exchange of `frames` battle frames with words made from the side and the
// frame, checks every frame's pair of words against the schedule both
// machines must follow, and prints the outcome and a hash of the words used.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/devices/network.h"
#include "game/flow/net_exchange.h"

namespace {

InputWord SampleWord(int side, int32_t frame) {
    const uint32_t mixed = static_cast<uint32_t>(frame) * 2654435761u ^ static_cast<uint32_t>(side + 1) * 0x9E3779B9u;
    return static_cast<InputWord>(mixed >> 16 & 0x7FF);
}

// The word side s must use on frame f.
InputWord ScheduledWord(int side, int32_t frame, int32_t interval) {
    if (frame < interval - 1) return 0;
    return SampleWord(side, interval * ((frame + 1) / interval) - interval);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: exchange_peer SIDE PORT PEER_PORT FRAMES SLOW_LINE\n");
        return 2;
    }
    const int side = std::atoi(argv[1]);
    const auto port = static_cast<uint16_t>(std::atoi(argv[2]));
    const auto peerPort = static_cast<uint16_t>(std::atoi(argv[3]));
    const int32_t frames = std::atoi(argv[4]);
    const auto slowLine = static_cast<uint8_t>(std::atoi(argv[5]));
    if (!NetOpen({"127.0.0.1", port, peerPort, side, slowLine})) return 3;

    // As the select screens do: a while after opening (their fade-in, longer on
    // side 1 so that side 0's connect packets wait for it), one connect packet
    // a frame.
    std::this_thread::sleep_for(std::chrono::milliseconds(200 + 200 * side));
    int tries = 0;
    while (PollNetConnect() != NetConnect::CONNECTED) {
        if (++tries > 1000) return 4;
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    // One select period, as the screen's is, with the match decided: the
    // relay forwards to a peer only once it has heard from it, so this side's
    // one connect packet after that may be lost, and only a side still in
    // its select exchange answers the peer's connect packets.
    SendSelectInput();
    ReceiveSelectInput(/*matchDecided=*/true);
    if (!netConnected) return 4;
    int pumps = 0;
    if (!RunStartHandshake([&pumps] { return ++pumps < 2000; })) return 5;

    const auto interval = static_cast<int32_t>(netSendInterval);
    InputWord sample = 0;
    InputWord pad = 0;
    ButtonStates padButtons = {};
    int mismatches = 0;
    uint64_t hash = 1469598103934665603ull;
    for (int32_t frame = 0; frame < frames; ++frame) {
        if (frame % interval == 0) {
            sample = SampleWord(netLocalSide, frame);
            SendInputSample(frame, sample);
        }
        const SyncFrame syncFrame{frame, 0, true, false, false, false};
        for (int s = 0; s < 2; ++s) {
            SyncPlayerRecord record{sample, &pad, padButtons};
            SyncPlayerInput(s, syncFrame, record);
            if (inputWords[s] != ScheduledWord(s, frame, interval)) ++mismatches;
            hash = (hash ^ inputWords[s]) * 1099511628211ull;
        }
    }
    const int connected = netConnected;
    AnswerResendRequestsUntilSilent([] { return true; });
    std::printf("connected %d mismatches %d hash %016llx\n", connected, mismatches,
                static_cast<unsigned long long>(hash));
    NetClose();
    return 0;
}
