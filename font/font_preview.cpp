#include "font/font_preview.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "charset/charset.h"
#include "font/glyph_table.h"

// The encoder's functions stay private to this file, so no other part of the program can come
// to depend on them or clash with another copy.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace glyfor {

namespace {

constexpr int kBorder = 1;
constexpr int kPadding = 2;
constexpr int kLabelGap = 2;

// Grey levels: a picture of the whole grid is tens of megapixels, and one byte a pixel keeps
// its drawing and encoding fast where colour would triple both.
using Grey = std::uint8_t;
constexpr Grey kPaper = 255;
constexpr Grey kInk = 0;
constexpr Grey kLabelInk = 72;  // dark, yet apart from the glyphs
constexpr Grey kBorderLine = 150;
// A glyph the firmware draws as nothing: its cell is grey, hatched with darker diagonals, both
// still light enough to stay apart from ink.
constexpr Grey kBlankTint = 222;
constexpr Grey kBlankHatch = 176;
constexpr int kHatchSpacing = 4;

// The label digits are the built-in font's own full-width ０..９ and ａ..ｆ, cut down to the
// columns and rows where any of them has ink, and set on a fixed pitch.
struct LabelFont {
    std::array<cell, 16> cells{};
    std::array<int, 16> first_column{};
    std::array<int, 16> width{};
    int pitch = 0;  // width of the widest digit plus one blank column
    int first_row = kGlyphRows;
    int height = 0;
};

LabelFont label_font() {
    LabelFont font;
    int last_row = -1;
    for (int digit = 0; digit < 16; ++digit) {
        const auto i = static_cast<std::size_t>(digit);
        font.cells[i] = digit < 10
                            ? cell_from_sjis(0x82, static_cast<unsigned char>(0x4F + digit))
                            : cell_from_sjis(0x82, static_cast<unsigned char>(0x81 + digit - 10));
        const Glyph& glyph = glyph_bytes(font.cells[i]);
        int first = kGlyphColumns;
        int last = -1;
        for (int x = 0; x < kGlyphColumns; ++x) {
            for (int y = 0; y < kGlyphRows; ++y) {
                if (!glyph_pixel(glyph, x, y)) continue;
                first = std::min(first, x);
                last = std::max(last, x);
                font.first_row = std::min(font.first_row, y);
                last_row = std::max(last_row, y);
            }
        }
        font.first_column[i] = first;
        font.width[i] = last - first + 1;
        font.pitch = std::max(font.pitch, font.width[i] + 1);
    }
    font.height = last_row - font.first_row + 1;
    return font;
}

PreviewLayout layout_for(const LabelFont& label, int glyph_count, int scale) {
    PreviewLayout layout;
    layout.label_width = 4 * label.pitch - 1;
    layout.label_height = label.height;
    const int content = std::max(kGlyphColumns * scale, layout.label_width);
    layout.cell_width = kBorder + kPadding + content + kPadding;
    layout.cell_height =
        kBorder + kPadding + layout.label_height + kLabelGap + kGlyphRows * scale + kPadding;
    layout.label_x = kBorder + kPadding + (content - layout.label_width) / 2;
    layout.label_y = kBorder + kPadding;
    layout.glyph_x = kBorder + kPadding + (content - kGlyphColumns * scale) / 2;
    layout.glyph_y = layout.label_y + layout.label_height + kLabelGap;
    // An empty font still gets one row, so that the picture is a valid image.
    const int rows = std::max(1, (glyph_count + kPreviewColumns - 1) / kPreviewColumns);
    layout.width = kPreviewColumns * layout.cell_width + kBorder;
    layout.height = rows * layout.cell_height + kBorder;
    return layout;
}

struct Canvas {
    int width;
    std::vector<Grey> pixels;

