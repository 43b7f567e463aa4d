// The undo history over a long edit session: 1000 steps of the editing
// commands over a project of 300 frames of 1920 x 1080, each step taken as
// the window takes it (the project before, the change after). Reports the
// history's bytes, the process's peak memory, and the time of a step and of
// undoing and redoing them all.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "engine/effects/clone.h"
#include "engine/effects/flip_convert.h"
#include "engine/history/undo_history.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"
#include "engine/project/editing.h"
#include "engine/project/frame_options.h"
#include "engine/project/project_options.h"
#include "engine/project/source_reader.h"

namespace pelko {
namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_UndoHistory1000StepsOver300FullHdFrames(benchmark::State& state)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pelko-bench-history";
    std::filesystem::create_directories(dir);
    std::vector<std::string> files;
    for (int i = 0; i < 10; ++i) {
        Picture p(1920, 1080);
        p.fill(rgb(std::uint8_t(20 * i), 90, 200));
        files.push_back((dir / ("f" + std::to_string(i) + ".png")).string());
        writeFile(files.back(), encodePngPicture(p));
    }
    for (auto _ : state) {
        Project project;
        ProjectOptions o;
        o.Type = ProjectGif;
        o.Width = 1920;
        o.Height = 1080;
        newProject(project, o);
        std::unique_ptr<SourceReader> reader = makeFileSourceReader();
        std::vector<std::string> sources;
        for (int i = 0; i < 300; ++i) sources.push_back(files[std::size_t(i) % files.size()]);
        addFiles(project, sources, *reader);
        UndoHistory history;
        std::mt19937 random(7);
        auto pick = [&](int n) { return int(random() % unsigned(std::max(n, 1))); };
        const auto start = std::chrono::steady_clock::now();
        for (int step = 0; step < 1000; ++step) {
            project.selection.clear();
            for (int k = 0, n = 1 + pick(20); k < n; ++k) project.selection.add(pick(project.frames.count()));
            const ProjectSnapshot before = ProjectSnapshot::of(project);
            switch (pick(5)) {
                case 0:
                    cloneSelected(project);
                    break;
                case 1:
                    deleteSelected(project);
                    break;
                case 2:
                    flipSelected(project, 1 + pick(3), *reader);
                    break;
                case 3: {
                    PendingFrameOptions pending;
                    pending.values.time = 100 + pick(900);
                    pending.flags.time = true;
                    applyFrameOptions(project, pending, true, *reader);
                    break;
                }
                default:
                    project.selection.selectOnly(1 + pick(project.frames.count() - 1));
                    moveUp(project);
            }
            if (std::optional<ProjectChange> change = ProjectChange::between(before, project))
                history.push("step", std::move(*change), project);
        }
        const double stepMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
            1000;
        const auto undoStart = std::chrono::steady_clock::now();
        history.jumpTo(project, 0);
        history.jumpTo(project, history.size());
        const double undoRedoMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - undoStart).count();
        state.counters["steps_kept"] = double(history.size());
        state.counters["frames"] = project.frames.count();
        state.counters["history_MB"] = double(history.bytes()) / (1 << 20);
        state.counters["peak_RSS_MB"] = peakMegabytes();
        state.counters["ms_per_step"] = stepMs;
        state.counters["ms_undo_redo_all"] = undoRedoMs;
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_UndoHistory1000StepsOver300FullHdFrames)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelko
