// The allocation probe of the hostile-file tests, shared with tests/engine/image.

#include "engine/image/largest_allocation.cpp"
