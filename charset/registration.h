// Registering characters: scanning an input text file for characters that are not registered
// yet, adding all of them, sorting and clearing the registered text.
#pragma once

#include <cstddef>
#include <cstdio>

#include "charset/sjis_scanner.h"

namespace glyfor {

// Normalises the registered text, then collects into the detected set every accepted
// double-byte character of the input that is not registered, counts it into settings entry 17
// and shows the detected text.
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
