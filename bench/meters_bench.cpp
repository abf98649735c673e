// How long a meter's file takes to read, from the file on disk to the tests the grid takes over. The goal is
// well under 20 ms for each text export, against the seconds a spreadsheet program took to start and open a
// workbook; a workbook adds the start of the workbook reader process, a few tens of milliseconds.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <variant>

#include "core/Clock.h"
#include "meters/MeterExports.h"
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

// One read of `file` through `read`, from the file on disk to the tests.
void BM_Read(benchmark::State& state, const char* file, kov::MeterImport (*read)(const QString&))
{
    const QString path = Fixture(file);
    for (auto _ : state) {
        auto result = read(path);
        benchmark::DoNotOptimize(result);
        Count(state, result);
    }
}

// All ten stored records of the PAA3.
kov::MeterImport AllPaa3Records(const QString& path)
{
    return kov::DownloadPaa3(path, 1, 10);
}

// The workbooks through the workbook reader process beside the benchmark, as the window reads them.
kov::MeterImport Bk2250(const QString& path)
{
    kov::SystemClock clock;
    return kov::ReadBk2250File(path, clock);
}

kov::MeterImport Excel(const QString& path)
{
    kov::SystemClock clock;
    return kov::ReadExcelFile(path, clock);
}

// Today's text exports: the file's bytes, then its reader.
template <kov::MeterImport (*Parse)(const QByteArray&)>
kov::MeterImport FromFile(const QString& path)
{
    const auto bytes = kov::ReadMeterFileBytes(path);
    if (const auto* refused = std::get_if<kov::Message>(&bytes))
        return *refused;
    return Parse(std::get<QByteArray>(bytes));
}

kov::MeterImport LeqOfReport(const QByteArray& bytes)
{
    return kov::ParseSpectrumReport(bytes);
}

// The table as the mapping window would take it: read, shown, then its three columns of levels.
kov::MeterImport ThreeColumns(const QByteArray& bytes)
{
    const auto table = kov::ParseMeterTable(bytes);
    if (const auto* refused = std::get_if<kov::Message>(&table))
        return *refused;
    return kov::TableTests(std::get<kov::MeterTable>(table), {kov::TableMapping::Bands::InColumn, 0, {1, 2, 3}});
}

// Telling a file's format from its bytes, before any reader runs. A table is told last, after every other text
// format has had its look.
void BM_Recognise(benchmark::State& state, const char* file)
{
    const auto bytes = kov::ReadMeterFileBytes(Fixture(file));
    if (!std::holds_alternative<QByteArray>(bytes)) {
        state.SkipWithError("fixture missing");
        return;
    }
    for (auto _ : state) {
        auto told = kov::RecogniseMeterFile(std::get<QByteArray>(bytes));
        benchmark::DoNotOptimize(told);
        if (!std::holds_alternative<kov::MeterFormat>(told))
            state.SkipWithError("not recognised");
    }
}

BENCHMARK_CAPTURE(BM_Read, dsp30, "dsp30.txt", kov::ReadDsp30File)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, ie45, "ie45.ivi", kov::ReadIe45File)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, paa3, "paa3.paa", AllPaa3Records)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, bk2250_xls, "bk2250.xls", Bk2250)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, bk2250_xlsx, "bk2250.xlsx", Bk2250)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, excel_xls, "excel.xls", Excel)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, excel_xlsx, "excel.xlsx", Excel)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, spectrum_report, "slm_report.txt", FromFile<LeqOfReport>)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, response_log, "response_log.txt", FromFile<kov::ParseFrequencyResponse>)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, response_linear, "response_linear.txt", FromFile<kov::ParseFrequencyResponse>)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Read, table, "table_semicolon.csv", FromFile<ThreeColumns>)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Recognise, recognise_table, "table_semicolon.csv")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Recognise, recognise_response, "response_linear.txt")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Recognise, recognise_paa3, "paa3.paa")->Unit(benchmark::kMicrosecond);

}  // namespace

// The reader is found beside the program, which needs the application object.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
