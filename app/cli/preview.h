// glyfor-cli preview: every glyph of a font file as a PNG, and the picture's options that
// generate --preview shares.
#pragma once

#include <string>
#include <vector>

#include "app/cli/help.h"
#include "font/font_preview.h"
#include "font/font_reader.h"

namespace CLI {
class App;
}

namespace glyfor::cli {

struct PreviewOptions {
    std::string scale = std::to_string(kDefaultPreviewScale);
    std::string output;
    std::vector<std::string> inputs;
};

extern const CommandHelp kPreviewHelp;
void declare_preview(CLI::App& command, PreviewOptions& options);
int run_preview(const PreviewOptions& options);

// The value of --scale: a number in range and nothing else, no sign or blank.
int parse_scale(const std::string& text, int& scale);
// The preview PNG, replaced as a whole like the font file.
int write_preview(const std::string& path, const FontFile& font, int scale);

}  // namespace glyfor::cli
