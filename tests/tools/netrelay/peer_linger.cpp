#include "tests/tools/netrelay/peer_linger.h"

#include "engine/devices/network.h"
#include "game/flow/net_exchange.h"

void AnswerResendRequestsUntilSilent() {
    for (int silent = 0; silent < 2;) {
        uint8_t bytes[NET_PACKET_SIZE];
        if (!NetReceiveWait(bytes, NET_PACKET_SIZE, 1)) {
            ++silent;
            continue;
        }
        silent = 0;
        const NetPacket packet = DecodeNetPacket(bytes);
        if (packet.frame != NT_COMMAND_WRECK && packet.frame != NT_COMMAND_BROKEN) continue;
        const auto sample = netSentSamples.find(packet.value);
        if (sample != netSentSamples.end()) {
            SendNetPacket({static_cast<int16_t>(packet.value), sample->second, sample->second});
        }
    }
}
