// Replaces a file only by a complete new one: the bytes go to a temporary file of a unique
// name beside the target, which is renamed over it once everything was written and closed
// without error. Two writers of the same target leave one complete file, the last renamed.
#pragma once

#include <cstdio>
#include <string>

namespace glyfor {

struct FileReplacement {
    std::FILE* stream = nullptr;  // binary mode: the writers produce their own CR LF
    std::string target;           // as the caller named it
    std::string replaced;         // the regular file renamed over: the target, links followed
    std::string temp_path;        // empty when the bytes go straight into the target
    std::string error_path;       // the file a failure concerns: the target or the temporary
};

// Opens the temporary file; false when it cannot be created. A device or a FIFO is written
// straight into instead, a directory is refused.
bool replace_file_open(FileReplacement& file, const char* target);
// Closes the temporary file and moves it over the target. When anything failed the temporary
// file is removed, the target stays as it was, the result is false and errno tells why.
bool replace_file_commit(FileReplacement& file, bool written_ok);

}  // namespace glyfor
