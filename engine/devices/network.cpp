#include "engine/devices/network.h"

#include <algorithm>
#include <cstring>

#include "engine/core/log.h"

std::unique_ptr<platform::UdpSocket> netSocket;
platform::Ipv4Endpoint netLocalAddress;
platform::Ipv4Endpoint netPeerAddress;
uint8_t netConnected;
uint32_t netSendInterval = 2;
int32_t netLocalSide;
FILE* netLogFile;

namespace {

NetSocketFactory socketFactory;

std::unique_ptr<platform::UdpSocket> CreateNetSocket() {
    return socketFactory ? socketFactory() : platform::CreateUdpSocket();
}

enum class ReadResult { TAKEN, DROPPED, FAILED };

// Reads the next datagram; only one of exactly `size` bytes from the peer's
// address is taken, anything else leaves the buffer zeroed.
ReadResult ReadPeerDatagram(void* buffer, int size) {
    platform::Ipv4Endpoint sender{};
    const int length = netSocket->ReceiveFrom(buffer, static_cast<size_t>(size), &sender);
    if (length < 0) {
        std::memset(buffer, 0, static_cast<size_t>(size));
        return ReadResult::FAILED;
    }
    netLocalAddress = sender;
    if (length != size || sender.address != netPeerAddress.address) {
        std::memset(buffer, 0, static_cast<size_t>(size));
        return ReadResult::DROPPED;
    }
    return ReadResult::TAKEN;
}

enum class WaitResult { TAKEN, TIMED_OUT, FAILED };

// Waits up to `milliseconds` for a datagram from the peer, dropping others.
WaitResult WaitForPeerDatagram(void* buffer, int size, uint32_t milliseconds) {
    uint32_t remaining = milliseconds;
    for (;;) {
        switch (netSocket->WaitReadable(&remaining)) {
        case platform::SocketWait::TIMED_OUT:
            return WaitResult::TIMED_OUT;
        case platform::SocketWait::FAILED:
            return WaitResult::FAILED;
        case platform::SocketWait::READABLE:
            break;
        }
        switch (ReadPeerDatagram(buffer, size)) {
        case ReadResult::TAKEN:
            return WaitResult::TAKEN;
        case ReadResult::FAILED:
            return WaitResult::FAILED;
        case ReadResult::DROPPED:
            if (remaining == 0) return WaitResult::TIMED_OUT;
            break;
        }
    }
}

}  // namespace

bool NetOpen(const NetSettings& settings) {
    NetClose();
    if (!netSocket) netSocket = CreateNetSocket();
    const bool opened = netSocket->Open(settings.port);
    if (!opened) WriteLog("  \x83\x47\x83\x89\x81\x5B : NetOpen / bind port %u\n", settings.port);  // "エラー : "
    netLocalAddress = {0, settings.port};
    netPeerAddress = {platform::ParseIpv4Address(settings.peerHost),
                      settings.peerPort != 0 ? settings.peerPort : settings.port};
    netSendInterval = settings.slowLine != 0 ? 3 : 2;
    netConnected = 0;
    netLogFile = nullptr;
    netLocalSide = settings.localSide == 1 ? 1 : 0;
    return opened;
}

void NetClose() {
    netConnected = 0;
    if (!NetIsOpen()) return;
    NetLogLine("[Situation]:Begin Cleanup\n");
    netSocket->Close();
    if (netLogFile) {
        NetLogLine("[Success]:closesocket,WSACleanup\n");
        std::fclose(netLogFile);
        netLogFile = nullptr;
    }
}

bool NetIsOpen() { return netSocket && netSocket->IsOpen(); }

bool NetSend(const void* data, int length) {
    if (!NetIsOpen() || length < 0) return true;
    if (!netSocket->SendTo(netPeerAddress, data, static_cast<size_t>(length))) WriteLog("ERROR\n");
    return true;
}

bool NetReceive(void* buffer, int size, int checkPending) {
    std::memset(buffer, 0, static_cast<size_t>(size));
    if (!NetIsOpen()) return false;
    if (checkPending == 1) {
        uint32_t noWait = 0;
        if (netSocket->WaitReadable(&noWait) != platform::SocketWait::READABLE) return false;
        return ReadPeerDatagram(buffer, size) == ReadResult::TAKEN;
    }
    switch (WaitForPeerDatagram(buffer, size, NET_RECEIVE_TIMEOUT_MS)) {
    case WaitResult::TAKEN:
        return true;
    case WaitResult::FAILED:
        return false;
    case WaitResult::TIMED_OUT:
        break;
    }
    // The peer is gone: tear the network down; it must be opened again.
    NetClose();
    return false;
}

bool NetReceiveWait(void* buffer, int size, uint32_t seconds) {
    std::memset(buffer, 0, static_cast<size_t>(size));
    if (!NetIsOpen()) return false;
    const uint32_t milliseconds = static_cast<uint32_t>(std::min<uint64_t>(seconds * 1000ull, UINT32_MAX));
    return WaitForPeerDatagram(buffer, size, milliseconds) == WaitResult::TAKEN;
}

void NetWait(uint32_t milliseconds) {
    if (!NetIsOpen()) return;
    uint32_t remaining = milliseconds;
    netSocket->WaitReadable(&remaining);
}

void NetLogLine(const char* text) {
    if (netLogFile) std::fputs(text, netLogFile);
}

void SetNetSocketFactory(NetSocketFactory factory) {
    NetClose();
    netSocket.reset();
    socketFactory = std::move(factory);
}
