#include "charset/registration.h"

#include <algorithm>
#include <cstring>

#include "charset/literal_scanner.h"

namespace glyfor {

namespace {

std::size_t read_file(void* context, unsigned char* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, static_cast<std::FILE*>(context));
}

std::size_t read_buffer(void* context, unsigned char* buffer, std::size_t size) {
    auto& rest = *static_cast<ByteSpan*>(context);
    const std::size_t n = std::min(rest.size, size);
    std::memcpy(buffer, rest.data, n);
    rest.data += n;
    rest.size -= n;
    return n;
}

}  // namespace

KanjiSet scan_cells(ByteReader reader) {
    SjisScanner scanner;
    scan_reader(reader, scanner);
    return scanner.cells();
}

KanjiSet scan_literal_cells(ByteReader reader) {
    LiteralScanner scanner;
    scan_reader(reader, scanner);
    return scanner.cells();
}

KanjiSet unregistered_cells(const KanjiSet& seen, const KanjiSet& registered) {
    KanjiSet detected;
    for (std::size_t c = 0; c < detected.flags.size(); ++c) {
        detected.flags[c] = seen.flags[c] != 0 && registered.flags[c] == 0 ? 1 : 0;
    }
    return detected;
}

KanjiSet union_of(const KanjiSet& a, const KanjiSet& b) {
    KanjiSet both;
    for (std::size_t c = 0; c < both.flags.size(); ++c) {
        both.flags[c] = a.flags[c] != 0 || b.flags[c] != 0 ? 1 : 0;
    }
    return both;
}

int normalise_set_text(char* text, KanjiSet& set) {
    parse_set_text(text, set);
    build_set_text(set, text);
    return count_set(set);
}

ByteReader file_reader(std::FILE* stream) {
    return ByteReader{stream, read_file};
}

ByteReader buffer_reader(ByteSpan& rest) {
    return ByteReader{&rest, read_buffer};
}

}  // namespace glyfor
