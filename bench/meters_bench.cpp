// How long a meter's file takes to read, from the file on disk to the tests the grid takes over. The goal is
// well under 20 ms for each, against the seconds a spreadsheet program took to start and open a workbook.
#include <benchmark/benchmark.h>

#include <variant>

#include "meters/MeterFiles.h"

namespace {

QString Fixture(const char* name)
{
    return QStringLiteral(KOV_METER_FIXTURES_DIR "/") + QLatin1String(name);
}

void Count(benchmark::State& state, const kov::MeterImport& result)
{
    if (const auto* tests = std::get_if<kov::MeterTests>(&result)) {
        state.counters["tests"] = tests->count;
        return;
    }
    state.SkipWithError(std::get<kov::Message>(result).text.toStdString().c_str());
}

void BM_Dsp30(benchmark::State& state)
{
    const QString path = Fixture("dsp30.txt");
    for (auto _ : state) {
        auto result = kov::ReadDsp30File(path);
        benchmark::DoNotOptimize(result);
        Count(state, result);
    }
}
BENCHMARK(BM_Dsp30)->Unit(benchmark::kMicrosecond);

void BM_Ie45(benchmark::State& state)
{
    const QString path = Fixture("ie45.ivi");
    for (auto _ : state) {
        auto result = kov::ReadIe45File(path);
        benchmark::DoNotOptimize(result);
        Count(state, result);
    }
}
BENCHMARK(BM_Ie45)->Unit(benchmark::kMicrosecond);

// All ten stored records.
void BM_Paa3(benchmark::State& state)
{
    const QString path = Fixture("paa3.paa");
    for (auto _ : state) {
        auto result = kov::DownloadPaa3(path, 1, 10);
        benchmark::DoNotOptimize(result);
        Count(state, result);
    }
}
BENCHMARK(BM_Paa3)->Unit(benchmark::kMicrosecond);

void BM_Bk2250(benchmark::State& state, const char* file)
{
    const QString path = Fixture(file);
    for (auto _ : state) {
        auto result = kov::ReadBk2250File(path);
        benchmark::DoNotOptimize(result);
        Count(state, result);
    }
}
BENCHMARK_CAPTURE(BM_Bk2250, xls, "bk2250.xls")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Bk2250, xlsx, "bk2250.xlsx")->Unit(benchmark::kMicrosecond);

void BM_Excel(benchmark::State& state, const char* file)
{
    const QString path = Fixture(file);
    for (auto _ : state) {
        auto result = kov::ReadExcelFile(path);
        benchmark::DoNotOptimize(result);
        Count(state, result);
    }
}
BENCHMARK_CAPTURE(BM_Excel, xls, "excel.xls")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Excel, xlsx, "excel.xlsx")->Unit(benchmark::kMicrosecond);

}  // namespace
