// Opening a project whose 10 000 frame entries name files that are gone:
// the reader must stay linear in the number of entries.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "engine/project/project_file.h"

using namespace pelko;

static void openMissingFrames(benchmark::State& state)
{
    const auto path = std::filesystem::temp_directory_path() / "pelko_bench_missing.mcp";
    {
        std::ofstream out(path);
        out << "[Parameters]\nWidth=320\nHeight=200\nType=1\n[Files]\n";
        for (int n = 1; n <= state.range(0); ++n)
            out << "File_" << n << "=/nonexistent/pic" << n << ".png\nTime_" << n << "=100\nLeft_" << n
                << "=3\n";
    }
    auto reader = makeFileSourceReader();
    for (auto _ : state) {
        Project p;
        openProjectFile(p, path.string(), *reader, {});
        benchmark::DoNotOptimize(p.log.lines().size());
    }
    std::filesystem::remove(path);
}
BENCHMARK(openMissingFrames)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
