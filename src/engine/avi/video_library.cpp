#include "engine/avi/video_library.h"

#include <dlfcn.h>

#include <iterator>
#include <stdexcept>

namespace pelko {

namespace {

#define PELKO_STRINGIFY2(x) #x
#define PELKO_STRINGIFY(x) PELKO_STRINGIFY2(x)

struct Loaded {
    VideoLibrary functions;
    std::string error;
    bool ok = false;
};

Loaded load()
{
    Loaded l;
    // libavformat first: it brings the others in with it.
    const char* const names[] = {
        "libavformat.so." PELKO_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR),
        "libavcodec.so." PELKO_STRINGIFY(LIBAVCODEC_VERSION_MAJOR),
        "libavutil.so." PELKO_STRINGIFY(LIBAVUTIL_VERSION_MAJOR),
        "libswscale.so." PELKO_STRINGIFY(LIBSWSCALE_VERSION_MAJOR),
        "libswresample.so." PELKO_STRINGIFY(LIBSWRESAMPLE_VERSION_MAJOR),
    };
    void* handles[std::size(names)] = {};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        handles[i] = dlopen(names[i], RTLD_NOW | RTLD_LOCAL);
        if (!handles[i]) {
            const char* why = dlerror();
            l.error = std::string("the video libraries cannot be loaded: ") + (why ? why : names[i]);
            return l;
        }
    }
    // Each function from the first library that has it.
    auto find = [&](const char* name) -> void* {
        for (void* h : handles)
            if (void* f = dlsym(h, name))
                return f;
        return nullptr;
    };
#define PELKO_VIDEO_FIND(name)                                                  \
    l.functions.name = reinterpret_cast<decltype(&::name)>(find(#name));        \
    if (!l.functions.name) {                                                    \
        l.error = "the video libraries cannot be loaded: " #name " is missing"; \
        return l;                                                               \
    }
    PELKO_VIDEO_FUNCTIONS(PELKO_VIDEO_FIND)
#undef PELKO_VIDEO_FIND
    l.ok = true;
    return l;
}

const Loaded& loaded()
{
    static const Loaded l = load();
    return l;
}

}  // namespace

const VideoLibrary* videoLibrary(std::string* error)
{
    const Loaded& l = loaded();
    if (!l.ok && error)
        *error = l.error;
    return l.ok ? &l.functions : nullptr;
}

const VideoLibrary& video()
{
    const Loaded& l = loaded();
    if (!l.ok)
        throw std::runtime_error(l.error);
    return l.functions;
}

}  // namespace pelko
