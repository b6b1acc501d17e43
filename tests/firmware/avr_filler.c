/* Flash linked ahead of the font, so that the font lies above the first 64 KB and every glyph
 * read needs all 24 bits of a __memx pointer. One object may hold at most 32767 bytes. */
const __memx char avr_filler_low[32767] = {1};
const __memx char avr_filler_high[32767] = {1};
