#include <benchmark/benchmark.h>

#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "core/TextFields.h"

using namespace kov;

namespace {

LumoData FilledDatabase()
{
    LumoData d;
    InitTables(d);
    for (int i = 0; i < SpectrumCount; ++i) {
        d.SpecName(i) = QStringLiteral("Spectrum %1").arg(i);
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            d.SpecLevel(i, b) = 30.f + static_cast<f32>(i) / 3.f + static_cast<f32>(b) * 0.1f;
    }
    return d;
}

// The masking window recomputes A-weighted levels after every keystroke in its grid: ten tests and the average.
void BM_AWeightedLevel(benchmark::State& state)
{
    const LumoData d = FilledDatabase();
    for (auto _ : state) {
        i16 low = 22;
        i16 high = 39;
        benchmark::DoNotOptimize(AWeightedLevel(d, 5, low, high, d.SpecLevel));
    }
}
BENCHMARK(BM_AWeightedLevel);

// The database is read again each time the masking window becomes active.
void BM_ParseSpectrumDatabase(benchmark::State& state)
{
    const QByteArray bytes = SpectrumDatabaseBytes(FilledDatabase());
    for (auto _ : state) {
        TextFieldReader r(bytes);
        QString name;
        f32 level = 0;
        for (int i = 0; i < SpectrumCount; ++i) {
            r.readText(name);
            for (int b = FirstDataBand; b <= LastDataBand; ++b)
                r.readNumber(level);
        }
        benchmark::DoNotOptimize(level);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ParseSpectrumDatabase);

void BM_WriteSpectrumDatabase(benchmark::State& state)
{
    const LumoData d = FilledDatabase();
    for (auto _ : state)
        benchmark::DoNotOptimize(SpectrumDatabaseBytes(d));
}
BENCHMARK(BM_WriteSpectrumDatabase);

}  // namespace
