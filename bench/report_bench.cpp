#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "core/Tables.h"
#include "report/ReportPrinting.h"

using namespace kov;

namespace {

// A full DU3001 job: six masking channels (three pages) and both paging channels with the 1/3-octave settings.
LumoData FullProject()
{
    LumoData d;
    InitTables(d);
    d.ProjectInfo(1) = QStringLiteral("Harbour Offices, floors 2 to 4");
    d.ProjectInfo(2) = QStringLiteral("12/7/2026");
    d.Generator = GeneratorDU3001;
    for (int ch = 1; ch <= 6; ++ch) {
        for (int b = 22; b <= 39; ++b) {
            d.MaskFinal(ch, b) = 48.0f - 0.7f * static_cast<f32>(b - 22);
            d.MaskCorrection(ch, b) = 0.5f * static_cast<f32>((b + ch) % 9 - 4);
        }
        for (int b = 24; b <= 39; b += 3)
            d.MaskFinalOctave(ch, b) = 52.0f - static_cast<f32>(b - 24);
        d.MaskHighCutFreq(ch) = 5000;
        d.MaskHighCutSlope(ch) = 12;
        d.MaskLowCutFreq(ch) = 160;
        d.MaskLowCutSlope(ch) = 6;
        d.MaskGainChange(ch) = 4;
    }
    for (int pch = 1; pch <= 2; ++pch) {
        d.PageSpectrum(pch, 22) = 60;
        d.PageLowpassFreq(pch) = 6300;
        d.PageHighpassFreq(pch) = 200;
        d.PageLevel(pch) = 71.5f;
    }
    return d;
}

// The whole report of a full project painted into a PDF in memory: the work behind Print Report, Print Preview
// and Export PDF alike, short of the printing system.
void BM_ReportToPdf(benchmark::State& state)
{
    const LumoData d = FullProject();
    const QPageLayout letter(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const ReportPdf pdf = ReportAsPdf(d, PrinterFont{}, letter);
        if (pdf.failure) {
            state.SkipWithError("the report failed");
            break;
        }
        bytes = static_cast<std::size_t>(pdf.bytes.size());
    }
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
    state.SetLabel("6 masking + 2 paging channels, 4 pages");
}
BENCHMARK(BM_ReportToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no screen is needed to paint a PDF.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
