// glyfor-cli: the window's input scan and font generation from the command line, for firmware
// builds and scripts. Each subcommand lives in its own file as an options struct, a function
// that declares them to the parser and a function that runs on them; the program's state is
// local to that run. This file parses the command line and hands it to one of them.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/cli/check.h"
#include "app/cli/generate.h"
#include "app/cli/help.h"
#include "app/cli/output.h"
#include "app/cli/preview.h"
#include "app/cli/scan.h"

namespace glyfor::cli {
namespace {

// What the commands that read input FILEs share.
constexpr const char* kInputNotes =
    "Input FILEs are Shift-JIS text. Their characters are the double-byte ones with a lead\n"
    "byte 0x81..0x9F or 0xE0..0xEF; a 0x1A byte ends a file. INI is a Glyfor.ini saved by the\n"
    "window; it is only read, and must be whole: a cut or foreign file is an error.\n"
    "  --literals  only the characters inside C string and character literals count, not\n"
    "              those of comments, code or #include names (also on when INI has it on)\n"
    "  -q          no warnings\n"
    "Characters that are lost get a warning on stderr, FILE:LINE:COL: warning: ..., once per\n"
    "code and FILE at its first use: a lead byte 0xF0..0xFC (a user-defined or vendor code,\n"
    "which the font lacks, so the character is dropped) and a character whose glyph is blank.\n"
    "LINE counts LF line breaks from 1, COL bytes from 1.\n";

constexpr const char* kExitNotes =
    "Exit status: 0 done, 1 a file could not be read or written, FONT is not a valid font\n"
    "file (FONT:LINE: error: ...), or check found characters missing; 2 wrong usage.\n";

// Every form of the given commands' synopses, the first after "Usage:".
std::string synopsis_lines(const std::vector<const CommandHelp*>& commands, bool with_program) {
    std::string text;
    const auto add = [&text](const char* form, std::size_t size) {
        text += text.empty() ? "Usage: glyfor-cli " : "       glyfor-cli ";
        text.append(form, size);
        text += '\n';
    };
    for (const CommandHelp* command : commands) {
        for (const char* form = command->synopsis; *form != '\0';) {
            const char* end = std::strchr(form, '\n');
            add(form, static_cast<std::size_t>(end - form));
            form = end + 1;
        }
    }
    if (with_program) {
        add("help [COMMAND]", 14);
        add("--help", 6);
        add("--version", 9);
    }
    return text;
}

// The usage of one command, or of all of them with the program's own forms.
std::string usage_text(const std::vector<const CommandHelp*>& commands, bool whole) {
    std::string text = synopsis_lines(commands, whole) + "\n";
    for (const CommandHelp* command : commands) {
        if (command->reads_files) {
            text += std::string(kInputNotes) + "\n";
            break;
        }
    }
    for (const CommandHelp* command : commands) text += std::string(command->text) + "\n";
    return text + kExitNotes;
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

// A value names one file or one number: given twice, one of them would be ignored.
int repeated_option_error(const CLI::App& command) {
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_positional() || option->get_type_size() == 0) continue;
        if (option->count() > 1)
            return usage_error("option " + option->get_name() + " given twice");
    }
    return kExitOk;
}

// A subcommand of the parser: its options, how it runs on them, and its help.
struct Subcommand {
    const CommandHelp* help;
    std::vector<std::string>* inputs;
    std::function<void(CLI::App&)> declare;
    std::function<int()> run;
    CLI::App* parser = nullptr;
};

int print_text(const std::string& text) {
    return print(text.data(), text.size());
}

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
    Subcommand subcommands[] = {
        {&kGenerateHelp, &generate.inputs, [&](CLI::App& c) { declare_generate(c, generate); },
         [&] { return run_generate(generate); }},
        {&kScanHelp, &scan.inputs, [&](CLI::App& c) { declare_scan(c, scan); },
         [&] { return run_scan(scan); }},
        {&kCheckHelp, &check.inputs, [&](CLI::App& c) { declare_check(c, check); },
         [&] { return run_check(check); }},
        {&kPreviewHelp, &preview.inputs, [&](CLI::App& c) { declare_preview(c, preview); },
         [&] { return run_preview(preview); }},
    };
    std::vector<const CommandHelp*> all_help;
    for (Subcommand& command : subcommands) {
        command.parser = app.add_subcommand(command.help->name);
        command.parser->set_help_flag();
        command.parser->allow_extras();
        command.parser->allow_windows_style_options(false);
        // Every value is kept so that a second one can be told apart from a missing one.
        command.parser->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        command.parser->add_flag("-h,--help", help);
        command.declare(*command.parser);
        all_help.push_back(command.help);
    }
    // `help [COMMAND]` says what `--help` says.
    // `help [COMMAND]` says what `--help` says. The word after it is its topic, never a
    // command to run, so it is read before the parser could take it for one.
    if (argc >= 2 && std::strcmp(argv[1], "help") == 0) {
        if (argc == 2) return print_text(usage_text(all_help, true));
        if (argc > 3) return usage_error("help takes one COMMAND");
        for (const Subcommand& command : subcommands) {
            if (std::strcmp(argv[2], command.help->name) == 0) {
                return print_text(usage_text({command.help}, false));
            }
        }
        return usage_error(std::string("unknown command ") + argv[2]);
    }

    // Everything after the first "--" is an input FILE, even a name that starts with a dash,
    // and so is any later "--". The parser hands such names back to the main command once a
    // FILE is known, so they are kept from it.
    std::vector<std::string> args;
    std::vector<std::string> operands;
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        if (!options_ended && i >= 2 && std::strcmp(argv[i], "--") == 0) {
            options_ended = true;
            continue;
        }
        (options_ended ? operands : args).emplace_back(argv[i]);
    }
    // The parser takes its arguments last first.
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& error) {
        return parse_failure(error, app);
    }
    for (Subcommand& command : subcommands) {
        if (!command.parser->parsed()) continue;
        if (help) return print_text(usage_text({command.help}, false));
        if (app.remaining_size() > 0 || command.parser->remaining_size() > 0) {
            return leftover_error(app, command.parser);
        }
        if (const int code = repeated_option_error(*command.parser); code != kExitOk) return code;
        command.inputs->insert(command.inputs->end(), operands.begin(), operands.end());
        return command.run();
    }
    if (help) return print_text(usage_text(all_help, true));
    if (version) return print_text("glyfor-cli " GLYFOR_VERSION "\n");
    return leftover_error(app, nullptr);
}

}  // namespace
}  // namespace glyfor::cli

int main(int argc, char** argv) {
    return glyfor::cli::run(argc, argv);
}
