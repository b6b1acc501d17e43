// glyfor-cli: the window's input scan and font generation from the command line, for firmware
// builds and scripts. Each subcommand is an options struct, a function that declares them to
// the parser, and a function that runs on them; the program's state is local to that run.
#include <CLI/CLI.hpp>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/banner_time.h"
#include "app/binary_stdout.h"
#include "app/clock.h"
#include "app/replace_file.h"
#include "app/settings.h"
#include "app/state.h"
#include "charset/char_positions.h"
#include "charset/charset.h"
#include "charset/literal_scanner.h"
#include "charset/registration.h"
#include "charset/sjis_scanner.h"
#include "font/font_preview.h"
#include "font/font_reader.h"
#include "font/font_writer.h"
#include "font/glyph_table.h"
#include "font/sink.h"

namespace glyfor {
namespace {

constexpr const char* kProgram = "glyfor-cli";
constexpr const char* kDefaultOutput = "Glyfor.inc";
constexpr const char* kEpochVariable = "SOURCE_DATE_EPOCH";
constexpr const char* kStdout = "-";

enum ExitCode : int {
    kExitOk = 0,
    kExitFileError = 1,
    kExitUsage = 2,
};

constexpr const char* kUsage =
    "Usage: glyfor-cli generate [--settings INI] [--cc-rl] [--signed] [-o OUT] FILE...\n"
    "       glyfor-cli generate ... [--literals] [-q] [--preview PNG [--scale N]] FILE...\n"
    "       glyfor-cli scan [--settings INI] [--literals] [-q] FILE...\n"
    "       glyfor-cli check --font FONT [--literals] [-q] FILE...\n"
    "       glyfor-cli preview [--scale N] [-o OUT.png] FONT\n"
    "       glyfor-cli --help\n"
    "       glyfor-cli --version\n"
    "\n"
    "Input FILEs are Shift-JIS text. Their characters are the double-byte ones with a lead\n"
    "byte 0x81..0x9F or 0xE0..0xEF; a 0x1A byte ends a file. INI is a Glyfor.ini saved by the\n"
    "window; it is only read, and must be whole: a cut or foreign file is an error.\n"
    "  --literals  only the characters inside C string and character literals count, not\n"
    "              those of comments, code or #include names (also on when INI has it on)\n"
    "  -q          no warnings\n"
    "Characters that are lost get a warning on stderr, FILE:LINE:COL: warning: ..., once per\n"
    "code and FILE at its first use: a lead byte 0xF0..0xFC (a user-defined or vendor code,\n"
    "which the font lacks, so the character is dropped) and a character whose glyph is blank.\n"
    "LINE counts LF line breaks from 1, COL bytes from 1.\n"
    "\n"
    "generate   Writes the font source file OUT (default Glyfor.inc) for the registered\n"
    "           characters: those of INI, if given, and every character found in the FILEs.\n"
    "           Without FILEs, INI is needed and gives all of them. OUT is replaced only by\n"
    "           a complete new file; OUT - is standard output.\n"
    "  --cc-rl    section directives for the CC-RL compiler instead of @@CNSTL\n"
    "  --signed   glyph bytes printed as signed values (-128..127)\n"
    "             (either one is also on when INI has it on)\n"
    "  -o OUT     the file to write\n"
    "  --preview PNG  also draws the file just written, read back, as preview does\n"
    "  The banner shows the local time, or the UTC time of SOURCE_DATE_EPOCH (seconds since\n"
    "  1970-01-01) when that is set.\n"
    "\n"
    "scan       Prints the characters of the FILEs that are not registered in INI to stdout\n"
    "           as Shift-JIS text in JIS order, 30 to a CR LF line, and their number to\n"
    "           stderr; with --literals also how many were skipped as only outside literals.\n"
    "\n"
    "check      Checks that the font file FONT holds every character the FILEs use. Each\n"
    "           one it lacks is an error at its first use over all FILEs:\n"
    "           FILE:LINE:COL: error: 0x88a0 is not in FONT. The last line tells how many\n"
    "           are missing and how many characters of FONT no FILE uses (28 bytes each).\n"
    "           Blank-glyph warnings are about FONT's own glyphs.\n"
    "\n"
    "preview    Draws every glyph of the font file FONT as a PNG, 16 to a row in JIS order,\n"
    "           each labelled with its code; a blank glyph has a grey, hatched cell.\n"
    "  --scale N  pixels per glyph dot, 1..8 (default 3)\n"
    "  -o OUT     the picture (default FONT with its extension replaced by .png); - is\n"
    "             standard output\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, FONT is not a valid font\n"
    "file (FONT:LINE: error: ...), or check found characters missing; 2 wrong usage.\n";

int usage_error(const std::string& message) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgram, message.c_str(), kProgram);
    return kExitUsage;
}

