// netrelay: forwards datagrams between two network peers with seeded loss,
// duplication, reordering, corruption and delay, for tests of network play. It
// ends by itself once no datagram has come for --idle-ms (counted from the
// first one: peers may take long to start), after --max-ms in all, or on
// SIGTERM, and prints what it did, with the most datagrams each peer sent
// within a second.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/netrelay/relay.h"

namespace {

constexpr uint32_t kRoundMs = 100;
volatile std::sig_atomic_t stopRequested = 0;

void Usage() {
    std::fprintf(stderr,
                 "usage: netrelay --peer-a PORT --peer-b PORT --relay-a PORT --relay-b PORT\n"
                 "                [--peer-a-host IPV4] [--peer-b-host IPV4]\n"
                 "                [--seed N] [--loss P] [--duplicate P] [--reorder P] [--corrupt P]\n"
                 "                [--hold-ms MS] [--delay-ms MS] [--jitter-ms MS] [--idle-ms MS] [--max-ms MS]\n"
                 "                [--spare-select 0|1]\n"
                 "Peer A sends to the relay's port A, peer B to port B; the peers are on\n"
                 "127.0.0.1 unless their hosts are given (the relay takes datagrams only\n"
                 "from each peer's host).\n"
                 "A port left out or 0 is chosen by the system (relay) or learnt from the\n"
                 "peer's first datagram (peer); the relay's ports are printed first.\n");
}

bool ParseNumber(const char* text, double* out) {
    char* end = nullptr;
    *out = std::strtod(text, &end);
    return end != text && *end == '\0' && *out >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    RelayOptions options;
    double idleMs = 5000, maxMs = 120000;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if ((name == "--peer-a-host" || name == "--peer-b-host") && i + 1 < argc) {
            const uint32_t host = platform::ParseIpv4Address(argv[++i]);
            if (host == platform::IPV4_ADDRESS_NONE) {
                Usage();
                return 2;
            }
            (name == "--peer-a-host" ? options.peerHostA : options.peerHostB) = host;
            continue;
        }
        double value = 0;
        if (i + 1 >= argc || !ParseNumber(argv[i + 1], &value)) {
            Usage();
            return 2;
        }
        ++i;
        if (name == "--peer-a") options.peerPortA = static_cast<uint16_t>(value);
        else if (name == "--peer-b") options.peerPortB = static_cast<uint16_t>(value);
        else if (name == "--relay-a") options.relayPortA = static_cast<uint16_t>(value);
        else if (name == "--relay-b") options.relayPortB = static_cast<uint16_t>(value);
        else if (name == "--seed") options.seed = static_cast<uint32_t>(value);
        else if (name == "--loss") options.loss = value;
        else if (name == "--duplicate") options.duplicate = value;
        else if (name == "--reorder") options.reorder = value;
        else if (name == "--corrupt") options.corrupt = value;
        else if (name == "--hold-ms") options.holdMs = static_cast<uint32_t>(value);
        else if (name == "--delay-ms") options.delayMs = static_cast<uint32_t>(value);
        else if (name == "--jitter-ms") options.jitterMs = static_cast<uint32_t>(value);
        else if (name == "--spare-select") options.spareSelect = value != 0;
        else if (name == "--idle-ms") idleMs = value;
        else if (name == "--max-ms") maxMs = value;
        else {
            Usage();
            return 2;
        }
    }
    Relay relay(options);
    if (!relay.Open()) {
        std::fprintf(stderr, "netrelay: cannot bind the relay ports\n");
        return 1;
    }
    std::printf("relay ports %u %u\n", relay.relayPortA(), relay.relayPortB());
    std::fflush(stdout);
    // Short rounds, so that SIGTERM ends the relay soon (with its report); a
    // silence of idleMs ends it too, once the first datagram has come.
    std::signal(SIGTERM, [](int) { stopRequested = 1; });
    double quietMs = 0;
    for (double served = 0; served < maxMs && !stopRequested && quietMs < idleMs; served += kRoundMs) {
        quietMs = relay.Pump(kRoundMs) || relay.counts().received == 0 ? 0 : quietMs + kRoundMs;
    }
    const RelayCounts& c = relay.counts();
    std::printf("received %llu forwarded %llu dropped %llu duplicated %llu reordered %llu corrupted %llu "
                "busiest-second-from-a %llu busiest-second-from-b %llu\n",
                static_cast<unsigned long long>(c.received), static_cast<unsigned long long>(c.forwarded),
                static_cast<unsigned long long>(c.dropped), static_cast<unsigned long long>(c.duplicated),
                static_cast<unsigned long long>(c.reordered), static_cast<unsigned long long>(c.corrupted),
                static_cast<unsigned long long>(c.busiestSecondFromA),
                static_cast<unsigned long long>(c.busiestSecondFromB));
    return 0;
}
