#include "font/font_preview.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "charset/charset.h"
#include "font/font_reader.h"
#include "font/font_writer.h"
#include "font/glyph_table.h"
#include "tests/text_support.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace glyfor {
namespace {

cell cell_of(SjisCode code) {
    return cell_from_sjis(code >> 8, code & 0xFF);
}

// The font as a firmware build would see it: generated, then read back.
std::unique_ptr<FontFile> font_of(const KanjiSet& set) {
    std::string file;
    write_font_source(testing::string_sink(file), set, {}, {2026, 3, 5, 7, 8, 9}, {});
    auto font = std::make_unique<FontFile>();
    EXPECT_TRUE(read_font_source(file.data(), file.size(), *font).ok);
    return font;
}

// Kanji, kana, full-width symbols and letters, the ideographic space and a blank cell of the
// grid (0x82fa).
KanjiSet mixed_set() {
    KanjiSet set;
    for (const SjisCode code :
         {0x8140, 0x8197, 0x819a, 0x81a7, 0x8260, 0x8281, 0x82a0, 0x82fa, 0x8341, 0x8396, 0x889f,
          0x8abf, 0x8e9a, 0x9872, 0xeaa4, 0xeffc, 0x8250})
        set.flags[static_cast<std::size_t>(cell_of(code))] = 1;
    return set;
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char* at(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
    double luminance(int x, int y) const {
        const unsigned char* p = at(x, y);
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    }
    bool dark(int x, int y) const { return luminance(x, y) < 96; }
    bool light(int x, int y) const { return luminance(x, y) > 160; }
};

Image decode(const std::string& png) {
    Image image;
    int channels = 0;
    unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                                  static_cast<int>(png.size()), &image.width,
                                                  &image.height, &channels, 3);
    EXPECT_NE(pixels, nullptr) << "not a PNG: " << stbi_failure_reason();
    if (pixels == nullptr) return image;
    image.rgb.assign(pixels, pixels + static_cast<std::size_t>(image.width) * image.height * 3);
    stbi_image_free(pixels);
    return image;
}

std::string preview(const FontFile& font, int scale) {
    std::string png;
    EXPECT_EQ(write_font_preview(testing::string_sink(png), font, scale), PreviewStatus::kOk);
    return png;
}

// Checks cell n of the picture against `glyph`: inside its glyph box each image pixel is dark
// exactly where the glyph has a pixel; the label has ink; nothing else in the cell is dark.
// Returns the number of faults, reporting the first few.
int check_cell(const Image& image, const PreviewLayout& layout, int n, const Glyph& glyph,
               int scale, SjisCode code) {
    const int x0 = n % kPreviewColumns * layout.cell_width;
    const int y0 = n / kPreviewColumns * layout.cell_height;
    int faults = 0;
    const auto fault = [&](const std::string& what) {
        if (++faults <= 3) ADD_FAILURE() << std::hex << "0x" << code << std::dec << ": " << what;
    };
    int label_ink = 0;
    for (int y = 1; y < layout.cell_height; ++y) {
        for (int x = 1; x < layout.cell_width; ++x) {
            const int gx = x - layout.glyph_x;
            const int gy = y - layout.glyph_y;
            const bool in_glyph = gx >= 0 && gy >= 0 && gx < 14 * scale && gy < 16 * scale;
            const bool in_label = x >= layout.label_x && y >= layout.label_y &&
                                  x < layout.label_x + layout.label_width &&
                                  y < layout.label_y + layout.label_height;
            const bool dark = image.dark(x0 + x, y0 + y);
            if (in_glyph) {
                const bool ink = glyph_pixel(glyph, gx / scale, gy / scale);
                if (dark != ink)
                    fault("glyph pixel " + std::to_string(gx / scale) + "," +
                          std::to_string(gy / scale) + (ink ? " missing" : " extra"));
                if (!dark && !image.light(x0 + x, y0 + y)) fault("background not light");
            } else if (in_label) {
                label_ink += dark ? 1 : 0;
            } else if (dark) {
                fault("ink outside the glyph box and the label");
            }
        }
    }
    if (label_ink == 0) fault("no label");
    // The thin border: neither ink nor background.
    const double border = image.luminance(x0, y0 + layout.cell_height / 2);
    if (border < 96 || border > 160) fault("no cell border");
    return faults;
}

TEST(FontPreview, DrawsEveryGlyphInItsCellAtTheScale) {
    const struct {
        const char* name;
        KanjiSet set;
        std::vector<int> scales;
    } cases[] = {
        {"mixed", mixed_set(), {1, 2, 3, 8}},
        {"all cells",
         [] {
             KanjiSet all;
             all.flags.fill(1);
             return all;
         }(),
         {1}},
    };
    for (const auto& c : cases) {
        const auto font = font_of(c.set);
        const int count = count_set(c.set);
        for (const int scale : c.scales) {
            SCOPED_TRACE(std::string(c.name) + " at scale " + std::to_string(scale));
            const Image image = decode(preview(*font, scale));
            const PreviewLayout layout = preview_layout(count, scale);
            ASSERT_EQ(image.width, layout.width);
            ASSERT_EQ(image.height, layout.height);
            EXPECT_EQ(image.width, kPreviewColumns * layout.cell_width + 1);
            EXPECT_EQ(image.height,
                      (count + kPreviewColumns - 1) / kPreviewColumns * layout.cell_height + 1);
            EXPECT_GE(layout.cell_width, 14 * scale);
            int faults = 0;
            int n = 0;
            for (cell cl = 0; cl < kCellCount; ++cl) {
                if (c.set.flags[static_cast<std::size_t>(cl)] == 0) continue;
                faults +=
                    check_cell(image, layout, n++, glyph_bytes(cl), scale, sjis_from_cell(cl));
            }
            EXPECT_EQ(faults, 0);
        }
    }
}

// A hand-edited glyph is drawn as the file holds it, not as the built-in font has it.
TEST(FontPreview, DrawsTheGlyphsOfTheFile) {
    KanjiSet set;
    set.flags[static_cast<std::size_t>(cell_of(0x889f))] = 1;
    auto font = font_of(set);
    Glyph& glyph = font->glyphs[static_cast<std::size_t>(cell_of(0x889f))];
    glyph = Glyph{};
    glyph[0] = 0x01;  // the top left pixel only
    const Image image = decode(preview(*font, 2));
    EXPECT_EQ(check_cell(image, preview_layout(1, 2), 0, glyph, 2, 0x889f), 0);
}

// Each label digit is the same picture wherever it appears, and differs from other digits.
TEST(FontPreview, LabelsEachCellWithItsCode) {
    KanjiSet set;
    for (const SjisCode code : {0x889f, 0x88a0, 0x9872})
        set.flags[static_cast<std::size_t>(cell_of(code))] = 1;
    const Image image = decode(preview(*font_of(set), 3));
    const PreviewLayout layout = preview_layout(3, 3);
    const int pitch = (layout.label_width + 1) / 4;
    const auto digit = [&](int n, int i) {
        std::string pixels;
        for (int y = 0; y < layout.label_height; ++y) {
            for (int x = 0; x < pitch; ++x) {
                pixels += image.dark(n * layout.cell_width + layout.label_x + i * pitch + x,
                                     layout.label_y + y)
                              ? '#'
                              : '.';
            }
        }
        return pixels;
    };
    EXPECT_EQ(digit(0, 0), digit(1, 0));  // 8 of 0x889f and of 0x88a0
    EXPECT_EQ(digit(0, 1), digit(1, 1));  // 8
    EXPECT_EQ(digit(0, 2), digit(2, 0));  // 9 of 0x889f and of 0x9872
    EXPECT_NE(digit(0, 2), digit(1, 2));  // 9 against a
    EXPECT_NE(digit(0, 3), digit(1, 3));  // f against 0
    EXPECT_NE(digit(2, 1), digit(2, 2));  // 8 against 7
    EXPECT_NE(digit(0, 0).find('#'), std::string::npos);
}

TEST(FontPreview, TintsABlankGlyph) {
    KanjiSet set;
    for (const SjisCode code : {0x82f9, 0x82fa})  // ん and a blank cell after it
        set.flags[static_cast<std::size_t>(cell_of(code))] = 1;
    const Image image = decode(preview(*font_of(set), 3));
    const PreviewLayout layout = preview_layout(2, 3);
    // Off white: the paper of a drawn cell is pure white.
    const auto tinted = [&](int n, int x, int y) {
        const unsigned char* p = image.at(n * layout.cell_width + x, y);
        return p[0] != 255 || p[1] != 255 || p[2] != 255;
    };
    int blank_tinted = 0;
    int drawn_tinted = 0;
    for (int y = 1; y < layout.cell_height; ++y) {
        for (int x = 1; x < layout.cell_width; ++x) {
            if (image.dark(x, y) || image.dark(layout.cell_width + x, y)) continue;
            drawn_tinted += tinted(0, x, y) ? 1 : 0;
            blank_tinted += tinted(1, x, y) ? 1 : 0;
            EXPECT_TRUE(image.light(layout.cell_width + x, y));
        }
    }
    EXPECT_EQ(drawn_tinted, 0);
    EXPECT_GT(blank_tinted, (layout.cell_width - 1) * (layout.cell_height - 1) * 3 / 4);
}

TEST(FontPreview, DrawsAnEmptyFontAsAnEmptyRow) {
    const Image image = decode(preview(*font_of(KanjiSet{}), kDefaultPreviewScale));
    EXPECT_EQ(image.height, preview_layout(0, kDefaultPreviewScale).height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) ASSERT_TRUE(image.light(x, y)) << x << "," << y;
    }
}

