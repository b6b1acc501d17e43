#include "charset/registration.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "charset/charset.h"
#include "charset/state.h"

namespace glyfor {

namespace {

// The scanner turns a byte pair into a cell by one addition: cell_from_sjis(lead, trail) is
// kLeadOffset[lead] + kTrailOffset[trail]. A rejected trail byte lands the sum beyond the
// grid, in a scratch area of the seen-flags, so the loop needs no branch for it.
constexpr int kNotLead = -1;
constexpr int kRejectedTrail = kCellCount;
constexpr int kLastLeadOffset = cell_from_sjis(0xEF, 0x40);
constexpr std::size_t kSeenSize = kLastLeadOffset + kRejectedTrail + 1;

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

struct ScanState {
    int pending_lead = kNotLead;  // a lead byte that ended the previous block
    std::array<std::uint8_t, kSeenSize> seen{};
};

void mark_pair(ScanState& state, int lead_offset, unsigned char trail) {
    state.seen[static_cast<std::size_t>(lead_offset + kTrailOffset[trail])] = 1;
}

void scan_block(ScanState& state, const unsigned char* p, std::size_t size) {
    const unsigned char* const end = p + size;
    if (state.pending_lead != kNotLead && p < end) {
        mark_pair(state, state.pending_lead, *p++);
        state.pending_lead = kNotLead;
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
            ++p;
            continue;
        }
        // A run of double-byte characters stays in this loop, two characters a round while
        // both are whole in the block.
        for (;;) {
            if (end - p >= 4) {
                const int next = kLeadOffset[p[2]];
                if (next != kNotLead) {
                    mark_pair(state, lead, p[1]);
                    mark_pair(state, next, p[3]);
                    p += 4;
                    if (p == end) return;
                    lead = kLeadOffset[*p];
                    if (lead == kNotLead) break;
                    continue;
                }
            }
            if (p + 1 == end) {
                state.pending_lead = lead;
                return;
            }
            mark_pair(state, lead, p[1]);
            p += 2;
            if (p == end) return;
            lead = kLeadOffset[*p];
            if (lead == kNotLead) break;
        }
    }
}

// The part of a block before an end-of-text byte; `ended` tells whether there was one.
std::size_t until_end_of_text(const unsigned char* data, std::size_t size, bool& ended) {
    const void* stop = std::memchr(data, kEndOfText, size);
    ended = stop != nullptr;
    return ended ? static_cast<std::size_t>(static_cast<const unsigned char*>(stop) - data) : size;
}

void begin_scan() {
    normalise_registered();
    detected_set.flags.fill(0);
}

void finish_scan(const ScanState& state) {
    for (std::size_t c = 0; c < detected_set.flags.size(); ++c) {
        detected_set.flags[c] = state.seen[c] != 0 && registered_set.flags[c] == 0 ? 1 : 0;
    }
    settings[kDetectedCount] = count_set(detected_set);
    show_detected();
}

std::size_t read_file(void* context, unsigned char* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, static_cast<std::FILE*>(context));
}

}  // namespace

void scan_input(ByteReader reader) {
    begin_scan();
    ScanState state;
    std::array<unsigned char, kScanBlockSize> block;
    bool ended = false;
    while (!ended) {
        std::size_t size = reader.read(reader.context, block.data(), block.size());
        if (size == 0) break;
        size = until_end_of_text(block.data(), size, ended);
        scan_block(state, block.data(), size);
    }
    finish_scan(state);
}

void scan_input_file(std::FILE* stream) {
    scan_input(ByteReader{stream, read_file});
}

void scan_input_buffer(const char* data, std::size_t size) {
    struct Remaining {
        const char* data;
        std::size_t size;
    } remaining{data, size};
    scan_input(ByteReader{&remaining, [](void* context, unsigned char* buffer, std::size_t max) {
                              auto& rest = *static_cast<Remaining*>(context);
                              const std::size_t n = std::min(rest.size, max);
                              std::memcpy(buffer, rest.data, n);
                              rest.data += n;
                              rest.size -= n;
                              return n;
                          }});
}

void add_all() {
    parse_set_text(text_slots[kSlotRegistered].data(), registered_set);
    parse_set_text(text_slots[kSlotDetected].data(), detected_set);
    for (std::size_t c = 0; c < registered_set.flags.size(); ++c) {
        if (detected_set.flags[c] != 0) registered_set.flags[c] = 1;
    }
    show_registered();
}

void clear_registration() {
    text_slots[kSlotRegistered][0] = '\0';
    show_text(kRegisteredEditRow, "");
    settings[kRegisteredCount] = 0;
}

void sort_registration() {
    normalise_registered();
}

}  // namespace glyfor
