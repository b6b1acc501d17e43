// The program's state: settings, text slots and the two character sets. It all lives for the
// whole run; the window and the settings file only read and write it.
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

enum TextSlotIndex : int {
    kSlotReserved = 0,
    kSlotInputPath = 1,
    kSlotOutputPath = 2,
    kSlotDetected = 3,
    kSlotRegistered = 4,
};

// Control rows of the two edit controls that show the detected and registered texts.
inline constexpr int kDetectedEditRow = 7;
inline constexpr int kRegisteredEditRow = 15;

// The window implements this to show a new text in one of its edit controls.
class TextView {
  public:
    virtual void show_text(int row, const char* text) = 0;

  protected:
    ~TextView() = default;
};

extern Settings settings;
extern TextSlots text_slots;
extern KanjiSet registered_set;
extern KanjiSet detected_set;
// Null until the window exists.
extern TextView* text_view;

// All settings 0, all slots and both sets empty; the view stays as it is.
void reset_state();
// Bounded copy into a slot; a longer text is cut to fit, NUL included.
void set_slot(int slot, const char* text);
// Hands the text to the view, if there is one.
void show_text(int row, const char* text);

}  // namespace glyfor
