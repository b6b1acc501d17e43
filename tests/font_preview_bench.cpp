// The preview of the largest font there is, all 8836 cells: reading the generated file,
// drawing every glyph and encoding the PNG.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "charset/charset.h"
#include "font/font_preview.h"
#include "font/font_reader.h"
#include "font/font_writer.h"
#include "tests/text_support.h"

namespace glyfor {
namespace {

void BM_PreviewWholeGrid(benchmark::State& state) {
    KanjiSet all;
    all.flags.fill(1);
    std::string file;
    write_font_source(testing::string_sink(file), all, {}, {2026, 12, 9, 23, 59, 0}, {});
    const auto font = std::make_unique<FontFile>();
    const int scale = static_cast<int>(state.range(0));
    std::string png;
    for (auto _ : state) {
        if (!read_font_source(file.data(), file.size(), *font).ok) state.SkipWithError("unread");
        png.clear();
        if (write_font_preview(testing::string_sink(png), *font, scale) != PreviewStatus::kOk)
            state.SkipWithError("not drawn");
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["png_bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_PreviewWholeGrid)
    ->Arg(1)
    ->Arg(kDefaultPreviewScale)
    ->Arg(kMaxPreviewScale)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace glyfor
