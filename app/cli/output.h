// What every subcommand of glyfor-cli shares for its results: the exit codes, the wording of
// usage and file errors, standard output, and output files replaced as a whole.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>

#include "app/binary_stdout.h"
#include "app/replace_file.h"
#include "font/sink.h"

namespace glyfor::cli {

inline constexpr const char* kProgram = "glyfor-cli";
// The output name that means standard output.
inline constexpr const char* kStdout = "-";

enum ExitCode : int {
    kExitOk = 0,
    kExitFileError = 1,
    kExitUsage = 2,
};

// "glyfor-cli: MESSAGE" and a hint at --help on stderr; returns kExitUsage.
int usage_error(const std::string& message);
// "glyfor-cli: PATH: strerror" on stderr; returns kExitFileError.
int file_error(const std::string& path, int error);
// Text for stdout; a full disk or a closed pipe is a failure like any other file's.
int print(const char* text, std::size_t size);

// Writes OUT through `write`, which is handed the sink and tells whether the sink took every
// byte. OUT - is standard output; any other OUT is replaced only by a complete new file.
template <typename Write>
int write_output(const std::string& path, Write write) {
    if (path == kStdout) {
        use_binary_stdout();
        if (!write(file_sink(stdout)) || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
            return file_error("stdout", errno != 0 ? errno : EIO);
        }
        return kExitOk;
    }
    FileReplacement file;
    if (!replace_file_open(file, path.c_str())) return file_error(file.error_path, errno);
    if (!replace_file_commit(file, write(file_sink(file.stream)))) {
        return file_error(file.error_path, errno);
    }
    return kExitOk;
}

}  // namespace glyfor::cli
