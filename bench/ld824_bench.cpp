// How close a download of ten files from an LD824 comes to what the line itself allows at 9600 baud: the bytes
// both ways at ten bits each, plus the pauses the protocol makes on purpose (the handshake's 1.5 s and one wake-up
// break cycle of 0.1 s). Anything above that is time spent waiting too long between polls. Goal: at most 1.1.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <chrono>

#include "SilentPrompter.h"
#include "core/Clock.h"
#include "meters/Ld824.h"
#include "meters/Ld824Meter.h"

namespace {

constexpr double Baud = 9600;
constexpr double SecondsPerByte = 10 / Baud;
constexpr double ProtocolPauses = 1.5 + 0.1;

void BM_Ld824TenFiles(benchmark::State& state)
{
    std::vector<kov::Indexed<kov::f32, 11, 43>> files(10);
    for (std::size_t f = 0; f < files.size(); ++f) {
        for (int band = 11; band <= 43; ++band)
            files[f](band) = static_cast<kov::f32>(30 + f + band * 0.5);
    }
    for (auto _ : state) {
        kov::Ld824Meter meter(files);
        kov::SystemClock clock;
        kov::SimulatedLd824Link link(meter, clock, SecondsPerByte);
        kov::bench::SilentPrompter prompter;
        const auto start = std::chrono::steady_clock::now();
        const kov::Ld824Download d = kov::DownloadLd824(link, clock, prompter, QStringLiteral("COM1"), 1, 10, {});
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (d.failed || d.count != 10) {
            state.SkipWithError(("download failed: " + prompter.last.toStdString()).c_str());
            return;
        }
        const double bytes = static_cast<double>(link.bytesToMeter() + link.bytesFromMeter());
        const double floor = bytes * SecondsPerByte + ProtocolPauses;
        state.counters["seconds"] = seconds;
        state.counters["floor_seconds"] = floor;
        state.counters["ratio"] = seconds / floor;
        state.counters["bytes"] = bytes;
        state.counters["commands"] = static_cast<double>(meter.commands().size());
    }
}
BENCHMARK(BM_Ld824TenFiles)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv)
{
    // The real clock lets the application's events run while it waits.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
