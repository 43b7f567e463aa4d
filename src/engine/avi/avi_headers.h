#pragma once
// Rewriting fields of a finished AVI file's stream headers ('strh') in place.

#include <cstdint>
#include <string>

namespace pelko {

struct StreamHeaderFix {
    // Video ('vids') stream.
    bool setHandler = false;
    std::uint32_t handler = 0;
    std::uint32_t videoScale = 0;  // with videoRate; 0 leaves both
    std::uint32_t videoRate = 0;
    std::uint32_t suggestedBufferSize = 0;  // 0 leaves it
    // Sound ('auds') stream; blockAlign 0 leaves it.
    std::uint32_t blockAlign = 0;
    std::uint32_t samplesPerSec = 0;
};

// Walks RIFF 'AVI ' / LIST 'hdrl' / LIST 'strl' / 'strh' and rewrites the
// fields above, and the quality of every stream as the default (-1). False
// when the file cannot be opened or written or its headers are not found.
bool fixStreamHeaders(const std::string& path, const StreamHeaderFix& fix);

}  // namespace pelko
