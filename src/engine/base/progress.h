#pragma once
// Progress of long work, and the user's wish to stop it.

namespace pelko {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void progress(int percent) { (void)percent; }
    // For work that makes frames: done of total are made. Reported beside
    // progress(), for a display that counts frames.
    virtual void frames(int done, int total)
    {
        (void)done;
        (void)total;
    }
    virtual bool cancelled() const { return false; }
};

// One step of a loop over total items: reports the share done when it goes
// out of scope, however the loop body ends.
class ProgressStep {
public:
    ProgressStep(ProgressSink& sink, int& done, int total) : sink_(sink), done_(done), total_(total) {}
    ~ProgressStep() { sink_.progress(total_ > 0 ? ++done_ * 100 / total_ : 100); }
    ProgressStep(const ProgressStep&) = delete;
    ProgressStep& operator=(const ProgressStep&) = delete;

private:
    ProgressSink& sink_;
    int& done_;
    int total_;
};

// For callers that want neither.
inline ProgressSink& noProgress()
{
    static ProgressSink sink;
    return sink;
}

}  // namespace pelko
