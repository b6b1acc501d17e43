#include "app/cli/check.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "app/cli/input.h"
#include "app/cli/output.h"
#include "charset/registration.h"

namespace glyfor::cli {

const CommandHelp kCheckHelp = {
    "check",
    "check --font FONT [--literals] [-q] FILE...\n",
    "check      Checks that the font file FONT holds every character the FILEs use. Each\n"
    "           one it lacks is an error at its first use over all FILEs:\n"
    "           FILE:LINE:COL: error: 0x88a0 is not in FONT. The last line tells how many\n"
    "           are missing and how many characters of FONT no FILE uses (28 bytes each).\n"
    "           Blank-glyph warnings are about FONT's own glyphs.\n",
    true,
};

void declare_check(CLI::App& command, CheckOptions& options) {
    command.add_option("--font", options.font);
    command.add_flag("--literals", options.literals);
    command.add_flag("-q", options.quiet);
    command.add_option("FILE", options.inputs);
}

int run_check(const CheckOptions& options) {
    if (options.font.empty()) return usage_error("check needs --font FONT");
    if (options.inputs.empty()) return usage_error("check needs at least one input FILE");
    std::string bytes;
    if (const int error = read_whole_file(options.font, bytes); error != 0) {
        return file_error(options.font, error);
    }
    const auto font = std::make_unique<FontFile>();
    if (const int code = load_font(options.font, bytes, *font); code != kExitOk) return code;
    // The glyphs that count are FONT's own: a team may have drawn one by hand.
    auto d = std::make_unique<Diagnostics>();
    d->blank = blank_cells(font->glyphs, font->set);
    d->blank_source = options.font;
    d->font = &font->set;
    d->font_path = options.font;
    KanjiSet used;
    if (const int code = scan_inputs(options.inputs, ScanRules{options.literals, !options.quiet},
                                     *d, used, nullptr);
        code != kExitOk) {
        return code;
    }
    const int unused = count_set(unregistered_cells(font->set, used));
    std::fprintf(stderr,
                 "%d characters missing from %s; %d characters of it used by no FILE (%d x %d = "
                 "%d bytes of flash)\n",
                 d->missing, options.font.c_str(), unused, unused, kGlyphSize, unused * kGlyphSize);
    return d->missing == 0 ? kExitOk : kExitFileError;
}

}  // namespace glyfor::cli