    Grey& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void fill(int x, int y, int w, int h, Grey grey) {
        for (int row = y; row < y + h; ++row) std::fill_n(&at(x, row), w, grey);
    }
};

void tint_blank(Canvas& canvas, int x0, int y0, int w, int h) {
    canvas.fill(x0, y0, w, h, kBlankTint);
    for (int y = 0; y < h; ++y) {
        for (int x = (kHatchSpacing - y % kHatchSpacing) % kHatchSpacing; x < w; x += kHatchSpacing)
            canvas.at(x0 + x, y0 + y) = kBlankHatch;
    }
}

void draw_label(Canvas& canvas, const LabelFont& label, int x, int y, SjisCode code) {
    for (int i = 0; i < 4; ++i) {
        const auto digit = static_cast<std::size_t>(code >> (12 - 4 * i) & 0xF);
        const Glyph& glyph = glyph_bytes(label.cells[digit]);
        const int left = x + i * label.pitch + (label.pitch - 1 - label.width[digit]) / 2;
        for (int column = 0; column < label.width[digit]; ++column) {
            for (int row = 0; row < label.height; ++row) {
                if (glyph_pixel(glyph, label.first_column[digit] + column, label.first_row + row))
                    canvas.at(left + column, y + row) = kLabelInk;
            }
        }
    }
}

void draw_cell(Canvas& canvas, const PreviewLayout& layout, const LabelFont& label, int n, cell c,
               const Glyph& glyph, int scale) {
    const int x0 = n % kPreviewColumns * layout.cell_width;
    const int y0 = n / kPreviewColumns * layout.cell_height;
    canvas.fill(x0, y0, layout.cell_width + kBorder, kBorder, kBorderLine);
    canvas.fill(x0, y0 + layout.cell_height, layout.cell_width + kBorder, kBorder, kBorderLine);
    canvas.fill(x0, y0, kBorder, layout.cell_height, kBorderLine);
    canvas.fill(x0 + layout.cell_width, y0, kBorder, layout.cell_height, kBorderLine);
    if (glyph == Glyph{}) {
        tint_blank(canvas, x0 + kBorder, y0 + kBorder, layout.cell_width - kBorder,
                   layout.cell_height - kBorder);
    }
    draw_label(canvas, label, x0 + layout.label_x, y0 + layout.label_y, sjis_from_cell(c));
    for (int x = 0; x < kGlyphColumns; ++x) {
        for (int y = 0; y < kGlyphRows; ++y) {
            if (!glyph_pixel(glyph, x, y)) continue;
            canvas.fill(x0 + layout.glyph_x + x * scale, y0 + layout.glyph_y + y * scale, scale,
                        scale, kInk);
        }
    }
}

struct PngOutput {
    Sink sink;
    bool ok = true;
};

void write_png_bytes(void* context, void* data, int size) {
    auto& out = *static_cast<PngOutput*>(context);
    if (!out.sink.write(out.sink.context, static_cast<const char*>(data),
                        static_cast<std::size_t>(size)))
        out.ok = false;
}

}  // namespace

PreviewLayout preview_layout(int glyph_count, int scale) {
    return layout_for(label_font(), glyph_count, scale);
}

PreviewStatus write_font_preview(Sink sink, const FontFile& font, int scale) {
    if (scale < kMinPreviewScale || scale > kMaxPreviewScale)
        return PreviewStatus::kScaleOutOfRange;
    const LabelFont label = label_font();
    const PreviewLayout layout = layout_for(label, count_set(font.set), scale);
    Canvas canvas{
        layout.width,
        std::vector<Grey>(static_cast<std::size_t>(layout.width) * layout.height, kPaper)};
    int n = 0;
    for (cell c = 0; c < kCellCount; ++c) {
        if (font.set.flags[static_cast<std::size_t>(c)] == 0) continue;
        draw_cell(canvas, layout, label, n++, c, font.glyphs[static_cast<std::size_t>(c)], scale);
    }
    // The picture is mostly blank paper, which compresses well anyway: stb's lowest level and
    // no per-row choice of filter take a third less time for a somewhat larger file.
    stbi_write_png_compression_level = 5;
    stbi_write_force_png_filter = 0;
    PngOutput out{sink};
    if (stbi_write_png_to_func(write_png_bytes, &out, layout.width, layout.height, 1,
                               canvas.pixels.data(), layout.width) == 0 ||
        !out.ok)
        return PreviewStatus::kWriteFailed;
    return PreviewStatus::kOk;
}

}  // namespace glyfor
