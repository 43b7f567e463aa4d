#pragma once
// The pixel budget: the largest picture any reader of files makes. A picture
// whose header declares more is refused from that header, before anything is
// allocated for it, with "picture too large: W × H (limit MW × MH)".
//
// The budget is one process-wide setting. It is never larger than the canvas
// maximum (10000 × 10000), which is its default; it can be lowered (tests do,
// and so could a caller with little memory). Readers on any thread see it.

#include <cstdint>
#include <string>

namespace pelko {

// The largest side of a canvas, and so of any picture read from a file.
constexpr int kPixelBudgetMaxSide = 10000;

struct PixelBudget {
    int width = kPixelBudgetMaxSide;
    int height = kPixelBudgetMaxSide;
};

PixelBudget pixelBudget();
// Each side is clamped to 1 .. kPixelBudgetMaxSide.
void setPixelBudget(PixelBudget budget);

// True when a width x height picture fits the budget (negative sizes never do).
bool withinPixelBudget(std::int64_t width, std::int64_t height);
// "picture too large: 16384 × 16384 (limit 10000 × 10000)".
std::string pictureTooLargeMessage(std::int64_t width, std::int64_t height);

// Sets the budget for its lifetime and puts the previous one back.
class ScopedPixelBudget {
public:
    explicit ScopedPixelBudget(PixelBudget budget) : saved_(pixelBudget()) { setPixelBudget(budget); }
    ~ScopedPixelBudget() { setPixelBudget(saved_); }
    ScopedPixelBudget(const ScopedPixelBudget&) = delete;
    ScopedPixelBudget& operator=(const ScopedPixelBudget&) = delete;

private:
    PixelBudget saved_;
};

}  // namespace pelko
