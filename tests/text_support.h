// Helpers of the tests, fuzzers and benchmarks that work on texts in memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "charset/charset.h"
#include "charset/sjis_scanner.h"
#include "font/sink.h"

namespace glyfor::testing {

// A sink that appends everything to the string.
inline Sink string_sink(std::string& out) {
    return Sink{&out, [](void* context, const char* data, std::size_t size) {
                    static_cast<std::string*>(context)->append(data, size);
                    return true;
                }};
}

// Hands out a text in pieces of a fixed size, as a file read block by block would come.
struct PieceReader {
    std::string_view text;
    std::size_t piece;
    std::size_t at = 0;

    ByteReader reader() { return ByteReader{this, read}; }

    static std::size_t read(void* context, unsigned char* buffer, std::size_t size) {
        auto& self = *static_cast<PieceReader*>(context);
        const std::size_t n = std::min({size, self.piece, self.text.size() - self.at});
        std::copy_n(self.text.data() + self.at, n, buffer);
        self.at += n;
        return n;
    }
};

// The canonical set text of whatever characters the text holds.
inline std::string canonical_text(const std::string& text) {
    KanjiSet set;
    parse_set_text(text.c_str(), set);
    std::string out(kMaxSetTextSize, '\0');
    out.resize(build_set_text(set, out.data()));
    return out;
}

// What the string and character literals of tests/fixtures/literals.c show, worked out by hand
// from the file: 36 characters, where the whole file holds 108.
inline constexpr char kFixtureLiterals[] =
    "\x89\xB7\x93\x78"                  // 温度
    "\x8E\x9E\x8C\x76"                  // 時計
    "\x90\xDD\x92\xE8"                  // 設定
    "\x8A\x4A\x8E\x6E"                  // 開始
    "\x92\xE2\x8E\x7E"                  // 停止
    "\x83\x47\x83\x89\x81\x5B"          // エラー
    "\x95\x5C\x8E\xA6"                  // 表示
    "\x83\x5C\x83\x74\x83\x67"          // ソフト
    "\x89\x9E\x97\x70\x8B\x40\x94\x5C"  // 応用機能
    "\x97\x5C\x96\xF1"                  // 予約
    "\x8F\x5C\x95\xAA"                  // 十分
    "\x93\x64\x92\x72\x8E\x63\x97\xCA"  // 電池残量
    "\x81\x93\x81\x8E"                  // ％ ℃
    "\x8C\x78\x8D\x90"                  // 警告
    "\x88\xD9\x8F\xED";                 // 異常

}  // namespace glyfor::testing
