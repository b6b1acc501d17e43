#include <windows.h>

#include "app/settings_path.h"

namespace glyfor {

bool full_path_in_current_directory(const char* name, char* path, std::size_t size) {
    // The result counts the NUL only when the buffer was too small for the path.
    const DWORD length = GetFullPathNameA(name, static_cast<DWORD>(size), path, nullptr);
    return length != 0 && length < size;
}

}  // namespace glyfor
