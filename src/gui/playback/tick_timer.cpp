#include "gui/playback/tick_timer.h"

namespace pelko {

PreciseTickTimer::PreciseTickTimer(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (auto tick = std::move(tick_))
            tick();
    });
}

void PreciseTickTimer::arm(std::chrono::milliseconds delay, std::function<void()> tick)
{
    tick_ = std::move(tick);
    timer_.start(delay);
}

void PreciseTickTimer::cancel()
{
    timer_.stop();
    tick_ = nullptr;
}

}  // namespace pelko
