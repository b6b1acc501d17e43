#include "app/cli/output.h"

#include <cstring>

namespace glyfor::cli {

int usage_error(const std::string& message) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgram, message.c_str(), kProgram);
    return kExitUsage;
}

int file_error(const std::string& path, int error) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, path.c_str(), std::strerror(error));
    return kExitFileError;
}

int print(const char* text, std::size_t size) {
    std::fwrite(text, 1, size, stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        return file_error("stdout", errno != 0 ? errno : EIO);
    }
    return kExitOk;
}

}  // namespace glyfor::cli
