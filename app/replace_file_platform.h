// What replacing a file needs from the platform; app/replace_file.cpp does the rest.
#pragma once

#include <cstdio>
#include <string>

namespace glyfor::platform {

enum class TargetKind {
    kMissing,    // a new regular file is created
    kRegular,    // replaced by a new file of the same permissions
    kDirectory,  // refused
    kStream,     // a device or a FIFO: written straight into, never replaced
};

struct Target {
    TargetKind kind = TargetKind::kMissing;
    std::string file;       // the file to create or replace: the path with its links followed
    unsigned int mode = 0;  // the permission bits of a regular target
};

// False with errno set when the path cannot be looked at.
bool inspect_target(const char* path, Target& target);
// Creates `path` for writing in binary mode, never opening a file that exists: the result is
// null with errno EEXIST when the name is taken. The new file gets the permissions of a
// regular target, or the usual ones for a new file.
std::FILE* create_new_file(const std::string& path, const Target& target);
// Renames over an existing file; false with errno set on failure.
bool move_over(const std::string& from, const std::string& to);

}  // namespace glyfor::platform
