#include "app/settings_path.h"

#include <unistd.h>

#include <cstring>

namespace glyfor {

bool full_path_in_current_directory(const char* name, char* path, std::size_t size) {
    // getcwd fails with ERANGE when the directory alone does not fit.
    if (getcwd(path, size) == nullptr) return false;
    std::size_t length = std::strlen(path);
    const bool needs_separator = length == 0 || path[length - 1] != '/';
    const std::size_t name_length = std::strlen(name);
    if (length + (needs_separator ? 1 : 0) + name_length + 1 > size) return false;
    if (needs_separator) path[length++] = '/';
    std::memcpy(path + length, name, name_length + 1);
    return true;
}

}  // namespace glyfor
