#pragma once
// TickTimer: the playback's timer, one single-shot event pending at a time,
// and the monotonic clock the frames are paced by. The program's is a
// precise QTimer on the user-interface thread; tests put in their own and
// fire it by hand.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace pelko {

class TickTimer {
public:
    using Clock = std::chrono::steady_clock;
    virtual ~TickTimer() = default;
    // Calls tick once after delay, in place of any event still pending.
    virtual void arm(std::chrono::milliseconds delay, std::function<void()> tick) = 0;
    // Drops the pending event: no tick comes after this.
    virtual void cancel() = 0;
    virtual bool pending() const = 0;
    virtual Clock::time_point now() const = 0;
};

class PreciseTickTimer : public QObject, public TickTimer {
    Q_OBJECT
public:
    explicit PreciseTickTimer(QObject* parent = nullptr);
    void arm(std::chrono::milliseconds delay, std::function<void()> tick) override;
    void cancel() override;
    bool pending() const override { return timer_.isActive(); }
    Clock::time_point now() const override { return Clock::now(); }

private:
    QTimer timer_;
    std::function<void()> tick_;
};

}  // namespace pelko
