#include "charset/registration.h"

#include <algorithm>
#include <cstring>

#include "charset/charset.h"
#include "charset/state.h"

namespace glyfor {

namespace {

void begin_scan() {
    normalise_registered();
    detected_set.flags.fill(0);
}

void finish_scan(const SjisScanner& scanner) {
    const KanjiSet seen = scanner.cells();
    for (std::size_t c = 0; c < detected_set.flags.size(); ++c) {
        detected_set.flags[c] = seen.flags[c] != 0 && registered_set.flags[c] == 0 ? 1 : 0;
    }
    settings[kDetectedCount] = count_set(detected_set);
    show_detected();
}

std::size_t read_file(void* context, unsigned char* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, static_cast<std::FILE*>(context));
}

}  // namespace

void scan_input(ByteReader reader) {
    begin_scan();
    SjisScanner scanner;
    scan_reader(reader, scanner);
    finish_scan(scanner);
}

void scan_input_file(std::FILE* stream) {
    scan_input(ByteReader{stream, read_file});
}

void scan_input_buffer(const char* data, std::size_t size) {
    struct Remaining {
        const char* data;
        std::size_t size;
    } remaining{data, size};
    scan_input(ByteReader{&remaining, [](void* context, unsigned char* buffer, std::size_t max) {
                              auto& rest = *static_cast<Remaining*>(context);
                              const std::size_t n = std::min(rest.size, max);
                              std::memcpy(buffer, rest.data, n);
                              rest.data += n;
                              rest.size -= n;
                              return n;
                          }});
}

void add_all() {
    parse_set_text(text_slots[kSlotRegistered].data(), registered_set);
    parse_set_text(text_slots[kSlotDetected].data(), detected_set);
    for (std::size_t c = 0; c < registered_set.flags.size(); ++c) {
        if (detected_set.flags[c] != 0) registered_set.flags[c] = 1;
    }
    show_registered();
}

void clear_registration() {
    text_slots[kSlotRegistered][0] = '\0';
    show_text(kRegisteredEditRow, "");
    settings[kRegisteredCount] = 0;
}

void sort_registration() {
    normalise_registered();
}

}  // namespace glyfor
