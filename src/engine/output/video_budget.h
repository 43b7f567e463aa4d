#pragma once
// Fitting an MP4 or WebM under a size budget: a first pass gathers the
// encoder's statistics and the sound's size, then second passes at an
// average bit rate that leaves room for the sound and the container aim
// just under the budget, lowered when a file comes out too large and
// raised when it comes out well under. The file kept is the largest that
// fits; its setting and mean PSNR are reported.
//
// Only for code that has loaded the video libraries (videoLibrary()).

#include <memory>

#include "engine/output/video_pass.h"

namespace pelko {

// Writes the job's file under job.options.maxBytes into kept (finished, not
// yet in place) and sets result.budget. When no try fits, nothing is kept
// and the failure names the smallest size reached.
PassEnd fitVideoUnderBudget(const VideoJob& job, std::unique_ptr<VideoFileWriter>& kept, OutputResult& result,
                            ProgressSink& progress);

}  // namespace pelko
