#include "engine/graphics/lzss.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int RING_MASK = LZSS_RING_SIZE - 1;
constexpr size_t PROGRESS_STEP = 65536;
constexpr size_t BLOCK = 16;

}  // namespace

int LzssDecode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t outSize,
               ProgressCallback progress) {
    if (outSize == 0) return 0;
    // The output itself serves as the ring: ring cell p last received the
    // output byte `distance` places back, where distance (1 to 4096) is how
    // far the write position has moved past p. A cell never written yet
    // (before the output's start) still holds the ring's initial zero.
    unsigned flags = 0;
    size_t in = 0;
    size_t out = 0;
    ReportProgress(progress);
    while (out < outSize) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (in >= srcSize) break;
            flags = src[in++] | 0xFF00u;
        }
        if (flags & 1) {
            if (in >= srcSize) break;
            dst[out++] = src[in++];
        } else {
            if (in + 2 > srcSize) break;
            const size_t p = src[in] | ((src[in + 1] & 0xF0) << 4);
            const size_t n = std::min<size_t>((src[in + 1] & 0x0F) + LZSS_MIN_MATCH, outSize - out);
            in += 2;
            const size_t r = (LZSS_RING_START + out) & RING_MASK;
            const size_t distance = ((r - p - 1) & RING_MASK) + 1;
            if (distance >= BLOCK && distance <= out && outSize - out >= LZSS_MAX_MATCH) {
                // A block at once, however short the match: what it writes
                // past the match is written again before anything reads it.
                std::memcpy(dst + out, dst + out - distance, BLOCK);
                for (size_t k = BLOCK; k < n; ++k) dst[out + k] = dst[out + k - distance];
            } else if (distance <= out) {
                // A match that overlaps the write position repeats the
                // `distance` bytes before it; reading them there, not the
                // bytes just written, keeps each byte from waiting on the last.
                const uint8_t* from = dst + out - distance;
                for (size_t k = 0, j = 0; k < n; ++k) {
                    dst[out + k] = from[j];
                    if (++j == distance) j = 0;
                }
            } else {
                for (size_t k = 0; k < n; ++k) dst[out + k] = out + k >= distance ? dst[out + k - distance] : 0;
            }
            if (progress && (out + n) / PROGRESS_STEP != out / PROGRESS_STEP) ReportProgress(progress);
            out += n;
        }
        ReportProgress(progress);
    }
    std::memset(dst + out, 0, outSize - out);
    return 1;
}

uint64_t LzssMaxDecodedSize(uint64_t srcSize) {
    // A group is one flag byte and eight matches of two bytes; a partial group
    // yields one longest match per two bytes after its flag byte, and a last
    // odd byte can still be a literal.
    constexpr uint64_t GROUP = 1 + 8 * 2;
    uint64_t groups = srcSize / GROUP;
    uint64_t rest = srcSize % GROUP;
    uint64_t restBytes = rest > 0 ? rest - 1 : 0;
    return (groups * 8 + restBytes / 2) * LZSS_MAX_MATCH + restBytes % 2;
}

namespace {

// Greedy encoder over hash chains of 3-byte prefixes. It matches against the
// data itself, and against the zero-filled ring before the first byte, exactly
// as the decoder's ring will hold them.
class Encoder {
public:
    Encoder(const uint8_t* data, size_t size) : data_(data), size_(size) {
        head_.fill(-1);
        prev_.assign(size, -1);
    }

    std::vector<uint8_t> Run() {
        size_t pos = 0;
        while (pos < size_) {
            auto [length, ringPos] = FindMatch(pos);
            if (length >= LZSS_MIN_MATCH) {
                PutMatch(ringPos, length);
            } else {
                length = 1;
                PutLiteral(data_[pos]);
            }
            for (int k = 0; k < length; ++k) Insert(pos + k);
            pos += length;
        }
        return std::move(out_);
    }

private:
    static constexpr int MAX_CHAIN = 48;
    // Ring cells 4062..4079 are written last (when the output reaches 4078).
    static constexpr int ZERO_CELLS = LZSS_RING_START - LZSS_MAX_MATCH;
    static constexpr size_t ZERO_CELLS_LAST_USE = LZSS_RING_SIZE - LZSS_MAX_MATCH;

    // Finds the longest match for data[pos..] as {length, ring position}.
    std::pair<int, int> FindMatch(size_t pos) const {
        int limit = static_cast<int>(std::min<size_t>(LZSS_MAX_MATCH, size_ - pos));
        if (limit < LZSS_MIN_MATCH) return {0, 0};
        int best = 0;
        int bestRing = 0;
        // A byte written 4096 or more bytes ago has been overwritten.
        constexpr long WINDOW = LZSS_RING_SIZE - 1;
        int chain = MAX_CHAIN;
        for (long cand = head_[Hash(pos)]; cand >= 0 && chain-- > 0; cand = prev_[cand]) {
            if (static_cast<long>(pos) - cand > WINDOW) break;
            int len = MatchLength(cand, pos, limit);
            if (len > best) {
                best = len;
                bestRing = static_cast<int>((LZSS_RING_START + cand) & RING_MASK);
                if (len == limit) break;
            }
        }
        // The cells just below the start position stay zero until the output
        // wraps round to them, so a zero run early on can come from there.
        if (best < limit) {
            int zeros = 0;
            while (zeros < limit && data_[pos + zeros] == 0) ++zeros;
            if (zeros > best && pos + zeros <= ZERO_CELLS_LAST_USE) {
                best = zeros;
                bestRing = ZERO_CELLS;
            }
        }
        return {best, bestRing};
    }

    int MatchLength(long cand, size_t pos, int limit) const {
        int len = 0;
        while (len < limit && data_[cand + len] == data_[pos + len]) ++len;
        return len;
    }

    unsigned Hash(size_t pos) const {
        if (pos + 3 > size_) return 0;
        return ((data_[pos] << 10) ^ (data_[pos + 1] << 5) ^ data_[pos + 2]) & (HASH_SIZE - 1);
    }

    void Insert(size_t pos) {
        if (pos + 3 > size_) return;
        unsigned h = Hash(pos);
        prev_[pos] = head_[h];
        head_[h] = static_cast<long>(pos);
    }

    void StartItem() {
        if (bit_ == 8) {
            flagIndex_ = out_.size();
            out_.push_back(0);
            bit_ = 0;
        }
    }

    void PutLiteral(uint8_t c) {
        StartItem();
        out_[flagIndex_] |= static_cast<uint8_t>(1u << bit_++);
        out_.push_back(c);
    }

    void PutMatch(int ringPos, int length) {
        StartItem();
        ++bit_;
        out_.push_back(static_cast<uint8_t>(ringPos & 0xFF));
        out_.push_back(static_cast<uint8_t>(((ringPos >> 4) & 0xF0) | (length - LZSS_MIN_MATCH)));
    }

    static constexpr unsigned HASH_SIZE = 1u << 15;
    const uint8_t* data_;
    size_t size_;
    std::array<long, HASH_SIZE> head_;
    std::vector<long> prev_;
    std::vector<uint8_t> out_;
    size_t flagIndex_ = 0;
    int bit_ = 8;
};

}  // namespace

std::vector<uint8_t> LzssEncode(const uint8_t* data, size_t size) {
    return Encoder(data, size).Run();
}
