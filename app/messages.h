// The texts of the message boxes, in both interface languages.
#pragma once

#include <array>

namespace glyfor {

inline constexpr int kLanguageCount = 2;  // 0 Japanese, 1 English

enum Message : int {
    kMessageInputOpen = 10,
    kMessageOutputCreate = 11,
};

inline constexpr int kMessageCount = 12;
// Texts in pairs, Japanese first, addressed by message x 2 + language. Unused numbers hold
// empty texts.
extern const std::array<const char*, kMessageCount * kLanguageCount> kMessageTable;

inline constexpr const char* kMessageCaption = "Open error";

// The text of `message` in `language`; an empty text for numbers outside the table.
const char* message_text(int message, int language);

}  // namespace glyfor
