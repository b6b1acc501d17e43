#include "walk.h"

/* Beyond the lead-byte rows: the ends of the code space, and a first kanji, a last character
 * and the first cell of the grid with their neighbours, which the font of every ninth cell holds
 * and lacks in turn. */
static const unsigned short walk_singles[] = {0x0000, 0x0001, 0x00ff, 0x8140, 0x8141,
                                              0x88a1, 0x88a2, 0x88a3, 0xeff5, 0xeff6,
                                              0xeff7, 0xeffc, 0xfffe, 0xffff};

/* CRC-16/CCITT, masked to 16 bits so that a 32-bit int gives what a 16-bit one does. */
static unsigned int walk_crc(unsigned int crc, unsigned int byte) {
    int bit;
    crc ^= (byte & 0xFFu) << 8;
    for (bit = 0; bit < 8; ++bit) {
        crc = (crc & 0x8000u) != 0 ? (crc << 1 ^ 0x1021u) : crc << 1;
        crc &= 0xFFFFu;
    }
    return crc;
}

static void walk_text(const struct walk_source* source, const char* text) {
    while (*text != '\0') source->put(*text++);
}

static void walk_hex(const struct walk_source* source, unsigned int value) {
    static const char digits[] = "0123456789abcdef";
    int shift;
    for (shift = 12; shift >= 0; shift -= 4) source->put(digits[value >> shift & 0xFu]);
}

static unsigned int walk_glyph(const struct walk_source* source, unsigned int crc,
                               unsigned int code) {
    int y;
    crc = walk_crc(walk_crc(crc, code >> 8), code);
    for (y = 0; y < 16; ++y) {
        unsigned int row = 0;
        int x;
        for (x = 0; x < 14; ++x) {
            if (source->ink(x, y)) row |= 1u << x;
        }
        crc = walk_crc(walk_crc(crc, row), row >> 8);
    }
    return crc;
}

void walk_font(const struct walk_source* source) {
    unsigned int crc = 0xFFFFu;
    unsigned int found = 0;
    unsigned int lead;
    unsigned int i;
    for (lead = 0x81; lead <= 0xEF; lead = lead == 0x9F ? 0xE0 : lead + 1) {
        unsigned int trail;
        for (trail = 0; trail <= 0xFF; ++trail) {
            const unsigned int code = lead << 8 | trail;
            if (!source->select((unsigned short)code)) continue;
            ++found;
            crc = walk_glyph(source, crc, code);
        }
    }
    walk_text(source, "found ");
    walk_hex(source, found);
    walk_text(source, " pixels ");
    walk_hex(source, crc);
    walk_text(source, "\n");
    for (i = 0; i < sizeof walk_singles / sizeof walk_singles[0]; ++i) {
        walk_hex(source, walk_singles[i]);
        walk_text(source, source->select(walk_singles[i]) ? " glyph\n" : " none\n");
    }
    walk_text(source, "end\n");
}