int file_error(const std::string& path, int error) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, path.c_str(), std::strerror(error));
    return kExitFileError;
}

// Text for stdout; a full disk or a closed pipe is a failure like any other file's.
int print(const char* text, std::size_t size) {
    std::fwrite(text, 1, size, stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        return file_error("stdout", errno != 0 ? errno : EIO);
    }
    return kExitOk;
}

// What the window would hold after loading the settings file: the tables are too big for
// the stack.
struct SavedState {
    Settings values{};
    TextSlots slots{};
};

// Reads the whole file. Returns 0 or the errno of the failure.
int read_whole_file(const std::string& path, std::string& bytes) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) return errno;
    errno = 0;
    char block[16384];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, stream)) > 0) bytes.append(block, n);
    const int error = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(stream);
    return error;
}

// The settings file when one is named, the first-start defaults otherwise. Unlike the window,
// which starts from whatever it can read, a build must not go on with part of a file.
int load_saved_state(const std::string& path, SavedState& state) {
    if (path.empty()) return kExitOk;
    std::string bytes;
    if (const int error = read_whole_file(path, bytes); error != 0) return file_error(path, error);
    const SettingsCheck check = check_settings_text(bytes.data(), bytes.size());
    if (!check.ok) {
        std::fprintf(stderr, "%s: %s: line %d: %s\n", kProgram, path.c_str(), check.line,
                     check.reason);
        return kExitFileError;
    }
    load_settings_text(bytes.data(), bytes.size(), state.values, state.slots);
    return kExitOk;
}

KanjiSet registered_of(const SavedState& state) {
    KanjiSet set;
    parse_set_text(state.slots[kSlotRegistered].data(), set);
    return set;
}

// What the scans of the FILEs look for besides their characters.
struct ScanRules {
    bool literals = false;  // only the characters inside string and character literals
    bool warnings = true;   // where characters are lost; -q turns them off
};

// The positioned walk's findings, printed as compilers print theirs so that editors and CI
// logs link to the place. Missing characters are told once over all FILEs, at their first use;
// warnings once per code and FILE.
struct Diagnostics {
    // Cells whose glyph is blank, other than the ideographic space, and where that glyph is.
    KanjiSet blank;
    std::string blank_source;
    // check only: the cells FONT holds, and FONT's name.
    const KanjiSet* font = nullptr;
    std::string font_path;
    KanjiSet reported_missing;
    int missing = 0;
    // Per FILE.
    const char* path = nullptr;
    bool warnings = true;
    KanjiSet warned_blank;
    std::array<std::uint8_t, (0xFC - 0xF0 + 1) * 256> warned_dropped{};
};

// The ideographic space is blank by design; every other blank glyph is a character lost.
KanjiSet blank_cells(const std::array<Glyph, kCellCount>& glyphs, const KanjiSet& members) {
    KanjiSet blank;
    for (cell c = 1; c < kCellCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        if (members.flags[i] == 0) continue;
        bool zero = true;
        for (const std::uint8_t byte : glyphs[i]) zero = zero && byte == 0;
        blank.flags[i] = zero ? 1 : 0;
    }
    return blank;
}

