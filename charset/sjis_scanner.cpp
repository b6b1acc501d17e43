#include "charset/sjis_scanner.h"

#include <bit>
#include <cstring>

namespace glyfor {

namespace {

constexpr int kNotLead = -1;
constexpr int kRejectedTrail = kCellCount;

// cell_from_sjis(lead, trail) is kLeadOffset[lead] + kTrailOffset[trail].
constexpr std::array<int, 256> make_lead_offsets() {
    std::array<int, 256> offsets{};
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        offsets[byte] = is_lead_byte(byte) ? cell_from_sjis(byte, 0x40) : kNotLead;
    }
    return offsets;
}

constexpr std::array<int, 256> make_trail_offsets() {
    std::array<int, 256> offsets{};
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        offsets[byte] = is_trail_byte(byte) ? cell_from_sjis(0x81, byte) : kRejectedTrail;
    }
    return offsets;
}

constexpr std::array<int, 256> kLeadOffset = make_lead_offsets();
constexpr std::array<int, 256> kTrailOffset = make_trail_offsets();

}  // namespace

void SjisScanner::feed(const unsigned char* data, std::size_t size) {
    // An empty block may come with a null pointer, which memchr must not see.
    if (ended_ || size == 0) return;
    if (const void* stop = std::memchr(data, kEndOfText, size); stop != nullptr) {
        ended_ = true;
        size = static_cast<std::size_t>(static_cast<const unsigned char*>(stop) - data);
    }
    scan_block(data, size);
}

KanjiSet SjisScanner::cells() const {
    KanjiSet set;
    for (std::size_t c = 0; c < set.flags.size(); ++c) set.flags[c] = seen_[c];
    return set;
}

void SjisScanner::scan_block(const unsigned char* p, std::size_t size) {
    const unsigned char* const end = p + size;
    const auto mark_pair = [this](int lead_offset, unsigned char trail) {
        seen_[static_cast<std::size_t>(lead_offset + kTrailOffset[trail])] = 1;
    };
    if (pending_lead_ != kNotLead && p < end) {
        mark_pair(pending_lead_, *p++);
        pending_lead_ = kNotLead;
    }
    while (p < end) {
        // Plain ASCII, the bulk of most source files, is skipped eight bytes at a time, and
        // a word holding other bytes is skipped up to the first of them.
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t high = word & 0x8080808080808080u;
            if (high == 0) {
                p += 8;
                continue;
            }
            p += (std::endian::native == std::endian::little ? std::countr_zero(high)
                                                             : std::countl_zero(high)) /
                 8;
        }
        int lead = kLeadOffset[*p];
        if (lead == kNotLead) {
            // A user-defined lead byte 0xF0..0xFC starts a character that no cell holds.
            user_defined_ |= static_cast<unsigned char>(*p - 0xF0) <= 0xFC - 0xF0;
            ++p;
            continue;
        }
        // A run of double-byte characters stays in this loop, two characters a round while
        // both are whole in the block.
        for (;;) {
            if (end - p >= 4) {
                const int next = kLeadOffset[p[2]];
                if (next != kNotLead) {
                    mark_pair(lead, p[1]);
                    mark_pair(next, p[3]);
                    p += 4;
                    if (p == end) return;
                    lead = kLeadOffset[*p];
                    if (lead == kNotLead) break;
                    continue;
                }
            }
            if (p + 1 == end) {
                pending_lead_ = lead;
                return;
            }
            mark_pair(lead, p[1]);
            p += 2;
            if (p == end) return;
            lead = kLeadOffset[*p];
            if (lead == kNotLead) break;
        }
    }
}

}  // namespace glyfor
