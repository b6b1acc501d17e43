// Scanning a large Shift-JIS input file, next to plain reading of the same file: the scan should
// cost little more than getting the bytes from the page cache.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "charset/charset.h"
#include "app/registration.h"
#include "app/state.h"
#include "charset/literal_scanner.h"
#include "charset/sjis_scanner.h"

namespace glyfor {
namespace {

constexpr std::size_t kFileSize = 64u << 20;

enum class Content : int {
    kFirmwareSource = 0,  // C lines with Japanese comments and strings, about half double-byte
    kJapaneseProse = 1,   // double-byte text broken into lines
    kWordingTables = 2,   // tables of Japanese strings with // comments, some lines commented
};

// A small fixed-seed generator, so every run measures the same bytes.
struct Random {
    std::uint32_t state;
    std::uint32_t next(std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }
};

void append_kanji(std::string& out, Random& random, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        // Mostly level-1 kanji (rows 15..46), some hiragana (row 3) and punctuation (row 0).
        const std::uint32_t pick = random.next(10);
        const cell row = pick < 6 ? 15 + static_cast<cell>(random.next(32)) : pick < 9 ? 3 : 0;
        const SjisCode code = sjis_from_cell(row * kGridCols + static_cast<cell>(random.next(83)));
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
}

std::string make_content(Content content) {
    static const char* const kCode[] = {
        "    lcd_puts(row, col, msg);",  "    if (level > LEVEL_MAX) {", "    return status;",
        "static const char text[] = \"", "    buffer[index++] = value;", "}",
        "#define MENU_ITEM_COUNT 12",    "    switch (key_state) {"};
    Random random{12345};
    std::string out;
    out.reserve(kFileSize + 256);
    while (out.size() < kFileSize) {
        if (content == Content::kJapaneseProse) {
            append_kanji(out, random, 20 + random.next(40));
        } else if (content == Content::kWordingTables) {
            const std::uint32_t kind = random.next(4);
            if (kind == 0) {
                out += "// ";
                append_kanji(out, random, 8 + random.next(30));
            } else {
                out += kind == 1 ? "    { MSG_" : "    lcd_text(";
                out += std::to_string(random.next(1000));
                out += ", \"";
                append_kanji(out, random, 2 + random.next(10));
                out += kind == 1 ? "\" }, // " : "\");  /* ";
                append_kanji(out, random, 4 + random.next(16));
                if (kind != 1) out += " */";
            }
        } else {
            out += kCode[random.next(sizeof kCode / sizeof kCode[0])];
            out += "  /* ";
            append_kanji(out, random, 4 + random.next(36));
            out += " */";
        }
        out += "\r\n";
    }
    out.resize(kFileSize);
    return out;
}

// The input files in /tmp, written once per content kind and removed when the process ends.
struct InputFiles {
    std::array<std::string, 3> paths;
    ~InputFiles() {
        for (const std::string& path : paths) {
            if (!path.empty()) std::remove(path.c_str());
        }
    }
};

const std::string& input_path(Content content) {
    static InputFiles files;
    std::string& path = files.paths[static_cast<std::size_t>(content)];
    if (!path.empty()) return path;
    path = "/tmp/glyfor_scan_bench_" + std::to_string(static_cast<int>(content)) + ".txt";
    const std::string bytes = make_content(content);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
    std::fclose(file);
    return path;
}

void BM_ReadFile(benchmark::State& state) {
    const std::string& path = input_path(static_cast<Content>(state.range(0)));
    std::vector<unsigned char> block(kScanBlockSize);
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::size_t total = 0;
        while (const std::size_t got = std::fread(block.data(), 1, block.size(), file))
            total += got;
        std::fclose(file);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_ReadFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick of reading a file from the page cache at all.
void BM_CatToDevNull(benchmark::State& state) {
    const std::string command =
        "cat " + input_path(static_cast<Content>(state.range(0))) + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("cat failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_CatToDevNull)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScanInputFile(benchmark::State& state) {
    const std::string& path = input_path(static_cast<Content>(state.range(0)));
    reset_state();
    set_slot(kSlotRegistered, "\x88\x9F\x88\xA0");  // registered: two kanji
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        scan_input_file(file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
    state.counters["detected"] = settings[kDetectedCount];
}
BENCHMARK(BM_ScanInputFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

std::size_t read_file(void* context, unsigned char* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, static_cast<std::FILE*>(context));
}

// The plain scan and the literal-only scan of the same files through the same reader: the
// literal scan should keep at least half the plain scan's speed.
template <class Scanner>
void BM_Scan(benchmark::State& state) {
    const std::string& path = input_path(static_cast<Content>(state.range(0)));
    int cells = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        Scanner scanner;
        scan_reader(ByteReader{file, read_file}, scanner);
        std::fclose(file);
        cells = count_set(scanner.cells());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
    state.counters["cells"] = cells;
}
BENCHMARK(BM_Scan<SjisScanner>)
    ->Name("BM_PlainScan")
    ->Arg(0)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Scan<LiteralScanner>)
    ->Name("BM_LiteralScan")
    ->Arg(0)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace glyfor