void print_place(const Diagnostics& d, const CharPosition& at, const char* kind) {
    std::fprintf(stderr, "%s:%llu:%llu: %s: 0x%04x", d.path,
                 static_cast<unsigned long long>(at.line), static_cast<unsigned long long>(at.col),
                 kind, static_cast<unsigned>(at.code));
}

// The character's own bytes after the message, for a reader whose terminal shows Shift-JIS.
void print_character(const CharPosition& at) {
    std::fprintf(stderr, " (%c%c)\n", static_cast<char>(at.code >> 8),
                 static_cast<char>(at.code & 0xFF));
}

void diagnose(void* context, const CharPosition& at) {
    auto& d = *static_cast<Diagnostics*>(context);
    const auto lead = static_cast<unsigned char>(at.code >> 8);
    const auto trail = static_cast<unsigned char>(at.code & 0xFF);
    if (!at.gives_cell) {
        if (!d.warnings) return;
        std::uint8_t& warned =
            d.warned_dropped[static_cast<std::size_t>((lead - 0xF0) * 256 + trail)];
        if (warned != 0) return;
        warned = 1;
        print_place(d, at, "warning");
        std::fprintf(stderr,
                     " is a user-defined or vendor code the font lacks; the character is dropped");
        print_character(at);
        return;
    }
    const auto c = static_cast<std::size_t>(cell_from_sjis(lead, trail));
    if (d.font != nullptr && d.font->flags[c] == 0) {
        if (d.reported_missing.flags[c] != 0) return;
        d.reported_missing.flags[c] = 1;
        ++d.missing;
        print_place(d, at, "error");
        std::fprintf(stderr, " is not in %s", d.font_path.c_str());
        print_character(at);
        return;
    }
    if (!d.warnings || d.blank.flags[c] == 0 || d.warned_blank.flags[c] != 0) return;
    d.warned_blank.flags[c] = 1;
    print_place(d, at, "warning");
    std::fprintf(stderr, " has a blank glyph in %s", d.blank_source.c_str());
    print_character(at);
}

bool intersects(const KanjiSet& a, const KanjiSet& b) {
    for (std::size_t c = 0; c < a.flags.size(); ++c) {
        if (a.flags[c] != 0 && b.flags[c] != 0) return true;
    }
    return false;
}

// A character of the FILE that FONT lacks and that no earlier FILE used.
bool has_new_missing(const KanjiSet& cells, const Diagnostics& d) {
    if (d.font == nullptr) return false;
    for (std::size_t c = 0; c < cells.flags.size(); ++c) {
        if (cells.flags[c] != 0 && d.font->flags[c] == 0 && d.reported_missing.flags[c] == 0) {
            return true;
        }
    }
    return false;
}

int stream_error(std::FILE* stream) {
    return std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
}

