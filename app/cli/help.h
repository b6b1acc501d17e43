// How each subcommand describes itself: `glyfor-cli COMMAND --help` prints its own part, and
// `glyfor-cli --help` all of them with the notes they share.
#pragma once

namespace glyfor::cli {

struct CommandHelp {
    const char* name;
    // One form per line, each without the leading "glyfor-cli ".
    const char* synopsis;
    // What the command does and its own options.
    const char* text;
    // Whether the notes on input FILEs apply.
    bool reads_files;
};

}  // namespace glyfor::cli
