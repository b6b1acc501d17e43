#include "app/state.h"

#include <cstring>

namespace glyfor {

Settings settings{};
TextSlots text_slots{};
KanjiSet registered_set{};
KanjiSet detected_set{};
TextObserver* text_observer = nullptr;

void reset_state() {
    settings.fill(0);
    for (auto& slot : text_slots) slot[0] = '\0';
    registered_set.flags.fill(0);
    detected_set.flags.fill(0);
}

void set_slot(int slot, const char* text) {
    auto& target = text_slots[static_cast<std::size_t>(slot)];
    const std::size_t length = strnlen(text, target.size() - 1);
    std::memcpy(target.data(), text, length);
    target[length] = '\0';
}

}  // namespace glyfor
