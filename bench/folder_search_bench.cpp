#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/FolderSearch.h"

using namespace kov;

namespace {

constexpr int TopFolders = 100;
constexpr int FoldersEach = 99;

// 10,000 folders (100 at the top, 99 below each) with a file in each, every top folder linked back to the root and
// one leaf linked to its grandparent, so only the cycle guard keeps the walk finite.
const QTemporaryDir& GeneratedTree()
{
    static const QTemporaryDir tree = [] {
        QTemporaryDir dir;
        const QDir root(dir.path());
        for (int t = 0; t < TopFolders; ++t) {
            const QString top = QStringLiteral("program %1").arg(t, 3, 10, QLatin1Char('0'));
            for (int s = 0; s < FoldersEach; ++s) {
                const QString sub = top + QStringLiteral("/data %1").arg(s, 2, 10, QLatin1Char('0'));
                root.mkpath(sub);
                QFile readme(root.filePath(sub + QStringLiteral("/readme.txt")));
                (void)readme.open(QIODevice::WriteOnly);
            }
            QFile::link(QStringLiteral(".."), root.filePath(top + QStringLiteral("/up")));
        }
        QFile::link(QStringLiteral("../.."), root.filePath(QStringLiteral("program 050/data 50/loop")));
        return dir;
    }();
    return tree;
}

// A search that does not find the file walks the whole tree, the slowest a search can be.
void BM_SearchFoldersNotThere(benchmark::State& state)
{
    const QString root = GeneratedTree().path();
    int calls = 0;
    const std::function<bool()> keepGoing = [&calls] { return ++calls > 0; };
    for (auto _ : state) {
        const FolderSearchResult result = SearchFolders(root, MG24ProgramFile, keepGoing);
        if (!result.found.isEmpty() || result.foldersListed != 1 + TopFolders * (1 + FoldersEach)) {
            state.SkipWithError("the generated tree was not walked as built");
            break;
        }
        benchmark::DoNotOptimize(result);
    }
    state.counters["folders"] = 1 + TopFolders * (1 + FoldersEach);
    state.counters["calls"] = benchmark::Counter(calls, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SearchFoldersNotThere)->Unit(benchmark::kMillisecond);

}  // namespace
