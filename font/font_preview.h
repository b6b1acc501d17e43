// Draws the glyphs of a read font file as a PNG picture, to see what a firmware will show.
#pragma once

#include "font/font_reader.h"
#include "font/sink.h"

namespace glyfor {

inline constexpr int kPreviewColumns = 16;
inline constexpr int kMinPreviewScale = 1;
inline constexpr int kMaxPreviewScale = 8;
inline constexpr int kDefaultPreviewScale = 3;

// Where things lie in the picture, in image pixels. Cell n of the font (in JIS order) has its
// top left corner at (n % kPreviewColumns * cell_width, n / kPreviewColumns * cell_height),
// on its one-pixel border, which it shares with its neighbours.
struct PreviewLayout {
    int width = 0;
    int height = 0;
    int cell_width = 0;
    int cell_height = 0;
    // Within a cell: the Shift-JIS code, drawn at scale 1 from the built-in font.
    int label_x = 0;
    int label_y = 0;
    int label_width = 0;
    int label_height = 0;
    // Within a cell: the 14 x 16 glyph box at the scale.
    int glyph_x = 0;
    int glyph_y = 0;
};

// The layout for `glyph_count` glyphs; the scale must be in range.
PreviewLayout preview_layout(int glyph_count, int scale);

enum class PreviewStatus {
    kOk,
    kScaleOutOfRange,  // not kMinPreviewScale..kMaxPreviewScale
    kWriteFailed,      // the sink refused bytes
};

// The whole PNG file into the sink. The one image buffer is allocated for the call.
PreviewStatus write_font_preview(Sink sink, const FontFile& font, int scale);

}  // namespace glyfor
