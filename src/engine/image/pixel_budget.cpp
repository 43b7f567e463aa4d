#include "engine/image/pixel_budget.h"

#include <algorithm>
#include <atomic>

namespace pelko {

namespace {

// Both sides in one word, so a reader never sees half of a change.
std::atomic<std::uint32_t> gBudget{std::uint32_t(kPixelBudgetMaxSide) << 16 | kPixelBudgetMaxSide};

}  // namespace

PixelBudget pixelBudget()
{
    const std::uint32_t packed = gBudget.load(std::memory_order_relaxed);
    return {int(packed >> 16), int(packed & 0xFFFF)};
}

void setPixelBudget(PixelBudget budget)
{
    const std::uint32_t w = std::uint32_t(std::clamp(budget.width, 1, kPixelBudgetMaxSide));
    const std::uint32_t h = std::uint32_t(std::clamp(budget.height, 1, kPixelBudgetMaxSide));
    gBudget.store(w << 16 | h, std::memory_order_relaxed);
}

bool withinPixelBudget(std::int64_t width, std::int64_t height)
{
    const PixelBudget b = pixelBudget();
    return width >= 0 && height >= 0 && width <= b.width && height <= b.height;
}

std::string pictureTooLargeMessage(std::int64_t width, std::int64_t height)
{
    const PixelBudget b = pixelBudget();
    return "picture too large: " + std::to_string(width) + " × " + std::to_string(height) + " (limit " +
           std::to_string(b.width) + " × " + std::to_string(b.height) + ")";
}

}  // namespace pelko
