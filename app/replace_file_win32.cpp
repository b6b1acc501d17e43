#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "app/replace_file_platform.h"

namespace glyfor::platform {

namespace {

// The callers report failures through errno, as with the C library calls.
void set_errno_from_last_error() {
    switch (GetLastError()) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            errno = EEXIST;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            errno = EACCES;
            break;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            errno = ENOENT;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            errno = ENOSPC;
            break;
        default:
            errno = EIO;
            break;
    }
}

// NUL, CON and named pipes answer as characters or a pipe, not as a file on a disk.
bool is_stream(const char* path) {
    const HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

}  // namespace

bool inspect_target(const char* path, Target& target) {
    if (is_stream(path)) {
        target = Target{TargetKind::kStream, path, 0};
        return true;
    }
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            set_errno_from_last_error();
            return false;
        }
        target = Target{TargetKind::kMissing, path, 0};
        return true;
    }
    const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    target = Target{directory ? TargetKind::kDirectory : TargetKind::kRegular, path, 0};
    return true;
}

std::FILE* create_new_file(const std::string& path, const Target&) {
    // CREATE_NEW fails on any existing name, so another writer's file is never opened.
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        set_errno_from_last_error();
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
        CloseHandle(handle);
        DeleteFileA(path.c_str());
        errno = EIO;
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        _close(fd);
        DeleteFileA(path.c_str());
        errno = EIO;
    }
    return stream;
}

bool move_over(const std::string& from, const std::string& to) {
    // rename() refuses an existing target on Windows.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    set_errno_from_last_error();
    return false;
}

}  // namespace glyfor::platform
