// The registration logic on character sets, free of any program state: which characters of an
// input are new, merging them in, and the canonical form of a set text. The program applies
// these to its own sets and texts (app/registration.h); glyfor-cli applies them to its inputs.
#pragma once

#include <cstddef>
#include <cstdio>

#include "charset/charset.h"
#include "charset/sjis_scanner.h"

namespace glyfor {

// The cells of every accepted double-byte character the reader gives, up to the end of the
// text.
KanjiSet scan_cells(ByteReader reader);
// The same, for only the characters inside the string and character literals of C or C++
// source: what firmware can show, without the characters of its comments.
KanjiSet scan_literal_cells(ByteReader reader);

// The characters of `seen` that are not members of `registered`: what a scan detects.
KanjiSet unregistered_cells(const KanjiSet& seen, const KanjiSet& registered);
// Every member of either set: what adding all the detected characters registers.
KanjiSet union_of(const KanjiSet& a, const KanjiSet& b);

// Parses the NUL-terminated text into `set` and rewrites the text in place as the set's
// canonical text; the buffer holds at least kMaxSetTextSize bytes. Returns the member count.
int normalise_set_text(char* text, KanjiSet& set);

// Readers of a whole input. The stream is opened in binary mode and closed by the caller.
ByteReader file_reader(std::FILE* stream);
// The bytes that a buffer reader has not handed out yet; it advances over them as it reads.
struct ByteSpan {
    const char* data;
    std::size_t size;
};
ByteReader buffer_reader(ByteSpan& rest);

}  // namespace glyfor
