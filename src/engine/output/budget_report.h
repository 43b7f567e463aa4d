#pragma once
// What a write under a size budget reached: the size of the file, the
// setting the search chose and the mean PSNR of the file's pictures against
// the frames. Every output with a budget (GIF, WebP, MP4, WebM) reports it
// in its OutputResult.

#include <cstdint>
#include <string>

namespace pelko {

struct BudgetReport {
    std::string setting;  // the setting chosen, in words ("quality 71", "video 1850 kb/s")
    double meanPsnr = 0;  // dB, the file against the frames (100 for a frame without error); 0: not measured
    std::uint64_t bytes = 0;    // the file written; when nothing fits, the smallest size reached
    std::int64_t maxBytes = 0;  // the budget
    int tries = 0;              // encodes the search made
};

// "1.95 MB, quality 71, mean PSNR 36.2 dB": sizes in powers of 1000, as
// the budget is given.
std::string budgetReportText(const BudgetReport& report);

// "2.4 MB" for 2400000 bytes: kB and MB are powers of 1000.
std::string decimalSizeText(std::int64_t bytes);

}  // namespace pelko
