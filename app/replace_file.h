// Replaces a file only by a complete new one: the bytes go to a temporary file beside the
// target, which is renamed over it once everything was written and closed without error.
#pragma once

#include <cstdio>
#include <string>

namespace glyfor {

struct FileReplacement {
    std::FILE* stream = nullptr;  // binary mode: the writers produce their own CR LF
    std::string target;
    std::string temp_path;
};

// Opens the temporary file; false when it cannot be created.
bool replace_file_open(FileReplacement& file, const char* target);
// Closes the temporary file and moves it over the target. When anything failed the temporary
// file is removed, the target stays as it was, the result is false and errno tells why.
bool replace_file_commit(FileReplacement& file, bool written_ok);

}  // namespace glyfor
