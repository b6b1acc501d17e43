#include "app/replace_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

#include "app/replace_file_platform.h"

namespace glyfor {

namespace {

// Names already taken are tried again with another number; so many clashes in a row mean
// something else is wrong.
constexpr int kNameAttempts = 100;

// Different in every process and every call, so that writers running at once never pick the
// same temporary name.
std::string temp_name(const std::string& file) {
    static std::mt19937_64 generator(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::uint64_t number = generator();
    std::string name = file + ".";
    for (int i = 0; i < 8; ++i, number /= 36) name += kDigits[number % 36];
    return name + ".tmp";
}

bool fail(FileReplacement& file, const std::string& path, int error) {
    file.error_path = path;
    errno = error;
    return false;
}

}  // namespace

bool replace_file_open(FileReplacement& file, const char* target) {
    file = FileReplacement{};
    file.target = target;
    if (file.target.empty()) return fail(file, file.target, ENOENT);
    platform::Target found;
    if (!platform::inspect_target(target, found)) return fail(file, file.target, errno);
    switch (found.kind) {
        case platform::TargetKind::kDirectory:
            return fail(file, file.target, EISDIR);
        case platform::TargetKind::kStream:
            // A device or a FIFO would be replaced by a regular file, and what reads it would
            // never see the bytes.
            file.stream = std::fopen(target, "wb");
            return file.stream != nullptr || fail(file, file.target, errno);
        case platform::TargetKind::kMissing:
        case platform::TargetKind::kRegular:
            break;
    }
    file.replaced = found.file;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = temp_name(found.file);
        file.stream = platform::create_new_file(name, found);
        if (file.stream != nullptr) {
            file.temp_path = std::move(name);
            return true;
        }
        if (errno == EEXIST) continue;
        // A missing directory is the target's fault: the target could not be created either.
        if (errno == ENOENT || errno == ENOTDIR) return fail(file, file.target, errno);
        return fail(file, name, errno);
    }
    return fail(file, file.target, EEXIST);
}

bool replace_file_commit(FileReplacement& file, bool written_ok) {
    const std::string& written_path = file.temp_path.empty() ? file.target : file.temp_path;
    // errno is kept from the first step that failed, so callers can tell the reason.
    int error = 0;
    const auto failed = [&error, &file](const std::string& path) {
        if (error != 0) return;
        error = errno != 0 ? errno : EIO;
        file.error_path = path;
    };
    if (!written_ok) failed(written_path);
    if (std::fflush(file.stream) != 0 || std::ferror(file.stream) != 0) failed(written_path);
    if (std::fclose(file.stream) != 0) failed(written_path);
    file.stream = nullptr;
    if (file.temp_path.empty()) {
        errno = error;
        return error == 0;
    }
    if (error == 0 && !platform::move_over(file.temp_path, file.replaced)) failed(file.target);
    if (error == 0) return true;
    std::remove(file.temp_path.c_str());
    errno = error;
    return false;
}

}  // namespace glyfor
