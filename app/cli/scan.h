// glyfor-cli scan: the characters of the FILEs that are not registered yet, as the window's
// "Input text file" detects them.
#pragma once

#include <string>
#include <vector>

#include "app/cli/help.h"

namespace CLI {
class App;
}

namespace glyfor::cli {

struct ScanOptions {
    std::string settings_file;
    bool literals = false;
    bool quiet = false;
    std::vector<std::string> inputs;
};

extern const CommandHelp kScanHelp;
void declare_scan(CLI::App& command, ScanOptions& options);
int run_scan(const ScanOptions& options);

}  // namespace glyfor::cli
