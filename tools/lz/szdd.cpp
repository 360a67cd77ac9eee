// The SZDD format:
//   header  "SZDD" 88 F0 27 33, 'A', the replaced last character of the name, the expanded
//           size (32-bit, little-endian);
//   data    groups of one flag byte and up to eight items, bit 0 first: a set bit is one
//           literal byte; a clear bit is a match of two bytes, "pppppppp PPPPllll": the
//           12-bit position P:p of a 4096-byte ring and a length of l + 3 (3 to 18).
// The expander keeps the last 4096 bytes it wrote in the ring, which starts out filled with
// blanks and is written from position 4096 - 16. A match copies byte by byte, so it may
// overlap the bytes it produces.
//
// The compressor finds matches with hash chains over 3-byte prefixes, greedy with a
// one-step look-ahead. Distances stay below 4096, so a match never reads a ring slot that
// the same copy overwrites, whatever order the expander reads and writes in.
#include "szdd.h"

#include <string.h>

namespace {

constexpr int kRingSize = 4096;
constexpr int kRingStart = kRingSize - 16;
constexpr int kMaxDistance = kRingSize - 1;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 18;
constexpr int kHashBits = 15;
constexpr int kMaxChain = 96;
const uint8_t kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};

struct Match {
    int length;
    size_t from;
};

class MatchFinder {
public:
    MatchFinder(const uint8_t* data, size_t size)
        : data_(data), size_(size), head_(size_t{1} << kHashBits, -1), previous_(kRingSize, -1) {}

    // Adds every position up to (not including) end to the chains.
    void InsertUpTo(size_t end) {
        for (; inserted_ < end && inserted_ + kMinMatch <= size_; ++inserted_) {
            uint32_t hash = Hash(inserted_);
            previous_[inserted_ % kRingSize] = head_[hash];
            head_[hash] = static_cast<int64_t>(inserted_);
        }
        if (inserted_ < end) inserted_ = end;
    }

    // The longest earlier match for the bytes at at (inserted before at only).
    Match Longest(size_t at) const {
        Match best{0, 0};
        if (at + kMinMatch > size_) return best;
        size_t limit = size_ - at < kMaxMatch ? size_ - at : kMaxMatch;
        int64_t candidate = head_[Hash(at)];
        for (int chain = 0; candidate >= 0 && chain < kMaxChain; ++chain) {
            size_t from = static_cast<size_t>(candidate);
            if (at - from > kMaxDistance) break;
            if (data_[from + best.length] == data_[at + best.length]) {
                size_t length = 0;
                while (length < limit && data_[from + length] == data_[at + length]) ++length;
                if (static_cast<int>(length) > best.length) {
                    best = Match{static_cast<int>(length), from};
                    if (length == limit) break;
                }
            }
            int64_t next = previous_[from % kRingSize];
            if (next >= candidate) break;  // the slot was reused by a later position
            candidate = next;
        }
        return best.length >= kMinMatch ? best : Match{0, 0};
    }

private:
    uint32_t Hash(size_t at) const {
        uint32_t v = data_[at] | (data_[at + 1] << 8) | (data_[at + 2] << 16);
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const uint8_t* data_;
    size_t size_;
    std::vector<int64_t> head_;
    std::vector<int64_t> previous_;
    size_t inserted_ = 0;
};

// Items in groups of eight behind a flag byte.
class ItemWriter {
public:
    explicit ItemWriter(std::vector<uint8_t>* out) : out_(out) {}
    void Literal(uint8_t byte) {
        Begin();
        (*out_)[flagAt_] |= static_cast<uint8_t>(1u << count_);
        out_->push_back(byte);
        ++count_;
    }
    void Copy(size_t from, int length) {
        Begin();
        unsigned position = static_cast<unsigned>((from + kRingStart) % kRingSize);
        out_->push_back(static_cast<uint8_t>(position & 0xFF));
        out_->push_back(static_cast<uint8_t>(((position >> 4) & 0xF0) | (length - kMinMatch)));
        ++count_;
    }

private:
    void Begin() {
        if (count_ < 8) return;
        flagAt_ = out_->size();
        out_->push_back(0);
        count_ = 0;
    }
    std::vector<uint8_t>* out_;
    size_t flagAt_ = 0;
    int count_ = 8;
};

}  // namespace

bool CompressSzdd(const uint8_t* data, size_t size, char lastChar, std::vector<uint8_t>* out) {
    if (size > 0xFFFFFFFFu) return false;
    out->insert(out->end(), kMagic, kMagic + 8);
    out->push_back('A');
    out->push_back(static_cast<uint8_t>(lastChar));
    for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<uint8_t>(size >> shift));

    MatchFinder finder(data, size);
    ItemWriter items(out);
    size_t at = 0;
    while (at < size) {
        finder.InsertUpTo(at);
        Match match = finder.Longest(at);
        if (match.length > 0 && match.length < kMaxMatch && at + 1 < size) {
            // A longer match one byte on is worth a literal now.
            finder.InsertUpTo(at + 1);
            Match next = finder.Longest(at + 1);
            if (next.length > match.length) match.length = 0;
        }
        if (match.length == 0) {
            items.Literal(data[at]);
            ++at;
            continue;
        }
        items.Copy(match.from, match.length);
        at += match.length;
    }
    return true;
}

bool ExpandSzdd(const uint8_t* input, size_t size, std::vector<uint8_t>* out) {
    if (size < 14 || memcmp(input, kMagic, 8) != 0 || input[8] != 'A') return false;
    uint32_t expected = input[10] | (input[11] << 8) | (input[12] << 16) | (static_cast<uint32_t>(input[13]) << 24);
    uint8_t ring[kRingSize];
    memset(ring, ' ', sizeof ring);
    unsigned position = kRingStart;
    size_t at = 14;
    while (at < size) {
        uint8_t flags = input[at++];
        for (int bit = 0; bit < 8 && at < size; ++bit) {
            if (flags & (1u << bit)) {
                ring[position] = input[at++];
                out->push_back(ring[position]);
                position = (position + 1) % kRingSize;
                continue;
            }
            if (at + 1 >= size) return false;
            unsigned from = input[at] | ((input[at + 1] & 0xF0) << 4);
            int length = (input[at + 1] & 0x0F) + kMinMatch;
            at += 2;
            for (int k = 0; k < length; ++k) {
                uint8_t byte = ring[(from + k) % kRingSize];
                ring[position] = byte;
                out->push_back(byte);
                position = (position + 1) % kRingSize;
            }
        }
    }
    return out->size() == expected;
}
