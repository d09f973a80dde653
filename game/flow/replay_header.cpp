#include "game/flow/replay_header.h"

#include <cstring>
#include <type_traits>

#include "platform/little_endian.h"

namespace {

// Walks the header's bytes field by field in file order, so the same list of
// fields drives both reading and writing.
template <typename Bytes>
class FieldCursor {
public:
    explicit FieldCursor(Bytes bytes) : bytes_(bytes) {}

    void Int32(int32_t& value) {
        if constexpr (kWriting) {
            platform::WriteLe32(bytes_.data() + offset_, static_cast<uint32_t>(value));
        } else {
            value = static_cast<int32_t>(platform::ReadLe32(bytes_.data() + offset_));
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

using platform::ReadLe16;
using platform::WriteLe16;

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
    return ReplayFrame{{ReadLe16(bytes.data()), ReadLe16(bytes.data() + 2)}};
}

void WriteReplayFrame(const ReplayFrame& frame, std::span<uint8_t, REPLAY_FRAME_SIZE> bytes) {
    WriteLe16(bytes.data(), frame.input[0]);
    WriteLe16(bytes.data() + 2, frame.input[1]);
}

std::string_view ReplayVersionText(const ReplayHeader& header) {
    return BoundedText(header.versionText, sizeof header.versionText);
}

std::string_view ReplayComment(const ReplayHeader& header) {
    return BoundedText(header.comment, sizeof header.comment);
}
