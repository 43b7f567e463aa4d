#pragma once
// Work spread over threads: how many threads a job asks for, and one loop
// whose items run on several of them. Whatever runs this way must give the
// same result on any number of threads.

#include <functional>

namespace pelko {

// The threads for a job that asks for `requested`: that many when above 0,
// else one per core (at least one).
int workerCount(int requested);

// Runs fn(i) for every i in [0, count) on up to `jobs` threads, the
// caller's among them, and returns when every item is done; with one job,
// or one item, it is a plain loop on the caller's thread. Items start in
// order. Once an item throws, no item after it starts, and the error of the
// first item that failed (the one a plain loop would have met) is raised to
// the caller after the other threads have stopped.
void parallelFor(int count, int jobs, const std::function<void(int)>& fn);

}  // namespace pelko
