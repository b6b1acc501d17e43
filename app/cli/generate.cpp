#include "app/cli/generate.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/banner_time.h"
#include "app/cli/input.h"
#include "app/cli/output.h"
#include "app/cli/preview.h"
#include "app/clock.h"
#include "font/font_writer.h"

namespace glyfor::cli {

const CommandHelp kGenerateHelp = {
    "generate",
    "generate [--settings INI] [--cc-rl] [--signed] [-o OUT] FILE...\n"
    "generate ... [--literals] [-q] [--preview PNG [--scale N]] FILE...\n",
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
    "  1970-01-01) when that is set.\n",
    true,
};

namespace {

constexpr const char* kEpochVariable = "SOURCE_DATE_EPOCH";

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

}  // namespace

void declare_generate(CLI::App& command, GenerateOptions& options) {
    command.add_option("--settings", options.settings_file);
    command.add_flag("--cc-rl", options.cc_rl);
    command.add_flag("--signed", options.as_signed);
    command.add_flag("--literals", options.literals);
    command.add_flag("-q", options.quiet);
    command.add_option("-o", options.output);
    command.add_option("--preview", options.preview);
    command.add_option("--scale", options.scale);
    command.add_option("FILE", options.inputs);
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

}  // namespace glyfor::cli