// The cells of every input, added to `seen` (and with the literal rules, every cell outside
// literals too, to `plain` when given). The fast scanners read each FILE; only a FILE that
// needs a message is read a second time, by the positioned walk, which runs alongside the
// scan instead when the FILE cannot be read twice (a pipe).
int scan_inputs(const std::vector<std::string>& inputs, const ScanRules& rules, Diagnostics& d,
                KanjiSet& seen, KanjiSet* plain) {
    static std::array<unsigned char, kScanBlockSize> block;
    for (const std::string& path : inputs) {
        std::FILE* stream = std::fopen(path.c_str(), "rb");
        if (stream == nullptr) return file_error(path, errno);
        d.path = path.c_str();
        d.warnings = rules.warnings;
        d.warned_blank = KanjiSet{};
        d.warned_dropped.fill(0);
        const bool rereadable = std::fseek(stream, 0, SEEK_SET) == 0;
        const bool may_need_walk = rules.warnings || d.font != nullptr;
        const WalkMode mode = rules.literals ? WalkMode::kLiterals : WalkMode::kPlain;
        CharWalker walker(mode, CharVisitor{&d, diagnose});
        const bool walk_along = may_need_walk && !rereadable;
        SjisScanner scanner;
        SjisScanner outside;
        LiteralScanner literal_scanner;
        errno = 0;
        for (;;) {
            const std::size_t size = std::fread(block.data(), 1, block.size(), stream);
            if (size == 0) break;
            if (rules.literals) {
                literal_scanner.feed(block.data(), size);
                if (plain != nullptr) outside.feed(block.data(), size);
            } else {
                scanner.feed(block.data(), size);
            }
            if (walk_along) walker.feed(block.data(), size);
            if (rules.literals ? literal_scanner.ended() : scanner.ended()) break;
        }
        int error = stream_error(stream);
        const KanjiSet cells = rules.literals ? literal_scanner.cells() : scanner.cells();
        const bool drops =
            rules.literals ? literal_scanner.saw_user_defined() : scanner.saw_user_defined();
        const bool walk = !walk_along && error == 0 &&
                          ((rules.warnings && (drops || intersects(cells, d.blank))) ||
                           has_new_missing(cells, d));
        if (walk) {
            errno = 0;
            if (std::fseek(stream, 0, SEEK_SET) != 0) {
                error = errno != 0 ? errno : EIO;
            } else {
                walk_reader(file_reader(stream), walker);
                error = stream_error(stream);
            }
        }
        std::fclose(stream);
        if (error != 0) return file_error(path, error);
        seen = union_of(seen, cells);
        if (plain != nullptr) *plain = union_of(*plain, rules.literals ? outside.cells() : cells);
    }
    return kExitOk;
}

// The time for the banner: SOURCE_DATE_EPOCH in UTC when it is set, so that a build can
// reproduce its output byte for byte; the local clock otherwise.
int banner_time(LocalTime& when) {
    const char* epoch = std::getenv(kEpochVariable);
    if (epoch == nullptr) {
        when = local_time_now();
        return kExitOk;
    }
    std::int64_t seconds = 0;
    if (!parse_epoch_seconds(epoch, seconds)) {
        return usage_error(std::string(kEpochVariable) +
                           " must be a whole number of seconds since 1970-01-01 UTC, at most " +
                           std::to_string(kLastBannerSecond));
    }
    when = utc_time(seconds);
    return kExitOk;
}

// The diagnostics of scan and generate: blank glyphs are those of the built-in font.
std::unique_ptr<Diagnostics> builtin_diagnostics() {
    auto d = std::make_unique<Diagnostics>();
    KanjiSet all;
    all.flags.fill(1);
    d->blank = blank_cells(kGlyphTable, all);
    d->blank_source = "the built-in font";
    return d;
}

// A font file read with the reader, its faults told as compilers tell them.
int load_font(const std::string& path, const std::string& bytes, FontFile& font) {
    const FontReadResult result = read_font_source(bytes.data(), bytes.size(), font);
    if (!result.ok) {
        std::fprintf(stderr, "%s:%d: error: %s\n", path.c_str(), result.line,
                     result.message.data());
        return kExitFileError;
    }
    // A team may draw a glyph by hand; that is no fault, but worth knowing when the picture or
    // the firmware shows something other than the built-in font.
    if (font.differing_glyphs > 0) {
        std::fprintf(stderr, "%s: note: %d glyphs differ from the built-in font\n", path.c_str(),
                     font.differing_glyphs);
    }
    return kExitOk;
}

