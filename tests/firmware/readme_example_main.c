/* Runs the README's draw_menu and checks its screen against the drawer called with the
 * positions the README describes: the title of two kanji centred on the first line, the
 * items 16 rows apart below it from x 4. */
#include <stdio.h>
#include <string.h>

#include "font_kanji.h"
#include "font_text.h"

#define LCD_WIDTH 128
#define LCD_HEIGHT 64

extern unsigned char lcd[LCD_HEIGHT * (LCD_WIDTH / 8)];
void draw_menu(void);

static int ink_count(const unsigned char* frame) {
    int count = 0;
    for (size_t i = 0; i < LCD_HEIGHT * (LCD_WIDTH / 8); ++i)
        for (int bit = 0; bit < 8; ++bit) count += frame[i] >> bit & 1;
    return count;
}

int main(void) {
    static unsigned char expected[LCD_HEIGHT * (LCD_WIDTH / 8)];
    static const unsigned short kanji[] = {0x90dd, 0x92e8, 0x8e9e, 0x8c76, 0x8cbe, 0x8cea};
    for (size_t i = 0; i < sizeof kanji / sizeof kanji[0]; ++i) {
        if (font_kanji_glyph(kanji[i]) == NULL) {
            printf("readme_example: the font lacks 0x%04x\n", kanji[i]);
            return 1;
        }
    }
    draw_menu();
    font_text_draw(expected, LCD_WIDTH, LCD_HEIGHT, (LCD_WIDTH - 2 * 14) / 2, 0,
                   "\x90\xDD\x92\xE8");
    font_text_draw(expected, LCD_WIDTH, LCD_HEIGHT, 4, 16, "1 \x8E\x9E\x8C\x76 12:30");
    font_text_draw(expected, LCD_WIDTH, LCD_HEIGHT, 4, 32, "2 \xB1\xD7\xB0\xD1");
    font_text_draw(expected, LCD_WIDTH, LCD_HEIGHT, 4, 48, "3 \x8C\xBE\x8C\xEA");
    if (memcmp(lcd, expected, sizeof expected) != 0) {
        puts("readme_example: the menu differs from the README's description");
        return 1;
    }
    printf("readme_example: the menu is drawn as described, %d pixels of ink\n",
           ink_count(lcd));
    return 0;
}
