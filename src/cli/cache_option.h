#pragma once
// --cache-mb N, taken by the verbs that read projects or pictures: the
// memory budget of the frame cache, which holds the pictures read and the
// frame images rendered from them while the verb works.

#include "cli/command.h"

namespace pelko::cli {

constexpr int kMaxCacheMB = 1 << 20;

inline constexpr OptionHelp kCacheOptionHelp[] = {
    {"--cache-mb N",
     "memory for the pictures read and the frames made from them, 1 to 1048576 MB (default 256)"},
};

// Takes "--cache-mb N" (1 to 1048576) out of args and makes it the budget of
// every project made afterwards. Returns kExitOk, or kExitUsage after a
// message when N is not such a number.
int takeCacheOption(Args& args, const char* commandName);

}  // namespace pelko::cli
