// Helpers of the tests, fuzzers and benchmarks that work on texts in memory.
#pragma once

#include <string>

#include "charset/charset.h"
#include "font/sink.h"

namespace glyfor::testing {

// A sink that appends everything to the string.
inline Sink string_sink(std::string& out) {
    return Sink{&out, [](void* context, const char* data, std::size_t size) {
                    static_cast<std::string*>(context)->append(data, size);
                    return true;
                }};
}

// The canonical set text of whatever characters the text holds.
inline std::string canonical_text(const std::string& text) {
    KanjiSet set;
    parse_set_text(text.c_str(), set);
    std::string out(kMaxSetTextSize, '\0');
    out.resize(build_set_text(set, out.data()));
    return out;
}

}  // namespace glyfor::testing
