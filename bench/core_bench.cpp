#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "SilentPrompter.h"
#include "core/ProjectFile.h"
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

// A full project: the hand-built ZUV-AR24 job with all six masking channels and both paging channels in use.
const QString FullProjectFile = QStringLiteral(KOV_GOLDEN_DIR "/HANDBUILT.MSK");

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// File, Open of a full project, from the file on disk to the data object the windows use.
void BM_OpenProject(benchmark::State& state)
{
    LumoData d;
    InitTables(d);
    bench::SilentPrompter prompter;
    for (auto _ : state) {
        i16 failed = 0;
        OpenProjectFile(d, prompter, FullProjectFile, failed);
        if (failed != 0) {
            state.SkipWithError(prompter.last.toStdString().c_str());
            break;
        }
    }
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMicrosecond);

// The reference for the open: the same file's bytes read, nothing understood.
void BM_ReadProjectBytes(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FileBytes(FullProjectFile));
}
BENCHMARK(BM_ReadProjectBytes)->Unit(benchmark::kMicrosecond);

// File, Save of that project: its text made and written whole (temporary file, sync, rename).
void BM_SaveProject(benchmark::State& state)
{
    LumoData d;
    InitTables(d);
    bench::SilentPrompter prompter;
    i16 failed = 0;
    OpenProjectFile(d, prompter, FullProjectFile, failed);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FULL.MSK"));
    for (auto _ : state) {
        QString reason;
        SaveProjectFile(d, path, failed, &reason);
        if (failed != 0) {
            state.SkipWithError(reason.toStdString().c_str());
            break;
        }
    }
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMicrosecond);

// The reference for the save: the same bytes written whole the same way, nothing formatted.
void BM_SaveProjectBytes(benchmark::State& state)
{
    const QByteArray bytes = FileBytes(FullProjectFile);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FULL.MSK"));
    for (auto _ : state) {
        if (!SaveWholeFile(path, bytes)) {
            state.SkipWithError("the bytes could not be saved");
            break;
        }
    }
}
BENCHMARK(BM_SaveProjectBytes)->Unit(benchmark::kMicrosecond);

}  // namespace
