// Loading any settings file: no write past a buffer (the sanitizers watch), every slot
// terminated, entry 0 a language, and saving what was loaded then loading that gives the same
// state and the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/settings.h"
#include "app/state.h"
#include "tests/text_support.h"

namespace {

using namespace glyfor;

void check(bool ok) {
    if (!ok) std::abort();
}

std::string saved() {
    std::string out;
    check(format_settings(testing::string_sink(out)));
    return out;
}

// With an odd first byte every 0xFF byte of the rest stands for a run of 9000 'x', so that
// lines longer than a slot come from short inputs.
std::string file_from_input(const std::uint8_t* data, std::size_t size) {
    std::string file;
    const bool expand = (data[0] & 1) != 0;
    for (std::size_t i = 1; i < size; ++i) {
        if (expand && data[i] == 0xFF) {
            file.append(9000, 'x');
        } else {
            file += static_cast<char>(data[i]);
        }
    }
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string file = file_from_input(data, size);
    load_settings_from(file.data(), file.size());
    for (const TextSlot& slot : text_slots) check(strnlen(slot.data(), slot.size()) < slot.size());
    check(settings[kLanguage] == 0 || settings[kLanguage] == 1);

    const Settings loaded_settings = settings;
    const TextSlots loaded_slots = text_slots;
    const std::string first = saved();
    load_settings_from(first.data(), first.size());
    check(settings == loaded_settings);
    for (std::size_t i = 0; i < text_slots.size(); ++i) {
        check(std::strcmp(text_slots[i].data(), loaded_slots[i].data()) == 0);
    }
    check(saved() == first);
    return 0;
}
