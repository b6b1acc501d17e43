#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/replace_file_platform.h"

namespace glyfor::platform {

namespace {

// As the kernel resolves a path: a chain of symbolic links, each relative to its own
// directory, down to what it points to, whether that exists or not.
std::string follow_links(std::string path) {
    constexpr int kMaxLinks = 40;  // Linux's own limit
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        std::string link(static_cast<std::size_t>(status.st_size) + 1, '\0');
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length < 0 || static_cast<std::size_t>(length) >= link.size()) return path;
        link.resize(static_cast<std::size_t>(length));
        if (link.front() == '/') {
            path = link;
        } else {
            const std::size_t slash = path.rfind('/');
            path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + link;
        }
    }
    return path;
}

}  // namespace

bool inspect_target(const char* path, Target& target) {
    struct stat status;
    if (stat(path, &status) != 0) {
        if (errno != ENOENT) return false;
        // A link to a file not there yet creates that file.
        target = Target{TargetKind::kMissing, follow_links(path), 0};
        return true;
    }
    if (S_ISDIR(status.st_mode)) {
        target = Target{TargetKind::kDirectory, path, 0};
    } else if (!S_ISREG(status.st_mode)) {
        target = Target{TargetKind::kStream, path, 0};
    } else {
        target = Target{TargetKind::kRegular, follow_links(path),
                        static_cast<unsigned int>(status.st_mode & 07777)};
    }
    return true;
}

std::FILE* create_new_file(const std::string& path, const Target& target) {
    // 0666 less the umask for a new file, as any program creating one would make it.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    if (target.kind == TargetKind::kRegular && fchmod(fd, target.mode) != 0) {
        const int error = errno;
        close(fd);
        unlink(path.c_str());
        errno = error;
        return nullptr;
    }
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        const int error = errno;
        close(fd);
        unlink(path.c_str());
        errno = error;
    }
    return stream;
}

bool move_over(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace glyfor::platform
