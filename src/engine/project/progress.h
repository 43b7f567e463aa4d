#pragma once
// Progress of long work, and the user's wish to stop it.

namespace pelko {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void progress(int percent) { (void)percent; }
    virtual bool cancelled() const { return false; }
};

// For callers that want neither.
inline ProgressSink& noProgress()
{
    static ProgressSink sink;
    return sink;
}

}  // namespace pelko
