#include <benchmark/benchmark.h>

#include "core/Levels.h"
#include "core/Tables.h"
#include "masking/Fit.h"
#include "masking/Goal.h"

using namespace kov;

namespace {

constexpr int Ch = 1;

// An open-plan office fed from the plenum with too much above 2 kHz: ten accepted search steps besides the nine.
LumoData BrightPlenum()
{
    static const f32 goal[] = {46.9f, 47.4f, 47.9f, 47.4f, 46.9f, 46.4f, 44.9f, 43.4f, 41.9f,
                               40.4f, 38.9f, 37.4f, 35.9f, 34.4f, 32.9f, 31.4f, 29.9f, 28.4f};
    static const f32 average[] = {46.7f, 47.5f, 48.8f, 49.0f, 49.0f, 47.9f, 45.9f, 45.1f, 44.1f,
                                  42.8f, 41.8f, 40.9f, 40.3f, 39.7f, 39.0f, 38.3f, 37.5f, 36.8f};
    LumoData d;
    InitTables(d);
    d.Generator = GeneratorZUVAR24;
    d.ProjectBaseName = QStringLiteral("OFFICE3");
    d.MaskHighCutFreqEdit(Ch) = 7000;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        d.MaskFinalEdit(Ch, b) = goal[b - FirstDataBand];
        d.MaskAverageEdit(Ch, b) = average[b - FirstDataBand];
    }
    return d;
}

// The whole fit of one channel without the pacing of its redraws: the nine searches, every frame's level text,
// the corrections and their texts.
void BM_RunFit(benchmark::State& state)
{
    const LumoData d = BrightPlenum();
    const f32 goalLevel = LevelTo1600(ChannelRow(d.MaskFinalEdit, Ch));
    std::size_t frames = 0;
    for (auto _ : state) {
        FitResult r = RunFit(d, Ch, goalLevel);
        frames = r.frames.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_RunFit)->Unit(benchmark::kMicrosecond);

}  // namespace
