#include "cli/cache_option.h"

#include <cstdio>
#include <iostream>

#include "engine/project/frame_cache.h"

namespace pelko::cli {

int takeCacheOption(Args& args, const char* commandName)
{
    std::string text;
    if (!takeOption(args, "--cache-mb", text))
        return kExitOk;
    int mb = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d%c", &mb, &tail) != 1 || mb < 1 || mb > kMaxCacheMB) {
        std::cerr << "pelko-cli: --cache-mb wants megabytes from 1 to " << kMaxCacheMB << ": " << text
                  << '\n';
        return usage(commandName);
    }
    setDefaultFrameCacheBudget(std::size_t(mb) << 20);
    return kExitOk;
}

}  // namespace pelko::cli
