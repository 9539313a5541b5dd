// Google Benchmark timings of the game's hot routines: answer generation, number entry and message output.
//
// Run by hand (the bench preset builds it): ./build/bench/bench/game_bench

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "entry.h"
#include "game_io.h"
#include "hitblow.h"
#include "memory_platform.h"
#include "text/messages.h"
#include "turns.h"

namespace {

// One answer of range(0) digits per iteration, the generator running on from
// one answer to the next as it does within a game's redraws.  At 10 digits an
// answer takes about 2,756 rows of ten draws on average.
void BM_DrawAnswer(benchmark::State &state)
{
    auto digit_count = static_cast<int32_t>(state.range(0));
    Digits answer;
    seed_random(FIXED_CLOCK_SECONDS);
    for (auto _ : state) {
        draw_answer(answer, digit_count);
        benchmark::DoNotOptimize(answer);
    }
}
BENCHMARK(BM_DrawAnswer)->DenseRange(1, MAX_DIGITS);

// read_number() over a memory buffer of typed guesses, one token per iteration.
void BM_ReadNumber(benchmark::State &state)
{
    std::string input;
    for (int i = 0; i < 1000; i++)
        input += "1 0 5 9\r\n";
    memory_streams = {input.data(), input.size(), 0, 0, nullptr, 0, true, false};
    io_open();
    for (auto _ : state) {
        int32_t value;
        if (read_number(&value) == END_OF_INPUT) {
            io_open();
            read_number(&value);
        }
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadNumber);

// say() with a number filled in, into 512-byte blocks in memory, as to a
// file: a history line's head.
void BM_Say(benchmark::State &state)
{
    static char output[1 << 16];
    memory_streams = {"", 0, 0, 0, output, sizeof output, false, false};
    io_open();
    int32_t turn = 0;
    for (auto _ : state) {
        if (memory_counts.output_length > sizeof output - 1024)
            io_open();
        say(MSG_TURN_NUMBER, ++turn % MAX_TURNS);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Say);

} // namespace

BENCHMARK_MAIN();
