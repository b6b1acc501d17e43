// Glyfor.ini: the settings and text slots, kept from one run to the next.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "app/state.h"
#include "font/sink.h"

namespace glyfor {

inline constexpr std::size_t kPathSize = 1000;
// Glyfor.ini in the current directory, formed once; empty when no path could be formed.
extern std::array<char, kPathSize> settings_path;

struct WindowRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

void settings_path_init();
// Resets the state, forms the path and reads the file if it opens.
void load_settings();
// Fills the caller's tables from the bytes of a settings file, as leniently as the window
// reads it: all 0 and empty first, then whatever the bytes hold up to where they end.
void load_settings_text(const char* data, std::size_t size, Settings& values, TextSlots& slots);
// Resets the state and reads it from the bytes of a settings file.
void load_settings_from(const char* data, std::size_t size);
// Reads the state from a settings file opened in binary mode (reset first).
void load_settings_from_file(std::FILE* stream);
struct SettingsCheck {
    bool ok;
    int line;            // 1-based, the line at fault or the one missing when the bytes end
    const char* reason;  // empty when ok
};

// Whether the bytes are a whole settings file: a count line, that many integer lines, a
// count line, that many text lines that fit a slot, and nothing after them. The last line
// may lack its line break, as after an editor strips it. For callers that must not act on a
// file the loader would read only in part (a cut file, or no settings file at all).
SettingsCheck check_settings_text(const char* data, std::size_t size);
// Writes the file at settings_path; `window` is the main window's rectangle, or null when the
// platform could not tell it. A failure leaves the old file as it was and is not reported.
void save_settings(const WindowRect* window);
// The bytes of the settings file for the current state; false when the sink failed.
bool format_settings(Sink sink);
// The stored rectangle of entries 1..4, when it is big enough to restore (more than 5 pixels
// each way).
bool stored_window_rect(WindowRect& rect);

}  // namespace glyfor
