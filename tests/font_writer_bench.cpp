// The two costs of a generation that grow with the registered set: writing the font source
// file and normalising the registered text.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <string>

#include "app/generation.h"
#include "charset/charset.h"
#include "app/state.h"
#include "font/font_writer.h"

namespace glyfor {
namespace {

// The whole grid writes a little under 1 MB.
struct MemorySink {
    std::array<char, 2 << 20> bytes;
    std::size_t used = 0;
};

bool copy_into(void* context, const char* data, std::size_t size) {
    auto& sink = *static_cast<MemorySink*>(context);
    if (sink.bytes.size() - sink.used < size) return false;
    std::memcpy(sink.bytes.data() + sink.used, data, size);
    sink.used += size;
    return true;
}

std::string full_set_text() {
    KanjiSet all;
    all.flags.fill(1);
    std::string text(kMaxSetTextSize, '\0');
    text.resize(build_set_text(all, text.data()));
    return text;
}

void BM_WriteWholeGridFontSource(benchmark::State& state) {
    reset_state();
    const std::string text = full_set_text();
    static MemorySink sink;
    const LocalTime when{2026, 12, 9, 23, 59, 0};
    for (auto _ : state) {
        set_slot(kSlotRegistered, text.c_str());
        sink.used = 0;
        if (!write_font_source(Sink{&sink, copy_into}, when)) state.SkipWithError("sink full");
        benchmark::DoNotOptimize(sink.bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sink.used));
    state.counters["file_bytes"] = static_cast<double>(sink.used);
}
BENCHMARK(BM_WriteWholeGridFontSource)->Unit(benchmark::kMillisecond);

void BM_ParseAndRebuildWholeGridSetText(benchmark::State& state) {
    const std::string text = full_set_text();
    KanjiSet set;
    std::string rebuilt(kMaxSetTextSize, '\0');
    for (auto _ : state) {
        parse_set_text(text.c_str(), set);
        benchmark::DoNotOptimize(build_set_text(set, rebuilt.data()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseAndRebuildWholeGridSetText)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace glyfor
