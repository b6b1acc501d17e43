#include "app/cli/input.h"

#include <array>
#include <cerrno>
#include <cstdio>

#include "app/cli/output.h"
#include "app/settings.h"
#include "charset/literal_scanner.h"
#include "charset/registration.h"
#include "charset/sjis_scanner.h"

namespace glyfor::cli {

int read_whole_file(const std::string& path, std::string& bytes) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) return errno;
    errno = 0;
    char block[16384];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, stream)) > 0) bytes.append(block, n);
    const int error = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(stream);
    return error;
}

int load_saved_state(const std::string& path, SavedState& state) {
    if (path.empty()) return kExitOk;
    std::string bytes;
    if (const int error = read_whole_file(path, bytes); error != 0) return file_error(path, error);
    const SettingsCheck check = check_settings_text(bytes.data(), bytes.size());
    if (!check.ok) {
        std::fprintf(stderr, "%s: %s: line %d: %s\n", kProgram, path.c_str(), check.line,
                     check.reason);
        return kExitFileError;
    }
    load_settings_text(bytes.data(), bytes.size(), state.values, state.slots);
    return kExitOk;
}

KanjiSet registered_of(const SavedState& state) {
    KanjiSet set;
    parse_set_text(state.slots[kSlotRegistered].data(), set);
    return set;
}

int load_font(const std::string& path, const std::string& bytes, FontFile& font) {
    const FontReadResult result = read_font_source(bytes.data(), bytes.size(), font);
    if (!result.ok) {
        std::fprintf(stderr, "%s:%d: error: %s\n", path.c_str(), result.line,
                     result.message.data());
        return kExitFileError;
    }
    // A team may draw a glyph by hand; that is no fault, but worth knowing when the picture or
    // the firmware shows something other than the built-in font.
    if (font.differing_glyphs > 0) {
        std::fprintf(stderr, "%s: note: %d glyphs differ from the built-in font\n", path.c_str(),
                     font.differing_glyphs);
    }
    return kExitOk;
}

namespace {

int stream_error(std::FILE* stream) {
    return std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
}

}  // namespace

int scan_inputs(const std::vector<std::string>& inputs, const ScanRules& rules, Diagnostics& d,
                KanjiSet& seen, KanjiSet* plain) {
    static std::array<unsigned char, kScanBlockSize> block;
    for (const std::string& path : inputs) {
        std::FILE* stream = std::fopen(path.c_str(), "rb");
        if (stream == nullptr) return file_error(path, errno);
        d.path = path.c_str();
        d.warnings = rules.warnings;
        d.warned_blank = KanjiSet{};
        d.warned_dropped.fill(0);
        const bool rereadable = std::fseek(stream, 0, SEEK_SET) == 0;
        const bool may_need_walk = rules.warnings || d.font != nullptr;
        const WalkMode mode = rules.literals ? WalkMode::kLiterals : WalkMode::kPlain;
        CharWalker walker(mode, CharVisitor{&d, diagnose});
        const bool walk_along = may_need_walk && !rereadable;
        SjisScanner scanner;
        SjisScanner outside;
        LiteralScanner literal_scanner;
        errno = 0;
        for (;;) {
            const std::size_t size = std::fread(block.data(), 1, block.size(), stream);
            if (size == 0) break;
            if (rules.literals) {
                literal_scanner.feed(block.data(), size);
                if (plain != nullptr) outside.feed(block.data(), size);
            } else {
                scanner.feed(block.data(), size);
            }
            if (walk_along) walker.feed(block.data(), size);
            if (rules.literals ? literal_scanner.ended() : scanner.ended()) break;
        }
        int error = stream_error(stream);
        const KanjiSet cells = rules.literals ? literal_scanner.cells() : scanner.cells();
        const bool drops =
            rules.literals ? literal_scanner.saw_user_defined() : scanner.saw_user_defined();
        const bool walk = !walk_along && error == 0 &&
                          ((rules.warnings && (drops || intersects(cells, d.blank))) ||
                           has_new_missing(cells, d));
        if (walk) {
            errno = 0;
            if (std::fseek(stream, 0, SEEK_SET) != 0) {
                error = errno != 0 ? errno : EIO;
            } else {
                walk_reader(file_reader(stream), walker);
                error = stream_error(stream);
            }
        }
        std::fclose(stream);
        if (error != 0) return file_error(path, error);
        seen = union_of(seen, cells);
        if (plain != nullptr) *plain = union_of(*plain, rules.literals ? outside.cells() : cells);
    }
    return kExitOk;
}

}  // namespace glyfor::cli