// Writes OUT through `write`, which is handed the sink and tells whether the sink took every
// byte. OUT - is standard output; any other OUT is replaced only by a complete new file.
template <typename Write>
int write_output(const std::string& path, Write write) {
    if (path == kStdout) {
        use_binary_stdout();
        if (!write(file_sink(stdout)) || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
            return file_error("stdout", errno != 0 ? errno : EIO);
        }
        return kExitOk;
    }
    FileReplacement file;
    if (!replace_file_open(file, path.c_str())) return file_error(file.error_path, errno);
    if (!replace_file_commit(file, write(file_sink(file.stream)))) {
        return file_error(file.error_path, errno);
    }
    return kExitOk;
}

// The preview PNG, replaced as a whole like the font file.
int write_preview(const std::string& path, const FontFile& font, int scale) {
    return write_output(path, [&font, scale](Sink sink) {
        return write_font_preview(sink, font, scale) == PreviewStatus::kOk;
    });
}

// The value of --scale: a number in range and nothing else, no sign or blank.
int parse_scale(const std::string& text, int& scale) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, scale);
    if (!text.empty() && text[0] != '-' && error == std::errc{} && stop == end &&
        scale >= kMinPreviewScale && scale <= kMaxPreviewScale) {
        return kExitOk;
    }
    return usage_error("--scale must be a whole number from " + std::to_string(kMinPreviewScale) +
                       " to " + std::to_string(kMaxPreviewScale));
}

struct GenerateOptions {
    std::string settings_file;
    bool cc_rl = false;
    bool as_signed = false;
    bool literals = false;
    bool quiet = false;
    std::string output = kDefaultOutput;
    std::string preview;
    std::string scale = std::to_string(kDefaultPreviewScale);
    std::vector<std::string> inputs;
};

void declare_generate(CLI::App& command, GenerateOptions& options) {
    command.add_option("--settings", options.settings_file);
    command.add_flag("--cc-rl", options.cc_rl);
    command.add_flag("--signed", options.as_signed);
    command.add_flag("--literals", options.literals);
    command.add_flag("-q", options.quiet);
    command.add_option("-o", options.output)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command.add_option("--preview", options.preview);
    command.add_option("--scale", options.scale);
    command.add_option("FILE", options.inputs);
}

// Both sinks get every byte: the font file and the copy that the preview is drawn from.
struct TeeSink {
    Sink file;
    std::string* copy;
};

bool write_tee(void* context, const char* data, std::size_t size) {
    auto& tee = *static_cast<TeeSink*>(context);
    tee.copy->append(data, size);
    return tee.file.write(tee.file.context, data, size);
}

// The font file; its bytes are also kept in `copy` when one is given.
int write_font(const std::string& path, const KanjiSet& set, const FontOptions& font_options,
               const LocalTime& when, CodeRange previous, std::string* copy) {
    return write_output(path, [&](Sink sink) {
        TeeSink tee{sink, copy};
        const Sink out = copy != nullptr ? Sink{&tee, write_tee} : sink;
        return write_font_source(out, set, font_options, when, previous).ok;
    });
}

int run_generate(const GenerateOptions& options) {
    // Without a settings file there would be nothing to generate but an empty font.
    if (options.inputs.empty() && options.settings_file.empty()) {
        return usage_error("generate needs at least one input FILE");
    }
    int scale = 0;
    if (const int code = parse_scale(options.scale, scale); code != kExitOk) return code;
    LocalTime when{};
    if (const int code = banner_time(when); code != kExitOk) return code;
    const auto state = std::make_unique<SavedState>();
    if (const int code = load_saved_state(options.settings_file, *state); code != kExitOk) {
        return code;
    }
    // As the window does it: each file is scanned, then all it detected is added.
    const ScanRules rules{options.literals || state->values[kOptionLiterals] != 0, !options.quiet};
    const auto diagnostics = builtin_diagnostics();
    KanjiSet set = registered_of(*state);
    if (const int code = scan_inputs(options.inputs, rules, *diagnostics, set, nullptr);
        code != kExitOk) {
        return code;
    }
    const FontOptions font_options{options.cc_rl || state->values[kOptionCcRl] != 0,
                                   options.as_signed || state->values[kOptionSigned] != 0};
    // The bytes are kept only for a preview.
    std::string written;
    if (const int code = write_font(options.output, set, font_options, when,
                                    CodeRange{state->values[kMinCode], state->values[kMaxCode]},
                                    options.preview.empty() ? nullptr : &written);
        code != kExitOk) {
        return code;
    }
    if (options.preview.empty()) return kExitOk;
    // Drawn from the bytes just written, through the reader, so that the picture shows what the
    // file holds.
    const auto font = std::make_unique<FontFile>();
    if (const int code = load_font(options.output, written, *font); code != kExitOk) return code;
    return write_preview(options.preview, *font, scale);
}

