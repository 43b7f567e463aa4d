#pragma once
// The largest single allocation through operator new since the last reset.
// Each test program that uses it links largest_allocation.cpp, which replaces
// the global operator new; the hostile-file tests check with it that a file
// is refused before the memory it claims is taken.

#include <cstddef>

namespace pelko::test {

void resetLargestAllocation();
std::size_t largestAllocation();

}  // namespace pelko::test
