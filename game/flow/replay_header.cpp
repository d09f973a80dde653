#include "game/flow/replay_header.h"

#include <cstring>
#include <type_traits>

namespace {

// Walks the header's bytes field by field in file order, so the same list of
// fields drives both reading and writing.
template <typename Bytes>
class FieldCursor {
public:
    explicit FieldCursor(Bytes bytes) : bytes_(bytes) {}

    void Int32(int32_t& value) {
        if constexpr (kWriting) {
            const auto u = static_cast<uint32_t>(value);
            for (size_t i = 0; i < 4; ++i) bytes_[offset_ + i] = static_cast<uint8_t>(u >> (8 * i));
        } else {
            uint32_t u = 0;
            for (size_t i = 0; i < 4; ++i) u |= static_cast<uint32_t>(bytes_[offset_ + i]) << (8 * i);
            value = static_cast<int32_t>(u);
        }
        offset_ += 4;
    }

    template <typename T, size_t N>
    void Raw(T (&field)[N]) {
        static_assert(sizeof(T) == 1);
        if constexpr (kWriting) {
            std::memcpy(bytes_.data() + offset_, field, N);
        } else {
            std::memcpy(field, bytes_.data() + offset_, N);
        }
        offset_ += N;
    }

private:
    static constexpr bool kWriting = !std::is_const_v<typename Bytes::element_type>;
    Bytes bytes_;
    size_t offset_ = 0;
};

template <typename Bytes>
void VisitHeaderFields(ReplayHeader& h, FieldCursor<Bytes>& c) {
    c.Int32(h.formatId);
    c.Raw(h.versionText);
    c.Int32(h.p1CharacterId);
    c.Int32(h.p2CharacterId);
    c.Int32(h.p1Colour);
    c.Int32(h.p2Colour);
    c.Int32(h.winnerSide);
    c.Int32(h.stageNumber);
    c.Int32(h.gameMode);
    c.Int32(h.difficulty);
    c.Int32(h.bestComboDamage);
    c.Int32(h.bestComboHits);
    c.Int32(h.randomSeed);
    c.Raw(h.comment);
    c.Raw(h.dateDigits);
    c.Raw(h.reserved);
}

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void WriteU16(uint16_t value, uint8_t* p) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

std::string_view BoundedText(const char* field, size_t size) {
    const void* nul = std::memchr(field, '\0', size);
    return {field, nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : size};
}

}  // namespace

ReplayHeader ReadReplayHeader(std::span<const uint8_t, REPLAY_HEADER_SIZE> bytes) {
    ReplayHeader header;
    FieldCursor cursor(bytes);
    VisitHeaderFields(header, cursor);
    return header;
}

void WriteReplayHeader(const ReplayHeader& header, std::span<uint8_t, REPLAY_HEADER_SIZE> bytes) {
    ReplayHeader copy = header;  // the visitor takes mutable fields for both directions
    FieldCursor cursor(bytes);
    VisitHeaderFields(copy, cursor);
}

ReplayFrame ReadReplayFrame(std::span<const uint8_t, REPLAY_FRAME_SIZE> bytes) {
    return ReplayFrame{{ReadU16(bytes.data()), ReadU16(bytes.data() + 2)}};
}

void WriteReplayFrame(const ReplayFrame& frame, std::span<uint8_t, REPLAY_FRAME_SIZE> bytes) {
    WriteU16(frame.input[0], bytes.data());
    WriteU16(frame.input[1], bytes.data() + 2);
}

std::string_view ReplayVersionText(const ReplayHeader& header) {
    return BoundedText(header.versionText, sizeof header.versionText);
}

std::string_view ReplayComment(const ReplayHeader& header) {
    return BoundedText(header.comment, sizeof header.comment);
}
