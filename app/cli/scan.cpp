#include "app/cli/scan.h"

#include <CLI/CLI.hpp>
#include <array>
#include <cstdio>
#include <memory>

#include "app/binary_stdout.h"
#include "app/cli/input.h"
#include "app/cli/output.h"
#include "charset/registration.h"

namespace glyfor::cli {

const CommandHelp kScanHelp = {
    "scan",
    "scan [--settings INI] [--literals] [-q] FILE...\n",
    "scan       Prints the characters of the FILEs that are not registered in INI to stdout\n"
    "           as Shift-JIS text in JIS order, 30 to a CR LF line, and their number to\n"
    "           stderr; with --literals also how many were skipped as only outside literals.\n",
    true,
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

}  // namespace glyfor::cli
