// Writes an MP4 or WebM from pictures through generateVideoFile, for the
// comparison script (bench/video_compare.sh), which times it as a whole
// process beside the ffmpeg command line:
//
//   bench_video_out OUT.mp4|OUT.webm [--crf N] [--preset P] [--max-size BYTES] [--time MS] PICTURE...
//
// The canvas takes the first picture's size; every frame lasts --time
// milliseconds (100 unless given). The closing line gives the size, and
// with --max-size the setting chosen and the mean PSNR.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/output/generate_video.h"
#include "engine/project/image_sources.h"

using namespace pelko;

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s OUT.mp4|OUT.webm [--crf N] [--preset P] [--max-size BYTES] [--time MS] "
                     "PICTURE...\n",
                     argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    VideoFileOptions o;
    o.format = out.ends_with(".webm") ? VideoFormat::WebM : VideoFormat::Mp4;
    if (o.format == VideoFormat::WebM)
        o.crf = 31;
    int time = 100;
    Project project;
    project.settings.FixAtFirstFrame = true;
    auto reader = makeFileSourceReader();
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 < argc && a == "--crf")
            o.crf = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--preset")
            o.preset = argv[++i];
        else if (i + 1 < argc && a == "--max-size")
            o.maxBytes = std::atoll(argv[++i]);
        else if (i + 1 < argc && a == "--time")
            time = std::atoi(argv[++i]);
        else {
            const AddResult r = addSourceFile(project, a, std::size_t(project.frames.count()), *reader);
            if (!r.errors.empty()) {
                std::fprintf(stderr, "%s\n", r.errors.front().c_str());
                return 1;
            }
        }
    }
    for (FrameRecord& f : project.frames) f.Time = std::uint16_t(time);
    const OutputResult r = generateVideoFile(project, out, o);
    if (!r.ok) {
        std::fprintf(stderr, "%s\n", r.failure.c_str());
        return 1;
    }
    if (r.budget)
        std::printf("%s: %s\n", out.c_str(), budgetReportText(*r.budget).c_str());
    return 0;
}
