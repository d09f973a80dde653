#include <benchmark/benchmark.h>

#include <vector>

#include "engine/devices/network.h"
#include "game/flow/net_exchange.h"
#include "platform/udp_socket.h"

namespace {

// One network battle frame over a real loopback socket whose peer is itself:
// the local sample comes back as the peer's packet, so every exchange frame
// sends one datagram and reads it back. The budget is a 60 fps frame.
void BM_NetworkBattleFrameOverLoopback(benchmark::State& state) {
    const auto interval = static_cast<int32_t>(state.range(0));
    auto probe = platform::CreateUdpSocket();
    if (!probe->Open(0)) {
        state.SkipWithError("no loopback socket");
        return;
    }
    const uint16_t port = probe->LocalPort();
    probe->Close();
    if (!NetOpen({"127.0.0.1", port, 0, 0, static_cast<uint8_t>(interval == 3)})) {
        state.SkipWithError("cannot bind");
        return;
    }
    netConnected = 1;
    InputWord pad = 0;
    ButtonStates padButtons = {};
    int32_t frame = 0;
    for (auto _ : state) {
        if (frame % interval == 0) SendInputSample(frame, static_cast<InputWord>(frame & 0x7FF));
        const SyncFrame syncFrame{frame, 0, true, false, false, false};
        for (int side = 0; side < 2; ++side) {
            SyncPlayerRecord record{static_cast<InputWord>(frame & 0x7FF), &pad, padButtons};
            SyncPlayerInput(side, syncFrame, record);
        }
        benchmark::DoNotOptimize(inputWords[1]);
        // Stays inside the 16-bit frame field and the sent-sample history.
        frame = frame + 1 == 30000 ? 0 : frame + 1;
        if (frame == 0) netSentSamples.clear();
    }
    if (!netConnected) state.SkipWithError("the exchange lost its own packets");
    NetClose();
}
BENCHMARK(BM_NetworkBattleFrameOverLoopback)->Arg(2)->Arg(3);

}  // namespace
