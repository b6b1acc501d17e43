#include "app/messages.h"

namespace glyfor {

const std::array<const char*, kMessageCount* kLanguageCount> kMessageTable = [] {
    std::array<const char*, kMessageCount * kLanguageCount> table{};
    table.fill("");
    // 入力ファイルが開けません
    table[kMessageInputOpen * 2 + 0] =
        "\x93\xfc\x97\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8a\x4a\x82\xaf\x82\xdc\x82\xb9"
        "\x82\xf1\n";
    table[kMessageInputOpen * 2 + 1] = "Can't open the input file.\n";
    // 出力ファイルが作れません
    table[kMessageOutputCreate * 2 + 0] =
        "\x8f\x6f\x97\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8d\xec\x82\xea\x82\xdc\x82\xb9"
        "\x82\xf1\n";
    table[kMessageOutputCreate * 2 + 1] = "Can't create the output file.\n";
    return table;
}();

const char* message_text(int message, int language) {
    if (message < 0 || message >= kMessageCount) return "";
    if (language < 0 || language >= kLanguageCount) return "";
    return kMessageTable[static_cast<std::size_t>(message * kLanguageCount + language)];
}

}  // namespace glyfor
