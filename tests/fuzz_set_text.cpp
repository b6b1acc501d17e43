// Set texts: whatever text is parsed, the set text rebuilt from it fits its bound and parses
// back to the same set, and rebuilding is stable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "charset/charset.h"

namespace {

using namespace glyfor;

void check(bool ok) {
    if (!ok) std::abort();
}

// Input modes: even first byte, the rest is a text; odd, the rest is a bitmap of cells, so
// that large sets (up to all 8836 cells) come from short inputs.
void set_from_input(const std::uint8_t* data, std::size_t size, KanjiSet& set) {
    if ((data[0] & 1) == 0) {
        std::vector<char> text(data + 1, data + size);
        text.push_back('\0');
        parse_set_text(text.data(), set);
        return;
    }
    set.flags.fill(0);
    for (std::size_t c = 0; c < set.flags.size(); ++c) {
        const std::size_t byte = 1 + c / 8;
        const bool member = byte < size ? (data[byte] >> (c % 8) & 1) != 0 : data[0] >= 0x80;
        set.flags[c] = member ? 1 : 0;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    KanjiSet set;
    set_from_input(data, size, set);

    // Exactly the bound, so that writing past it is caught.
    std::vector<char> text(kMaxSetTextSize);
    const std::size_t length = build_set_text(set, text.data());
    check(length + 1 <= kMaxSetTextSize);
    check(std::strlen(text.data()) == length);
    const int count = count_set(set);
    check(length == static_cast<std::size_t>(count) * 2 +
                        static_cast<std::size_t>(count / kSetTextLineChars) * 2);

    KanjiSet again;
    parse_set_text(text.data(), again);
    check(again.flags == set.flags);

    std::vector<char> rebuilt(kMaxSetTextSize);
    check(build_set_text(again, rebuilt.data()) == length);
    check(std::memcmp(rebuilt.data(), text.data(), length + 1) == 0);
    return 0;
}
