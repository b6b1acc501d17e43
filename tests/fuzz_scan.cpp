// The input scan against a plain byte-at-a-time reading of the same bytes: same detected set,
// nothing registered among it, the count stored, and the same result however the input is cut
// into blocks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/registration.h"
#include "app/state.h"
#include "charset/charset.h"
#include "tests/text_support.h"

namespace {

using namespace glyfor;

void check(bool ok) {
    if (!ok) std::abort();
}

// Reads the input one byte at a time, the way a text-mode stream delivers it.
KanjiSet reference_scan(const std::string& input, const KanjiSet& registered) {
    KanjiSet found;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const auto lead = static_cast<unsigned char>(input[i]);
        if (lead == kEndOfText) break;
        if (!is_lead_byte(lead)) continue;
        if (++i == input.size()) break;
        const auto trail = static_cast<unsigned char>(input[i]);
        if (trail == kEndOfText) break;
        if (!is_trail_byte(trail)) continue;
        const auto c = static_cast<std::size_t>(cell_from_sjis(lead, trail));
        if (registered.flags[c] == 0) found.flags[c] = 1;
    }
    return found;
}

}  // namespace

// Input: a byte giving the block size for the second scan, a byte giving the length of the
// registered text, the registered text, then the input file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t piece = data[0] + 1u;
    const std::size_t registered_length = std::min<std::size_t>(data[1], size - 2);
    const std::string registered(reinterpret_cast<const char*>(data + 2), registered_length);
    const std::string input(reinterpret_cast<const char*>(data + 2 + registered_length),
                            size - 2 - registered_length);

    reset_state();
    set_slot(kSlotRegistered, registered.c_str());
    scan_input_buffer(input.data(), input.size());

    KanjiSet expected_registered;
    parse_set_text(registered.c_str(), expected_registered);
    check(registered_set.flags == expected_registered.flags);
    check(detected_set.flags == reference_scan(input, registered_set).flags);
    for (std::size_t c = 0; c < detected_set.flags.size(); ++c) {
        check(!(detected_set.flags[c] != 0 && registered_set.flags[c] != 0));
    }
    check(settings[kDetectedCount] == count_set(detected_set));
    KanjiSet shown;
    parse_set_text(text_slots[kSlotDetected].data(), shown);
    check(shown.flags == detected_set.flags);

    const KanjiSet whole = detected_set;
    testing::PieceReader pieces{input, piece};
    scan_input(pieces.reader());
    check(detected_set.flags == whole.flags);
    return 0;
}
