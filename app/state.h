// The program's state: settings, text slots and the two character sets. It all lives for the
// whole run; the operations of app/registration.h and app/generation.h, the window and the
// settings file read and write it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "charset/charset.h"

namespace glyfor {

inline constexpr int kSettingsCount = 20;
using Settings = std::array<std::int32_t, kSettingsCount>;

enum SettingsEntry : int {
    kLanguage = 0,  // 0 Japanese, 1 English
    kWindowLeft = 1,
    kWindowTop = 2,
    kWindowRight = 3,
    kWindowBottom = 4,
    kOptionLiterals = 5,  // 1: input files give only the characters inside string literals
    kIndexMethod = 10,
    kRegisteredCount = 11,
    kMinCode = 12,
    kMaxCode = 13,
    kPageCount = 14,
    kGlyphSizeSetting = 15,
    kGlyphsPerPageSetting = 16,
    kDetectedCount = 17,
    kOptionCcRl = 18,
    kOptionSigned = 19,
};

inline constexpr int kSlotCount = 5;
inline constexpr std::size_t kTextSize = 20000;
using TextSlot = std::array<char, kTextSize>;
using TextSlots = std::array<TextSlot, kSlotCount>;
// Slots 3 and 4 are normalised in place.
static_assert(kMaxSetTextSize <= kTextSize);

enum TextSlotIndex : int {
    kSlotReserved = 0,
    kSlotInputPath = 1,
    kSlotOutputPath = 2,
    kSlotDetected = 3,
    kSlotRegistered = 4,
};

// Told when an operation has rewritten the detected or the registered text, so that whoever
// shows the texts (the window's edit controls) can show the new one.
class TextObserver {
  public:
    virtual void detected_text_changed(const char* text) = 0;
    virtual void registered_text_changed(const char* text) = 0;

  protected:
    ~TextObserver() = default;
};

extern Settings settings;
extern TextSlots text_slots;
extern KanjiSet registered_set;
extern KanjiSet detected_set;
// Null until the window exists.
extern TextObserver* text_observer;

// All settings 0, all slots and both sets empty; the observer stays as it is.
void reset_state();
// Bounded copy into a slot; a longer text is cut to fit, NUL included.
void set_slot(int slot, const char* text);

}  // namespace glyfor