TEST(FontPreview, RejectsAScaleOutOfRangeAndReportsAFailedWrite) {
    const auto font = font_of(mixed_set());
    for (const int scale : {kMinPreviewScale - 1, kMaxPreviewScale + 1, -3}) {
        std::string png;
        EXPECT_EQ(write_font_preview(testing::string_sink(png), *font, scale),
                  PreviewStatus::kScaleOutOfRange);
        EXPECT_TRUE(png.empty());
    }
    const Sink refusing{nullptr, [](void*, const char*, std::size_t) { return false; }};
    EXPECT_EQ(write_font_preview(refusing, *font, 1), PreviewStatus::kWriteFailed);
}

// GLYFOR_PREVIEW_SHOT=FILE.png keeps the mixed picture at the default scale, to look at.
TEST(FontPreview, WritesThePictureToLookAtWhenAsked) {
    const char* path = std::getenv("GLYFOR_PREVIEW_SHOT");
    if (path == nullptr) GTEST_SKIP() << "GLYFOR_PREVIEW_SHOT not set";
    const std::string png = preview(*font_of(mixed_set()), kDefaultPreviewScale);
    std::FILE* file = std::fopen(path, "wb");
    ASSERT_NE(file, nullptr) << path;
    EXPECT_EQ(std::fwrite(png.data(), 1, png.size(), file), png.size());
    std::fclose(file);
}

}  // namespace
}  // namespace glyfor
