// glyfor-cli: the window's input scan and font generation from the command line, for firmware
// builds and scripts. Each subcommand is an options struct, a function that declares them to
// the parser, and a function that runs on them; the program's state is local to that run.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/banner_time.h"
#include "app/clock.h"
#include "app/replace_file.h"
#include "app/settings.h"
#include "app/state.h"
#include "charset/charset.h"
#include "charset/sjis_scanner.h"
#include "font/font_writer.h"
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
    "       glyfor-cli scan [--settings INI] FILE...\n"
    "       glyfor-cli --help\n"
    "       glyfor-cli --version\n"
    "\n"
    "Input FILEs are Shift-JIS text. Their characters are the double-byte ones with a lead\n"
    "byte 0x81..0x9F or 0xE0..0xEF; a 0x1A byte ends a file. INI is a Glyfor.ini saved by the\n"
    "window; it is only read, and must be whole: a cut or foreign file is an error.\n"
    "\n"
    "generate   Writes the font source file OUT (default Glyfor.inc) for the registered\n"
    "           characters: those of INI, if given, and every character found in the FILEs.\n"
    "           Without FILEs, INI is needed and gives all of them. OUT is replaced only by\n"
    "           a complete new file; OUT - is standard output.\n"
    "  --cc-rl    section directives for the CC-RL compiler instead of @@CNSTL\n"
    "  --signed   glyph bytes printed as signed values (-128..127)\n"
    "             (either one is also on when INI has it on)\n"
    "  -o OUT     the file to write\n"
    "  The banner shows the local time, or the UTC time of SOURCE_DATE_EPOCH (seconds since\n"
    "  1970-01-01) when that is set.\n"
    "\n"
    "scan       Prints the characters of the FILEs that are not registered in INI to stdout\n"
    "           as Shift-JIS text in JIS order, 30 to a CR LF line, and their number to\n"
    "           stderr.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 wrong usage.\n";

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

std::size_t read_stream(void* context, unsigned char* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, static_cast<std::FILE*>(context));
}

// Adds the characters of every input to `seen`, as the window's input scan reads a file.
int scan_inputs(const std::vector<std::string>& inputs, KanjiSet& seen) {
    for (const std::string& path : inputs) {
        std::FILE* stream = std::fopen(path.c_str(), "rb");
        if (stream == nullptr) return file_error(path, errno);
        errno = 0;
        SjisScanner scanner;
        scan_reader(ByteReader{stream, read_stream}, scanner);
        const int error = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
        std::fclose(stream);
        if (error != 0) return file_error(path, error);
        const KanjiSet cells = scanner.cells();
        for (std::size_t c = 0; c < seen.flags.size(); ++c) seen.flags[c] |= cells.flags[c];
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

struct GenerateOptions {
    std::string settings_file;
    bool cc_rl = false;
    bool as_signed = false;
    std::string output = kDefaultOutput;
    std::vector<std::string> inputs;
};

void declare_generate(CLI::App& command, GenerateOptions& options) {
    command.add_option("--settings", options.settings_file);
    command.add_flag("--cc-rl", options.cc_rl);
    command.add_flag("--signed", options.as_signed);
    command.add_option("-o", options.output)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command.add_option("FILE", options.inputs);
}

int write_font(const std::string& path, const KanjiSet& set, const FontOptions& font_options,
               const LocalTime& when, CodeRange previous) {
    if (path == kStdout) {
#ifdef _WIN32
        // The file carries its own CR LF.
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        const WrittenFont font =
            write_font_source(file_sink(stdout), set, font_options, when, previous);
        if (!font.ok || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
            return file_error("stdout", errno != 0 ? errno : EIO);
        }
        return kExitOk;
    }
    FileReplacement file;
    if (!replace_file_open(file, path.c_str())) return file_error(file.error_path, errno);
    const WrittenFont font =
        write_font_source(file_sink(file.stream), set, font_options, when, previous);
    if (!replace_file_commit(file, font.ok)) return file_error(file.error_path, errno);
    return kExitOk;
}

int run_generate(const GenerateOptions& options) {
    // Without a settings file there would be nothing to generate but an empty font.
    if (options.inputs.empty() && options.settings_file.empty()) {
        return usage_error("generate needs at least one input FILE");
    }
    LocalTime when{};
    if (const int code = banner_time(when); code != kExitOk) return code;
    const auto state = std::make_unique<SavedState>();
    if (const int code = load_saved_state(options.settings_file, *state); code != kExitOk) {
        return code;
    }
    // As the window does it: each file is scanned, then all it detected is added.
    KanjiSet set = registered_of(*state);
    if (const int code = scan_inputs(options.inputs, set); code != kExitOk) return code;
    const FontOptions font_options{options.cc_rl || state->values[kOptionCcRl] != 0,
                                   options.as_signed || state->values[kOptionSigned] != 0};
    return write_font(options.output, set, font_options, when,
                      CodeRange{state->values[kMinCode], state->values[kMaxCode]});
}

struct ScanOptions {
    std::string settings_file;
    std::vector<std::string> inputs;
};

void declare_scan(CLI::App& command, ScanOptions& options) {
    command.add_option("--settings", options.settings_file);
    command.add_option("FILE", options.inputs);
}

int run_scan(const ScanOptions& options) {
    if (options.inputs.empty()) return usage_error("scan needs at least one input FILE");
    const auto state = std::make_unique<SavedState>();
    if (const int code = load_saved_state(options.settings_file, *state); code != kExitOk) {
        return code;
    }
    KanjiSet seen;
    if (const int code = scan_inputs(options.inputs, seen); code != kExitOk) return code;
    const KanjiSet registered = registered_of(*state);
    KanjiSet detected;
    for (std::size_t c = 0; c < detected.flags.size(); ++c) {
        detected.flags[c] = seen.flags[c] != 0 && registered.flags[c] == 0 ? 1 : 0;
    }
    const auto text = std::make_unique<std::array<char, kMaxSetTextSize>>();
    const std::size_t length = build_set_text(detected, text->data());
#ifdef _WIN32
    // The set text carries its own CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (const int code = print(text->data(), length); code != kExitOk) return code;
    std::fprintf(stderr, "%d characters detected\n", count_set(detected));
    return kExitOk;
}

// The messages of the parser's errors, in the words the program has always used.
int parse_failure(const CLI::ParseError& error, const CLI::App& app) {
    if (const auto* mismatch = dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        // "NAME: 1 required TEXT missing": an option without its value.
        const std::string what = mismatch->what();
        return usage_error("option " + what.substr(0, what.find(':')) + " needs a file name");
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
    bool help = false;
    bool version = false;
    app.add_flag("-h,--help", help);
    app.add_flag("--version", version);

    GenerateOptions generate;
    ScanOptions scan;
    const Subcommand subcommands[] = {
        {app.add_subcommand("generate"), &generate.inputs,
         [&generate] { return run_generate(generate); }},
        {app.add_subcommand("scan"), &scan.inputs, [&scan] { return run_scan(scan); }},
    };
    declare_generate(*subcommands[0].parser, generate);
    declare_scan(*subcommands[1].parser, scan);
    for (const Subcommand& command : subcommands) {
        command.parser->set_help_flag();
        command.parser->allow_extras();
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
