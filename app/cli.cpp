// glyfor-cli: the window's input scan and font generation from the command line, for firmware
// builds and scripts. Each subcommand is one function taking the arguments after its name.
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/clock.h"
#include "app/generation.h"
#include "app/registration.h"
#include "app/replace_file.h"
#include "app/settings.h"
#include "app/state.h"
#include "charset/charset.h"
#include "font/font_writer.h"
#include "font/sink.h"

namespace glyfor {
namespace {

constexpr const char* kProgram = "glyfor-cli";
constexpr const char* kDefaultOutput = "Glyfor.inc";
constexpr const char* kEpochVariable = "SOURCE_DATE_EPOCH";

enum ExitCode : int {
    kExitOk = 0,
    kExitFileError = 1,
    kExitUsage = 2,
};

constexpr const char* kUsage =
    "Usage: glyfor-cli generate [--settings INI] [--cc-rl] [--signed] [-o OUT] FILE...\n"
    "       glyfor-cli scan [--settings INI] FILE...\n"
    "       glyfor-cli --help\n"
    "\n"
    "Input FILEs are Shift-JIS text. Their characters are the double-byte ones with a lead\n"
    "byte 0x81..0x9F or 0xE0..0xEF; a 0x1A byte ends a file. INI is a Glyfor.ini saved by the\n"
    "window; it is only read.\n"
    "\n"
    "generate   Writes the font source file OUT (default Glyfor.inc) for the registered\n"
    "           characters: those of INI, if given, and every character found in the FILEs.\n"
    "           OUT is replaced only by a complete new file.\n"
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

struct Options {
    bool help = false;
    bool cc_rl = false;
    bool as_signed = false;
    const char* output = kDefaultOutput;
    const char* settings_file = nullptr;
    std::vector<const char*> inputs;
};

// Returns kExitOk with the options filled in, or the exit code to end with. Only generate
// takes the options that shape the output.
int parse_options(int argc, char** argv, const char* command, bool generating, Options& options) {
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
        } else if (arg == "--settings") {
            if (i + 1 == argc) return usage_error("option --settings needs a file name");
            options.settings_file = argv[++i];
        } else if (generating && arg == "--cc-rl") {
            options.cc_rl = true;
        } else if (generating && arg == "--signed") {
            options.as_signed = true;
        } else if (generating && arg == "-o") {
            if (i + 1 == argc) return usage_error("option -o needs a file name");
            options.output = argv[++i];
        } else {
            return usage_error("unknown option ", argv[i]);
        }
    }
    if (options.inputs.empty()) {
        std::fprintf(stderr, "%s: %s needs at least one input FILE\nTry '%s --help'.\n", kProgram,
                     command, kProgram);
        return kExitUsage;
    }
    return kExitOk;
}

// Opens the file in binary mode and hands it to `read`. Returns 0 or the errno of the failure.
int read_file(const char* path, void (*read)(std::FILE* stream)) {
    std::FILE* stream = std::fopen(path, "rb");
    if (stream == nullptr) return errno;
    errno = 0;
    read(stream);
    const int error = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(stream);
    return error;
}

// The state to start from: the settings file when one is named, the first-start defaults
// otherwise.
int load_state(const char* settings_file) {
    reset_state();
    if (settings_file == nullptr) return kExitOk;
    const int error = read_file(settings_file, load_settings_from_file);
    return error != 0 ? file_error(settings_file, error) : kExitOk;
}

// Scans one input file as the window's input scan does. Returns 0 or the errno of the failure.
int scan_file(const char* path) {
    return read_file(path, scan_input_file);
}

// Days since 1970-01-01 to a proleptic Gregorian date.
void date_from_days(std::int64_t days, LocalTime& when) {
    days += 719468;
    const std::int64_t era = days / 146097;
    const std::int64_t day_of_era = days - era * 146097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t month_index = (5 * day_of_year + 2) / 153;  // March is 0
    when.day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
    when.month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
    when.year = static_cast<int>(year_of_era + era * 400 + (when.month <= 2 ? 1 : 0));
}

// The time for the banner: SOURCE_DATE_EPOCH in UTC when it is set, so that a build can
// reproduce its output byte for byte; the local clock otherwise.
int banner_time(LocalTime& when) {
    const char* epoch = std::getenv(kEpochVariable);
    if (epoch == nullptr) {
        when = local_time_now();
        return kExitOk;
    }
    // Up to 9999-12-31 23:59:59, the last second the banner's four-digit year can show.
    constexpr std::int64_t kLastSecond = 253402300799;
    std::int64_t seconds = 0;
    const char* p = epoch;
    for (; *p >= '0' && *p <= '9' && seconds <= kLastSecond; ++p)
        seconds = seconds * 10 + (*p - '0');
    if (p == epoch || *p != '\0' || seconds > kLastSecond) {
        return usage_error(kEpochVariable,
                           " must be a whole number of seconds since 1970-01-01 UTC, "
                           "at most 253402300799");
    }
    const std::int64_t of_day = seconds % 86400;
    date_from_days(seconds / 86400, when);
    when.hour = static_cast<int>(of_day / 3600);
    when.minute = static_cast<int>(of_day / 60 % 60);
    when.second = static_cast<int>(of_day % 60);
    return kExitOk;
}

int write_output(const char* path, const LocalTime& when) {
    FileReplacement file;
    if (!replace_file_open(file, path)) return file_error(path, errno);
    const bool written = write_font_source(file_sink(file.stream), when);
    if (!replace_file_commit(file, written)) return file_error(path, errno);
    return kExitOk;
}

int generate_command(int argc, char** argv) {
    Options options;
    if (const int code = parse_options(argc, argv, "generate", true, options); code != kExitOk) {
        return code;
    }
    if (options.help) return print_usage();
    LocalTime when{};
    if (const int code = banner_time(when); code != kExitOk) return code;
    if (const int code = load_state(options.settings_file); code != kExitOk) return code;
    if (options.cc_rl) settings[kOptionCcRl] = 1;
    if (options.as_signed) settings[kOptionSigned] = 1;

    // As the window does it: each file is scanned, then all it detected is added.
    for (const char* input : options.inputs) {
        if (const int error = scan_file(input); error != 0) return file_error(input, error);
        add_all();
    }
    return write_output(options.output, when);
}

int scan_command(int argc, char** argv) {
    Options options;
    if (const int code = parse_options(argc, argv, "scan", false, options); code != kExitOk) {
        return code;
    }
    if (options.help) return print_usage();
    if (const int code = load_state(options.settings_file); code != kExitOk) return code;

    KanjiSet detected;
    for (const char* input : options.inputs) {
        if (const int error = scan_file(input); error != 0) return file_error(input, error);
        for (std::size_t c = 0; c < detected.flags.size(); ++c) {
            detected.flags[c] |= detected_set.flags[c];
        }
    }
    detected_set = detected;
    settings[kDetectedCount] = count_set(detected_set);
    show_detected();

#ifdef _WIN32
    // The set text carries its own CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const char* text = text_slots[kSlotDetected].data();
    std::fwrite(text, 1, std::strlen(text), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) return file_error("stdout", errno);
    std::fprintf(stderr, "%d characters detected\n", static_cast<int>(settings[kDetectedCount]));
    return kExitOk;
}

struct Command {
    std::string_view name;
    int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"generate", generate_command},
    {"scan", scan_command},
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
