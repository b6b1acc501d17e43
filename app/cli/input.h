// What the subcommands of glyfor-cli read: whole files, the settings file saved by the window,
// font files, and the FILEs they scan with the positioned walk for messages.
#pragma once

#include <string>
#include <vector>

#include "app/cli/diagnostics.h"
#include "app/state.h"
#include "charset/charset.h"
#include "font/font_reader.h"

namespace glyfor::cli {

// Reads the whole file. Returns 0 or the errno of the failure.
int read_whole_file(const std::string& path, std::string& bytes);

// What the window would hold after loading the settings file: the tables are too big for
// the stack.
struct SavedState {
    Settings values{};
    TextSlots slots{};
};

// The settings file when one is named, the first-start defaults otherwise. Unlike the window,
// which starts from whatever it can read, a build must not go on with part of a file.
int load_saved_state(const std::string& path, SavedState& state);
KanjiSet registered_of(const SavedState& state);

// A font file read with the reader, its faults told as compilers tell them.
int load_font(const std::string& path, const std::string& bytes, FontFile& font);

// What the scans of the FILEs look for besides their characters.
struct ScanRules {
    bool literals = false;  // only the characters inside string and character literals
    bool warnings = true;   // where characters are lost; -q turns them off
};

// The cells of every input, added to `seen` (and with the literal rules, every cell outside
// literals too, to `plain` when given). The fast scanners read each FILE; only a FILE that
// needs a message is read a second time, by the positioned walk, which runs alongside the
// scan instead when the FILE cannot be read twice (a pipe).
int scan_inputs(const std::vector<std::string>& inputs, const ScanRules& rules, Diagnostics& d,
                KanjiSet& seen, KanjiSet* plain);

}  // namespace glyfor::cli
