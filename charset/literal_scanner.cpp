#include "charset/literal_scanner.h"

#include <array>
#include <cstring>

namespace glyfor {

namespace {

// The lexer's runs go to the plain scanner, which pairs across runs as across blocks; a run's
// closing byte is never a trail byte, so that pairing stays inside one literal.
struct ScannerConsumer {
    SjisScanner& scanner;
    bool& user_defined_seen;
    void literal(const unsigned char* begin, const unsigned char* end) {
        scanner.feed(begin, static_cast<std::size_t>(end - begin));
    }
    void user_defined(unsigned char, const unsigned char*) { user_defined_seen = true; }
};

}  // namespace

void LiteralScanner::feed(const unsigned char* data, std::size_t size) {
    // An empty block may come without any bytes to point at.
    if (ended_ || size == 0) return;
    if (const void* stop = std::memchr(data, kEndOfText, size); stop != nullptr) {
        ended_ = true;
        size = static_cast<std::size_t>(static_cast<const unsigned char*>(stop) - data);
    }
    ScannerConsumer consumer{scanner_, user_defined_};
    lexer_.lex(data, data + size, consumer);
}

}  // namespace glyfor
