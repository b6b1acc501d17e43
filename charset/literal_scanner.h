// The scan of Shift-JIS C and C++ source that collects only the characters inside string and
// character literals, which are what firmware can show; comments, code and #include names are
// left out. It wraps the streaming scan, so pairs inside literals give cells as they do there.
#pragma once

#include <cstddef>

#include "charset/charset.h"
#include "charset/literal_lexer.h"
#include "charset/sjis_scanner.h"

namespace glyfor {

class LiteralScanner {
  public:
    // Scans the next block; every lexer state, a lead byte waiting for its trail included,
    // carries over to the next block. An end-of-text byte ends the text as in the plain scan.
    void feed(const unsigned char* data, std::size_t size);
    // True once an end-of-text byte was fed.
    bool ended() const { return ended_; }
    // The cells of the characters inside literals fed so far.
    KanjiSet cells() const { return scanner_.cells(); }
    // True once a literal held a user-defined or vendor character (lead byte 0xF0..0xFC and a
    // trail byte), which gives no cell and is dropped.
    bool saw_user_defined() const { return user_defined_; }

  private:
    LiteralLexer lexer_;
    SjisScanner scanner_;
    bool ended_ = false;
    bool user_defined_ = false;
};

}  // namespace glyfor