struct ScanOptions {
    std::string settings_file;
    bool literals = false;
    bool quiet = false;
    std::vector<std::string> inputs;
};

void declare_scan(CLI::App& command, ScanOptions& options) {
    command.add_option("--settings", options.settings_file);
    command.add_flag("--literals", options.literals);
    command.add_flag("-q", options.quiet);
    command.add_option("FILE", options.inputs);
}

int run_scan(const ScanOptions& options) {
    if (options.inputs.empty()) return usage_error("scan needs at least one input FILE");
    const auto state = std::make_unique<SavedState>();
    if (const int code = load_saved_state(options.settings_file, *state); code != kExitOk) {
        return code;
    }
    const ScanRules rules{options.literals || state->values[kOptionLiterals] != 0, !options.quiet};
    const auto diagnostics = builtin_diagnostics();
    KanjiSet seen;
    KanjiSet plain;
    if (const int code = scan_inputs(options.inputs, rules, *diagnostics, seen,
                                     rules.literals ? &plain : nullptr);
        code != kExitOk) {
        return code;
    }
    const KanjiSet registered = registered_of(*state);
    const KanjiSet detected = unregistered_cells(seen, registered);
    const auto text = std::make_unique<std::array<char, kMaxSetTextSize>>();
    const std::size_t length = build_set_text(detected, text->data());
    use_binary_stdout();
    if (const int code = print(text->data(), length); code != kExitOk) return code;
    std::fprintf(stderr, "%d characters detected\n", count_set(detected));
    if (rules.literals) {
        const int skipped = count_set(unregistered_cells(plain, registered)) - count_set(detected);
        std::fprintf(stderr, "%d characters skipped: only outside string literals\n", skipped);
    }
    return kExitOk;
}

