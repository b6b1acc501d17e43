// glyfor-cli: the font source file from the command line, for firmware builds and scripts.
// Each subcommand is one function taking the arguments after its name.
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "app/replace_file.h"
#include "charset/charset.h"
#include "charset/sink.h"
#include "charset/state.h"
#include "font/font_writer.h"

namespace glyfor {
namespace {

constexpr const char* kProgram = "glyfor-cli";
constexpr const char* kDefaultOutput = "Glyfor.inc";

enum ExitCode : int {
    kExitOk = 0,
    kExitFileError = 1,
    kExitUsage = 2,
};

constexpr const char* kUsage =
    "Usage: glyfor-cli generate [--cc-rl] [--signed] [-o OUT] FILE...\n"
    "       glyfor-cli --help\n"
    "\n"
    "generate   Registers every Shift-JIS double-byte character (lead byte 0x81..0x9F or\n"
    "           0xE0..0xEF) found in the FILEs and writes them, with their 14-dot glyphs, as\n"
    "           the font source file OUT (default Glyfor.inc). OUT is replaced only by a\n"
    "           complete new file.\n"
    "  --cc-rl    section directives for the CC-RL compiler instead of @@CNSTL\n"
    "  --signed   glyph bytes printed as signed values (-128..127)\n"
    "  -o OUT     the file to write\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 wrong usage.\n";

int usage_error(const char* message, const char* detail = "") {
    std::fprintf(stderr, "%s: %s%s\nTry '%s --help'.\n", kProgram, message, detail, kProgram);
    return kExitUsage;
}

int file_error(const char* path, int error) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, path, std::strerror(error));
    return kExitFileError;
}

int print_usage() {
    std::fputs(kUsage, stdout);
    return kExitOk;
}

// Adds every accepted double-byte character of the file to the set. Unlike the window's
// input scan the whole file counts: NUL and end-of-text bytes are ordinary non-lead bytes.
// Returns 0 or the errno of the failure.
int add_file_characters(const char* path, KanjiSet& set) {
    std::FILE* stream = std::fopen(path, "rb");
    if (stream == nullptr) return errno;
    std::array<unsigned char, 64 * 1024> block;
    int lead = -1;  // a lead byte waiting for its trail, also across blocks
    std::size_t size;
    while ((size = std::fread(block.data(), 1, block.size(), stream)) > 0) {
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned char byte = block[i];
            if (lead >= 0) {
                if (is_trail_byte(byte)) {
                    const cell c = cell_from_sjis(static_cast<unsigned char>(lead), byte);
                    set.flags[static_cast<std::size_t>(c)] = 1;
                }
                lead = -1;
            } else if (is_lead_byte(byte)) {
                lead = byte;
            }
        }
    }
    const int error = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(stream);
    return error;
}

int write_output(const char* path) {
    ReplaceFile file;
    if (!replace_file_open(file, path)) return file_error(path, errno);
    const bool written = write_font_source(file_sink(file.stream), local_time_now());
    if (!replace_file_commit(file, written)) return file_error(path, errno);
    return kExitOk;
}

struct GenerateOptions {
    bool help = false;
    bool cc_rl = false;
    bool as_signed = false;
    const char* output = kDefaultOutput;
    std::vector<const char*> inputs;
};

// Returns kExitOk with the options filled in, or the exit code to end with.
int parse_generate_options(int argc, char** argv, GenerateOptions& options) {
    bool options_ended = false;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options_ended || arg.size() < 2 || arg[0] != '-') {
            options.inputs.push_back(argv[i]);
        } else if (arg == "--") {
            options_ended = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
            return kExitOk;
        } else if (arg == "--cc-rl") {
            options.cc_rl = true;
        } else if (arg == "--signed") {
            options.as_signed = true;
        } else if (arg == "-o") {
            if (i + 1 == argc) return usage_error("option -o needs a file name");
            options.output = argv[++i];
        } else {
            return usage_error("unknown option ", argv[i]);
        }
    }
    if (options.inputs.empty()) return usage_error("generate needs at least one input FILE");
    return kExitOk;
}

int generate_command(int argc, char** argv) {
    GenerateOptions options;
    if (const int code = parse_generate_options(argc, argv, options); code != kExitOk) return code;
    if (options.help) return print_usage();

    KanjiSet characters;
    for (const char* input : options.inputs) {
        if (const int error = add_file_characters(input, characters); error != 0) {
            return file_error(input, error);
        }
    }
    build_set_text(characters, text_slots[kSlotRegistered].data());
    settings[kOptionCcRl] = options.cc_rl ? 1 : 0;
    settings[kOptionSigned] = options.as_signed ? 1 : 0;
    return write_output(options.output);
}

struct Command {
    std::string_view name;
    int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"generate", generate_command},
};

int run(int argc, char** argv) {
    if (argc < 2) return usage_error("no command given");
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h") return print_usage();
    for (const Command& command : kCommands) {
        if (command.name == name) return command.run(argc - 2, argv + 2);
    }
    return usage_error("unknown command ", argv[1]);
}

}  // namespace
}  // namespace glyfor

int main(int argc, char** argv) {
    return glyfor::run(argc, argv);
}
