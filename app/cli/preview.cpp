#include "app/cli/preview.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <memory>

#include "app/cli/input.h"
#include "app/cli/output.h"

namespace glyfor::cli {

const CommandHelp kPreviewHelp = {
    "preview",
    "preview [--scale N] [-o OUT.png] FONT\n",
    "preview    Draws every glyph of the font file FONT as a PNG, 16 to a row in JIS order,\n"
    "           each labelled with its code; a blank glyph has a grey, hatched cell.\n"
    "  --scale N  pixels per glyph dot, 1..8 (default 3)\n"
    "  -o OUT     the picture (default FONT with its extension replaced by .png); - is\n"
    "             standard output\n",
    false,
};

int write_preview(const std::string& path, const FontFile& font, int scale) {
    return write_output(path, [&font, scale](Sink sink) {
        return write_font_preview(sink, font, scale) == PreviewStatus::kOk;
    });
}

int parse_scale(const std::string& text, int& scale) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, scale);
    if (!text.empty() && text[0] != '-' && error == std::errc{} && stop == end &&
        scale >= kMinPreviewScale && scale <= kMaxPreviewScale) {
        return kExitOk;
    }
    return usage_error("--scale must be a whole number from " + std::to_string(kMinPreviewScale) +
                       " to " + std::to_string(kMaxPreviewScale));
}

void declare_preview(CLI::App& command, PreviewOptions& options) {
    command.add_option("--scale", options.scale);
    command.add_option("-o", options.output);
    command.add_option("FONT", options.inputs);
}

namespace {

// FONT's name with its extension, if any, replaced by .png.
std::string default_preview_path(const std::string& font) {
    const std::size_t name = font.find_last_of("/\\");
    const std::size_t dot = font.rfind('.');
    const bool has_extension =
        dot != std::string::npos && dot > 0 && (name == std::string::npos || dot > name + 1);
    return (has_extension ? font.substr(0, dot) : font) + ".png";
}

}  // namespace

int run_preview(const PreviewOptions& options) {
    if (options.inputs.size() != 1) return usage_error("preview needs one FONT");
    int scale = 0;
    if (const int code = parse_scale(options.scale, scale); code != kExitOk) return code;
    const std::string& path = options.inputs.front();
    std::string bytes;
    if (const int error = read_whole_file(path, bytes); error != 0) return file_error(path, error);
    const auto font = std::make_unique<FontFile>();
    if (const int code = load_font(path, bytes, *font); code != kExitOk) return code;
    return write_preview(options.output.empty() ? default_preview_path(path) : options.output,
                         *font, scale);
}

}  // namespace glyfor::cli
