// The literal scan and the positioned walk against each other and against the plain scan:
// the same cells however the text is cut into blocks, only cells the plain scan also finds
// where both pair the bytes alike, and every reported position pointing at its character.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "charset/char_positions.h"
#include "charset/charset.h"
#include "charset/literal_scanner.h"
#include "charset/sjis_scanner.h"

namespace {

using namespace glyfor;

void check(bool ok) {
    if (!ok) std::abort();
}

template <class Fed>
void feed_pieces(Fed& fed, const std::uint8_t* data, std::size_t size, std::size_t piece) {
    for (std::size_t at = 0; at < size; at += piece)
        fed.feed(data + at, std::min(piece, size - at));
}

struct Walked {
    const std::uint8_t* text;
    std::vector<std::size_t> line_starts;  // offset of each line's first byte
    KanjiSet cells;
};

void visit(void* context, const CharPosition& c) {
    auto& walked = *static_cast<Walked*>(context);
    check(c.line >= 1 && c.line <= walked.line_starts.size() && c.col >= 1);
    const std::size_t at = walked.line_starts[c.line - 1] + c.col - 1;
    check(walked.text[at] == c.code >> 8 && walked.text[at + 1] == (c.code & 0xFF));
    check(is_trail_byte(walked.text[at + 1]));
    check(c.gives_cell == is_lead_byte(walked.text[at]));
    if (c.gives_cell)
        walked.cells
            .flags[static_cast<std::size_t>(cell_from_sjis(walked.text[at], walked.text[at + 1]))] =
            1;
}

KanjiSet walk(WalkMode mode, const std::uint8_t* data, std::size_t size, std::size_t piece) {
    Walked walked{data, {0}, {}};
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') walked.line_starts.push_back(i + 1);
    }
    CharWalker walker(mode, CharVisitor{&walked, visit});
    feed_pieces(walker, data, size, piece);
    return walked.cells;
}

// Where a user-defined lead byte is followed by an accepted one, the plain scan reads that
// second byte as a lead and the literal scan as the trail, so their pairs part ways.
bool pairs_alike(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i + 1 < size; ++i) {
        if (data[i] >= 0xF0 && data[i] <= 0xFC && is_lead_byte(data[i + 1])) return false;
    }
    return true;
}

}  // namespace

// Input: a byte giving the block size for the cut-up runs, then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t piece = data[0] + 1u;
    const std::uint8_t* text = data + 1;
    const std::size_t length = size - 1;
    // A copy of exactly the text's size, so that any read past its end is caught.
    const std::vector<std::uint8_t> exact(text, text + length);
    text = exact.data();

    LiteralScanner whole;
    whole.feed(text, length);
    const KanjiSet literals = whole.cells();
    LiteralScanner cut;
    feed_pieces(cut, text, length, piece);
    check(cut.cells().flags == literals.flags);

    SjisScanner plain;
    plain.feed(text, length);
    const KanjiSet all = plain.cells();
    if (pairs_alike(text, length)) {
        for (std::size_t c = 0; c < literals.flags.size(); ++c)
            check(literals.flags[c] == 0 || all.flags[c] != 0);
    }

    check(walk(WalkMode::kLiterals, text, length, length + 1).flags == literals.flags);
    check(walk(WalkMode::kLiterals, text, length, piece).flags == literals.flags);
    check(walk(WalkMode::kPlain, text, length, piece).flags == all.flags);
    return 0;
}
