// glyfor-cli generate: the font source file for the registered characters and those of the
// FILEs, as the window's "Generating font data" writes it.
#pragma once

#include <string>
#include <vector>

#include "app/cli/help.h"
#include "font/font_preview.h"

namespace CLI {
class App;
}

namespace glyfor::cli {

struct GenerateOptions {
    std::string settings_file;
    bool cc_rl = false;
    bool as_signed = false;
    bool literals = false;
    bool quiet = false;
    std::string output = "Glyfor.inc";
    std::string preview;
    std::string scale = std::to_string(kDefaultPreviewScale);
    std::vector<std::string> inputs;
};

extern const CommandHelp kGenerateHelp;
void declare_generate(CLI::App& command, GenerateOptions& options);
int run_generate(const GenerateOptions& options);

}  // namespace glyfor::cli
