#include "app/settings.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "app/replace_file.h"
#include "app/settings_path.h"

namespace glyfor {

std::array<char, kPathSize> settings_path{};

namespace {

constexpr char kProgramFile[] = "Glyfor.exe";
// A line feed inside a slot is stored as this byte, so a slot stays on one line.
constexpr char kStoredLineFeed = '\a';

// The bytes of a settings file: a buffer, or a stream read byte by byte (the file is small).
struct ByteInput {
    std::FILE* file = nullptr;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;

    int get() {
        if (file != nullptr) return std::getc(file);
        return at < size ? data[at++] : EOF;
    }
    int peek() {
        if (file == nullptr) return at < size ? data[at] : EOF;
        const int c = std::getc(file);
        if (c != EOF) std::ungetc(c, file);
        return c;
    }
};

// One line without its line break, cut to what a slot can hold.
struct Line {
    std::array<char, kTextSize> text;
    std::size_t length;
};

// Reads a whole line, however long; CR LF and LF end it, any other CR is kept. False when the
// input had ended before the line.
bool read_line(ByteInput& in, Line& line) {
    line.length = 0;
    bool any = false;
    for (;;) {
        int c = in.get();
        if (c == EOF) break;
        any = true;
        if (c == '\r' && in.peek() == '\n') c = in.get();
        if (c == '\n') break;
        if (line.length < line.text.size() - 1) line.text[line.length++] = static_cast<char>(c);
    }
    line.text[line.length] = '\0';
    return any;
}

// Like atoi: leading blanks, an optional sign, then digits; no digits gives 0. Values beyond
// the 32-bit range saturate.
std::int32_t parse_int(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = std::min(value * 10 + (*text - '0'), kLimit);
    }
    value = negative ? -value : std::min(value, kLimit - 1);
    return static_cast<std::int32_t>(value);
}

void copy_slot(int slot, const char* text) {
    auto& target = text_slots[static_cast<std::size_t>(slot)];
    std::size_t i = 0;
    for (; text[i] != '\0' && i < target.size() - 1; ++i) {
        target[i] = text[i] == kStoredLineFeed ? '\n' : text[i];
    }
    target[i] = '\0';
}

void read_settings(ByteInput& in) {
    static Line line;
    if (!read_line(in, line)) return;
    const std::int32_t integer_count = parse_int(line.text.data());
    for (std::int32_t i = 0; i < integer_count; ++i) {
        if (!read_line(in, line)) return;
        if (i < kSettingsCount) settings[static_cast<std::size_t>(i)] = parse_int(line.text.data());
    }
    if (!read_line(in, line)) return;
    const std::int32_t string_count = parse_int(line.text.data());
    for (std::int32_t i = 0; i < string_count; ++i) {
        if (!read_line(in, line)) return;
        if (i < kSlotCount) copy_slot(i, line.text.data());
    }
}

void load_from(ByteInput& in) {
    reset_state();
    read_settings(in);
    if (settings[kLanguage] != 0 && settings[kLanguage] != 1) settings[kLanguage] = 0;
}

bool write_int(Sink sink, std::int32_t value) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%d\r\n", static_cast<int>(value));
    return sink.write(sink.context, text, static_cast<std::size_t>(length));
}

bool write_slot(Sink sink, const TextSlot& slot) {
    const char* p = slot.data();
    const char* const end = p + strnlen(p, slot.size());
    while (p < end) {
        const auto* line_feed = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* const run_end = line_feed != nullptr ? line_feed : end;
        if (!sink.write(sink.context, p, static_cast<std::size_t>(run_end - p))) return false;
        if (line_feed == nullptr) break;
        if (!sink.write(sink.context, &kStoredLineFeed, 1)) return false;
        p = line_feed + 1;
    }
    return sink.write(sink.context, "\r\n", 2);
}

}  // namespace

void settings_path_init() {
    settings_path[0] = '\0';
    std::array<char, kPathSize> path;
    if (!full_path_in_current_directory(kProgramFile, path.data(), path.size())) return;
    const std::size_t length = std::strlen(path.data());
    if (length < 3) return;
    std::memcpy(path.data() + length - 3, "ini", 3);
    settings_path = path;
}

void load_settings() {
    reset_state();
    settings_path_init();
    if (settings_path[0] == '\0') return;
    std::FILE* file = std::fopen(settings_path.data(), "rb");
    if (file == nullptr) return;
    load_settings_from_file(file);
    std::fclose(file);
}

void load_settings_from(const char* data, std::size_t size) {
    ByteInput in;
    in.data = reinterpret_cast<const unsigned char*>(data);
    in.size = size;
    load_from(in);
}

void load_settings_from_file(std::FILE* stream) {
    ByteInput in;
    in.file = stream;
    load_from(in);
}

bool format_settings(Sink sink) {
    bool ok = write_int(sink, kSettingsCount);
    for (const std::int32_t value : settings) ok = ok && write_int(sink, value);
    ok = ok && write_int(sink, kSlotCount);
    for (const TextSlot& slot : text_slots) ok = ok && write_slot(sink, slot);
    return ok;
}

void save_settings(const WindowRect* window) {
    if (window != nullptr) {
        settings[kWindowLeft] = window->left;
        settings[kWindowTop] = window->top;
        settings[kWindowRight] = window->right;
        settings[kWindowBottom] = window->bottom;
    }
    if (settings_path[0] == '\0') return;
    FileReplacement file;
    if (!replace_file_open(file, settings_path.data())) return;
    replace_file_commit(file, format_settings(file_sink(file.stream)));
}

bool stored_window_rect(WindowRect& rect) {
    // Widened, so that any stored numbers give a size; one that does not fit an int is no
    // size a window can take.
    const std::int64_t width = std::int64_t{settings[kWindowRight]} - settings[kWindowLeft];
    const std::int64_t height = std::int64_t{settings[kWindowBottom]} - settings[kWindowTop];
    constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();
    if (width <= 5 || height <= 5 || width > kMaxSize || height > kMaxSize) return false;
    rect = WindowRect{settings[kWindowLeft], settings[kWindowTop], settings[kWindowRight],
                      settings[kWindowBottom]};
    return true;
}

}  // namespace glyfor
