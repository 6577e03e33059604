// Speed of reading the progress record: parsing grows in step with the record's rows (the
// check of a fact twice is a hash, not a search), and a file past the size limit is
// refused from its size alone, however large. Run: plimo_record_bench (Release build).
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "record/progress_record.h"

namespace {

// A record of rows distinct facts, as the game writes it.
std::string recordOf(int64_t rows) {
    std::vector<ProgressRow> facts;
    for (int64_t i = 0; i < rows; i++)
        facts.push_back({std::to_string(i / 13) + " * " + std::to_string(i % 13), 9, 7, 1, 1, 2100, "2024-03-18"});
    return formatProgressRecord(facts);
}

void parseRecord(benchmark::State &state) {
    std::string text = recordOf(state.range(0));
    std::vector<ProgressRow> rows;
    std::string why;
    for (auto _ : state) {
        if (!parseProgressRecord(text, &rows, &why))
            state.SkipWithError(why.c_str());
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
// Up to about the largest record the size limit lets through (some 30,000 rows).
BENCHMARK(parseRecord)->RangeMultiplier(4)->Range(512, 32768)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

// A 200 MB file (sparse: no disk is filled) read as a record: refused before reading.
void refuseHugeRecord(benchmark::State &state) {
    char path[] = "/tmp/plimo-bench-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0 || ftruncate(fd, 200L << 20) != 0) {
        state.SkipWithError("cannot make the scratch file");
        return;
    }
    close(fd);
    std::vector<ProgressRow> rows;
    std::string why;
    for (auto _ : state)
        benchmark::DoNotOptimize(readProgressRecord(path, &rows, &why));
    unlink(path);
}
BENCHMARK(refuseHugeRecord)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
