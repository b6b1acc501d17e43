// The platform part of forming the settings file's path.
#pragma once

#include <cstddef>

namespace glyfor {

// Resolves a bare file name against the current working directory into a full path. False
// when that cannot be done or the path, with its NUL, does not fit `size` bytes.
bool full_path_in_current_directory(const char* name, char* path, std::size_t size);

}  // namespace glyfor
