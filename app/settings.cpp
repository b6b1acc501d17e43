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

void copy_slot(TextSlot& target, const char* text) {
    std::size_t i = 0;
    for (; text[i] != '\0' && i < target.size() - 1; ++i) {
        target[i] = text[i] == kStoredLineFeed ? '\n' : text[i];
    }
    target[i] = '\0';
}

void read_settings(ByteInput& in, Settings& values, TextSlots& slots) {
    static Line line;
    if (!read_line(in, line)) return;
    const std::int32_t integer_count = parse_int(line.text.data());
    for (std::int32_t i = 0; i < integer_count; ++i) {
        if (!read_line(in, line)) return;
        if (i < kSettingsCount) values[static_cast<std::size_t>(i)] = parse_int(line.text.data());
    }
    if (!read_line(in, line)) return;
    const std::int32_t string_count = parse_int(line.text.data());
    for (std::int32_t i = 0; i < string_count; ++i) {
        if (!read_line(in, line)) return;
        if (i < kSlotCount) copy_slot(slots[static_cast<std::size_t>(i)], line.text.data());
    }
}

void load_from(ByteInput& in, Settings& values, TextSlots& slots) {
    values.fill(0);
    for (TextSlot& slot : slots) slot[0] = '\0';
    read_settings(in, values, slots);
    if (values[kLanguage] != 0 && values[kLanguage] != 1) values[kLanguage] = 0;
}

// One line of the checked bytes; LF ends it, and a CR before the LF belongs to the break.
struct CheckedLine {
    const char* begin;
    std::size_t length;  // without the line break
};

// Decimal digits after an optional minus sign, as "%d" writes them, within 32 bits.
bool is_integer(const CheckedLine& line, bool may_be_negative) {
    const bool negative = line.length > 0 && line.begin[0] == '-';
    if (negative && !may_be_negative) return false;
    std::size_t i = negative ? 1 : 0;
    if (i == line.length) return false;
    std::int64_t value = 0;
    for (; i < line.length; ++i) {
        if (line.begin[i] < '0' || line.begin[i] > '9') return false;
        value = std::min<std::int64_t>(value * 10 + (line.begin[i] - '0'), std::int64_t{1} << 32);
    }
    return value <= std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
}

std::int32_t value_of(const CheckedLine& line) {
    std::array<char, 16> text{};
    std::memcpy(text.data(), line.begin, std::min(line.length, text.size() - 1));
    return parse_int(text.data());
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

void load_settings_text(const char* data, std::size_t size, Settings& values, TextSlots& slots) {
    ByteInput in;
    in.data = reinterpret_cast<const unsigned char*>(data);
    in.size = size;
    load_from(in, values, slots);
}

void load_settings_from(const char* data, std::size_t size) {
    reset_state();
    load_settings_text(data, size, settings, text_slots);
}

void load_settings_from_file(std::FILE* stream) {
    reset_state();
    ByteInput in;
    in.file = stream;
    load_from(in, settings, text_slots);
}

SettingsCheck check_settings_text(const char* data, std::size_t size) {
    if (size == 0) return SettingsCheck{false, 1, "empty file, no count of integer lines"};
    // The loader ends a slot at a NUL, so what follows one would be lost without a word.
    if (const void* nul = std::memchr(data, '\0', size); nul != nullptr) {
        const auto lines_before = std::count(data, static_cast<const char*>(nul), '\n');
        return SettingsCheck{false, static_cast<int>(lines_before) + 1,
                             "NUL byte, not a text file"};
    }
    const char* const end = data + size;
    const char* p = data;
    int number = 0;
    CheckedLine line{};
    // Moves to the next line; false at the end of the bytes. Only the last line may lack its
    // line break.
    const auto next = [&] {
        if (p == end) return false;
        ++number;
        const auto* line_feed = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* const line_end = line_feed != nullptr ? line_feed : end;
        line = CheckedLine{p, static_cast<std::size_t>(line_end - p)};
        if (line_feed != nullptr && line.length > 0 && line_end[-1] == '\r') --line.length;
        p = line_feed != nullptr ? line_feed + 1 : end;
        return true;
    };
    const auto fault = [](int at, const char* reason) { return SettingsCheck{false, at, reason}; };

    next();
    if (!is_integer(line, false)) return fault(number, "not a count of integer lines");
    const std::int32_t integer_count = value_of(line);
    for (std::int32_t i = 0; i < integer_count; ++i) {
        if (!next()) return fault(number + 1, "the file ends before all its integer lines");
        if (!is_integer(line, true)) return fault(number, "not a 32-bit integer");
    }
    if (!next()) return fault(number + 1, "the file ends before the count of text lines");
    if (!is_integer(line, false)) return fault(number, "not a count of text lines");
    const std::int32_t string_count = value_of(line);
    for (std::int32_t i = 0; i < string_count; ++i) {
        if (!next()) return fault(number + 1, "the file ends before all its text lines");
        if (line.length >= kTextSize) return fault(number, "longer than a text slot holds");
    }
    if (next()) return fault(number, "more lines than the counts announce");
    return SettingsCheck{true, 0, ""};
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
