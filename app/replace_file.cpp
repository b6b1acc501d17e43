#include "app/replace_file.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace glyfor {

namespace {

bool move_over(const char* from, const char* to) {
#ifdef _WIN32
    // rename() refuses an existing target on Windows.
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) return true;
    // The callers report failures through errno, as with the C library calls.
    switch (GetLastError()) {
        case ERROR_ACCESS_DENIED:
            errno = EACCES;
            break;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            errno = ENOENT;
            break;
        default:
            errno = EIO;
            break;
    }
    return false;
#else
    return std::rename(from, to) == 0;
#endif
}

}  // namespace

bool replace_file_open(FileReplacement& file, const char* target) {
    file.target = target;
    file.temp_path = file.target + ".tmp";
    file.stream = std::fopen(file.temp_path.c_str(), "wb");
    return file.stream != nullptr;
}

bool replace_file_commit(FileReplacement& file, bool written_ok) {
    // errno is kept from the first step that failed, so callers can tell the reason.
    int error = 0;
    const auto failed = [&error] {
        if (error == 0) error = errno != 0 ? errno : EIO;
    };
    if (!written_ok) failed();
    if (std::fflush(file.stream) != 0 || std::ferror(file.stream) != 0) failed();
    if (std::fclose(file.stream) != 0) failed();
    file.stream = nullptr;
    if (error == 0 && !move_over(file.temp_path.c_str(), file.target.c_str())) failed();
    if (error == 0) return true;
    std::remove(file.temp_path.c_str());
    errno = error;
    return false;
}

}  // namespace glyfor