struct CheckOptions {
    std::string font;
    bool literals = false;
    bool quiet = false;
    std::vector<std::string> inputs;
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

struct PreviewOptions {
    std::string scale = std::to_string(kDefaultPreviewScale);
    std::string output;
    std::vector<std::string> inputs;
};

void declare_preview(CLI::App& command, PreviewOptions& options) {
    command.add_option("--scale", options.scale);
    command.add_option("-o", options.output)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command.add_option("FONT", options.inputs);
}

// FONT's name with its extension, if any, replaced by .png.
std::string default_preview_path(const std::string& font) {
    const std::size_t name = font.find_last_of("/\\");
    const std::size_t dot = font.rfind('.');
    const bool has_extension =
        dot != std::string::npos && dot > 0 && (name == std::string::npos || dot > name + 1);
    return (has_extension ? font.substr(0, dot) : font) + ".png";
}

int run_preview(const PreviewOptions& options) {
    if (options.inputs.size() != 1) return usage_error("preview needs one FONT");
    int scale = 0;
    if (const int code = parse_scale(options.scale, scale); code != kExitOk) return code;
    const std::string& path = options.inputs.front();
    std::string bytes;
    if (const int error = read_whole_file(path, bytes); error != 0) return file_error(path, error);
    const auto font = std::make_unique<FontFile>();
    if (const int code = load_font(path, bytes, *font); code != kExitOk) return code;
    return write_preview(options.output.empty() ? default_preview_path(path) : options.output,
                         *font, scale);
}

// The messages of the parser's errors, in the words the program has always used.
int parse_failure(const CLI::ParseError& error, const CLI::App& app) {
    if (const auto* mismatch = dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        // "NAME: 1 required TEXT missing": an option without its value.
        const std::string what = mismatch->what();
        const std::string option = what.substr(0, what.find(':'));
        return usage_error("option " + option +
                           (option == "--scale" ? " needs a number" : " needs a file name"));
    }
    if (app.get_subcommands().empty()) return usage_error("no command given");
    return usage_error(error.what());
}

// What the parser left over: an unknown option, or a word that names no command.
int leftover_error(const CLI::App& app, const CLI::App* command) {
    if (command != nullptr && command->remaining_size() > 0) {
        return usage_error("unknown option " + command->remaining().front());
    }
    if (app.remaining_size() > 0) return usage_error("unknown command " + app.remaining().front());
    return usage_error("no command given");
}

// A subcommand of the parser: its options and how it runs on them.
struct Subcommand {
    CLI::App* parser;
    std::vector<std::string>* inputs;
    std::function<int()> run;
};

int run(int argc, char** argv) {
    CLI::App app{"", kProgram};
    // The program words its own help and errors.
    app.set_help_flag();
    app.allow_extras();
    // A FILE may be an absolute POSIX path, also under Wine: "/" never starts an option.
    app.allow_windows_style_options(false);
    bool help = false;
    bool version = false;
    app.add_flag("-h,--help", help);
    app.add_flag("--version", version);

    GenerateOptions generate;
    ScanOptions scan;
    CheckOptions check;
    PreviewOptions preview;
    const Subcommand subcommands[] = {
        {app.add_subcommand("generate"), &generate.inputs,
         [&generate] { return run_generate(generate); }},
        {app.add_subcommand("scan"), &scan.inputs, [&scan] { return run_scan(scan); }},
        {app.add_subcommand("check"), &check.inputs, [&check] { return run_check(check); }},
        {app.add_subcommand("preview"), &preview.inputs,
         [&preview] { return run_preview(preview); }},
    };
    declare_generate(*subcommands[0].parser, generate);
    declare_scan(*subcommands[1].parser, scan);
    declare_check(*subcommands[2].parser, check);
    declare_preview(*subcommands[3].parser, preview);
    for (const Subcommand& command : subcommands) {
        command.parser->set_help_flag();
        command.parser->allow_extras();
        command.parser->allow_windows_style_options(false);
        command.parser->add_flag("-h,--help", help);
    }

    // Everything after "--" is an input FILE, even a name that starts with a dash. The parser
    // hands such names back to the main command once a FILE is known, so they are kept from it.
    std::vector<std::string> args;
    std::vector<std::string> operands;
    for (int i = argc - 1; i >= 1; --i) {
        if (i >= 2 && std::strcmp(argv[i], "--") == 0) {
            operands.assign(args.rbegin(), args.rend());
            args.clear();
            continue;
        }
        args.emplace_back(argv[i]);
    }
    try {
        app.parse(args);
    } catch (const CLI::ParseError& error) {
        return parse_failure(error, app);
    }
    if (help) return print(kUsage, std::strlen(kUsage));
    if (version) {
        const char* text = "glyfor-cli " GLYFOR_VERSION "\n";
        return print(text, std::strlen(text));
    }
    for (const Subcommand& command : subcommands) {
        if (!command.parser->parsed()) continue;
        if (app.remaining_size() > 0 || command.parser->remaining_size() > 0) {
            return leftover_error(app, command.parser);
        }
        command.inputs->insert(command.inputs->end(), operands.begin(), operands.end());
        return command.run();
    }
    return leftover_error(app, nullptr);
}

}  // namespace
}  // namespace glyfor

int main(int argc, char** argv) {
    return glyfor::run(argc, argv);
}
