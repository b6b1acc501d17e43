#include "app/registration.h"

#include "app/state.h"
#include "charset/charset.h"
#include "charset/registration.h"

namespace glyfor {

namespace {

void registered_text_changed() {
    if (text_observer != nullptr) {
        text_observer->registered_text_changed(text_slots[kSlotRegistered].data());
    }
}

// The second half of normalising: the registered set is already what slot 4 should say.
void show_registered() {
    build_set_text(registered_set, text_slots[kSlotRegistered].data());
    settings[kRegisteredCount] = count_set(registered_set);
    registered_text_changed();
}

}  // namespace

void normalise_registered() {
    settings[kRegisteredCount] =
        normalise_set_text(text_slots[kSlotRegistered].data(), registered_set);
    registered_text_changed();
}

void show_detected() {
    build_set_text(detected_set, text_slots[kSlotDetected].data());
    if (text_observer != nullptr) {
        text_observer->detected_text_changed(text_slots[kSlotDetected].data());
    }
}

void scan_input(ByteReader reader) {
    normalise_registered();
    const KanjiSet seen =
        settings[kOptionLiterals] != 0 ? scan_literal_cells(reader) : scan_cells(reader);
    detected_set = unregistered_cells(seen, registered_set);
    settings[kDetectedCount] = count_set(detected_set);
    show_detected();
}

void scan_input_file(std::FILE* stream) {
    scan_input(file_reader(stream));
}

void scan_input_buffer(const char* data, std::size_t size) {
    ByteSpan rest{data, size};
    scan_input(buffer_reader(rest));
}

void add_all() {
    parse_set_text(text_slots[kSlotRegistered].data(), registered_set);
    parse_set_text(text_slots[kSlotDetected].data(), detected_set);
    registered_set = union_of(registered_set, detected_set);
    show_registered();
}

void clear_registration() {
    text_slots[kSlotRegistered][0] = '\0';
    registered_text_changed();
    settings[kRegisteredCount] = 0;
}

void sort_registration() {
    normalise_registered();
}

}  // namespace glyfor
