#include "app/replace_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace glyfor {

namespace {

bool move_over(const char* from, const char* to) {
#ifdef _WIN32
    // rename() refuses an existing target on Windows.
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from, to) == 0;
#endif
}

}  // namespace

bool replace_file_open(ReplaceFile& file, const char* target) {
    file.target = target;
    file.temp_path = file.target + ".tmp";
    file.stream = std::fopen(file.temp_path.c_str(), "wb");
    return file.stream != nullptr;
}

bool replace_file_commit(ReplaceFile& file, bool written_ok) {
    bool ok = written_ok && std::fflush(file.stream) == 0 && std::ferror(file.stream) == 0;
    ok = std::fclose(file.stream) == 0 && ok;
    file.stream = nullptr;
    ok = ok && move_over(file.temp_path.c_str(), file.target.c_str());
    if (!ok) std::remove(file.temp_path.c_str());
    return ok;
}

}  // namespace glyfor
