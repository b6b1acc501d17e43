// The registration operations on the program's state: scanning an input text file for
// characters that are not registered yet, adding all of them, sorting and clearing the
// registered text. Each applies the set logic of charset/registration.h to the two sets and
// text slots 3 and 4, keeps the counts in settings entries 11 and 17, and tells the text
// observer which text it rewrote.
#pragma once

#include <cstddef>
#include <cstdio>

#include "charset/sjis_scanner.h"

namespace glyfor {

// Parses text slot 4 into the registered set, rebuilds it there, counts it into settings
// entry 11 and reports the registered text changed.
void normalise_registered();
// Rebuilds text slot 3 from the detected set and reports the detected text changed. It does
// not count: the scan stores the detected count.
void show_detected();

// Normalises the registered text, then collects into the detected set every accepted
// double-byte character of the input that is not registered, counts it into settings entry 17
// and shows the detected text. While settings entry 5 is set, only the characters inside the
// input's string and character literals count.
void scan_input(ByteReader reader);
// The stream is opened by the caller, in binary mode, and closed by it afterwards.
void scan_input_file(std::FILE* stream);
void scan_input_buffer(const char* data, std::size_t size);

// Merges the detected text (slot 3) into the registered text (slot 4) as both read now.
void add_all();
// Empties the registered text; the registered set is re-derived from it at its next use.
void clear_registration();
// Rewrites the registered text in JIS order, without duplicates or foreign bytes.
void sort_registration();

}  // namespace glyfor
