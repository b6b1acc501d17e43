// glyfor-cli check: the CI gate that a committed font file holds every character the FILEs
// use.
#pragma once

#include <string>
#include <vector>

#include "app/cli/help.h"

namespace CLI {
class App;
}

namespace glyfor::cli {

struct CheckOptions {
    std::string font;
    bool literals = false;
    bool quiet = false;
    std::vector<std::string> inputs;
};

extern const CommandHelp kCheckHelp;
void declare_check(CLI::App& command, CheckOptions& options);
int run_check(const CheckOptions& options);

}  // namespace glyfor::cli
